// SPDX-License-Identifier: GPL-3.0-or-later
// Where subtitles and chapter marks come from: ASS and WebVTT files, and the text subtitle
// streams and chapters of MKV and MP4 sources that ffmpeg writes here.
#include <gtest/gtest.h>

#include "authoring/chapter_plan.h"
#include "authoring/command_templates.h"
#include "subtitles/subtitle_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

std::string EventText(const std::string& event) {
  size_t at = 0;
  for (int i = 0; i < 8; ++i) at = event.find(',', at) + 1;
  return event.substr(at);
}

const char* kSrt =
    "1\n00:00:00,500 --> 00:00:01,250\n第一句\n\n"
    "2\n00:00:01,500 --> 00:00:02,750\n<i>Second</i> line\nwith a break\n\n";

void ExpectTwoCues(const TextSubtitles& track) {
  ASSERT_TRUE(track.ok) << track.error;
  ASSERT_EQ(track.cues.size(), 2u);
  EXPECT_EQ(track.cues[0].startMs, 500);
  EXPECT_EQ(track.cues[0].endMs, 1250);
  EXPECT_EQ(track.cues[1].startMs, 1500);
  EXPECT_EQ(track.cues[1].endMs, 2750);
  EXPECT_EQ(EventText(track.cues[0].event), "第一句");
  EXPECT_EQ(EventText(track.cues[1].event), "{\\i1}Second{\\i0} line\\Nwith a break");
  EXPECT_FALSE(track.ownStyles);
}

TEST(SubtitleSources, AssFilesKeepTheirHeaderAndWebVttReadsLikeSrt) {
  test::TempFolder folder;
  test::WriteText(folder / "styled.ass",
                  "[Script Info]\nScriptType: v4.00+\nPlayResX: 640\nPlayResY: 360\n\n[V4+ Styles]\n"
                  "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
                  "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
                  "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
                  "Style: Sign,DejaVu Sans,28,&H0000FFFF,&H0000FFFF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,"
                  "2,0,8,10,10,10,1\n\n[Events]\n"
                  "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                  "Dialogue: 0,0:00:03.00,0:00:04.50,Sign,,0,0,0,,{\\pos(320,40)}Road sign\n"
                  "Dialogue: 0,0:00:01.00,0:00:02.00,Sign,,0,0,0,,Earlier\n");
  const TextSubtitles ass = ReadSubtitleFile(folder / "styled.ass");
  ASSERT_TRUE(ass.ok) << ass.error;
  EXPECT_TRUE(ass.ownStyles);
  EXPECT_NE(ass.assHeader.find("Style: Sign,DejaVu Sans,28"), std::string::npos) << ass.assHeader;
  ASSERT_EQ(ass.cues.size(), 2u);
  EXPECT_EQ(ass.cues[0].startMs, 1000);  // in time order
  EXPECT_EQ(EventText(ass.cues[1].event), "{\\pos(320,40)}Road sign");
  EXPECT_EQ(ass.cues[1].endMs, 4500);

  test::WriteText(folder / "film.vtt",
                  "WEBVTT\n\n00:00.500 --> 00:01.250\n第一句\n\n"
                  "note-2\n00:00:01.500 --> 00:00:02.750 align:start\n<i>Second</i> line\nwith a break\n");
  ExpectTwoCues(ReadSubtitleFile(folder / "film.vtt"));
}

TEST(SubtitleSources, TextStreamsOfMkvAndMp4WithTheirLanguages) {
  test::TempFolder folder;
  test::WriteText(folder / "film.srt", kSrt);
  const std::string video = "-f lavfi -i testsrc2=size=160x120:rate=25:duration=4 ";
  ASSERT_TRUE(test::Ffmpeg(video + "-i " + ShellQuote(folder / "film.srt") + " -i " + ShellQuote(folder / "film.srt") +
                           " -map 0 -map 1 -map 2 -c:v mpeg4 -c:s:0 srt -c:s:1 ass -metadata:s:s:0 language=chi "
                           "-metadata:s:s:1 language=eng " + ShellQuote(folder / "film.mkv")));
  ASSERT_TRUE(test::Ffmpeg(video + "-i " + ShellQuote(folder / "film.srt") +
                           " -map 0 -map 1 -c:v mpeg4 -c:s mov_text -metadata:s:s:0 language=rus " +
                           ShellQuote(folder / "film.mp4")));

  std::vector<SubtitleStreamInfo> streams;
  std::string error;
  ASSERT_TRUE(ListSubtitleStreams(folder / "film.mkv", &streams, &error)) << error;
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0].index, 1);
  EXPECT_EQ(streams[0].codec, "subrip");
  EXPECT_EQ(streams[0].language, "chi");
  EXPECT_TRUE(streams[1].text);
  EXPECT_EQ(streams[1].language, "eng");

  const TextSubtitles first = ReadSubtitleStream(folder / "film.mkv");
  ExpectTwoCues(first);
  EXPECT_EQ(first.language, "chi");
  const TextSubtitles second = ReadSubtitleStream(folder / "film.mkv", 2);
  ASSERT_TRUE(second.ok) << second.error;
  EXPECT_TRUE(second.ownStyles);  // an ASS stream keeps its header
  EXPECT_EQ(second.cues.size(), 2u);
  EXPECT_EQ(second.language, "eng");

  const TextSubtitles movText = ReadSubtitleStream(folder / "film.mp4");
  ASSERT_TRUE(movText.ok) << movText.error;
  ASSERT_EQ(movText.cues.size(), 2u);
  EXPECT_EQ(movText.cues[0].startMs, 500);
  EXPECT_EQ(movText.cues[1].endMs, 2750);
  EXPECT_EQ(EventText(movText.cues[0].event), "第一句");
  EXPECT_EQ(movText.language, "rus");

  // The video stream is not a subtitle stream; a file without subtitles says so.
  EXPECT_FALSE(ReadSubtitleStream(folder / "film.mkv", 0).ok);
  ASSERT_TRUE(test::Ffmpeg(video + "-c:v mpeg4 " + ShellQuote(folder / "plain.mp4")));
  const TextSubtitles none = ReadSubtitleStream(folder / "plain.mp4");
  EXPECT_FALSE(none.ok);
  EXPECT_NE(none.error.find("has no text subtitle stream"), std::string::npos) << none.error;
}

TEST(SubtitleSources, ChapterMarksOfTheSource) {
  test::TempFolder folder;
  test::WriteText(folder / "chapters.txt",
                  ";FFMETADATA1\n[CHAPTER]\nTIMEBASE=1/1000\nSTART=0\nEND=2000\ntitle=One\n"
                  "[CHAPTER]\nTIMEBASE=1/1000\nSTART=2000\nEND=4500\ntitle=Two\n"
                  "[CHAPTER]\nTIMEBASE=1/1000\nSTART=4500\nEND=5000\ntitle=Credits\n");
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25:duration=5 -i " +
                           ShellQuote(folder / "chapters.txt") + " -map_metadata 1 -map_chapters 1 -c:v mpeg4 " +
                           ShellQuote(folder / "marked.mkv")));
  std::vector<double> marks;
  std::string error;
  ASSERT_TRUE(ReadSourceChapterMarks(folder / "marked.mkv", &marks, &error)) << error;
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_NEAR(marks[1], 2.0, 0.001);
  EXPECT_NEAR(marks[2], 4.5, 0.001);
  // The last mark is within a second of the end: no chapter there.
  EXPECT_EQ(ChapterTimes({ChapterMode::kSourceMarks, 0, {}}, 5.0, marks).size(), 2u);
  EXPECT_FALSE(ReadSourceChapterMarks(folder / "missing.mkv", &marks, &error));
  EXPECT_NE(error.find("missing.mkv"), std::string::npos);
}

}  // namespace
}  // namespace vantrel
