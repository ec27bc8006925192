// SPDX-License-Identifier: GPL-3.0-or-later
// The font names the program's texts ask for find faces that have their glyphs.
#include <gtest/gtest.h>

#include <fontconfig/fontconfig.h>

#include <string>

#include "app/font_aliases.h"

namespace vantrel::app {
namespace {

std::string MatchedFamily(const char* family) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  std::string name;
  FcChar8* value = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &value) == FcResultMatch) name = reinterpret_cast<char*>(value);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return name;
}

bool HasChineseGlyphs(const char* family) {
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcCharSet* chars = nullptr;
  bool has = match && FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch &&
             FcCharSetHasChar(chars, 0x83DC) && FcCharSetHasChar(chars, 0x5355);  // 菜单
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return has;
}

TEST(FontAliases, ChineseFaceNamesReachAFaceWithTheGlyphs) {
  ASSERT_TRUE(InstallFontAliases());
  for (const char* family : {"宋体", "SimSun"}) EXPECT_TRUE(HasChineseGlyphs(family)) << family;
  EXPECT_EQ(MatchedFamily("SimSun"), "WenQuanYi Zen Hei");
  EXPECT_EQ(MatchedFamily("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(MatchedFamily("arial"), "Liberation Sans");
}

}  // namespace
}  // namespace vantrel::app
