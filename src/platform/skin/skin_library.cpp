// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/skin/skin_library.h"

#include "base/ini_file.h"

namespace vantrel::skin {
namespace {

bool ParseColour(const std::string& text, Colour& colour) {
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned value = 0;
  for (size_t i = 1; i < 7; ++i) {
    const char c = text[i];
    const int digit = (c >= '0' && c <= '9') ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                               : -1;
    if (digit < 0) return false;
    value = value * 16 + unsigned(digit);
  }
  colour = {std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)};
  return true;
}

}  // namespace

bool LoadSkinFile(const std::string& path, SkinTheme& theme) {
  std::string text;
  IniFile ini(path);
  SkinTheme read;
  read.name = ini.ReadString("skin", "name", "");
  struct {
    const char* key;
    Colour* colour;
  } const fields[] = {{"window", &read.window}, {"text", &read.text},         {"button", &read.button},
                      {"buttontext", &read.buttonText}, {"list", &read.list}, {"listtext", &read.listText},
                      {"accent", &read.accent}};
  for (const auto& field : fields)
    if (!ParseColour(ini.ReadString("skin", field.key, ""), *field.colour)) return false;
  theme = read;
  return true;
}

void SkinLibrary::Release() {
  initialised_ = loaded_ = false;
  dialogSkin_.clear();
  skinned_.clear();
  unskinned_.clear();
}

bool SkinLibrary::LoadSkin(const std::string& path) {
  SkinTheme theme;
  if (!LoadSkinFile(path, theme)) return false;
  theme_ = theme;
  loaded_ = true;
  return true;
}

void SkinLibrary::SetDialogSkin(const std::string& objectName) { dialogSkin_ = objectName; }

void SkinLibrary::SetWindowSkin(WindowId window, const std::string& objectName) {
  if (objectName.empty()) return;
  unskinned_.erase(window);
  skinned_.insert(window);
}

void SkinLibrary::RemoveWindowSkin(WindowId window) {
  skinned_.erase(window);
  unskinned_.insert(window);
}

bool SkinLibrary::IsSkinned(WindowId window) const {
  if (!loaded_ || unskinned_.count(window)) return false;
  return skinned_.count(window) || !dialogSkin_.empty();
}

SkinLibrary& Skins() {
  static SkinLibrary library;
  return library;
}

}  // namespace vantrel::skin
