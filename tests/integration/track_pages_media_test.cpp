// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's track pages on real files made by ffmpeg: the sound streams of a
// film with their languages, sound and subtitle files added (or refused with the reason),
// a legacy-encoded subtitle file detected and overridden, and a cue previewed on the film's
// picture with the palette the disc's subpicture stream uses.
#include <gtest/gtest.h>
#include <iconv.h>

#include <set>

#include "app/sound_tracks_page_logic.h"
#include "app/subtitles_page_logic.h"
#include "authoring/command_templates.h"
#include "authoring/cue_preview.h"
#include "authoring/title_subtitles.h"
#include "base/text_format.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel::app {
namespace {

TEST(TrackPagesOnMedia, SoundStreamsWithTheirLanguagesAndAddedFiles) {
  test::TempFolder folder;
  const std::string film = folder / "film.mkv", dub = folder / "dub.mka", notes = folder / "notes.txt";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc2=size=160x120:rate=25:duration=2 -f lavfi -i sine=duration=2 "
                           "-f lavfi -i sine=frequency=880:duration=2 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a:0 ac3 "
                           "-c:a:1 mp2 -ac:a:0 2 -metadata:s:a:0 language=chi -metadata:s:a:1 language=und " +
                           ShellQuote(film)));
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i sine=duration=2 -c:a ac3 -metadata:s:a:0 language=fre " + ShellQuote(dub)));
  test::WriteText(notes, "not a sound file\n");

  std::vector<SoundStreamInfo> streams;
  std::string error;
  ASSERT_TRUE(ListSoundStreams(film, &streams, &error)) << error;
  ASSERT_EQ(streams.size(), 2u);
  EXPECT_EQ(streams[0].index, 1);
  EXPECT_EQ(streams[0].codec, "ac3");
  EXPECT_EQ(streams[0].channels, 2);
  EXPECT_EQ(streams[0].language, "chi");
  EXPECT_EQ(streams[1].codec, "mp2");
  EXPECT_EQ(streams[1].language, "");  // "und" says nothing
  EXPECT_FALSE(ListSoundStreams(folder / "missing.mkv", &streams, &error));
  EXPECT_NE(error.find("missing.mkv"), std::string::npos);

  TitleRecord title;
  title.SourcePath = film;
  ASSERT_TRUE(ListSoundStreams(film, &streams, &error));
  SoundTracksPageLogic page(title, streams);
  EXPECT_EQ(page.RowLanguage(0), "zh 中文");
  EXPECT_EQ(page.AddFile(dub), "");
  const std::string refusal = page.AddFile(notes);
  EXPECT_EQ(refusal.rfind("无法使用此声音文件:\n", 0), 0u) << refusal;
  EXPECT_NE(refusal.find("notes.txt"), std::string::npos) << refusal;
  page.SetOffset(2, 1500);
  page.Apply(title);
  ASSERT_EQ(title.SoundTracks.size(), 3u);
  EXPECT_EQ(title.SoundTracks[2], (SoundTrack{dub, -1, "fr", 1500}));  // the file's own tag
}

// UTF-8 text in a legacy encoding, converted in this process.
std::string Encoded(const std::string& utf8, const char* encoding) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  std::string out(utf8.size() * 4, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* to = out.data();
  size_t inLeft = utf8.size(), outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &to, &outLeft), size_t(-1));
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

const char* kFirst = "今天晚上我们一起去看电影吧";
const char* kSecond = "好的，我们在电影院门口见面";

TEST(TrackPagesOnMedia, AGb18030FileIsDetectedAndAWrongOverrideRefused) {
  test::TempFolder folder;
  const std::string film = folder / "film.mpg", srt = folder / "字幕.srt";
  ASSERT_TRUE(test::MakeDvdClip(film, 3, false));
  test::WriteText(srt, Encoded(std::string("1\r\n00:00:00,500 --> 00:00:01,500\r\n") + kFirst +
                                   "\r\n\r\n2\r\n00:00:02,000 --> 00:00:02,800\r\n" + kSecond + "\r\n\r\n",
                               "GB18030"));
  TitleRecord title;
  title.SourcePath = film;
  SubtitlesPageLogic page(title, {});
  ASSERT_EQ(page.AddFile(srt), "");
  EXPECT_EQ(page.DetectedEncoding(0), "GB18030");
  EXPECT_EQ(page.RowEncoding(0), "自动检测 (GB18030)");
  EXPECT_EQ(page.CueList(0), (std::vector<std::string>{std::string("00:00:00.500  ") + kFirst, std::string("00:00:02.000  ") + kSecond}));
  // These bytes are not UTF-8: the override is refused and the detection stays.
  const std::string why = page.SetEncoding(0, "UTF-8");
  EXPECT_EQ(why.rfind("无法读取此字幕:\n", 0), 0u) << why;
  EXPECT_EQ(page.Tracks()[0].encoding, "");
  // Big5 reads these bytes, as other characters: the user's choice is what the disc shows.
  EXPECT_EQ(page.SetEncoding(0, "BIG5"), "");
  EXPECT_EQ(page.RowEncoding(0), "BIG5");
  EXPECT_NE(page.CueList(0)[0], std::string("00:00:00.500  ") + kFirst);
  const std::string bad = page.AddFile(folder / "missing.srt");
  EXPECT_NE(bad.find("missing.srt"), std::string::npos) << bad;
  EXPECT_EQ(page.Tracks().size(), 1u);
}

TEST(TrackPagesOnMedia, ACuePreviewIsTheFilmsPictureWithTheDiscsSubpicture) {
  test::TempFolder folder;
  const std::string film = folder / "blue.mpg", srt = folder / "cue.srt";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x2040C0:size=720x576:rate=25:duration=3 -target pal-dvd -an " +
                           ShellQuote(film)));
  test::WriteText(srt, "1\n00:00:01,000 --> 00:00:02,000\n字幕 Preview\n");
  const TextSubtitles track = ReadSubtitleFile(srt);
  ASSERT_TRUE(track.ok) << track.error;

  TitleRecord title;
  title.SourcePath = film;
  SubtitlesPageLogic page(title, {});
  ASSERT_EQ(page.AddFile(srt), "");
  RgbImage picture;
  std::string error;
  ASSERT_TRUE(page.Preview(0, 0, {}, &picture, &error)) << error;
  ASSERT_EQ(picture.width, 720);
  ASSERT_EQ(picture.height, 576);
  // The same subpicture the run draws for that moment.
  SubpictureRenderer renderer(SubpictureGeometry::Of(TvStandard::Pal, false), SubtitleStyle{});
  ASSERT_TRUE(renderer.Load(track, &error)) << error;
  const SubpictureBitmap bitmap = renderer.RenderAt(1500);
  ASSERT_FALSE(bitmap.Empty());
  const SafeArea safe = SubpictureGeometry::Of(TvStandard::Pal, false).ActionSafe();
  EXPECT_GE(bitmap.y, safe.y);
  EXPECT_LE(bitmap.y + bitmap.height, safe.y + safe.height);
  int counts[4] = {};
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* p = picture.Row(y) + x * 3;
      const bool inside = x >= bitmap.x && x < bitmap.x + bitmap.width && y >= bitmap.y && y < bitmap.y + bitmap.height;
      const int index = inside ? bitmap.At(x, y) : 0;
      ++counts[index];
      if (index == 0 && (x < 22 || x >= 698)) {
        // A film of square pixels is encoded into the 4:3 frame between black bars.
        ASSERT_EQ(std::max({p[0], p[1], p[2]}), 0) << x << "," << y;
      } else if (index == 0) {  // the film's own blue, within the encoder's loss
        ASSERT_NEAR(p[0], 0x20, 12) << x << "," << y;
        ASSERT_NEAR(p[2], 0xC0, 12) << x << "," << y;
      } else {
        const std::uint32_t colour = bitmap.palette[index];
        ASSERT_EQ(p[0], colour >> 16 & 0xFF) << x << "," << y;
        ASSERT_EQ(p[1], colour >> 8 & 0xFF) << x << "," << y;
        ASSERT_EQ(p[2], colour & 0xFF) << x << "," << y;
      }
    }
  EXPECT_GT(counts[kFill], 200);
  EXPECT_GT(counts[kOutline], 200);
  EXPECT_GT(counts[kShade], 20);

  EXPECT_FALSE(page.Preview(0, 1, {}, &picture, &error));
  title.SourcePath = folder / "gone.mpg";
  title.Subtitles = page.Tracks();
  SubtitlesPageLogic gone(title, {});
  EXPECT_FALSE(gone.Preview(0, 0, {}, &picture, &error));
  EXPECT_NE(error.find("gone.mpg"), std::string::npos) << error;
}


// The title's tracks share one table of 16 colours, filled by the earlier tracks first. A
// track of five cues, each in three colours of its own, leaves no room after its fourth
// (the style's three and twelve more): its fifth, and a later track's cue in colours of
// its own, show in the style's colours on the disc, and so in the preview. First in the
// list, the same cue keeps its own colours.
std::string ColouredAss(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& colours) {
  std::string text =
      "[Script Info]\nScriptType: v4.00+\nPlayResX: 648\nPlayResY: 518\n\n[V4+ Styles]\n"
      "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
      "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
      "MarginR, MarginV, Encoding\n"
      "Style: Default,Liberation Sans,48,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,3,0,2,"
      "10,10,10,1\n\n[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
  auto bgr = [](std::uint32_t rgb) { return Format("&H%02X%02X%02X&", rgb & 0xFF, rgb >> 8 & 0xFF, rgb >> 16); };
  for (size_t k = 0; k < colours.size(); ++k)
    text += Format("Dialogue: 0,0:00:00.%02d,0:00:00.%02d,Default,,0,0,0,,{\\c%s\\3c%s}Colour %zu\n", int(k * 20),
                   int(k * 20 + 20), bgr(colours[k].first).c_str(), bgr(colours[k].second).c_str(), k + 1);
  return text;
}

TEST(TrackPagesOnMedia, ALaterTrackPreviewsInTheColoursTheEarlierTracksLeaveIt) {
  test::TempFolder folder;
  const std::string film = folder / "blue.mpg";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x2040C0:size=720x576:rate=25:duration=2 -target pal-dvd -an " +
                           ShellQuote(film)));
  std::vector<std::pair<std::uint32_t, std::uint32_t>> many;
  for (std::uint32_t k = 0; k < 5; ++k)
    many.push_back({(0x30 + 0x28 * k) << 16 | (0xE0 - 0x20 * k) << 8 | 0x40, 0x800000 | (0x10 + 0x30 * k) << 8 | 0x90});
  const std::uint32_t ownFill = 0x20E020, ownOutline = 0xE02020;
  test::WriteText(folder / "many.ass", ColouredAss(many));
  test::WriteText(folder / "own.ass", ColouredAss({{ownFill, ownOutline}}));

  TitleRecord title;
  title.SourcePath = film;
  SubtitlesPageLogic page(title, {});
  ASSERT_EQ(page.AddFile(folder / "many.ass"), "");
  ASSERT_EQ(page.AddFile(folder / "own.ass"), "");
  const SubtitleStyle style;
  const std::uint32_t shade = (((style.fill >> 16) + (style.outline >> 16)) / 2) << 16 |
                              (((style.fill >> 8 & 0xFF) + (style.outline >> 8 & 0xFF)) / 2) << 8 |
                              ((style.fill & 0xFF) + (style.outline & 0xFF)) / 2;
  // The colours of the cue's pixels: what differs from the film's blue.
  auto colours = [&](size_t row, size_t cue) {
    RgbImage picture;
    std::string error;
    std::set<std::uint32_t> seen;
    EXPECT_TRUE(page.Preview(row, cue, {}, &picture, &error)) << error;
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < picture.width; ++x) {
        const std::uint8_t* p = picture.Row(y) + x * 3;
        if (std::abs(p[0] - 0x20) + std::abs(p[1] - 0x40) + std::abs(p[2] - 0xC0) > 36)
          seen.insert(std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]);
      }
    return seen;
  };
  const std::set<std::uint32_t> styles{style.fill, style.outline, shade};
  EXPECT_TRUE(colours(0, 0).count(many[0].first)) << "the first cue in its own fill";
  EXPECT_TRUE(colours(0, 3).count(many[3].first)) << "the fourth still fits";
  EXPECT_EQ(colours(0, 4), styles) << "the fifth takes the style's";
  EXPECT_EQ(colours(1, 0), styles) << "the later track's cue takes the style's";

  // The run fits the same: its table holds the first four cues' colours, not the later track's.
  TitleSubtitleInputs inputs;
  inputs.source = inputs.vob = film;
  inputs.output = folder / "subtitled.mpg";
  inputs.palette = folder / "subtitled.rgb";
  std::vector<SubtitleStreamFacts> facts;
  std::string error;
  ASSERT_TRUE(AddSubtitleStreams(page.Tracks(), inputs, &facts, &error)) << error;
  const std::string table = test::ReadText(inputs.palette);
  EXPECT_NE(table.find(Format("%06x", many[3].first)), std::string::npos) << table;
  EXPECT_EQ(table.find(Format("%06x", many[4].first)), std::string::npos) << table;
  EXPECT_EQ(table.find(Format("%06x", ownFill)), std::string::npos) << table;

  // First in the list, its cue keeps its own colours.
  ASSERT_TRUE(page.MoveUp(1));
  const std::set<std::uint32_t> own = colours(0, 0);
  EXPECT_TRUE(own.count(ownFill) && own.count(ownOutline)) << own.size() << " colours";
}

}  // namespace
}  // namespace vantrel::app
