// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that keep the user's files whole and a wrong disc from passing for a good one,
// each with real clips, real tools and the disc read back: what a run may delete or
// overwrite, what counts as DVD-ready for a disc, when a repair is reused, what is checked
// before any work, and that every failure says why.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "authoring/authoring_driver.h"
#include "authoring/command_templates.h"
#include "authoring/default_steps.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "media/media_probe.h"
#include "menu/menu_model.h"
#include "platform/com/runtime.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/dvd_reader.h"
#include "support/media_check.h"
#include "support/media_maker.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Everything below `folder`, as "name=content" of each file, to see that nothing changed.
std::string Contents(const std::string& folder) {
  std::string all;
  std::error_code ec;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
    if (entry.is_regular_file(ec)) all += entry.path().string() + "=" + test::ReadText(entry.path()) + "\n";
  return all;
}

class SafetyRules : public ::testing::Test {
 protected:
  void SetUp() override {
    test::PrepareAppFolder(temp_ / "app");
    settings_.temppath = work_;
    settings_.createmenu = false;
    settings_.resolution = 0;
  }
  void AddTitle(const std::string& path) { test::AddTitleFile(titles_, path); }
  bool Run(AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed())) {
    AuthoringDriver driver(settings_, model_, titles_, std::move(steps), test::Installed(), test::Installed());
    const bool ok = driver.StartRun();
    failure_ = driver.FailureReason();
    return ok;
  }
  // vantrel-author with the arguments; its exit status, both outputs in `out`.
  int Cli(const std::string& arguments, std::string& out) const {
    return test::RunCapture("env VANTREL_APPDIR=" + ShellQuote(temp_ / "app") + " timeout 120 " +
                                ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") + " " + arguments +
                                " </dev/null 2>&1",
                            out);
  }
  std::string Avi(const std::string& path, const std::string& source = "testsrc", double seconds = 1) {
    EXPECT_TRUE(test::Ffmpeg("-f lavfi -i " + source + "=size=320x240:rate=25 -t " + std::to_string(seconds) +
                             " -c:v mpeg4 " + ShellQuote(path)));
    return path;
  }

  test::TempFolder temp_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", temp_ / "app"};
  std::string work_ = temp_ / "work";
  AppSettings settings_{temp_ / "Settings.ini"};
  TitleList titles_;
  MenuModel model_{temp_ / "app/layout.ini"};
  std::string failure_;
};

// ---- What may be deleted or overwritten: only what a run made, never a title or a file
// ---- behind a link.

TEST_F(SafetyRules, NothingOfTheUsersIsDeletedOrOverwritten) {
  const std::string first = temp_ / "first.mpg";
  ASSERT_TRUE(test::MakeDvdClip(first, 1, false));
  AddTitle(first);
  test::RecordingStatus status;
  ASSERT_TRUE(Run()) << failure_;

  // A title kept in TEMP or DVD, which a run empties: refused before anything is touched.
  for (const std::string& place : {work_ + "/TEMP/clip.mpg", work_ + "/DVD/clip.mpg"}) {
    ASSERT_TRUE(test::MakeDvdClip(place, 1, false));
    const std::string before = test::ReadText(place);
    TitleList one;
    test::AddTitleFile(one, place);
    AuthoringDriver driver(settings_, model_, one, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
    EXPECT_FALSE(driver.StartRun());
    EXPECT_EQ(driver.FailureReason().rfind("无法使用标题 " + place + ": 它在工作文件夹的", 0), 0u)
        << driver.FailureReason();
    EXPECT_EQ(test::ReadText(place), before);
    std::remove(place.c_str());
  }
  EXPECT_EQ(test::ReadDvd(work_ + "/DVD").titles.size(), 1u);  // the last disc is whole

  // A TEMP that is a link to the user's notes: reported, the notes neither emptied nor
  // written to; the same for the menu command.
  MakeFolder(temp_ / "notes");
  test::WriteText(temp_ / "notes/today.txt", "the user's notes");
  DeleteFolderTree(work_ + "/TEMP");
  fs::create_directory_symlink(temp_ / "notes", work_ + "/TEMP");
  EXPECT_FALSE(Run());
  EXPECT_NE(failure_.find("是一个符号链接"), std::string::npos) << failure_;
  std::string out;
  EXPECT_EQ(Cli("menu --work " + ShellQuote(work_) + " " + ShellQuote(first), out), 1) << out;
  EXPECT_NE(out.find("是一个符号链接"), std::string::npos) << out;
  EXPECT_EQ(Contents(temp_ / "notes"), temp_ / "notes/today.txt" + "=the user's notes\n");
  // A file where TEMP belongs: said so, not a log path inside it.
  fs::remove(work_ + "/TEMP");
  test::WriteText(work_ + "/TEMP", "a file of the user's");
  EXPECT_EQ(Cli("author --no-menu --yes --work " + ShellQuote(work_) + " " + ShellQuote(first), out), 1);
  EXPECT_NE(out.find("TEMP 不是文件夹"), std::string::npos) << out;
  EXPECT_EQ(out.find("TEMP/tools.log"), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(work_ + "/TEMP"), "a file of the user's");
  std::remove((work_ + "/TEMP").c_str());

  // A repair never takes the name of a title of the run: the earlier repair, kept as it
  // is, and a second clip.avi that would be repaired under the same name.
  MakeFolder(temp_ / "s9a");
  MakeFolder(temp_ / "s9b");
  TitleList two;
  test::AddTitleFile(two, Avi(temp_ / "s9a/clip.avi", "testsrc", 1));
  AuthoringDriver once(settings_, model_, two, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
  ASSERT_TRUE(once.StartRun()) << once.FailureReason();
  const std::string kept = work_ + "/(TaliroFixedDVD)clip.mpg";
  const std::string keptBytes = test::ReadText(kept);
  ASSERT_FALSE(keptBytes.empty());
  // So does a file of the user's under a repair's name that no run made.
  test::WriteText(work_ + "/(TaliroFixedDVD)clip (2).mpg", "the user's own file");
  TitleList both;
  test::AddTitleFile(both, kept);
  test::AddTitleFile(both, Avi(temp_ / "s9b/clip.avi", "smptebars", 2));
  // What a failed run kept for the user to read goes with the next run.
  MakeFolder(work_ + "/FoxImage");
  test::WriteText(work_ + "/FoxImage/title01.mpg", "a failed run's copy of a title");
  test::WriteText(work_ + "/tools.log", "a failed run's log");
  AuthoringDriver again(settings_, model_, both, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
  ASSERT_TRUE(again.StartRun()) << again.FailureReason();
  EXPECT_EQ(test::ReadText(kept), keptBytes);
  EXPECT_EQ(test::ReadText(work_ + "/(TaliroFixedDVD)clip (2).mpg"), "the user's own file");
  EXPECT_TRUE(FileExists(work_ + "/(TaliroFixedDVD)clip (3).mpg"));
  EXPECT_FALSE(fs::exists(work_ + "/FoxImage"));
  EXPECT_FALSE(fs::exists(work_ + "/tools.log"));
  const test::DvdFacts dvd = test::ReadDvd(work_ + "/DVD");
  ASSERT_EQ(dvd.titles.size(), 2u);
  EXPECT_NEAR(dvd.titles[0].seconds, 1.0, 0.2);
  EXPECT_NEAR(dvd.titles[1].seconds, 2.0, 0.2);
}

TEST_F(SafetyRules, ConvertReplacesOnlyTheFileTheUserNamed) {
  const std::string source = Avi(temp_ / "a.avi");
  test::WriteText(temp_ / "out.mpg", "an unrelated file");
  std::string out;
  // "out.avi" is written as out.mpg: without a terminal the answer is No.
  EXPECT_EQ(Cli("convert --pal " + ShellQuote(source) + " " + ShellQuote(temp_ / "out.avi"), out), 1) << out;
  EXPECT_NE(out.find("没有替换已有的文件 " + temp_ / "out.mpg"), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(temp_ / "out.mpg"), "an unrelated file");
  EXPECT_EQ(Cli("convert --no " + ShellQuote(source) + " " + ShellQuote(temp_ / "out.avi"), out), 1) << out;
  EXPECT_EQ(test::ReadText(temp_ / "out.mpg"), "an unrelated file");
  // The source itself as the output is never overwritten.
  const std::string mpg = temp_ / "b.mpg";
  ASSERT_TRUE(test::MakeDvdClip(mpg, 1, false));
  const std::string before = test::ReadText(mpg);
  EXPECT_EQ(Cli("convert --yes " + ShellQuote(mpg) + " " + ShellQuote(temp_ / "b.avi"), out), 1) << out;
  EXPECT_NE(out.find("就是要转换的文件"), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(mpg), before);
  // A Yes replaces it.
  EXPECT_EQ(Cli("convert --pal --yes " + ShellQuote(source) + " " + ShellQuote(temp_ / "out.avi"), out), 0) << out;
  const test::MediaFacts facts = test::ReadBack(temp_ / "out.mpg");
  EXPECT_EQ(facts.videoCodec, "mpeg2video");
  EXPECT_EQ(facts.height, 576);
}

// ---- What counts as DVD-ready for a disc: navigation packs and pictures of its standard.

TEST_F(SafetyRules, ATitleOfTheOtherStandardIsConvertedForTheDisc) {
  const std::string ntsc = temp_ / "ntsc.mpg", pal = temp_ / "pal.mpg", square = temp_ / "square.mpg";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=720x480:rate=30000/1001 -f lavfi -i sine -t 1 -target ntsc-dvd " +
                           ShellQuote(ntsc)));
  // The disc's own standard, with the AC-3 sound the converted titles get: kept as it is.
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine -t 1 -target pal-dvd -aspect 4:3 " +
                           ShellQuote(pal)));
  // PAL size and rate with MPEG aspect code 1 (square pixels).
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine -t 1 -target pal-dvd -aspect 1.25 " +
                           ShellQuote(square)));
  settings_.audiocodec = 3;  // the audio encoder setting: AC-3
  AddTitle(ntsc);
  AddTitle(pal);
  AddTitle(square);
  test::RecordingStatus status;
  ASSERT_TRUE(Run()) << failure_;
  const std::string xml = test::ReadText(work_ + "/TEMP/dvd.xml");
  EXPECT_EQ(xml.find("\"" + ntsc + "\""), std::string::npos) << xml;
  EXPECT_EQ(xml.find("\"" + square + "\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("\"" + pal + "\""), std::string::npos) << xml;
  EXPECT_EQ(test::ReadText(work_ + "/TEMP/tools.log").find("tv format"), std::string::npos);
  // Every title's own pictures on the disc, read with libavformat: PAL, 4:3.
  for (const std::string name : {"(TaliroFixedDVD)ntsc.mpg", "(TaliroFixedDVD)square.mpg"}) {
    const test::MediaFacts facts = test::ReadBack(work_ + "/" + name);
    EXPECT_EQ(facts.height, 576) << name;
    EXPECT_NEAR(facts.frameRate, 25.0, 0.01) << name;
    EXPECT_NEAR(facts.displayAspect, 4.0 / 3, 0.02) << name;
  }
  const test::MediaFacts vob = test::ReadBack(work_ + "/DVD/VIDEO_TS/VTS_01_1.VOB");
  EXPECT_EQ(vob.height, 576);
  EXPECT_NEAR(vob.frameRate, 25.0, 0.01);
  std::string lsdvd;
  ASSERT_EQ(test::RunCapture("lsdvd " + ShellQuote(work_ + "/DVD") + " 2>/dev/null", lsdvd), 0);
  EXPECT_NE(lsdvd.find("Title: 03"), std::string::npos) << lsdvd;
  EXPECT_EQ(lsdvd.find("NTSC"), std::string::npos) << lsdvd;
}

// ---- When a repair is reused: the same content, not only the same size and time; and a
// ---- source that changes while it is converted is never made a title.

TEST_F(SafetyRules, ARepairIsReusedOnlyForTheSameContent) {
  const std::string clip = Avi(temp_ / "clip.avi", "testsrc", 1);
  AddTitle(clip);
  {
    test::RecordingStatus status;
    ASSERT_TRUE(Run()) << failure_;
  }
  {
    test::RecordingStatus status;
    ASSERT_TRUE(Run()) << failure_;
    EXPECT_TRUE(status.Logged("沿用上次修复的文件 (TaliroFixedDVD)clip.mpg"));
  }
  // Another clip of the same size, given the same modification time.
  struct stat old {};
  ASSERT_EQ(stat(clip.c_str(), &old), 0);
  std::string bytes = test::ReadText(clip);
  for (std::size_t i = bytes.size() - 64; i < bytes.size(); ++i) bytes[i] = char(bytes[i] ^ 0x5A);
  test::WriteText(clip, bytes);
  const struct timespec times[2] = {old.st_atim, old.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, clip.c_str(), times, 0), 0);
  {
    test::RecordingStatus status;
    Run();
    EXPECT_FALSE(status.Logged("沿用上次修复的文件 (TaliroFixedDVD)clip.mpg"));
  }
}

TEST_F(SafetyRules, ASourceThatChangesWhileItIsConvertedFailsTheRun) {
  const std::string clip = Avi(temp_ / "clip.avi", "testsrc", 3);
  AddTitle(clip);
  AuthoringSteps steps = DefaultAuthoringSteps(test::Installed(), test::Installed());
  auto convert = steps.convertToDvdMpeg;
  // Cut to half while the conversion is under way, as a copy still being written would be.
  steps.convertToDvdMpeg = [convert, clip](const std::string& source, std::string& output, TvStandard standard,
                                           const DiscTarget& target, RunStatus& status, int cores) {
    EXPECT_EQ(truncate(clip.c_str(), off_t(FileSize(clip) / 2)), 0);
    return convert(source, output, standard, target, status, cores);
  };
  test::RecordingStatus status;
  EXPECT_FALSE(Run(steps));
  EXPECT_EQ(failure_, Format(AuthoringDriver::kSourceChangedText, clip.c_str()));
  EXPECT_FALSE(FileExists(work_ + "/(TaliroFixedDVD)clip.mpg"));
  EXPECT_FALSE(status.Logged("转换完成"));
  EXPECT_FALSE(fs::exists(work_ + "/DVD/VIDEO_TS"));
}

TEST_F(SafetyRules, ATitleCutShortSinceItWasAddedIsNotAuthored) {
  // Added (and probed) whole, cut to half before the run: the repair sees a file that does
  // not change while it is read, and yet holds half the pictures the title list promised.
  // A DVD-ready title kept as it is has the same rule.
  const std::string avi = Avi(temp_ / "clip.avi", "testsrc", 4);
  const std::string mpg = temp_ / "ready.mpg";
  ASSERT_TRUE(test::MakeDvdClip(mpg, 4, false));
  // Added as the desktop program and the command line add: probed with the media control.
  auto added = [](const std::string& clip, double seconds) {
    TitleList one;
    com::CoInitialize();
    CVideoEdit control;
    EXPECT_TRUE(control.Create());
    auto record = std::make_unique<TitleRecord>();
    record->SourcePath = clip;
    ProbeTitleFacts(control, *record);
    com::CoUninitialize();
    EXPECT_NEAR(record->Duration, seconds, 0.1) << clip;
    one.AppendTitle(std::move(record), 0);
    return one;
  };
  for (const std::string& clip : {avi, mpg}) {
    SCOPED_TRACE(clip);
    TitleList one = added(clip, 4.0);
    ASSERT_EQ(truncate(clip.c_str(), off_t(FileSize(clip) / 2)), 0);
    test::RecordingStatus status;
    AuthoringDriver driver(settings_, model_, one, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
    EXPECT_FALSE(driver.StartRun());
    const std::string want = "标题 " + clip + " 只有 ";
    EXPECT_EQ(driver.FailureReason().rfind(want, 0), 0u) << driver.FailureReason();
    EXPECT_NE(driver.FailureReason().find("添加时是 4.0 秒"), std::string::npos) << driver.FailureReason();
    EXPECT_FALSE(FileExists(work_ + "/(TaliroFixedDVD)clip.mpg"));
    EXPECT_FALSE(status.Logged("转换完成"));
    EXPECT_FALSE(fs::exists(work_ + "/DVD/VIDEO_TS"));
  }
  // A whole file whose sound leads its pictures by 3 s is no shorter title: the title
  // starts at its first picture, the 3 s of sound alone are not missing pictures.
  const std::string late = temp_ / "late.ts";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i sine=d=6 -itsoffset 3 -f lavfi -i testsrc=size=320x240:rate=25:d=3 -map 1:v "
                           "-map 0:a -c:v mpeg2video -c:a mp2 " + ShellQuote(late)));
  TitleList one = added(late, 6.0);
  test::RecordingStatus status;
  AuthoringDriver driver(settings_, model_, one, DefaultAuthoringSteps(test::Installed(), test::Installed()), test::Installed(), test::Installed());
  ASSERT_TRUE(driver.StartRun()) << driver.FailureReason();
  EXPECT_NEAR(test::ReadDvd(work_ + "/DVD").titles.at(0).seconds, 3.0, 0.3);
}

// ---- What is checked before any work: the menu background, the disc's limits, titles
// ---- that are not files, the work folder's path.

TEST_F(SafetyRules, WhatCannotWorkIsRefusedBeforeAnyWork) {
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 1, false));
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240 -frames:v 1 " + ShellQuote(temp_ / "whole.jpg")));
  const std::string jpeg = test::ReadText(temp_ / "whole.jpg");
  test::WriteText(temp_ / "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  test::WriteText(temp_ / "broken.png", std::string(500, 'x'));
  std::string out;
  for (const std::string& picture : {temp_ / "missing.png", temp_ / "broken.png", temp_ / "cut.jpg"}) {
    EXPECT_EQ(Cli("author --menu --yes --work " + ShellQuote(work_) + " --background " + ShellQuote(picture) + " " +
                      ShellQuote(clip),
                  out),
              1)
        << out;
    EXPECT_NE(out.find("无法使用菜单背景图片 " + picture + ": "), std::string::npos) << out;
    EXPECT_FALSE(FolderExists(work_ + "/TEMP")) << out;
    EXPECT_EQ(Cli("menu --work " + ShellQuote(work_) + " --background " + ShellQuote(picture) + " " + ShellQuote(clip),
                  out),
              1);
    EXPECT_NE(out.find("无法使用菜单背景图片 " + picture + ": "), std::string::npos) << out;
  }

  // 100 titles: the disc's limit, before a single menu page is made.
  for (int i = 0; i < 100; ++i) AddTitle(clip);
  settings_.createmenu = true;
  {
    test::RecordingStatus status;
    EXPECT_FALSE(Run());
  }
  EXPECT_EQ(failure_, "一张 DVD 最多可以有 99 个标题，列表中有 100 个；请去掉 1 个标题，或把它们分到两张光盘上");
  EXPECT_FALSE(FolderExists(work_ + "/TEMP"));

  // Things that are not files, given as titles or probed: refused at once, with the reason.
  ASSERT_EQ(mkfifo((temp_ / "f.mpg").c_str(), 0644), 0);
  const struct {
    std::string path, reason;
  } notFiles[] = {{temp_ / "f.mpg", "命名管道"}, {"/dev/zero", "设备"}, {temp_.Path(), "文件夹"},
                  {temp_ / "gone.mpg", "No such file or directory"}};
  for (const auto& [path, reason] : notFiles) {
    EXPECT_EQ(Cli("probe " + ShellQuote(path), out), 1) << path;
    EXPECT_NE(out.find("cannot read " + path + ": "), std::string::npos) << out;
    EXPECT_NE(out.find(reason), std::string::npos) << out;
    EXPECT_EQ(Cli("author --no-menu --yes --work " + ShellQuote(work_) + " " + ShellQuote(path), out), 1) << path;
    EXPECT_NE(out.find("无法使用标题 " + path + ": "), std::string::npos) << out;
    EXPECT_NE(out.find(reason), std::string::npos) << out;
    EXPECT_EQ(Cli("thumbnail " + ShellQuote(path) + " --out " + ShellQuote(temp_ / "t.bmp"), out), 1) << out;
    EXPECT_NE(out.find(reason), std::string::npos) << out;
    EXPECT_EQ(Cli("convert " + ShellQuote(path) + " " + ShellQuote(temp_ / "x.mpg"), out), 1) << out;
    EXPECT_NE(out.find(path == temp_ / "gone.mpg" ? "could not be opened" : reason), std::string::npos) << out;
  }

  // A work folder whose path the tools cannot take: said before any work.
  const std::string badWork = temp_ / "line\nfeed";
  EXPECT_EQ(Cli("author --no-menu --yes --work " + ShellQuote(badWork) + " " + ShellQuote(clip), out), 1) << out;
  EXPECT_NE(out.find("换行符"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(badWork));
  std::string longWork = temp_.Path();
  while (longWork.size() < 4100) longWork += "/" + std::string(200, 'w');
  EXPECT_EQ(Cli("author --no-menu --yes --work " + ShellQuote(longWork) + " " + ShellQuote(clip), out), 1) << out;
  EXPECT_NE(out.find("工作文件夹的路径太长"), std::string::npos) << out;
}

// ---- Every failure says why.

TEST_F(SafetyRules, EveryRefusedArgumentSaysWhatIsWrong) {
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 1, false));
  std::string out;
  for (const std::string sectors : {"-5", "abc", "0"}) {
    EXPECT_EQ(Cli("author --disc-sectors " + sectors + " " + ShellQuote(clip), out), 2);
    EXPECT_NE(out.find("--disc-sectors must be a whole number of sectors above 0, not " + sectors), std::string::npos)
        << out;
  }
  EXPECT_EQ(Cli("author --shape 5:4 " + ShellQuote(clip), out), 2);
  EXPECT_NE(out.find("--shape must be 4:3 or 16:9, not 5:4"), std::string::npos) << out;
  // regsvr32 refuses its usage as every program does, and loads nothing.
  const std::string regsvr32 = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/regsvr32");
  EXPECT_EQ(test::RunCapture(regsvr32 + " 2>&1", out), 2) << out;
  EXPECT_EQ(test::RunCapture(regsvr32 + " a.so b.so 2>&1", out), 2) << out;
  EXPECT_NE(out.find("one module at a time"), std::string::npos) << out;
}

// An image-file recorder is offered only as what it can take: one whose file cannot be
// written is unusable with the system's reason, and the run stops before any work; one on a
// small file system shows the room it has; a written one is named by its type when the
// user is asked to erase it.
TEST_F(SafetyRules, AnImageRecorderSaysWhatItCanTake) {
  const std::string locked = temp_ / "read only";
  MakeFolder(locked);
  // Root writes through permissions, so for root the folder is a read-only file system.
  std::optional<test::SmallFileSystem> readOnly;
  if (geteuid() == 0) {
    readOnly.emplace(locked, "1m", true);
    ASSERT_TRUE(readOnly->Mounted()) << "root could not mount a read-only file system";
  } else {
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
  }
  const std::string small = temp_ / "small";
  test::SmallFileSystem smallDisk(small, "3m");
  test::ScopedEnv images("VANTREL_IMAGE_DRIVES", locked + "/disc.iso;" + small + "/disc.iso");
  const std::string work = " --work " + ShellQuote(work_);
  std::string out;
  ASSERT_EQ(Cli("devices" + work, out), 0) << out;
  // D is the work folder's image, E the one that cannot be made, F the small one.
  const std::size_t e = out.find("E: "), f = out.find("F: ");
  ASSERT_NE(f, std::string::npos) << out;
  const std::string unusable = out.substr(e, f - e);
  EXPECT_NE(unusable.find("错误: The recorder cannot be used: the image file cannot be made in " + locked), std::string::npos)
      << out;
  EXPECT_EQ(unusable.find("blank"), std::string::npos) << out;
  if (smallDisk.Mounted())
    EXPECT_NE(out.find("DVD+RW, blank, 3.00 MB free of 4482.63 MB (3145728 bytes)", f), std::string::npos) << out;
  else
    std::printf("the small file system's room is not checked: this process may not mount one\n");

  // The write to it is refused before anything is encoded, for the same reason.
  const std::string clip = Avi(temp_ / "clip.avi");
  EXPECT_EQ(Cli("author --no-menu --yes --device E" + work + " " + ShellQuote(clip), out), 1) << out;
  EXPECT_NE(out.find("the image file cannot be made in " + locked), std::string::npos) << out;
  EXPECT_EQ(out.find("another program"), std::string::npos) << out;
  EXPECT_EQ(out.find("修复 MPEG 文件"), std::string::npos) << out;
  EXPECT_FALSE(fs::exists(work_ + "/DVD/VIDEO_TS"));
  EXPECT_FALSE(fs::exists(locked + "/disc.iso"));

  // The erase question names the medium: an image is a DVD+RW, not a CD-RW.
  test::WriteText(work_ + "/vantrel.iso", "last week's disc");
  const std::string folder = temp_ / "disc";
  fs::create_directories(folder);
  fs::copy(test::VideoTsFixture(), folder + "/VIDEO_TS");
  EXPECT_EQ(Cli("burn " + ShellQuote(folder) + " --no --device D" + work, out), 1) << out;
  EXPECT_NE(out.find("DVD+RW 并非空白，无法处理写入操作，除非是一张空白光盘。"), std::string::npos) << out;
  EXPECT_EQ(out.find("CD-RW"), std::string::npos) << out;
  EXPECT_EQ(Cli("erase --no" + work, out), 1) << out;
  EXPECT_NE(out.find("DVD+RW 并非空白"), std::string::npos) << out;
  EXPECT_EQ(test::ReadText(work_ + "/vantrel.iso"), "last week's disc");
}

// A server on 127.0.0.1 that answers every request with the text `answer` makes of its
// path and closes the connection: bodies without a length, errors and redirects as real
// servers send them.
class CannedServer {
 public:
  explicit CannedServer(std::function<std::string(const std::string& path)> answer) : answer_(std::move(answer)) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 8);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~CannedServer() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    thread_.join();
    close(listener_);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }

 private:
  void Serve() {
    while (!stopping_) {
      const int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[4096];
      for (ssize_t n; request.find("\r\n\r\n") == std::string::npos && (n = recv(client, buffer, sizeof buffer, 0)) > 0;)
        request.append(buffer, std::size_t(n));
      const std::size_t start = request.find(' ') + 1;
      const std::string reply = answer_(request.substr(start, request.find(' ', start) - start));
      for (std::size_t sent = 0; sent < reply.size();) {
        const ssize_t n = send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += std::size_t(n);
      }
      close(client);
    }
  }

  std::function<std::string(const std::string&)> answer_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

TEST_F(SafetyRules, ANetworkSourceEndsWholeOrSaysWhyOnTheNextLine) {
  const std::string clip = temp_ / "clip.mpg";
  ASSERT_TRUE(test::MakeDvdClip(clip, 2, false));
  const std::string body = test::ReadText(clip);
  CannedServer server([&](const std::string& path) -> std::string {
    if (path == "/missing.mpg") return "HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\nConnection: close\r\n\r\nnot found";
    if (path == "/loop.mpg") return "HTTP/1.1 302 Found\r\nLocation: /loop.mpg\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    const std::string page = "<html><body>" + std::string(4000, 'x') + "</body></html>";
    if (path == "/nolength.mpg")  // the end of the body is the close of the connection
      return "HTTP/1.1 200 OK\r\nContent-Type: video/mpeg\r\nConnection: close\r\n\r\n" + body;
    if (path == "/page.mpg")
      return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(page.size()) +
             "\r\nConnection: close\r\n\r\n" + page;
    return "HTTP/1.1 200 OK\r\nContent-Type: video/mpeg\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
  });
  // A port nobody listens on.
  const int unused = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  bind(unused, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(unused, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string refused = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/a.mpg";
  close(unused);

  const std::string client = std::string(VANTREL_APP_BUILD_DIR) + "/encorva-convert";
  test::ScopedEnv registry("VANTREL_REGISTRY_DIR", temp_ / "registry");
  std::string out;
  // A whole body without a length is no failure: it converts, all of it.
  ASSERT_EQ(test::RunCapture("timeout 120 " + ShellQuote(client) + " " + ShellQuote(server.Url("/nolength.mpg")) + " " +
                                 ShellQuote(temp_ / "whole.mpg") + " 2>&1",
                             out),
            0)
      << out;
  const test::MediaFacts whole = test::ReadBack(temp_ / "whole.mpg");
  EXPECT_EQ(whole.videoCodec, "mpeg2video");
  EXPECT_NEAR(whole.videoSeconds, 2.0, 0.1);

  const struct {
    std::string url, reason;
  } failures[] = {{server.Url("/missing.mpg"), "404"},
                  {refused, "Connection refused"},
                  {server.Url("/loop.mpg"), "redirects"},
                  {server.Url("/page.mpg"), "not a video"}};
  for (const auto& [url, reason] : failures) {
    EXPECT_EQ(test::RunCapture("timeout 120 " + ShellQuote(client) + " " + ShellQuote(url) + " " +
                                   ShellQuote(temp_ / "net.mpg") + " 2>&1",
                               out),
              1)
        << url;
    // The component's own text stays as it is; the reason follows on a line of its own.
    const std::string text = "Error 0x80040240 Failed to render source UROL!\n";
    const std::size_t at = out.find(text);
    ASSERT_NE(at, std::string::npos) << url << "\n" << out;
    const std::string next = out.substr(at + text.size(), out.find('\n', at + text.size()) - at - text.size());
    EXPECT_NE(next.find(reason), std::string::npos) << url << "\n" << out;
    EXPECT_FALSE(fs::exists(temp_ / "net.mpg"));
  }
}

}  // namespace
}  // namespace vantrel
