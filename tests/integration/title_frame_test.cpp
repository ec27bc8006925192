// SPDX-License-Identifier: GPL-3.0-or-later
// The frame a title gets on the disc, known before the run: a film of square pixels alone
// goes into a 4:3 frame between narrow bars; beside a 2.35:1 film on a 16:9 disc it is
// converted into the 16:9 frame between wide ones. The disc the run makes, read back with
// ffmpeg, has the film where the plan said, and the subtitle page previews that frame.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/subtitles_page_logic.h"
#include "authoring/command_templates.h"
#include "authoring/title_frame.h"
#include "support/disc_readback.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

// The first and last columns of row `y` that are not black.
std::pair<int, int> LitColumns(const std::uint8_t* row, int width) {
  int first = width, last = -1;
  for (int x = 0; x < width; ++x)
    if (std::max({row[x * 3], row[x * 3 + 1], row[x * 3 + 2]}) > 24) first = std::min(first, x), last = x;
  return {first, last};
}

TEST(TitleFrame, ATitleBesideOneOfAnotherShapeIsPlannedAndMadeInTheDiscsFrame) {
  test::TempFolder f;
  const std::string square = f / "square.mpg", scope = f / "scope.mkv";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x3050A0:size=720x576:rate=25 -f lavfi -i "
                           "sine=frequency=440:sample_rate=48000 -t 2 -target pal-dvd " + ShellQuote(square)));
  ASSERT_TRUE(test::Ffmpeg("-fflags +genpts -i " + ShellQuote(square) + " -map 0:v -map 0:a -c copy -aspect 2.35 " + ShellQuote(scope)));

  const TitleMakingChoices wide{TvStandard::Pal, false, 1, 1};
  const PlannedTitleFrame alone = PlanTitleFrame({square}, 0, wide);
  EXPECT_TRUE(alone.madeAnew);
  EXPECT_FALSE(alone.frame.wide);
  EXPECT_EQ(alone.frame.film.x, 22);  // 1.25:1 in 4:3
  EXPECT_EQ(alone.frame.film.width, 676);
  const PlannedTitleFrame beside = PlanTitleFrame({square, scope}, 0, wide);
  EXPECT_TRUE(beside.frame.wide);
  EXPECT_NEAR(beside.frame.film.x, (720 - 720 * 1.25 / (16.0 / 9)) / 2, 2);  // 1.25:1 in 16:9
  EXPECT_EQ(beside.frame.film.height, 576);
  const PlannedTitleFrame other = PlanTitleFrame({square, scope}, 1, wide);
  EXPECT_TRUE(other.frame.wide);
  EXPECT_EQ(other.frame.film.y, 70);  // 2.35:1 in 16:9
  // A 4:3 disc keeps the square film in 4:3 and letterboxes the other deeper.
  const PlannedTitleFrame narrow = PlanTitleFrame({square, scope}, 1, {TvStandard::Pal, false, 1, 0});
  EXPECT_FALSE(narrow.frame.wide);
  EXPECT_GT(narrow.frame.film.y, 70);

  std::string out;
  ASSERT_EQ(test::RunCapture(ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                                 " author --pal --no-menu --shape 16:9 --yes --work " + ShellQuote(f / "work") + " " +
                                 ShellQuote(square) + " " + ShellQuote(scope) + " 2>&1",
                             out),
            0)
      << out;
  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(f / "work/DVD");
  ASSERT_EQ(titles.size(), 2u);
  // The disc's first title, its tenth picture (the titles' times start again in the set).
  ASSERT_TRUE(test::Ffmpeg("-i " + ShellQuote(f / "work/DVD/VIDEO_TS/VTS_01_1.VOB") +
                           " -vf 'select=eq(n\\,10)' -frames:v 1 " + ShellQuote(f / "made.ppm")));
  const test::Frame made = test::ReadPpm(f / "made.ppm");
  ASSERT_EQ(made.width, 720);
  const auto [first, last] = LitColumns(reinterpret_cast<const std::uint8_t*>(made.rgb.data()) + 288 * 720 * 3, 720);
  EXPECT_NEAR(first, beside.frame.film.x, 2);
  EXPECT_NEAR(last + 1, beside.frame.film.x + beside.frame.film.width, 2);

  // The subtitle page of that title in that list previews the same frame.
  TitleRecord record;
  record.SourcePath = square;
  record.Subtitles = {{f / "cue.srt", -1, "", "", false}};
  test::WriteText(f / "cue.srt", "1\n00:00:00,500 --> 00:00:01,500\nHello\n");
  app::SubtitlesPageLogic page(record, {});
  page.SetTitleList({square, scope}, 0);
  RgbImage preview;
  std::string error;
  ASSERT_TRUE(page.Preview(0, 0, {TvStandard::Pal, false, 1, 1}, &preview, &error)) << error;
  EXPECT_TRUE(page.Wide({TvStandard::Pal, false, 1, 1}));
  const auto [left, right] = LitColumns(preview.Row(288), preview.width);
  EXPECT_EQ(left, beside.frame.film.x);
  EXPECT_EQ(right + 1, beside.frame.film.x + beside.frame.film.width);
}

}  // namespace
}  // namespace vantrel
