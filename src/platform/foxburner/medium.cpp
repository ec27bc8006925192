// SPDX-License-Identifier: GPL-3.0-or-later
// Facts of the loaded medium: type text, blank or not, capacity.
#include <fcntl.h>
#include <libburn/libburn.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/paths.h"
#include "platform/foxburner/burn_messages.h"
#include "platform/foxburner/library.h"

namespace vantrel::foxburner {

using namespace burn;
namespace {

struct ProfileName {
  int profile;
  const char* type;
};

constexpr ProfileName kProfiles[] = {
    {0x09, "CD-R"},    {0x0a, "CD-RW"},  {0x11, "DVD-R"},  {0x12, "DVD-RAM"},
    {0x13, "DVD-RW"},  {0x14, "DVD-RW"}, {0x15, "DVD-R DL"}, {0x1a, "DVD+RW"},
    {0x1b, "DVD+R"},   {0x2b, "DVD+R DL"}, {0x08, "CD-ROM"}, {0x10, "DVD-ROM"},
};

void SetType(MediumInfo* info, const std::string& type) {
  std::memset(info->Type, 0, sizeof info->Type);
  std::memcpy(info->Type, type.data(), std::min(type.size(), sizeof info->Type - 1));
}

std::uint64_t FreeBytesOf(const std::string& folder) {
  struct statvfs vfs {};
  if (statvfs(folder.empty() ? "." : folder.c_str(), &vfs) != 0) return 0;
  return std::uint64_t(vfs.f_bavail) * vfs.f_frsize;
}

// Why the image file of a recorder could not be written ("" when it can): a read-only
// file, or a folder where it cannot be made. Asked of the system for this process, so a
// read-only file system counts as well as the permissions.
std::string ImageWriteProblem(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) == 0) {
    if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0) return "";
    return "the image file cannot be written: " + path + ": " + std::strerror(errno);
  }
  std::string folder = FolderOf(path).empty() ? "." : FolderOf(path);
  if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  if (faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0) return "";
  return "the image file cannot be made in " + folder + ": " + std::strerror(errno);
}

}  // namespace

int Library::GetMediumInformation(MediumInfo* info) {
  if (!CurrentRecorder()) return Fail(FB_ERR_NO_DEVICE, "");
  return CurrentRecorder()->IsImageFile() ? ImageMediumInfo(info) : DriveMediumInfo(info);
}

// libburn calls every stdio file a blank "stdio file" as large as the filesystem's free
// space; an image-file recorder instead looks like a rewritable single-layer DVD, unless
// its file cannot be written: then it is no medium to offer.
int Library::ImageMediumInfo(MediumInfo* info) {
  const std::string& path = CurrentRecorder()->imagePath;
  if (const std::string problem = ImageWriteProblem(path); !problem.empty())
    return Fail(FB_ERR_DEVICE_UNUSABLE, problem);
  SetType(info, "DVD+RW");
  info->State = FileSize(path) > 0 ? 1 : 0;
  info->Capacity = double(CapacityBytes());
  return FB_OK;
}

int Library::DriveMediumInfo(MediumInfo* info) {
  burn_drive* drive = DriveOf(driveInfo_);
  enum burn_disc_status status = burn_disc_get_status(drive);
  for (int i = 0; i < 50 && status == BURN_DISC_UNREADY; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    status = burn_disc_get_status(drive);
  }
  MessageDrain().Drain();
  int profile = 0;
  char name[80] = "";
  if (status == BURN_DISC_EMPTY || burn_disc_get_profile(drive, &profile, name) <= 0 ||
      profile == 0)
    return Fail(FB_ERR_NO_MEDIUM, "");
  std::string type = name;
  for (const auto& p : kProfiles)
    if (p.profile == profile) type = p.type;
  SetType(info, type);
  info->State = status == BURN_DISC_BLANK ? 0 : 1;
  info->Capacity = double(CapacityBytes());
  return FB_OK;
}

std::uint64_t Library::CapacityBytes() {
  const Recorder* recorder = CurrentRecorder();
  if (!recorder) return 0;
  if (!recorder->IsImageFile()) {
    off_t space = burn_disc_available_space(DriveOf(driveInfo_), nullptr);
    return space > 0 ? std::uint64_t(space) : 0;
  }
  const std::string& path = recorder->imagePath;
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return kDvdCapacityBytes;
  // The old image is truncated before a write, so its space counts as free: the blocks it
  // holds, not its length (a sparse file's length is no room at all).
  const std::uint64_t held = stat(path.c_str(), &st) == 0 ? std::uint64_t(st.st_blocks) * 512 : 0;
  std::uint64_t room = FreeBytesOf(FolderOf(path)) + std::min<std::uint64_t>(held, FileSize(path));
  return std::min(room, kDvdCapacityBytes);
}

// Only through the lock: a file this library could not lock belongs to someone else and is
// never truncated.
bool Library::EmptyImage() { return imageLockFd_ < 0 || ftruncate(imageLockFd_, 0) == 0; }

}  // namespace vantrel::foxburner
