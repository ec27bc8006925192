// SPDX-License-Identifier: GPL-3.0-or-later
// Runs planned for small made-up discs, so that seconds of detailed video (moving noise
// over a test pattern) stand for hours: the VIDEO_TS folder never outgrows the disc, fills
// it where the titles need the room, and reads back with libdvdread.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "authoring/disc_fit_plan.h"
#include "base/paths.h"
#include "convert/dvd_title_facts.h"
#include "convert/mpeg_encoder.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"
#include "support/title_playback.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace vantrel {
namespace {

constexpr const char* kNoise = "testsrc2=size=720x576:rate=25,noise=alls=12:allf=t+u";

// A title that needs encoding: MPEG-4 in AVI, with sound.
void MakeAvi(const std::string& path, double seconds) {
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i '" + std::string(kNoise) +
                           "' -f lavfi -i sine=frequency=300:sample_rate=48000 -t " +
                           std::to_string(seconds) + " -c:v mpeg4 -q:v 3 -c:a mp2 " + ShellQuote(path)));
}

// A DVD-ready title at an average video rate of `bitRate`.
void MakeReady(const std::string& path, double seconds, int bitRate) {
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i '" + std::string(kNoise) +
                           "' -f lavfi -i sine=frequency=500:sample_rate=48000 -t " +
                           std::to_string(seconds) + " -target pal-dvd -b:v " +
                           std::to_string(bitRate) + " -maxrate 9000000 -aspect 4:3 " + ShellQuote(path)));
}

// A DVD-ready title of `shape` ("4:3", "16:9") with sound in `codec` ("mp2", "ac3").
void MakeReadyAs(const std::string& path, double seconds, int bitRate, const std::string& shape,
                 const std::string& codec) {
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i '" + std::string(kNoise) +
                           "' -f lavfi -i sine=frequency=500:sample_rate=48000 -t " +
                           std::to_string(seconds) + " -target pal-dvd -b:v " + std::to_string(bitRate) +
                           " -maxrate 9000000 -aspect " + shape + " -c:a " + codec + " -b:a 192k " +
                           ShellQuote(path)));
}

// Sectors of the disc image the disc writer would make of the folder.
std::int64_t ImageSectors(const std::string& outputFolder) {
  const std::string command = "genisoimage -quiet -print-size -dvd-video -udf " + ShellQuote(outputFolder) + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return -1;
  char line[256] = {};
  std::string text;
  while (std::fgets(line, sizeof line, pipe)) text += line;
  if (pclose(pipe) != 0) ADD_FAILURE() << "genisoimage failed: " << text;
  return std::atoll(text.c_str());
}

struct StreamRates {
  double videoAverage = 0;  // bits/s of the video packets over the pictures' time
  double headerPeak = 0;    // the sequence header's bit rate: the peak the stream keeps to
  double muxRate = 0;       // the highest program mux rate of any pack header
};

// Read with libavformat and from the raw pack and sequence headers.
StreamRates RatesOf(const std::string& path) {
  StreamRates rates;
  AVFormatContext* ctx = nullptr;
  if (avformat_open_input(&ctx, path.c_str(), nullptr, nullptr) < 0) return rates;
  avformat_find_stream_info(ctx, nullptr);
  const int video = av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  AVPacket* packet = av_packet_alloc();
  double bytes = 0;
  int frames = 0;
  while (video >= 0 && av_read_frame(ctx, packet) >= 0) {
    if (packet->stream_index == video) bytes += packet->size, ++frames;
    av_packet_unref(packet);
  }
  if (video >= 0 && frames > 0)
    rates.videoAverage = bytes * 8 / (frames / av_q2d(ctx->streams[video]->avg_frame_rate));
  av_packet_free(&packet);
  avformat_close_input(&ctx);

  const std::string data = test::ReadText(path);
  for (std::size_t at = 0; at + 14 <= data.size(); at += 2048) {
    const auto* b = reinterpret_cast<const unsigned char*>(data.data() + at);
    if (b[0] == 0 && b[1] == 0 && b[2] == 1 && b[3] == 0xBA)
      rates.muxRate = std::max(rates.muxRate, 400.0 * ((b[10] << 14) | (b[11] << 6) | (b[12] >> 2)));
  }
  const auto sequence = data.find(std::string("\0\0\1\xB3", 4));
  if (sequence != std::string::npos && sequence + 11 <= data.size()) {
    const auto* b = reinterpret_cast<const unsigned char*>(data.data() + sequence);
    rates.headerPeak = 400.0 * ((b[8] << 10) | (b[9] << 2) | (b[10] >> 6));
  }
  return rates;
}

class DiscFitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = temp_ / "work";
    settings_.createmenu = false;
    settings_.resolution = 0;
  }
  void AddTitle(const std::string& path) { test::AddTitleFile(titles_, path); }
  bool Run(std::int64_t sectors) {
    AuthoringDriver driver(settings_, model_, titles_, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
    driver.SetDiscCapacity(sectors, "test disc");
    folders_ = RunFolders::For(settings_.temppath, temp_ / "app");
    return driver.StartRun();
  }
  std::string VideoTs() const { return folders_.output + "/VIDEO_TS"; }
  // The folder fits the disc; where the titles need the room the disc is filled.
  void ExpectFilled(std::int64_t sectors, bool needsTheRoom = true) {
    const std::int64_t capacity = sectors * kDiscSectorBytes;
    const auto folder = std::int64_t(FolderSize(VideoTs()));
    const std::int64_t image = ImageSectors(folders_.output) * kDiscSectorBytes;
    RecordProperty("image_fill", std::to_string(double(image) / capacity));
    RecordProperty("folder_fill", std::to_string(double(folder) / capacity));
    EXPECT_LE(folder, capacity);
    EXPECT_LE(image, capacity);
    if (needsTheRoom) {
      EXPECT_GE(double(image) / capacity, 0.95) << "folder " << folder << " image " << image;
      // What the image's file system takes is no room the titles could have had.
      EXPECT_GE(double(folder) / (capacity - (image - folder)), 0.95);
    }
  }
  bool Logged(const std::string& start) { return !LoggedLine(start).empty(); }
  std::string LoggedLine(const std::string& start) {
    for (const auto& line : status_.lines)
      if (line.text.rfind(start, 0) == 0) return line.text;
    return "";
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
  RunFolders folders_;
  test::RecordingStatus status_{true};
};

TEST(DiscFitFacts, WhatThePlanLearnsOfATitle) {
  test::TempFolder temp;
  // A 2.35:1 picture goes into a 16:9 frame with bars: only the picture's pixels count.
  const std::string wide = temp / "wide.avi", ready = temp / "ready.mpg";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc2=size=1024x436:rate=25 -t 2 -c:v mpeg4 " + ShellQuote(wide)));
  DvdTitleFacts facts;
  ASSERT_TRUE(DvdTitleFactsOf(wide, TvStandard::Pal, facts));
  EXPECT_NEAR(facts.seconds, 2.0, 0.1);
  EXPECT_NEAR(facts.pixelsPerSecond / (720.0 * 576 * 25), 576.0 * 16 / 9 / 2.35 / 576, 0.01);
  EXPECT_EQ(facts.audioBitRate, 192000);
  EXPECT_FALSE(facts.copied);
  EXPECT_FALSE(DvdTitleFactsOf(temp / "missing.avi", TvStandard::Pal, facts));

  // A DVD-legal title is copied at the encoder's own rate, encoded when less is asked for.
  MakeReady(ready, 2, 5000000);
  ASSERT_TRUE(DvdTitleFactsOf(ready, TvStandard::Pal, facts));
  EXPECT_TRUE(facts.copied);
  EXPECT_DOUBLE_EQ(facts.pixelsPerSecond, 720.0 * 576 * 25);
  EncoderPreset preset = PresetFor(FormatFamily::Dvd, TvStandard::Pal);
  EXPECT_TRUE(MpegEncoder::WouldCopy(ready, preset));
  preset.videoBitRate = 5500000;  // more than the title has
  EXPECT_TRUE(MpegEncoder::WouldCopy(ready, preset));
  preset.videoBitRate = 3000000;
  EXPECT_FALSE(MpegEncoder::WouldCopy(ready, preset));

  // Made for a disc: new sound only keeps the pictures, at the file's bytes with the sound
  // at the encoded rate (448 kbit/s of AC-3 become 192 of MPEG sound); a new shape is an
  // encode whose picture is pillarboxed.
  DvdTitleFacts own;
  ASSERT_TRUE(DvdTitleFactsOf(ready, TvStandard::Pal, own));
  ASSERT_TRUE(DvdTitleFactsOf(ready, TvStandard::Pal, facts, DiscTarget{0, AudioCodec::Mp2, true}));
  EXPECT_TRUE(facts.copied);
  EXPECT_NEAR(double(own.copiedBytes - facts.copiedBytes), (448000 - 192000) * 2.0 / 8, 2000);
  ASSERT_TRUE(DvdTitleFactsOf(ready, TvStandard::Pal, facts, DiscTarget{3, AudioCodec::Ac3, true}));
  EXPECT_FALSE(facts.copied);
  EXPECT_NEAR(facts.pixelsPerSecond / (720.0 * 576 * 25), 0.75, 0.01);
}

TEST_F(DiscFitTest, TitlesToEncodeShareTheDisc) {
  // 47 s at the encoder's own 6 Mbit/s would take about 37 MB; the disc holds 31.
  const std::int64_t sectors = 16000;
  for (auto [name, seconds] : {std::pair{"a.avi", 20.0}, {"b.avi", 15.0}, {"c.avi", 12.0}}) {
    MakeAvi(temp_ / name, seconds);
    AddTitle(temp_ / name);
  }
  ASSERT_TRUE(Run(sectors)) << test::ReadText(folders_.intermediate + "tools.log");
  ExpectFilled(sectors);
  EXPECT_GE(double(FolderSize(VideoTs())) / (sectors * kDiscSectorBytes), 0.95);
  EXPECT_TRUE(status_.Logged("光盘容量: test disc，31.25MB"));
  EXPECT_TRUE(status_.questions.empty());

  // The repaired titles carry the planned rate as their average, a peak within the DVD's.
  const std::string line = LoggedLine("标题 1 (a.avi): 视频码率 ");
  ASSERT_FALSE(line.empty());
  const double planned = std::atof(line.c_str() + std::string("标题 1 (a.avi): 视频码率 ").size()) * 1e6;
  EXPECT_LT(planned, 6000000);
  EXPECT_GT(planned, kFitFloorBitRate);
  const StreamRates rates = RatesOf(settings_.temppath + "/(TaliroFixedDVD)a.mpg");
  EXPECT_NEAR(rates.videoAverage / planned, 1.0, 0.05);
  EXPECT_GT(rates.headerPeak, planned);
  EXPECT_LE(rates.headerPeak, 9800000);
  EXPECT_GT(rates.muxRate, 0);
  EXPECT_LE(rates.muxRate, 10080000);

  test::DvdFacts dvd = test::ReadDvd(folders_.output);
  ASSERT_TRUE(dvd.opened);
  ASSERT_EQ(dvd.titles.size(), 3u);
  EXPECT_NEAR(dvd.titles[0].seconds, 20.0, 0.3);
  EXPECT_NEAR(dvd.titles[2].seconds, 12.0, 0.3);
}

TEST_F(DiscFitTest, ReadyTitlesThatFitAreKeptAndTheRestFillsTheDisc) {
  const std::int64_t sectors = 5000;
  settings_.audiocodec = 3;  // the repair gives the AC-3 of the ready title
  MakeReady(temp_ / "ready.mpg", 5, 4000000);
  MakeAvi(temp_ / "new.avi", 10);
  AddTitle(temp_ / "ready.mpg");
  AddTitle(temp_ / "new.avi");
  ASSERT_TRUE(Run(sectors)) << test::ReadText(folders_.intermediate + "tools.log");
  ExpectFilled(sectors);
  EXPECT_TRUE(Logged("标题 1 (ready.mpg): 保持原样"));
  EXPECT_FALSE(FileExists(settings_.temppath + "/(TaliroFixedDVD)ready.mpg"));
  EXPECT_NE(test::ReadText(folders_.intermediate + "dvd.xml").find(temp_ / "ready.mpg"), std::string::npos);
  EXPECT_EQ(test::ReadDvd(folders_.output).titles.size(), 2u);
}

TEST_F(DiscFitTest, AReadyTitleTooRichForTheDiscIsEncodedToFit) {
  // 8 s at 8.5 Mbit/s alone nearly fill the disc; the other title would be left the floor.
  const std::int64_t sectors = 5000;
  MakeReady(temp_ / "rich.mpg", 8, 8500000);
  MakeAvi(temp_ / "new.avi", 6);
  AddTitle(temp_ / "rich.mpg");
  AddTitle(temp_ / "new.avi");
  ASSERT_TRUE(Run(sectors)) << test::ReadText(folders_.intermediate + "tools.log");
  ExpectFilled(sectors);
  EXPECT_TRUE(FileExists(settings_.temppath + "/(TaliroFixedDVD)rich.mpg"));
  EXPECT_TRUE(Logged("标题 1 (rich.mpg): 视频码率 "));
  test::DvdFacts dvd = test::ReadDvd(folders_.output);
  ASSERT_EQ(dvd.titles.size(), 2u);
  EXPECT_NEAR(dvd.titles[0].seconds, 8.0, 0.3);
}

TEST_F(DiscFitTest, TitlesMadeAnewForTheDiscsShapeShareItsRoom) {
  // A 4:3 disc with MPEG sound (the first title's): the wide title is encoded into its
  // frame at a planned rate; the title with AC-3 keeps its pictures and gets new sound.
  const std::int64_t sectors = 4300;
  settings_.zoom = 0;
  MakeReadyAs(temp_ / "plain.mpg", 4, 3000000, "4:3", "mp2");
  MakeReadyAs(temp_ / "other sound.mpg", 4, 3000000, "4:3", "ac3");
  MakeReadyAs(temp_ / "wide.mpg", 10, 8000000, "16:9", "mp2");
  for (const char* name : {"plain.mpg", "other sound.mpg", "wide.mpg"}) AddTitle(temp_ / name);
  ASSERT_TRUE(Run(sectors)) << test::ReadText(folders_.intermediate + "tools.log");
  ExpectFilled(sectors);
  EXPECT_TRUE(Logged("标题 1 (plain.mpg): 保持原样"));
  EXPECT_TRUE(Logged("标题 2 (other sound.mpg): 保持原样"));
  const std::string line = LoggedLine("标题 3 (wide.mpg): 视频码率 ");
  ASSERT_FALSE(line.empty());
  const double planned = std::atof(line.c_str() + std::string("标题 3 (wide.mpg): 视频码率 ").size()) * 1e6;
  EXPECT_LT(planned, 6000000);
  EXPECT_NEAR(RatesOf(settings_.temppath + "/(TaliroFixedDVD)wide.mpg").videoAverage / planned, 1.0, 0.05);
  EXPECT_NEAR(RatesOf(settings_.temppath + "/(TaliroFixedDVD)other sound.mpg").videoAverage /
                  RatesOf(temp_ / "other sound.mpg").videoAverage,
              1.0, 0.005);

  MakeFolder(temp_ / "dumps");
  const test::DiscPlayback disc = test::ReadDiscPlayback(folders_.output, temp_ / "dumps");
  ASSERT_EQ(disc.titles.size(), 3u);
  EXPECT_EQ(disc.setAspectCode, 2);
  EXPECT_EQ(disc.setAudio, std::vector<std::string>{"mpeg1"});
  EXPECT_EQ(test::PlaybackFaults(disc), "");
  EXPECT_EQ(disc.titles[2].aspectCode, 2);
}

TEST_F(DiscFitTest, ATitleEncodedOnlyToFitKeepsTheSoundOfTheDisc) {
  // Both titles are ready and agree (MPEG sound); the rich one must shrink, and an encode
  // must not give it AC-3 the disc's title set does not declare.
  const std::int64_t sectors = 3500;
  MakeReadyAs(temp_ / "small.mpg", 3, 3000000, "4:3", "mp2");
  MakeReadyAs(temp_ / "rich.mpg", 8, 8500000, "4:3", "mp2");
  AddTitle(temp_ / "small.mpg");
  AddTitle(temp_ / "rich.mpg");
  ASSERT_TRUE(Run(sectors)) << test::ReadText(folders_.intermediate + "tools.log");
  ExpectFilled(sectors);
  EXPECT_TRUE(Logged("标题 2 (rich.mpg): 视频码率 "));
  EXPECT_TRUE(FileExists(settings_.temppath + "/(TaliroFixedDVD)rich.mpg"));
  MakeFolder(temp_ / "dumps");
  const test::DiscPlayback disc = test::ReadDiscPlayback(folders_.output, temp_ / "dumps");
  ASSERT_EQ(disc.titles.size(), 2u);
  EXPECT_EQ(disc.setAudio, std::vector<std::string>{"mpeg1"});
  EXPECT_EQ(test::PlaybackFaults(disc), "");
}

TEST_F(DiscFitTest, OneTitleAloneFillsTheDisc) {
  const std::int64_t sectors = 4000;
  MakeAvi(temp_ / "only.avi", 12);
  AddTitle(temp_ / "only.avi");
  ASSERT_TRUE(Run(sectors)) << test::ReadText(folders_.intermediate + "tools.log");
  ExpectFilled(sectors);
  test::DvdFacts dvd = test::ReadDvd(folders_.output);
  ASSERT_EQ(dvd.titles.size(), 1u);
  EXPECT_NEAR(dvd.titles[0].seconds, 12.0, 0.3);
}

// Film grain, fresh in every picture: the content that pushed a rate control past its
// plan. Every title must hold its rate, so the disc fits and is still filled.
void MakeGrainyAvi(const std::string& path, double seconds, int grain, bool ntsc) {
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i 'testsrc2=s=" + std::string(ntsc ? "720x480:r=30000/1001" : "720x576:r=25") +
                           ",noise=alls=" + std::to_string(grain) + ":allf=t' -f lavfi -i sine=sample_rate=48000 -t " +
                           std::to_string(seconds) + " -c:v mpeg4 -q:v 2 -c:a mp2 " + ShellQuote(path)));
}

TEST_F(DiscFitTest, GrainyTitlesFitPalAndNtscWithAndWithoutAMenu) {
  for (bool ntsc : {false, true}) {
    titles_ = TitleList();
    for (int grain : {30, 50}) {
      const std::string name = temp_ / ((ntsc ? "n" : "p") + std::to_string(grain) + ".avi");
      MakeGrainyAvi(name, 6, grain, ntsc);
      AddTitle(name);
    }
    settings_.resolution = ntsc ? 1 : 0;
    for (bool menu : {false, true}) {
      SCOPED_TRACE(std::string(ntsc ? "NTSC" : "PAL") + (menu ? " with a menu" : " without a menu"));
      settings_.createmenu = menu;
      // About 3.3 Mbit/s for each title: where grain outgrew the plan by 8 to 40 %.
      const std::int64_t sectors = 3100 + (menu ? 150 : 0);
      status_.lines.clear();
      ASSERT_TRUE(Run(sectors)) << status_.Text();
      ExpectFilled(sectors);
      const test::DvdFacts dvd = test::ReadDvd(folders_.output);
      ASSERT_EQ(dvd.titles.size(), 2u);
      EXPECT_NEAR(dvd.titles[1].seconds, 6.0, 0.3);
      if (menu) {
        ASSERT_EQ(dvd.menus.size(), 1u);
        EXPECT_EQ(dvd.menus[0].buttons, 2);
      }
    }
  }
}

// An encode that misses its rate by far: the disc is measured, the title that overshot is
// encoded again at the rate that fits, and the disc fits (after another title, when one
// was not enough); when that does not help, the run fails with both sizes and leaves no disc.
TEST_F(DiscFitTest, ADiscThatCameOutTooLargeIsMadeToFitOrFailsWithItsSize) {
  for (auto [name, grain] : {std::pair{"a.avi", 30}, {"b.avi", 30}}) {
    MakeGrainyAvi(temp_ / name, 6, grain, false);
    AddTitle(temp_ / name);
  }
  // Both titles are encoded at once, so the plan cannot make up for one's miss with the
  // other's rate: only the measured disc catches it.
  const std::int64_t sectors = 3400;
  AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed());
  const auto convert = steps.convertToDvdMpeg;
  std::mutex lock;
  std::vector<int> asked;
  int overshoot = 1;  // how many encodes ignore the plan
  bool deaf = false;   // a title made again comes out larger than it first did
  std::map<std::string, int> first;
  steps.convertToDvdMpeg = [&](const std::string& source, std::string& output, TvStandard standard,
                               const DiscTarget& target, RunStatus& status, int cores) {
    DiscTarget wrong = target;
    {
      std::lock_guard hold(lock);
      asked.push_back(target.videoBitRate);
      if (overshoot-- > 0) wrong.videoBitRate = std::min(9000000, target.videoBitRate * 5 / 4);
      if (deaf && first.count(source)) wrong.videoBitRate = std::min(9000000, first[source] * 11 / 10);
      first.emplace(source, wrong.videoBitRate);
    }
    return convert(source, output, standard, wrong, status, cores);
  };
  auto run = [&] {
    AuthoringDriver driver(settings_, model_, titles_, steps, test::Installed(), test::Installed());
    driver.SetDiscCapacity(sectors, "test disc");
    folders_ = RunFolders::For(settings_.temppath, temp_ / "app");
    return driver.StartRun();
  };
  ASSERT_TRUE(run()) << status_.Text();
  ASSERT_EQ(asked.size(), 3u);
  EXPECT_LT(asked[2], asked[0]) << "the title that overshot is made again at a lower rate";
  EXPECT_TRUE(Logged("光盘映像超出容量 "));
  ExpectFilled(sectors, false);
  EXPECT_EQ(test::ReadDvd(folders_.output).titles.size(), 2u);

  // Both first encodes overshoot, and so does the first made again: it brings the disc
  // closer, not under, so another title is made again too.
  asked.clear();
  first.clear();
  overshoot = 3;
  model_.Clear();
  std::filesystem::remove_all(settings_.temppath);
  status_.lines.clear();
  ASSERT_TRUE(run()) << status_.Text();
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_LT(asked[2], std::max(asked[0], asked[1]));
  EXPECT_LT(asked[3], std::max(asked[0], asked[1]));
  ExpectFilled(sectors, false);

  // Both first encodes overshoot and the title made again comes out larger still: the disc
  // did not get smaller, so no other is tried; the run ends with the sizes, and the disc is not left.
  asked.clear();
  first.clear();
  overshoot = 2;
  deaf = true;
  model_.Clear();
  std::filesystem::remove_all(settings_.temppath);
  status_.lines.clear();
  EXPECT_FALSE(run());
  EXPECT_EQ(asked.size(), 3u);
  bool told = false;
  for (const auto& line : status_.lines)
    told = told || (line.text.find("光盘映像为 ") == 0 && line.text.find("超过光盘容量 6.64MB") != std::string::npos);
  EXPECT_TRUE(told);
  EXPECT_FALSE(FolderExists(VideoTs()));
}

TEST_F(DiscFitTest, AListThatCannotFitIsAskedAboutBeforeAnyEncoding) {
  MakeAvi(temp_ / "long.avi", 10);
  AddTitle(temp_ / "long.avi");
  settings_.createmenu = true;  // the menus are not made for a run stopped there either
  test::RecordingStatus declining(false);  // answers No
  EXPECT_FALSE(Run(1500));
  ASSERT_EQ(declining.questions.size(), 1u);
  EXPECT_EQ(declining.questions[0].rfind("即使以最低视频码率 2.0 Mbit/s 转换，'VIDEO_TS' 中的文件大小也将达到 ", 0), 0u);
  EXPECT_NE(declining.questions[0].find("超过光盘容量 2.93MB。您无论如何都要继续吗？"), std::string::npos);
  EXPECT_TRUE(declining.Logged("被用户取消，文件大小超过光盘容量"));
  EXPECT_FALSE(declining.Logged("fixing long.avi 到 DVD 兼容的 VOB"));
  EXPECT_FALSE(FileExists(settings_.temppath + "/(TaliroFixedDVD)long.mpg"));
  std::vector<std::string> streams;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folders_.intermediate, ec))
    if (entry.path().extension() == ".mpg") streams.push_back(entry.path().filename().string());
  EXPECT_TRUE(streams.empty()) << "menu streams made before the answer: " << streams.size();
}

}  // namespace
}  // namespace vantrel
