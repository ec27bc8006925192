// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foximager/image_builder_ini.h"

#include <cstdio>

#include "base/atomic_file.h"
#include "base/ini_file.h"
#include "base/paths.h"
#include "base/text_format.h"

namespace vantrel {
namespace {

bool ParsePair(const std::string& text, int& x, int& y) {
  char tail = 0;
  return std::sscanf(text.c_str(), "%d,%d%c", &x, &y, &tail) == 2;
}

}  // namespace

bool ReadImageBuilderIni(const std::string& path, ImageBuilderInput& input, std::string& error) {
  std::string text;
  if (!ReadWholeFile(path, text)) {
    error = "cannot read " + path;
    return false;
  }
  auto value = [&](const std::string& section, const char* key) {
    std::string found;
    IniFile::FindValue(text, section, key, found);
    return found;
  };
  input = {};
  const int count = LeadingInt(value(kImageBuilderInfoSection, kImageBuilderCountKey));
  if (count < 1) {
    error = "no titles";
    return false;
  }
  input.menuMovie = value(kImageBuilderInfoSection, "menu");
  for (int i = 0; i < count; ++i) {
    const std::string section = Format("%d", i);
    ImageBuilderTitle title;
    int left, top, right, bottom;
    if (!ParsePair(value(section, "TopLeft"), left, top) ||
        !ParsePair(value(section, "RightBottom"), right, bottom) || right <= left ||
        bottom <= top) {
      error = "title " + section + ": no usable button rectangle";
      return false;
    }
    title.button = {left, top, right - left, bottom - top};
    title.file = value(section, "file");
    if (!FileExists(title.file)) {
      error = "title " + section + ": cannot read " + title.file;
      return false;
    }
    input.titles.push_back(std::move(title));
  }
  return true;
}

}  // namespace vantrel
