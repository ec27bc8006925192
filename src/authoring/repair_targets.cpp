// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/repair_targets.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

extern "C" {
#include <libavutil/mem.h>
#include <libavutil/sha.h>
}

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>
#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
#include "base/file_version.h"
#include "base/paths.h"
#include "convert/convert_to_dvd_mpeg.h"

namespace vantrel {
namespace {

// Cuts a UTF-8 text to at most `bytes` without splitting a character.
std::string CutUtf8(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

// prefix + stem + suffix + "." + extension, the stem shortened to fit one file name.
std::string FittedName(const std::string& prefix, const std::string& stem, const std::string& suffix,
                       const std::string& extension) {
  const std::string ending = suffix + (extension.empty() ? "" : "." + extension);
  const std::size_t fixed = prefix.size() + ending.size();
  const std::size_t room = fixed < RepairTargets::kNameMax ? RepairTargets::kNameMax - fixed : 0;
  return prefix + CutUtf8(stem, room) + ending;
}

std::string TargetFileStat(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return "";
  return std::to_string(info.st_size) + " " +
         std::to_string(ModifiedNs(info));
}

// A digest of what the file holds where a change is likeliest to show (its first and last
// MiB) and of its size: a file rewritten with the same size and time differs in it.
std::string ContentDigest(const std::string& path) {
  constexpr off_t kSpan = 1 << 20;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return "";
  struct stat info {};
  std::string digest;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    std::unique_ptr<AVSHA, void (*)(void*)> sha(av_sha_alloc(), av_free);
    av_sha_init(sha.get(), 256);
    std::vector<std::uint8_t> buffer(kSpan);
    bool ok = true;
    for (const off_t start : {off_t(0), std::max(off_t(0), info.st_size - kSpan)}) {
      const ssize_t got = pread(fd, buffer.data(), buffer.size(), start);
      if (got < 0) ok = false;
      else av_sha_update(sha.get(), buffer.data(), std::size_t(got));
    }
    const std::string size = std::to_string(info.st_size);
    av_sha_update(sha.get(), reinterpret_cast<const std::uint8_t*>(size.data()), size.size());
    std::uint8_t out[32];
    av_sha_final(sha.get(), out);
    static const char kHex[] = "0123456789abcdef";
    for (std::uint8_t byte : out) (digest += kHex[byte >> 4]) += kHex[byte & 15];
    if (!ok) digest.clear();
  }
  close(fd);
  return digest;
}

}  // namespace

RepairTargets::RepairTargets(std::string workFolder, std::string prefix)
    : work_(std::move(workFolder)), prefix_(std::move(prefix)) {}

void RepairTargets::Keep(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) kept_.insert({std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)});
}

bool RepairTargets::MayOverwrite(const std::string& target) const {
  struct stat info {};
  if (lstat(target.c_str(), &info) != 0) return true;  // nothing there
  if (stat(target.c_str(), &info) == 0 && kept_.count({std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)}))
    return false;
  // Only what an earlier run made, as its record says.
  struct stat record {};
  return stat(RepairRecordPath(target).c_str(), &record) == 0;
}

std::string RepairTargets::For(const std::string& source) {
  if (auto known = bySource_.find(source); known != bySource_.end()) return known->second;
  const std::string name = FileNameOf(source);
  const bool dotted = name.find('.') != std::string::npos;
  const std::string extension = dotted ? ExtensionOf(name) : "";
  const std::string stem = dotted ? StemOf(name) : name;
  std::string target;
  for (int n = 1;; ++n) {
    const std::string suffix = n == 1 ? "" : " (" + std::to_string(n) + ")";
    target = JoinPath(work_, FittedName(prefix_, stem, suffix, extension));
    const std::string written = DvdMpegOutputName(target);
    if (taken_.count(written) || !MayOverwrite(written) || (written != target && !MayOverwrite(target))) continue;
    taken_.insert(written);
    break;
  }
  bySource_[source] = target;
  return target;
}

RepairOrigin RepairOrigin::Of(const std::string& source, const std::string& settings) {
  RepairOrigin origin;
  origin.source = source;
  origin.settings = settings;
  struct stat info {};
  if (stat(source.c_str(), &info) == 0) {
    origin.size = std::uint64_t(info.st_size);
    origin.modifiedNs = ModifiedNs(info);
    origin.content = ContentDigest(source);
  }
  return origin;
}

bool RepairOrigin::SourceUnchanged() const {
  struct stat info {};
  return stat(source.c_str(), &info) == 0 && std::uint64_t(info.st_size) == size && ModifiedNs(info) == modifiedNs;
}

std::string RepairOrigin::Text() const {
  return "source=" + source + "\nsize=" + std::to_string(size) + "\nmodified=" + std::to_string(modifiedNs) +
         "\ncontent=" + content + "\nsettings=" + settings + "\n";
}

std::string RepairRecordPath(const std::string& target) {
  return FolderOf(target) + kRepairRecordFolder + "/" + FileNameOf(target) + ".origin";
}

bool RepairStillValid(const std::string& target, const RepairOrigin& origin) {
  if (origin.size == 0 || origin.content.empty() || FileSize(target) == 0) return false;
  std::ifstream in(RepairRecordPath(target), std::ios::binary);
  if (!in) return false;
  std::stringstream text;
  text << in.rdbuf();
  // The record also holds the target's own size and time: a file changed since is redone.
  return text.str() == origin.Text() + "target=" + TargetFileStat(target) + "\n";
}

void RecordRepair(const std::string& target, const RepairOrigin& origin) {
  MakeFolder(FolderOf(RepairRecordPath(target)));
  WriteFileAtomically(RepairRecordPath(target), origin.Text() + "target=" + TargetFileStat(target) + "\n");
}

void ForgetRepair(const std::string& target) { std::remove(RepairRecordPath(target).c_str()); }

}  // namespace vantrel
