// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/settings_dialog_logic.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel::app {
namespace {

// The nearest folder of the path that exists ("/" at the latest).
std::string ExistingFolder(std::string folder) {
  if (folder.empty() || folder[0] != '/') folder = "/" + folder;
  struct stat st{};
  while (folder.size() > 1 && ::stat(folder.c_str(), &st) != 0) {
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    const auto slash = folder.rfind('/');
    folder = slash == 0 ? "/" : folder.substr(0, slash);
  }
  return folder;
}

// /proc/self/mountinfo escapes blanks and the like as \ooo.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size()) {
      out += char(std::stoi(text.substr(i + 1, 3), nullptr, 8));
      i += 3;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool Under(const std::string& path, const std::string& mount) {
  if (mount == "/") return true;
  return path.compare(0, mount.size(), mount) == 0 &&
         (path.size() == mount.size() || path[mount.size()] == '/');
}

}  // namespace

std::string AudioCodecNote(int codec) {
  // MPEG Layer I and Layer III are no DVD sound: repairs encode Layer II for both.
  return codec == 0 || codec == 2 ? Tr(settings_texts::kCodecStandIn) : "";
}

std::string FileSystemNote(int fileSystem) {
  // An image of ISO9660 alone is no video DVD: players (and libdvdread) open VIDEO_TS
  // through UDF. The image keeps its UDF bridge whatever is chosen, and says so.
  return fileSystem == 0 ? Tr(disc_format_texts::kUdfAlways) : "";
}

bool FreeBytesFor(const std::string& folder, std::uint64_t& bytes) {
  struct statvfs vfs{};
  if (::statvfs(ExistingFolder(folder).c_str(), &vfs) != 0) return false;
  bytes = std::uint64_t(vfs.f_bavail) * std::uint64_t(vfs.f_frsize);
  return true;
}

std::string VolumeLabel(const std::string& folder) {
  char* real = ::realpath(ExistingFolder(folder).c_str(), nullptr);
  const std::string path = real ? real : "/";
  std::free(real);
  std::ifstream mounts("/proc/self/mountinfo");
  std::string line, best = "/";
  while (std::getline(mounts, line)) {
    std::istringstream fields(line);
    std::string id, parent, device, root, mountPoint;
    if (!(fields >> id >> parent >> device >> root >> mountPoint)) continue;
    mountPoint = Unescape(mountPoint);
    if (Under(path, mountPoint) && mountPoint.size() >= best.size()) best = mountPoint;
  }
  return best;
}

std::string FreeSpaceText(const std::string& label, std::uint64_t freeBytes) {
  return Format(Tr("%s 的可用磁盘空间是 %.02fMB"), label.c_str(), double(freeBytes) / 1048576.0);
}

SettingsDialogLogic::SettingsDialogLogic(const AppSettings& s)
    : convertBefore(s.convertbefore), createMenu(s.createmenu), deleteTemp(s.deletetemp),
      folder(s.temppath), audioCodec(s.audiocodec), zoom(s.zoom),
      language(s.language >= 0 && s.language <= 2 ? s.language : 0) {}

std::string SettingsDialogLogic::FreeSpace() const {
  std::uint64_t bytes = 0;
  FreeBytesFor(folder, bytes);
  return FreeSpaceText(VolumeLabel(folder), bytes);
}

void SettingsDialogLogic::FolderChosen(const std::string& path) {
  if (path.empty()) return;
  WriteLastDir(path);
  folder = path;
  // A chosen folder keeps no trailing separator, except the root itself.
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
}

void SettingsDialogLogic::Apply(AppSettings& s) const {
  s.createmenu = createMenu;
  s.convertbefore = convertBefore;
  s.deletetemp = deleteTemp;
  s.temppath = folder;
  s.audiocodec = audioCodec;
  s.zoom = zoom;
  s.language = language;
}

}  // namespace vantrel::app
