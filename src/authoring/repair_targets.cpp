// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/repair_targets.h"

#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "base/atomic_file.h"
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
         std::to_string(std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec);
}

}  // namespace

RepairTargets::RepairTargets(std::string workFolder, std::string prefix)
    : work_(std::move(workFolder)), prefix_(std::move(prefix)) {}

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
    if (taken_.insert(DvdMpegOutputName(target)).second) break;
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
    origin.modifiedNs = std::int64_t(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  }
  return origin;
}

std::string RepairOrigin::Text() const {
  return "source=" + source + "\nsize=" + std::to_string(size) + "\nmodified=" + std::to_string(modifiedNs) +
         "\nsettings=" + settings + "\n";
}

std::string RepairRecordPath(const std::string& target) {
  return FolderOf(target) + kRepairRecordFolder + "/" + FileNameOf(target) + ".origin";
}

bool RepairStillValid(const std::string& target, const RepairOrigin& origin) {
  if (origin.size == 0 || FileSize(target) == 0) return false;
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
