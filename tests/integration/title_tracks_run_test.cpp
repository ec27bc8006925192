// SPDX-License-Identifier: GPL-3.0-or-later
// A project whose title carries two sound tracks (its own and an added file), two subtitle
// files (one Chinese in GB18030) and a list of chapters, authored by vantrel-author as it
// stands: the disc is read back by lsdvd and HandBrake (sound and subtitle streams with
// their languages and formats, chapters at their times), and played
// by mplayer with the first subtitle stream shown, where the cue must appear in its place
// and time and as wide as the text drawn from the right characters.
#include <gtest/gtest.h>

#include <iconv.h>

#include <filesystem>
#include <regex>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "project/project_file.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_reader.h"
#include "support/disc_readback.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

constexpr double kFrame = 1.0 / 25;
// A Chinese subtitle file as users have them: GB18030, CR LF, a few cues (a file of one
// short line is too little for any detector to tell its encoding). The first cue is the one
// looked for on screen; the others follow after it.
const std::string kChineseSrt =
    "1\r\n00:00:02,000 --> 00:00:04,000\r\n中文字幕\r\n\r\n"
    "2\r\n00:00:05,000 --> 00:00:06,000\r\n我们明天早上去海边看日出。\r\n\r\n"
    "3\r\n00:00:06,200 --> 00:00:07,600\r\n这部电影的字幕是用简体中文写的。\r\n";

std::string InGb18030(const std::string& utf8) {
  iconv_t convert = iconv_open("GB18030", "UTF-8");
  std::string out(utf8.size() * 2, '\0');
  char* in = const_cast<char*>(utf8.data());
  char* to = out.data();
  size_t inLeft = utf8.size(), outLeft = out.size();
  const size_t done = iconv(convert, &in, &inLeft, &to, &outLeft);
  iconv_close(convert);
  EXPECT_NE(done, size_t(-1));
  out.resize(out.size() - outLeft);
  return out;
}

class TitleTracksRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    const test::TempFolder& f = *folder_;
    test::PrepareAppFolder(f / "app");
    // A DVD-ready title, kept as it is. mplayer shows a subpicture once it has read it and
    // reads only as far as the pictures it decodes: little read-ahead in the multiplex makes
    // that the cue's own time, as a player keeping to the stream's clock shows it.
    ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=c=0x303030:size=720x576:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=48000 -t 8 -target pal-dvd -aspect 4:3 -muxdelay 0.1 "
                             "-muxpreload 0.1 " + ShellQuote(f / "film.mpg")));
    test::WriteText(f / "film.srt", InGb18030(kChineseSrt));
    ASSERT_NE(test::ReadText(f / "film.srt").find("\xd6\xd0\xce\xc4"), std::string::npos);  // 中文
    test::WriteText(f / "film.en.srt", "1\n00:00:05,000 --> 00:00:06,000\nSecond language\n");

    DiscProject project;
    project.disc.resolution = 0;
    ProjectTitle title;
    title.source = f / "film.mpg";
    title.caption = "film";
    SubtitleTrack chinese;
    chinese.source = f / "film.srt";
    chinese.language = "zh";
    chinese.shownByDefault = true;
    SubtitleTrack english;
    english.source = f / "film.en.srt";
    english.language = "eng";
    title.subtitles = {chinese, english};
    // On picture-group starts (15 pictures), where the authoring tool can put them; the last
    // lies within a second of the end and is left out.
    title.chapters = {ChapterMode::kTimes, 0, {4.8, 2.4, 7.4}};
    project.titles.push_back(title);

    // The mixed list: a talk with its own sound (AC-3, copied) and a commentary the user
    // added as a WAV file (converted to the disc's AC-3) half a second after its start, and
    // subtitles; then a plain title with its one sound track and none.
    ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc2=size=720x576:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=48000 -t 4 -target pal-dvd -aspect 4:3 " +
                             ShellQuote(f / "talk.mpg")));
    ASSERT_TRUE(test::Ffmpeg("-f lavfi -i sine=frequency=1000:sample_rate=44100 -t 6 " +
                             ShellQuote(f / "commentary.wav")));
    ASSERT_TRUE(test::MakeDvdClip(f / "plain.mpg", 3, false));
    test::WriteText(f / "talk.srt", "1\n00:00:01,000 --> 00:00:02,000\nTalk\n");
    ProjectTitle talk;
    talk.source = f / "talk.mpg";
    talk.caption = "talk";
    SoundTrack own;
    own.language = "ja";
    SoundTrack commentary;
    commentary.source = f / "commentary.wav";
    commentary.language = "en";
    commentary.offsetMs = 500;
    talk.soundTracks = {own, commentary};
    SubtitleTrack talkText;
    talkText.source = f / "talk.srt";
    talkText.language = "en";
    talk.subtitles = {talkText};
    project.titles.push_back(talk);
    ProjectTitle plain;
    plain.source = f / "plain.mpg";
    plain.caption = "plain";
    project.titles.push_back(plain);
    std::string why;
    ASSERT_TRUE(WriteProjectFile(project, f / "disc.vantrel", why)) << why;
    status_ = test::RunCapture("cd " + ShellQuote(f.Path()) + " && env HOME=" + ShellQuote(f / "home") +
                                   " XDG_CONFIG_HOME=" + ShellQuote(f / "home/.config") +
                                   " VANTREL_APPDIR=" + ShellQuote(f / "app") + " timeout 300 " +
                                   ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                                   " author disc.vantrel --yes --work w </dev/null 2>&1",
                               *(out_ = new std::string));
    script_ = new std::string(test::ReadText(f / "w/TEMP/dvd.xml"));
  }
  static void TearDownTestSuite() {
    delete out_;
    delete script_;
    delete folder_;
  }
  void SetUp() override { ASSERT_EQ(status_, 0) << *out_; }

  static std::string Disc() { return (*folder_) / "w/DVD"; }

  static test::TempFolder* folder_;
  static int status_;
  static std::string* out_;     // what the command printed
  static std::string* script_;  // dvd.xml
};

test::TempFolder* TitleTracksRun::folder_ = nullptr;
int TitleTracksRun::status_ = -1;
std::string* TitleTracksRun::out_ = nullptr;
std::string* TitleTracksRun::script_ = nullptr;

TEST_F(TitleTracksRun, LsdvdFindsBothSubtitleStreamsWithTheirLanguagesAndThePlannedChapters) {
  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(Disc());
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(titles[0].subtitleLanguages, (std::vector<std::string>{"zh", "en"}));
  const std::vector<double> planned{0, 2.4, 4.8};
  ASSERT_EQ(titles[0].chapterStarts.size(), planned.size());
  for (size_t i = 0; i < planned.size(); ++i)
    EXPECT_NEAR(titles[0].chapterStarts[i], planned[i], kFrame + 1e-6) << "chapter " << i + 1;
  // The first track is shown from the start, as marked.
  EXPECT_NE(script_->find("<pre>subtitle = 64;</pre>"), std::string::npos) << *script_;
}

// Each layout of sound and subtitle tracks has a title set of its own, and the menu (proven
// by the run, button by button and title end by title end) reaches all of them.
TEST_F(TitleTracksRun, TheMixedListGetsATitleSetPerLayoutAndTheMenuReachesEach) {
  const std::vector<test::LsdvdTitle> titles = test::ReadWithLsdvd(Disc());
  ASSERT_EQ(titles.size(), 3u);
  EXPECT_EQ(titles[0].titleSet, 1);
  EXPECT_EQ(titles[1].titleSet, 2);
  EXPECT_EQ(titles[2].titleSet, 3);
  ASSERT_EQ(titles[1].sound.size(), 2u);
  EXPECT_EQ(titles[1].sound[0].language, "ja");
  EXPECT_EQ(titles[1].sound[0].format, "ac3");
  EXPECT_EQ(titles[1].sound[1].language, "en");
  EXPECT_EQ(titles[1].sound[1].format, "ac3");
  EXPECT_EQ(titles[1].subtitleLanguages, (std::vector<std::string>{"en"}));
  EXPECT_EQ(titles[2].sound.size(), 1u);
  EXPECT_TRUE(titles[2].subtitleLanguages.empty());
  EXPECT_NE(out_->find("菜单检查: 3 个按钮正确"), std::string::npos) << *out_;
  const test::DvdFacts disc = test::ReadDvd(Disc());
  ASSERT_EQ(disc.menus.size(), 1u);
  EXPECT_EQ(disc.menus[0].buttons, 3);
}

// The commentary begins half a second after the pictures: its stream (libavformat, a third
// reader) decoded, the first sound after the silence it was given is 0.5 s after the first
// picture.
TEST_F(TitleTracksRun, TheAddedSoundTrackKeepsItsOffset) {
  const std::string vob = Disc() + "/VIDEO_TS/VTS_02_1.VOB";
  std::string out;
  ASSERT_EQ(test::RunCapture("ffprobe -v error -show_entries stream=codec_type,start_time -of csv=p=0 " + ShellQuote(vob),
                             out),
            0)
      << out;
  std::vector<double> sound;
  double pictures = -1;
  const std::regex stream(R"((video|audio),([0-9.]+))");
  for (std::sregex_iterator it(out.begin(), out.end(), stream), end; it != end; ++it)
    ((*it)[1] == "video" ? pictures : (sound.push_back(0), sound.back())) = std::stod((*it)[2]);
  ASSERT_EQ(sound.size(), 2u) << out;
  ASSERT_GE(pictures, 0) << out;
  const std::string raw = (*folder_) / "commentary.raw";
  ASSERT_TRUE(test::Ffmpeg("-i " + ShellQuote(vob) + " -map 0:a:1 -ac 1 -ar 48000 -f s16le " + ShellQuote(raw)));
  const std::string samples = test::ReadText(raw);
  size_t first = 0;
  for (; first + 1 < samples.size(); first += 2) {
    const int value = int16_t(uint16_t(uint8_t(samples[first])) | uint16_t(uint8_t(samples[first + 1])) << 8);
    if (std::abs(value) > 1000) break;
  }
  ASSERT_LT(first + 1, samples.size());
  EXPECT_NEAR(sound[1] + double(first / 2) / 48000 - pictures, 0.5, kFrame) << out;
  EXPECT_NE(out_->find("标题 2 (talk.mpg) 的声音: ja ac3 (talk.mpg), en ac3 (commentary.wav)"), std::string::npos)
      << *out_;
}

TEST_F(TitleTracksRun, HandBrakeFindsTheSameTracksAndChapters) {
  std::string out;
  ASSERT_EQ(test::RunCapture("HandBrakeCLI --scan -t 0 --min-duration 0 -i " + ShellQuote(Disc()) + " 2>&1", out), 0)
      << out;
  const size_t second = out.find("+ title 2:"), third = out.find("+ title 3:");
  ASSERT_NE(second, std::string::npos) << out;
  ASSERT_NE(third, std::string::npos) << out;
  const std::string first = out.substr(0, second), talk = out.substr(second, third - second);
  EXPECT_NE(first.find("+ 1, 中文"), std::string::npos) << first;
  EXPECT_NE(first.find("+ 2, English"), std::string::npos) << first;
  EXPECT_NE(first.find("+ 1: duration 00:00:02\n    + 2: duration 00:00:02\n    + 3: duration 00:00:03\n"),
            std::string::npos)
      << first;
  EXPECT_NE(talk.find("+ 1, 日本語 (AC3)"), std::string::npos) << talk;
  EXPECT_NE(talk.find("+ 2, English (AC3)"), std::string::npos) << talk;
}

// The cue as a player shows it: mplayer draws subtitle stream 0 into its pictures. The
// light text appears on the dark title while the cue lasts (2.000 s to 4.000 s: pictures 50
// to 99), inside the action-safe area, nowhere else; and it is as wide as the four
// characters drawn from the file read as GB18030 (text read in the wrong encoding draws
// other, more glyphs).
TEST_F(TitleTracksRun, MplayerShowsTheChineseCueWhereAndWhenItBelongs) {
  test::WriteText((*folder_) / "utf8.srt", kChineseSrt);
  SubpictureRenderer renderer(SubpictureGeometry::Of(TvStandard::Pal, false), SubtitleStyle{});
  std::string error;
  ASSERT_TRUE(renderer.Load(ReadSubtitleFile((*folder_) / "utf8.srt"), &error)) << error;
  const SubpictureBitmap expected = renderer.RenderAt(3000);
  ASSERT_FALSE(expected.Empty());

  const std::string frames = (*folder_) / "frames";
  // Up to 4.8 s, before the next cue.
  ASSERT_TRUE(test::PlayDiscPictures(Disc(), 1, 0, 120, frames));
  int first = -1, last = -1, outside = 0;
  int left = 720, right = -1;
  for (int n = 1; n <= 120; ++n) {
    const test::Frame frame = test::ReadPpm(frames + "/" + Format("%08d.ppm", n));
    ASSERT_EQ(frame.width, 720) << n;
    int bright = 0;
    for (int y = 0; y < frame.height; ++y)
      for (int x = 0; x < frame.width; ++x) {
        if (frame.Luma(x, y) < 160) continue;
        const bool inCue = x >= expected.x - 2 && x < expected.x + expected.width + 2 && y >= expected.y - 2 &&
                           y < expected.y + expected.height + 2;
        if (!inCue) {
          ++outside;
          continue;
        }
        ++bright;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    if (bright > 300) {
      if (first < 0) first = n - 1;
      last = n - 1;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_NEAR(first, 50, 1);
  EXPECT_NEAR(last, 99, 1);
  // The fill spans the text less its outline on each side.
  EXPECT_NEAR(right - left + 1, expected.width, 12) << left << ".." << right;
}

TEST_F(TitleTracksRun, TheEventLogNamesTheTitlesTracksAndChapters) {
  EXPECT_NE(out_->find("标题 1 (film.mpg) 的字幕: zh (film.srt), en (film.en.srt)"), std::string::npos) << *out_;
  EXPECT_NE(out_->find("标题 1 (film.mpg) 的章节: 0,0:02.400,0:04.800"), std::string::npos) << *out_;
  EXPECT_NE(out_->find("标题 2 (talk.mpg) 的字幕: en (talk.srt)"), std::string::npos) << *out_;
  // The title with its subtitles was a copy for the authoring tool; the disc holds it now.
  EXPECT_FALSE(std::filesystem::exists((*folder_) / "w/TEMP/title01_subtitles.mpg"));
  EXPECT_FALSE(std::filesystem::exists((*folder_) / "w/TEMP/title01_subtitles.rgb"));
  EXPECT_NE(script_->find("<pgc palette=\"" + (*folder_) / "w/TEMP/title01_subtitles.rgb\">"), std::string::npos)
      << *script_;
  EXPECT_FALSE(std::filesystem::exists((*folder_) / "w/TEMP/title02_sound.mpg"));
}

// Tracks that cannot be used stop the run before anything is made, naming the title and the
// reason: a subtitle file that is gone, and more subtitle tracks than a title may have.
TEST_F(TitleTracksRun, TracksThatCannotBeUsedAreRefusedBeforeAnyWork) {
  const test::TempFolder& f = *folder_;
  DiscProject project = ReadProjectFile(f / "disc.vantrel").project;
  ASSERT_EQ(project.titles.size(), 3u);
  project.titles.resize(1);
  project.titles[0].subtitles[1].source = f / "gone.srt";
  std::string why, out;
  ASSERT_TRUE(WriteProjectFile(project, f / "gone.vantrel", why)) << why;
  const std::string command = "cd " + ShellQuote(f.Path()) + " && env HOME=" + ShellQuote(f / "home") +
                              " XDG_CONFIG_HOME=" + ShellQuote(f / "home/.config") +
                              " VANTREL_APPDIR=" + ShellQuote(f / "app") + " timeout 300 " +
                              ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") + " author ";
  EXPECT_EQ(test::RunCapture(command + "gone.vantrel --yes --work w2 </dev/null 2>&1", out), 1) << out;
  EXPECT_NE(out.find("无法使用标题 " + std::string(f / "film.mpg") + ": cannot read " + std::string(f / "gone.srt")),
            std::string::npos)
      << out;
  EXPECT_FALSE(std::filesystem::exists(f / "w2/DVD/VIDEO_TS"));

  project.titles[0].subtitles.assign(33, project.titles[0].subtitles[0]);
  ASSERT_TRUE(WriteProjectFile(project, f / "many.vantrel", why)) << why;
  EXPECT_EQ(test::RunCapture(command + "many.vantrel --yes --work w2 </dev/null 2>&1", out), 1) << out;
  EXPECT_NE(out.find("标题 1 (film.mpg) 有 33 个字幕轨，一个 DVD 标题最多可以有 32 个；请去掉 1 个"), std::string::npos)
      << out;
  EXPECT_FALSE(std::filesystem::exists(f / "w2/DVD/VIDEO_TS"));
}

}  // namespace
}  // namespace vantrel
