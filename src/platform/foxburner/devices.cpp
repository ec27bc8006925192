// SPDX-License-Identifier: GPL-3.0-or-later
// The recorders: libburn's drives in scan order from "D" on, then the image-file
// recorders, and grabbing the one chosen.
#include <fcntl.h>
#include <libburn/libburn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/paths.h"
#include "base/utf.h"
#include "platform/foxburner/burn_messages.h"
#include "platform/foxburner/library.h"

namespace vantrel::foxburner {

using namespace burn;
namespace {

constexpr char kFirstLetter = 'D';
constexpr const char* kImageFileName = FB_IMAGE_FILE_LABEL;

std::string Trimmed(const char* text) {
  std::string s = text;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  return s;
}

std::string EntryName(char letter, const std::string& label) {
  return Utf8Prefix(std::string(1, letter) + ": " + label, FB_DEVICE_NAME_SIZE - 1);
}

// An image file's name keeps the end of its path, which tells files apart, when the whole
// path does not fit the entry.
std::string ImageEntryName(char letter, const std::string& path) {
  std::string head = std::string(1, letter) + ": " + kImageFileName + " (";
  std::string full = head + path + ")";
  if (full.size() <= FB_DEVICE_NAME_SIZE - 1) return full;
  size_t room = FB_DEVICE_NAME_SIZE - 1 - head.size() - 4;  // "..." and ")"
  size_t start = path.size() - room;
  while (start < path.size() && (static_cast<unsigned char>(path[start]) & 0xC0) == 0x80) ++start;
  return head + "..." + path.substr(start) + ")";
}

// libburn takes a directory for a write-only "drive" and fails oddly on a missing folder;
// both are refused here with a text that says what is wrong.
std::string ImagePathProblem(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "the image file path is a folder: " + path;
    return "";
  }
  if (errno != ENOENT) return path + ": " + std::strerror(errno);
  std::string folder = FolderOf(path);
  if (folder.empty()) folder = ".";
  if (!FolderExists(folder)) return "the folder of the image file does not exist: " + folder;
  return "";
}

}  // namespace

int Library::GetDevices(char devices[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE], int32_t* count) {
  // A scan is refused while any drive is grabbed.
  ReleaseDrive();
  current_ = -1;
  recorders_.clear();
  burn_drive_clear_whitelist();
  burn_drive_info* infos = nullptr;
  unsigned int found = 0;
  while (burn_drive_scan(&infos, &found) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  char letter = kFirstLetter;
  for (unsigned int i = 0; i < found && letter <= 'Z'; ++i) {
    char address[BURN_DRIVE_ADR_LEN] = "";
    if (burn_drive_d_get_adr(infos[i].drive, address) <= 0) continue;
    Recorder r;
    r.letter = letter++;
    r.address = address;
    r.name = EntryName(r.letter, Trimmed(infos[i].vendor) + " " + Trimmed(infos[i].product) +
                                     " (" + address + ")");
    recorders_.push_back(r);
  }
  if (infos) burn_drive_info_free(infos);
  MessageDrain().Drain();
  for (const std::string& file : imageFiles_) {
    if (letter > 'Z') break;
    Recorder r;
    r.letter = letter++;
    r.imagePath = file;
    r.address = "stdio:" + file;
    r.name = ImageEntryName(r.letter, file);
    recorders_.push_back(r);
  }
  int n = 0;
  for (const Recorder& r : recorders_) {
    if (n >= FB_DEVICE_COUNT) break;
    std::memset(devices[n], 0, FB_DEVICE_NAME_SIZE);
    std::memcpy(devices[n], r.name.data(), r.name.size());
    ++n;
  }
  *count = n;
  return FB_OK;
}

int Library::SetDevice(char letter) {
  int index = -1;
  for (size_t i = 0; i < recorders_.size(); ++i)
    if (recorders_[i].letter == letter) index = int(i);
  if (index < 0) return Fail(FB_ERR_NO_DEVICE, std::string("no recorder has the letter ") + letter);
  if (index == current_ && driveInfo_) return FB_OK;
  ReleaseDrive();
  current_ = -1;
  int rc = GrabDrive(recorders_[index]);
  if (rc == FB_OK) current_ = index;
  return rc;
}

int Library::GrabDrive(const Recorder& recorder) {
  if (recorder.IsImageFile()) {
    std::string problem = ImagePathProblem(recorder.imagePath);
    if (!problem.empty()) return Fail(FB_ERR_DEVICE_UNUSABLE, problem);
  } else {
    burn_drive_clear_whitelist();
  }
  MessageDrain messages;
  std::string address = recorder.address;
  int rc = burn_drive_scan_and_grab(&driveInfo_, address.data(), 1);
  messages.Drain();
  if (rc <= 0) {
    driveInfo_ = nullptr;
    return Fail(FB_ERR_DEVICE_UNUSABLE, messages.Worst().empty() ? address : messages.Worst());
  }
  if (recorder.IsImageFile()) {
    std::string error;
    if (const int locked = LockImage(recorder.imagePath, false, error); locked != FB_OK) {
      ReleaseDrive();
      return Fail(locked, error);
    }
  }
  return FB_OK;
}

void Library::ReleaseDrive() {
  if (driveInfo_) {
    burn_drive_release(driveInfo_->drive, 0);
    burn_drive_info_free(driveInfo_);
    driveInfo_ = nullptr;
    MessageDrain().Drain();
  }
  if (imageLockFd_ >= 0) {
    close(imageLockFd_);
    imageLockFd_ = -1;
  }
}

// libburn lets two programs grab the same file; an exclusive lock on the image file keeps
// a second one from writing into it. A file that does not exist yet is locked when a write
// or an erase creates it; devices such as /dev/full are not locked.
int Library::LockImage(const std::string& path, bool create, std::string& error) {
  if (imageLockFd_ >= 0) return FB_OK;
  struct stat st {};
  bool exists = stat(path.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) return FB_OK;
  if (!exists && !create) return FB_OK;
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) {
    error = "the image file cannot be written: " + path + ": " + std::strerror(errno);
    return FB_ERR_DEVICE_UNUSABLE;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
    error = "the image file is being used by another program: " + path;
    close(fd);
    return FB_ERR_DEVICE_IN_USE;
  }
  imageLockFd_ = fd;
  return FB_OK;
}

const Recorder* Library::CurrentRecorder() const {
  if (current_ < 0 || current_ >= int(recorders_.size()) || !driveInfo_) return nullptr;
  return &recorders_[current_];
}

}  // namespace vantrel::foxburner
