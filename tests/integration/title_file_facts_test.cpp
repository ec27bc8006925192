// SPDX-License-Identifier: GPL-3.0-or-later
// The facts the properties sheet shows, read from real files.
#include "media/title_file_facts.h"

#include <gtest/gtest.h>

#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

// A wide MPEG-4 film with two sound streams (AC-3 5.1 in English, MPEG layer II stereo in
// German), an anamorphic DVD picture, and a file that is no film at all.
TEST(TitleFileFacts, CodingShapeAndEverySoundStreamComeFromTheFile) {
  test::TempFolder temp;
  const std::string wide = temp / "wide.mkv";
  ASSERT_TRUE(test::MakeClip("-f lavfi -i testsrc=s=640x360:r=25:d=1 -f lavfi -i sine=d=1:r=48000 "
                             "-f lavfi -i sine=d=1:r=44100 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a:0 ac3 "
                             "-ac:a:0 6 -c:a:1 mp2 -ac:a:1 2 -metadata:s:a:0 language=eng -metadata:s:a:1 language=ger",
                             wide));
  TitleFileFacts facts = ReadTitleFileFacts(wide);
  EXPECT_EQ(facts.container, "matroska,webm");
  EXPECT_EQ(facts.video, "MPEG-4 part 2, 16:9");
  ASSERT_EQ(facts.sound.size(), 2u);
  EXPECT_EQ(facts.sound[0], "ATSC A/52A (AC-3), 48000 Hz, 6 声道, 语言 eng");
  EXPECT_EQ(facts.sound[1], "MP2 (MPEG audio layer 2), 44100 Hz, 2 声道, 语言 ger");
  EXPECT_NE(facts.size.find(" MB"), std::string::npos);

  // 720 x 576 stored, shown at 16:9 by its sample shape.
  const std::string anamorphic = temp / "anamorphic.mpg";
  ASSERT_TRUE(test::MakeClip("-f lavfi -i testsrc=s=720x576:r=25:d=1 -c:v mpeg2video -aspect 16:9 -an", anamorphic));
  facts = ReadTitleFileFacts(anamorphic);
  EXPECT_EQ(facts.video, "MPEG-2 video, 16:9");
  EXPECT_TRUE(facts.sound.empty());

  const std::string text = temp / "notes.mpg";
  test::WriteText(text, "not a film");
  facts = ReadTitleFileFacts(text);
  EXPECT_EQ(facts.video, "");
  EXPECT_EQ(facts.sound, std::vector<std::string>{"无法读取"});
  EXPECT_EQ(AspectText(4.0 / 3.0), "4:3");
  EXPECT_EQ(AspectText(2.35), "2.35:1");
  EXPECT_EQ(AspectText(0), "");
}

}  // namespace
}  // namespace vantrel
