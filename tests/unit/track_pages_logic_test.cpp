// SPDX-License-Identifier: GPL-3.0-or-later
// The sound track, subtitle and chapter pages of the properties sheet, without a window.
#include <gtest/gtest.h>

#include <set>

#include "app/chapters_page_logic.h"
#include "app/sound_tracks_page_logic.h"
#include "app/subtitles_page_logic.h"
#include "app/track_choices.h"
#include "subtitles/language_code.h"

namespace vantrel::app {
namespace {

TEST(ChapterTimesTyped, ReadsSecondsMinutesAndHoursAndNamesTheFirstBadEntry) {
  std::vector<double> times;
  std::string bad;
  ASSERT_TRUE(ParseChapterTimes(" 0, 5:00;12:30.5\n1:05:00  90 ", &times, &bad));
  EXPECT_EQ(times, (std::vector<double>{0, 300, 750.5, 3900, 90}));
  ASSERT_TRUE(ParseChapterTimes("", &times, &bad));
  EXPECT_TRUE(times.empty());
  for (const char* wrong : {"5:60", "1:2:3:4", "abc", "1.5:00", "5:", ":30", "-5", "1e3"}) {
    EXPECT_FALSE(ParseChapterTimes(std::string("0, ") + wrong + ", 10", &times, &bad)) << wrong;
    EXPECT_EQ(bad, wrong);
  }
  EXPECT_EQ(ChapterTimeText(65.5), "0:01:05.500");
  EXPECT_EQ(ChapterTimeText(3600), "1:00:00");
}

TitleRecord Title(double seconds) {
  TitleRecord title;
  title.SourcePath = "/videos/film.mkv";
  title.Duration = seconds;
  return title;
}

TEST(ChaptersPage, ShowsWhatEachPlanGivesForThisTitle) {
  TitleRecord title = Title(130);
  ChaptersPageLogic page(title, {0, 50, 129.5});
  EXPECT_EQ(page.Mode(), ChapterMode::kDefault);
  EXPECT_EQ(page.TimesShown(), "0:00:00");  // 15 minutes lies beyond a 130 s title
  page.SetMode(ChapterMode::kEveryMinutes);
  EXPECT_EQ(page.EveryMinutes(), 5);  // a plan without N starts at five
  page.SetEveryMinutes(1);
  EXPECT_EQ(page.TimesShown(), "0:00:00, 0:01:00, 0:02:00");
  EXPECT_EQ(page.CountText(), "3 个章节");
  page.SetEveryMinutes(0);
  EXPECT_EQ(page.EveryMinutes(), 1);
  page.SetMode(ChapterMode::kSourceMarks);  // the mark within a second of the end is dropped
  EXPECT_EQ(page.TimesShown(), "0:00:00, 0:00:50");
  page.SetMode(ChapterMode::kTimes);
  EXPECT_EQ(page.SetTimesText("0:30, 1:00"), "");
  EXPECT_EQ(page.TimesShown(), "0:00:00, 0:00:30, 0:01:00");
  // A slip while typing keeps the times read last and says which entry is wrong.
  EXPECT_EQ(page.SetTimesText("0:30, 1:0x"), "无法识别的时间: 1:0x");
  EXPECT_EQ(page.TimesShown(), "0:00:00, 0:00:30, 0:01:00");
  page.Apply(title);
  EXPECT_EQ(title.ChapterMarks.mode, ChapterMode::kTimes);
  EXPECT_EQ(title.ChapterMarks.times, (std::vector<double>{30, 60}));
  EXPECT_EQ(title.ChapterMarks.everyMinutes, 1);
}

TEST(ChaptersPage, ReopenedShowsTheStoredPlanAndAnUntouchedPageChangesNothing) {
  TitleRecord title = Title(600);
  title.ChapterMarks = {ChapterMode::kTimes, 0, {90, 240.25}};
  ChaptersPageLogic page(title, {});
  EXPECT_EQ(page.TimesText(), "0:01:30, 0:04:00.250");
  EXPECT_FALSE(page.HasSourceMarks());
  const ChapterPlan before = title.ChapterMarks;
  page.Apply(title);
  EXPECT_EQ(title.ChapterMarks, before);
}

std::vector<SoundStreamInfo> TwoStreams() { return {{1, "ac3", 6, "eng"}, {2, "mp2", 2, ""}}; }

TEST(SoundTracksPage, ShowsTheFilesOwnStreamsAndLeavesATitleWithoutAListAsItWas) {
  TitleRecord title = Title(60);
  SoundTracksPageLogic page(title, TwoStreams());
  ASSERT_EQ(page.Tracks().size(), 2u);
  EXPECT_EQ(page.RowName(0), "来源音轨 #1 (ac3, 6 声道)");
  EXPECT_EQ(page.RowLanguage(0), "en 英语");
  EXPECT_EQ(page.RowLanguage(1), "未指定");
  EXPECT_EQ(page.RowOffset(0), "");  // only an added file has an offset
  page.Apply(title);
  EXPECT_TRUE(title.SoundTracks.empty()) << "an untouched page is the file as it is";

  page.MoveDown(0);
  page.SetLanguage(0, "ger");
  page.SetOffset(0, 500);  // ignored: a stream of the title's own file
  page.Apply(title);
  ASSERT_EQ(title.SoundTracks.size(), 2u);
  EXPECT_EQ(title.SoundTracks[0], (SoundTrack{"", 2, "de", 0}));
  EXPECT_EQ(title.SoundTracks[1], (SoundTrack{"", 1, "en", 0}));
}

TEST(SoundTracksPage, HoldsAtMostEightTracksAndKeepsTheUsersOrder) {
  TitleRecord title = Title(60);
  title.SoundTracks = {{"/music/dub.ac3", -1, "fr", -250}};
  SoundTracksPageLogic page(title, TwoStreams());
  ASSERT_EQ(page.Tracks().size(), 1u);  // the title's own list, not the file's streams
  EXPECT_EQ(page.RowName(0), "dub.ac3");
  EXPECT_EQ(page.RowOffset(0), "-250");
  EXPECT_TRUE(page.HasOffset(0));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(page.AddSourceStream(size_t(i % 2)), "");
  EXPECT_FALSE(page.CanAdd());
  EXPECT_EQ(page.CountText(), "音轨: 8 / 8");
  EXPECT_EQ(page.AddSourceStream(0), "一个标题最多 8 条音轨。");
  EXPECT_EQ(page.AddFile("/music/more.mp3"), "一个标题最多 8 条音轨。");
  EXPECT_EQ(page.Tracks().size(), 8u);
  EXPECT_FALSE(page.MoveUp(0));
  EXPECT_FALSE(page.MoveDown(7));
  EXPECT_TRUE(page.MoveUp(1));
  EXPECT_EQ(page.Tracks()[1].source, "/music/dub.ac3");
  page.Remove(1);
  page.Remove(99);  // no such row: nothing happens
  EXPECT_EQ(page.Tracks().size(), 7u);
  EXPECT_TRUE(page.CanAdd());
  page.Apply(title);
  EXPECT_EQ(title.SoundTracks.size(), 7u);
}

TEST(SubtitlesPage, MarksOneTrackAtMostToShowByDefault) {
  TitleRecord title = Title(60);
  title.Subtitles = {{"/subs/a.srt", -1, "en", "", true}, {"/subs/b.srt", -1, "zh", "GB18030", false}};
  SubtitlesPageLogic page(title, {{3, "subrip", "jpn", true}, {4, "dvd_subtitle", "eng", false}});
  ASSERT_EQ(page.SourceStreams().size(), 2u);  // text and picture streams alike
  EXPECT_EQ(page.StreamName(0), "来源字幕 #3 (subrip)");
  EXPECT_EQ(page.StreamName(1), "来源字幕 #4 (dvd_subtitle)");
  EXPECT_EQ(page.RowDefault(0), "是");
  page.SetShownByDefault(1, true);
  EXPECT_EQ(page.RowDefault(0), "");
  EXPECT_EQ(page.RowDefault(1), "是");
  EXPECT_EQ(page.RowEncoding(1), "GB18030");  // chosen, not detected: the file is not read
  EXPECT_EQ(page.AddSourceStream(0), "");
  EXPECT_EQ(page.Tracks()[2], (SubtitleTrack{"", 3, "ja", "", false}));
  EXPECT_EQ(page.RowName(2), "来源字幕 #3 (subrip)");
  EXPECT_EQ(page.SetEncoding(2, "CP1251"), "");  // a stream has no encoding of its own
  EXPECT_EQ(page.Tracks()[2].encoding, "");
  page.SetShownByDefault(1, false);
  for (size_t row = 0; row < 3; ++row) EXPECT_FALSE(page.Tracks()[row].shownByDefault);
  for (int i = 0; i < 29; ++i) EXPECT_EQ(page.AddSourceStream(0), "");
  EXPECT_EQ(page.AddSourceStream(0), "一个标题最多 32 条字幕。");
  EXPECT_EQ(page.CountText(), "字幕: 32 / 32");
  page.Apply(title);
  EXPECT_EQ(title.Subtitles.size(), 32u);
}

TEST(SubtitlesPage, CueTextLeavesOutTheEventsFieldsAndTags) {
  EXPECT_EQ(CueText({0, 1, "0,0,Default,,0,0,0,,{\\i1}Second{\\i0} line\\Nwith, a comma"}),
            "Second line with, a comma");
  EXPECT_EQ(CueText({0, 1, "3,0,Default,,0,0,0,,第一句"}), "第一句");
  EXPECT_EQ(CueText({0, 1, "0,0,Default,,0,0,0,,{unclosed"}), "");
}

TEST(TrackChoices, EveryLanguageIsADvdCodeOnceAndContainerTagsFindTheirs) {
  std::set<std::string> seen;
  const auto& choices = LanguageChoices();
  EXPECT_EQ(std::string(choices[0].code), "");
  for (size_t i = 1; i < choices.size(); ++i) {
    EXPECT_TRUE(IsDvdLanguageCode(choices[i].code)) << choices[i].code;
    EXPECT_TRUE(seen.insert(choices[i].code).second) << choices[i].code;
    EXPECT_EQ(LanguageChoiceIndex(choices[i].code), i);
  }
  EXPECT_EQ(choices[LanguageChoiceIndex("chi")].code, std::string("zh"));
  EXPECT_EQ(choices[LanguageChoiceIndex("ENG")].code, std::string("en"));
  EXPECT_EQ(LanguageChoiceIndex("xx"), 0u);
  EXPECT_EQ(LanguageLabel(""), "未指定");
  EXPECT_EQ(LanguageLabel("la"), "la");  // a code the list does not name stays visible
}

}  // namespace
}  // namespace vantrel::app
