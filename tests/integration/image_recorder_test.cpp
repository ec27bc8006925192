// SPDX-License-Identifier: GPL-3.0-or-later
// The disc-writing library on image-file recorders, through its C calls: devices, medium
// facts, the project calls, writes that end well, full or cancelled, and erase.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "base/utf.h"
#include "burn/burn_dialog_state.h"
#include "burn/disc_library.h"
#include "platform/foxburner/foxburner.h"
#include "platform/foxburner/foxburner_ext.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

constexpr double kDvdBytes = 4700372992.0;

// The end of an asynchronous write or erase, as its done callback reports it.
struct DoneWait {
  std::mutex mutex;
  std::condition_variable signal;
  bool done = false;
  std::string text;

  static void OnDone(const char* text, void* self) {
    auto* wait = static_cast<DoneWait*>(self);
    std::lock_guard lock(wait->mutex);
    wait->text = text;
    wait->done = true;
    wait->signal.notify_all();
  }
  std::string Wait() {
    std::unique_lock lock(mutex);
    signal.wait(lock, [this] { return done; });
    return text;
  }
};

// A tmpfs of the given size, for a full disk on purpose.
class SmallFilesystem {
 public:
  SmallFilesystem(const std::string& path, const char* size) : path_(path) {
    MakeFolder(path);
    std::string options = std::string("size=") + size;
    mounted_ = mount("tmpfs", path.c_str(), "tmpfs", 0, options.c_str()) == 0;
    EXPECT_TRUE(mounted_) << "mounting a tmpfs needs root: " << std::strerror(errno);
  }
  ~SmallFilesystem() {
    if (mounted_) umount2(path_.c_str(), MNT_DETACH);
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string path_;
  bool mounted_ = false;
};

std::string Sha256Of(const std::string& path) {
  std::string out;
  test::RunCapture("sha256sum " + ShellQuote(path), out);
  return out.substr(0, 64);
}

class ImageRecorder : public ::testing::Test {
 protected:
  void Open(const std::vector<std::string>& images) {
    std::string list;
    for (const auto& image : images) list += image + ";";
    ASSERT_EQ(Initialize(list.c_str(), 1), 0);
    SetBurnDoneEventCallback(DoneWait::OnDone, &burnDone_);
    SetEraseDoneEventCallback(DoneWait::OnDone, &eraseDone_);
  }
  void TearDown() override { DeInitialize(); }

  std::vector<std::string> Devices() {
    char names[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE];
    int32_t count = 0;
    EXPECT_EQ(GetDevices(names, &count, 1), 0);
    return std::vector<std::string>(names, names + count);
  }
  // The letter of the image recorder whose name ends with the file's name.
  char LetterOf(const std::string& image) {
    for (const std::string& name : Devices())
      if (name.find(FileNameOf(image) + ")") != std::string::npos) return name[0];
    ADD_FAILURE() << "no device for " << image;
    return 0;
  }
  MediumInfo Medium() {
    MediumInfo info = PrefilledMediumInfo();
    EXPECT_EQ(GetMediumInformation(&info), 0);
    return info;
  }
  // The project sequence of the burn dialog up to Prepare; Prepare's result.
  int PrepareProject(const std::string& source) {
    EXPECT_EQ(DeleteProject(), 0);
    EXPECT_EQ(CreateProject(5), 0);
    DirRecord record;
    EXPECT_TRUE(VideoTsDirRecord(source, record));
    EXPECT_EQ(AddDir(record), 0);
    BurnOptions options = PrefilledBurnOptions();
    EXPECT_EQ(GetOptions(&options), 0);
    std::strcpy(options.VolumeLabel, "NEW DISC");
    SetOptions(options);
    return Prepare();
  }

  test::TempFolder temp_;
  DoneWait burnDone_, eraseDone_;
};

TEST_F(ImageRecorder, DevicesHaveStableLettersAndNamesThatFitTheirEntries) {
  std::string longFolder = temp_ / "一个很长的文件夹名字用来测试设备名称的截断";
  MakeFolder(longFolder);
  Open({temp_ / "a.iso", longFolder + "/光盘.iso", temp_.Path(), temp_ / "missing/b.iso"});
  std::vector<std::string> first = Devices(), second = Devices();
  EXPECT_EQ(first, second);
  ASSERT_GE(first.size(), 4u);
  size_t images = first.size() - 4;  // real recorders come first, from "D" on
  for (size_t i = 0; i < first.size(); ++i) {
    SCOPED_TRACE(first[i]);
    EXPECT_EQ(first[i][0], char('D' + i));
    EXPECT_LT(first[i].size(), size_t(FB_DEVICE_NAME_SIZE));
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(first[i])), first[i]);  // cut on a character boundary
  }
  // A path too long for the entry keeps its end, which tells the files apart.
  EXPECT_EQ(first[images].rfind(std::string(1, char('D' + images)) + ": 映像文件 (", 0), 0u);
  EXPECT_EQ(first[images].substr(first[images].size() - 6), "a.iso)");
  EXPECT_NE(first[images + 1].find("光盘.iso)"), std::string::npos);
  // The burn dialog tells the image files from drives by these names: with image files
  // alone (and the work folder) it asks the no-recorder question.
  BurnTargets targets;
  targets.Load(std::vector<std::string>(first.begin() + long(images), first.end()), temp_.Path());
  for (size_t i = 0; i + 1 < targets.Entries().size(); ++i) EXPECT_TRUE(targets.Entries()[i].IsImageFile());
  EXPECT_FALSE(targets.Entries().back().IsImageFile());
  EXPECT_FALSE(targets.HasRecorder());
  std::vector<std::string> withDrive = first;
  withDrive.insert(withDrive.begin(), "C: 光驱 DVD-RW (/dev/sr0)");
  targets.Load(withDrive, temp_.Path());
  EXPECT_FALSE(targets.Entries()[0].IsImageFile());
  EXPECT_TRUE(targets.HasRecorder());

  EXPECT_EQ(SetDevice('D' + images), 0);
  EXPECT_NE(SetDevice('Z'), 0);
  int rc = SetDevice('D' + images + 2);  // a folder
  EXPECT_NE(rc, 0);
  EXPECT_NE(LibraryText(rc).find("is a folder"), std::string::npos) << LibraryText(rc);
  rc = SetDevice('D' + images + 3);  // a missing folder
  EXPECT_NE(rc, 0);
  EXPECT_NE(LibraryText(rc).find("does not exist"), std::string::npos) << LibraryText(rc);
  MediumInfo info = PrefilledMediumInfo();
  EXPECT_NE(GetMediumInformation(&info), 0);  // no device is grabbed after a failed choice
}

TEST_F(ImageRecorder, WriteReplacesALongerImageAndIsReadBackAgainstWhatWasSent) {
  std::string image = temp_ / "old disc.iso";
  test::WriteText(image, std::string(3 << 20, 'x'));  // longer than the new image
  Open({image});
  ASSERT_EQ(SetDevice(LetterOf(image)), 0);
  MediumInfo before = Medium();
  EXPECT_STREQ(before.Type, "DVD+RW");
  EXPECT_EQ(before.State, 1);
  EXPECT_GT(before.Capacity, 0);
  EXPECT_LE(before.Capacity, kDvdBytes);

  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  ASSERT_EQ(Burn(), 0);
  EXPECT_EQ(burnDone_.Wait(), "");
  char digest[80] = "";
  GetLastWriteDigest(digest, sizeof digest);
  EXPECT_EQ(Sha256Of(image), digest);  // the file is exactly the stream that was sent
  EXPECT_LT(FileSize(image), std::uint64_t(3 << 20));
  EXPECT_EQ(FileSize(image) % 2048, 0u);
  EXPECT_EQ(Medium().State, 1);

  ASSERT_EQ(Erase(1), 0);
  EXPECT_EQ(eraseDone_.Wait(), "");
  EXPECT_EQ(FileSize(image), 0u);
  EXPECT_EQ(Medium().State, 0);
  char note[256] = "";
  GetLastNote(note, sizeof note);
  EXPECT_STREQ(note, "the image file was emptied");
}

TEST_F(ImageRecorder, ProjectCallsOutOfOrderGiveTheirOwnErrors) {
  Open({temp_ / "disc.iso"});
  DirRecord record;
  ASSERT_TRUE(VideoTsDirRecord(test::VideoTsFixture(), record));
  EXPECT_EQ(AddDir(record), FB_ERR_NO_PROJECT);
  EXPECT_EQ(CreateProject(3), FB_ERR_PROJECT_KIND);
  ASSERT_EQ(CreateProject(5), 0);
  EXPECT_EQ(Prepare(), FB_ERR_NOT_DVD_VIDEO);  // nothing added yet
  DirRecord empty;
  ASSERT_TRUE(VideoTsDirRecord(temp_.Path(), empty));
  EXPECT_EQ(AddDir(empty), FB_ERR_NOT_DVD_VIDEO);
  EXPECT_EQ(AddDir(record), 0);
  EXPECT_EQ(Prepare(), FB_ERR_NO_DEVICE);
  EXPECT_EQ(Burn(), FB_ERR_NOT_PREPARED);
  EXPECT_EQ(Abort(), 0);  // nothing runs: nothing happens
  EXPECT_FALSE(FileExists(temp_ / "disc.iso"));
}

TEST_F(ImageRecorder, AnImageFileInUseByAnotherProgramIsRefused) {
  std::string image = temp_ / "busy.iso";
  test::WriteText(image, "someone else's");
  int fd = open(image.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  // The lock is taken through a second descriptor, as another program's would be.
  Open({image});
  int rc = SetDevice(LetterOf(image));
  EXPECT_EQ(rc, FB_ERR_DEVICE_IN_USE) << LibraryText(rc);
  close(fd);
  EXPECT_EQ(SetDevice(LetterOf(image)), 0);
  EXPECT_EQ(test::ReadText(image), "someone else's");

  // A file that appears, locked by another program, between SetDevice and Burn.
  std::string later = temp_ / "later.iso";
  DeInitialize();
  Open({later});
  ASSERT_EQ(SetDevice(LetterOf(later)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  test::WriteText(later, "another program's image");
  fd = open(later.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(flock(fd, LOCK_EX), 0);
  // Burn itself refuses it, so the caller can offer another way at once.
  rc = Burn();
  EXPECT_EQ(rc, FB_ERR_DEVICE_IN_USE);
  EXPECT_NE(LibraryText(rc).find("being used by another program"), std::string::npos) << LibraryText(rc);
  EXPECT_FALSE(burnDone_.done);
  EXPECT_EQ(test::ReadText(later), "another program's image");  // never truncated
  close(fd);
  // Once the other program lets go, the same project is written.
  ASSERT_EQ(Burn(), 0);
  EXPECT_EQ(burnDone_.Wait(), "");
}

TEST_F(ImageRecorder, PrepareRefusesAProjectLargerThanTheMedium) {
  SmallFilesystem small(temp_ / "small", "512k");
  ASSERT_TRUE(small.Mounted());
  std::string image = temp_ / "small/disc.iso";
  Open({image});
  ASSERT_EQ(SetDevice(LetterOf(image)), 0);
  EXPECT_LE(Medium().Capacity, 512.0 * 1024);
  int rc = PrepareProject(test::VideoTsFixture());
  EXPECT_EQ(rc, FB_ERR_TOO_BIG);
  EXPECT_NE(LibraryText(rc).find("does not fit"), std::string::npos) << LibraryText(rc);
  EXPECT_EQ(Burn(), FB_ERR_NOT_PREPARED);
  EXPECT_FALSE(FileExists(image));
  // A sparse image file as long as a DVD holds no room: the medium is as small as the disk.
  test::WriteText(image, "");
  ASSERT_EQ(truncate(image.c_str(), off_t(5) << 30), 0);
  EXPECT_LE(Medium().Capacity, 512.0 * 1024);
}

TEST_F(ImageRecorder, AFullDiskFailsWithTheSystemsReasonAndLeavesNoImage) {
  SmallFilesystem small(temp_ / "small", "2m");
  ASSERT_TRUE(small.Mounted());
  std::string image = temp_ / "small/disc.iso";
  Open({image});
  ASSERT_EQ(SetDevice(LetterOf(image)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  // Something else takes half the disk between Prepare and Burn.
  test::WriteText(temp_ / "small/filler", std::string(1 << 20, 'f'));
  ASSERT_EQ(FileSize(temp_ / "small/filler"), std::uint64_t(1 << 20));
  ASSERT_EQ(Burn(), 0);
  std::string text = burnDone_.Wait();
  EXPECT_NE(text.find("No space left on device"), std::string::npos) << text;
  EXPECT_EQ(FileSize(image), 0u);  // never taken for a good disc
}

TEST_F(ImageRecorder, AbortHalfWayEndsWithCancelled) {
  // A named pipe as the image lets this test hold the write half-way for as long as it likes.
  std::string pipe = temp_ / "slow pipe.iso";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  Open({pipe});
  ASSERT_EQ(SetDevice(LetterOf(pipe)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  ASSERT_EQ(Burn(), 0);
  // Opened without waiting for the writer, so a write that fails early shows its reason.
  int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::vector<char> buffer(65536);
  ssize_t first = 0;
  while (first <= 0) {
    first = read(fd, buffer.data(), buffer.size());
    if (first <= 0) {
      std::lock_guard lock(burnDone_.mutex);
      ASSERT_FALSE(burnDone_.done) << burnDone_.text;
      usleep(10000);
    }
  }
  fcntl(fd, F_SETFL, 0);
  EXPECT_EQ(Abort(), 0);
  while (read(fd, buffer.data(), buffer.size()) > 0) {
  }
  close(fd);
  std::string text = burnDone_.Wait();
  EXPECT_NE(text.find("The write was cancelled"), std::string::npos) << text;
  char digest[80] = "";
  GetLastWriteDigest(digest, sizeof digest);
  EXPECT_STREQ(digest, "");  // nothing was recorded as written
}

TEST_F(ImageRecorder, ClosingTheLibraryDuringAWriteCancelsItAndWaitsForItsEnd) {
  std::string pipe = temp_ / "held pipe.iso";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  Open({pipe});
  ASSERT_EQ(SetDevice(LetterOf(pipe)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  ASSERT_EQ(Burn(), 0);
  int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::vector<char> buffer(65536);
  while (read(fd, buffer.data(), buffer.size()) <= 0) {
    std::lock_guard lock(burnDone_.mutex);
    ASSERT_FALSE(burnDone_.done) << burnDone_.text;
    usleep(10000);
  }
  fcntl(fd, F_SETFL, 0);
  // The write is half-way and held by this reader when the library is shut down.
  std::thread closer([] { DeInitialize(); });
  while (read(fd, buffer.data(), buffer.size()) > 0) {
  }
  close(fd);
  closer.join();
  {
    std::lock_guard lock(burnDone_.mutex);
    ASSERT_TRUE(burnDone_.done) << "the write was still running after the library was closed";
    EXPECT_NE(burnDone_.text.find("The write was cancelled"), std::string::npos) << burnDone_.text;
  }
  // libburn was left clean: it starts again and writes a whole image.
  std::string image = temp_ / "after.iso";
  burnDone_.done = false;
  Open({image});
  ASSERT_EQ(SetDevice(LetterOf(image)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  ASSERT_EQ(Burn(), 0);
  EXPECT_EQ(burnDone_.Wait(), "");
  char digest[80] = "";
  GetLastWriteDigest(digest, sizeof digest);
  EXPECT_EQ(Sha256Of(image), digest);
}

TEST_F(ImageRecorder, ClosingTheLibraryRightAfterBurnLeavesNoHalfWrittenImage) {
  std::string image = temp_ / "closed.iso";
  Open({image});
  ASSERT_EQ(SetDevice(LetterOf(image)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  test::WriteText(image, std::string(4096, 'o'));  // an older image, longer than a start
  ASSERT_EQ(Burn(), 0);
  DeInitialize();
  std::lock_guard lock(burnDone_.mutex);
  ASSERT_TRUE(burnDone_.done) << "the write was still running after the library was closed";
  if (burnDone_.text.empty()) {
    // The write won the race: then it is whole and checked.
    char digest[80] = "";
    GetLastWriteDigest(digest, sizeof digest);
    EXPECT_EQ(Sha256Of(image), digest);
  } else {
    EXPECT_NE(burnDone_.text.find("The write was cancelled"), std::string::npos) << burnDone_.text;
    EXPECT_EQ(FileSize(image), 0u);
  }
}

TEST_F(ImageRecorder, AReaderThatGoesAwayFailsTheWriteWithItsReason) {
  std::string pipe = temp_ / "closing pipe.iso";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  Open({pipe});
  ASSERT_EQ(SetDevice(LetterOf(pipe)), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  ASSERT_EQ(Burn(), 0);
  int fd = open(pipe.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::vector<char> buffer(65536);
  EXPECT_GT(read(fd, buffer.data(), buffer.size()), 0);
  close(fd);  // half an image must not pass for a written one
  std::string text = burnDone_.Wait();
  EXPECT_NE(text.find("Broken pipe"), std::string::npos) << text;
}

// What the library's own writing window showed, as a GUI's window host would see it.
struct WindowLog {
  std::vector<std::string> events;
  static void Open(const char* title, void* self) {
    static_cast<WindowLog*>(self)->events.push_back(std::string("open ") + title);
  }
  static void Progress(float, void*) {}
  static void Close(const char* error, void* self) {
    static_cast<WindowLog*>(self)->events.push_back(std::string("close ") + error);
  }
};

TEST_F(ImageRecorder, BurnDialogWritesThePreparedProjectInTheHostsWindow) {
  std::string image = temp_ / "dialog.iso";
  Open({image});
  WindowLog log;
  FoxBurnerWindowHost host{WindowLog::Open, WindowLog::Progress, WindowLog::Close, &log};
  SetWindowHost(&host);
  ASSERT_EQ(SetDevice(LetterOf(image)), 0);
  EXPECT_EQ(BurnDialog(1, 1, "刻录 DVD 光盘", ""), FB_ERR_NOT_PREPARED);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  EXPECT_EQ(BurnDialog(1, 1, "刻录 DVD 光盘", ""), 0);
  SetWindowHost(nullptr);
  ASSERT_EQ(log.events.size(), 4u);
  EXPECT_EQ(log.events[0], "open 刻录 DVD 光盘");
  EXPECT_EQ(log.events[1], "close " + LibraryText(FB_ERR_NOT_PREPARED));
  EXPECT_EQ(log.events[3], "close ");
  EXPECT_EQ(burnDone_.Wait(), "");  // the registered callback hears of the write too
  char digest[80] = "";
  GetLastWriteDigest(digest, sizeof digest);
  EXPECT_EQ(Sha256Of(image), digest);
}

TEST_F(ImageRecorder, WritingToDevFullFailsWithTheSystemsReason) {
  Open({"/dev/full"});
  ASSERT_EQ(SetDevice(LetterOf("/dev/full")), 0);
  ASSERT_EQ(PrepareProject(test::VideoTsFixture()), 0);
  ASSERT_EQ(Burn(), 0);
  std::string text = burnDone_.Wait();
  EXPECT_NE(text.find("No space left on device"), std::string::npos) << text;
}

}  // namespace
}  // namespace vantrel
