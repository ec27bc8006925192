// SPDX-License-Identifier: GPL-3.0-or-later
// Moving menus without media: their pages loop or hold in dvd.xml, a button's clip starts
// at its title's thumbnail frame, the music fades out, and the dialog keeps its choices.
#include <gtest/gtest.h>

#include "authoring/dvd_script_writer.h"
#include "convert/menu_sound.h"
#include "menu/menu_design.h"
#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

TEST(MenuMotion, AMovingPageStartsAgainOrHoldsItsLastPicture) {
  test::MenuFixture menu;
  menu.Build(8);  // two pages
  const DvdScriptInputs inputs{true, TvStandard::Pal, "/w/TEMP/", "/app/"};
  auto loops = [](const std::string& script) {
    std::size_t count = 0;
    for (auto at = script.find("<post>jump cell 1;</post>\n</pgc>"); at != std::string::npos;
         at = script.find("<post>jump cell 1;</post>\n</pgc>", at + 1))
      ++count;
    return count;
  };
  // Still pages hold for ever; so does a film told to stay on its last picture.
  EXPECT_EQ(loops(DvdScriptWriter::Compose(menu.model, inputs)), 0u);
  menu.model.Choices().motion.music = "/m/theme.ogg";
  menu.model.Choices().motion.loop = false;
  std::string script = DvdScriptWriter::Compose(menu.model, inputs);
  EXPECT_EQ(loops(script), 0u);
  EXPECT_NE(script.find("<vob file=\"/w/TEMP/menu02.mpg\" pause=\"inf\"/>"), std::string::npos);
  // A looping film plays through and starts again, on every page, its buttons kept.
  menu.model.Choices().motion.loop = true;
  script = DvdScriptWriter::Compose(menu.model, inputs);
  EXPECT_EQ(loops(script), 2u);
  EXPECT_NE(script.find("<vob file=\"/w/TEMP/menu01.mpg\"/>\n<button name=\"0\">\njump title 1;</button>"),
            std::string::npos);
  EXPECT_EQ(script.find("pause=\"inf\""), std::string::npos);
}

TEST(MenuMotion, ClipsStartAtTheThumbnailFrameAndMotionIsKeptAcrossRebuilds) {
  test::MenuFixture menu;
  auto record = std::make_unique<TitleRecord>();
  record->SourcePath = "/v/a.mpg";
  record->ThumbnailShownAt = 42.5;
  menu.titles.AppendTitle(std::move(record), 0);
  menu.model.Choices().motion.thumbnails = true;
  menu.model.Rebuild(menu.titles, 0, false);
  EXPECT_EQ(menu.model.Title(0).ClipStart, 42.5);
  EXPECT_TRUE(menu.model.Choices().motion.Moving());
  EXPECT_FALSE(MenuMotion{}.Moving());
}

TEST(MenuMotion, MusicFadesOutOverItsLastSeconds) {
  std::vector<std::int16_t> samples(std::size_t(kMenuSoundRate) * 4 * kMenuSoundChannels, 10000);
  FadeOut(samples, 2);
  const auto at = [&](double seconds) { return samples[std::size_t(seconds * kMenuSoundRate) * kMenuSoundChannels]; };
  EXPECT_EQ(at(1), 10000);        // before the fade
  EXPECT_EQ(at(1.999), 10000);
  EXPECT_NEAR(at(3), 5000, 10);   // halfway
  EXPECT_EQ(samples.back(), 0);   // silent at the end, both channels
  EXPECT_EQ(samples[samples.size() - 2], 0);
  std::vector<std::int16_t> shortSound(100, 10000);
  FadeOut(shortSound, 2);  // shorter than the fade: all of it fades
  EXPECT_LT(shortSound[2], 10000);

  std::vector<std::int16_t> silence;
  std::string error;
  ASSERT_TRUE(MenuSoundSamples("", 1.5, silence, error));
  EXPECT_EQ(silence.size(), std::size_t(1.5 * kMenuSoundRate) * kMenuSoundChannels);
  EXPECT_EQ(std::count(silence.begin(), silence.end(), 0), std::ptrdiff_t(silence.size()));
  EXPECT_FALSE(MenuSoundSamples("/nowhere/theme.ogg", 1, silence, error));
  EXPECT_NE(error.find("/nowhere/theme.ogg"), std::string::npos);
}

TEST(MenuMotion, TheDialogKeepsItsLengthWithinBoundsAndACancelledFileDialogRemovesTheFile) {
  MenuChoices choices;
  choices.motion.music = "/m/a.ogg";
  MotionChoice choice = OpenMotionChoice(choices);
  choice.SetSeconds(0);
  EXPECT_EQ(choice.motion.seconds, MenuMotion::kMinSeconds);
  choice.SetSeconds(500);
  EXPECT_EQ(choice.motion.seconds, MenuMotion::kMaxSeconds);
  choice.VideoDialogClosed(true, "/v/waves.mkv");
  choice.MusicDialogClosed(false, "");
  EXPECT_EQ(choices.motion.music, "/m/a.ogg");  // nothing changes before OK
  ApplyMotionChoice(choices, choice);
  EXPECT_EQ(choices.motion.backgroundVideo, "/v/waves.mkv");
  EXPECT_EQ(choices.motion.music, "");
  EXPECT_EQ(choices.motion.seconds, MenuMotion::kMaxSeconds);
}

}  // namespace
}  // namespace vantrel
