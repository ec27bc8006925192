// SPDX-License-Identifier: GPL-3.0-or-later
// The skins of the program: colour themes read from the .smf files shipped beside it. The
// calls are those a skinning library offers (initialise, load a skin file, skin all dialogs
// or one window, take a skin off again, release); a front end paints its windows with the
// active theme. Results are reported but callers may ignore them.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace vantrel::skin {

struct Colour {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Colour&) const = default;
};

struct SkinTheme {
  std::string name;
  Colour window, text, button, buttonText, list, listText, accent;
};

// Reads a skin file: section [skin] with name=... and colours as #RRGGBB under the keys
// window, text, button, buttontext, list, listtext, accent. False when the file is missing
// or a colour is absent or malformed.
bool LoadSkinFile(const std::string& path, SkinTheme& theme);

using WindowId = std::uintptr_t;

class SkinLibrary {
 public:
  void Init() { initialised_ = true; }
  void Release();
  bool LoadSkin(const std::string& path);
  // Every dialog opened from now on wears the loaded skin under this object name.
  void SetDialogSkin(const std::string& objectName);
  void RemoveDialogSkin() { dialogSkin_.clear(); }
  void SetWindowSkin(WindowId window, const std::string& objectName);
  void RemoveWindowSkin(WindowId window);

  bool Initialised() const { return initialised_; }
  bool HasTheme() const { return loaded_; }
  const SkinTheme& Theme() const { return theme_; }
  bool DialogsSkinned() const { return loaded_ && !dialogSkin_.empty(); }
  // Whether a window shows the skin: skinned dialogs, unless it was taken off; or skinned
  // on its own.
  bool IsSkinned(WindowId window) const;

 private:
  bool initialised_ = false;
  bool loaded_ = false;
  SkinTheme theme_;
  std::string dialogSkin_;
  std::set<WindowId> skinned_, unskinned_;
};

// The program's one skin library.
SkinLibrary& Skins();

}  // namespace vantrel::skin
