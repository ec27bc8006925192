// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/project_recovery.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/app_folder.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/process_files.h"

namespace vantrel {
namespace {

constexpr const char* kPrefix = "unsaved-";
constexpr const char* kOriginExtension = ".origin";

// The process number of a copy's file name, 0 when the name is not one of ours.
unsigned long PidOfName(const std::string& name) {
  const std::string prefix = kPrefix, extension = kProjectExtension;
  if (name.size() <= prefix.size() + extension.size() || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - extension.size(), extension.size(), extension) != 0)
    return 0;
  const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - extension.size());
  if (digits.empty() || digits.size() > 10 || !std::all_of(digits.begin(), digits.end(), ::isdigit)) return 0;
  return std::stoul(digits);
}

}  // namespace

ProjectRecovery::ProjectRecovery(std::string folder, unsigned long pid)
    : folder_(std::move(folder)), pid_(pid) {}

ProjectRecovery::ProjectRecovery() : ProjectRecovery(UserStateFolder() + "recovery/", (unsigned long)getpid()) {}

std::string ProjectRecovery::ProjectPath(unsigned long pid) const {
  return JoinPath(folder_, kPrefix + std::to_string(pid) + kProjectExtension);
}

std::string ProjectRecovery::OriginPath(unsigned long pid) const {
  return JoinPath(folder_, kPrefix + std::to_string(pid) + kOriginExtension);
}

bool ProjectRecovery::Save(const DiscProject& project, const std::string& origin, std::string& error) {
  if (!MakeFolder(folder_)) {
    error = "cannot create " + folder_;
    return false;
  }
  // The file it belongs to first: a copy is never read with another project's name.
  if (!WriteFileAtomically(OriginPath(pid_), origin)) {
    error = "cannot write " + OriginPath(pid_);
    return false;
  }
  return WriteProjectFile(project, ProjectPath(pid_), error);
}

void ProjectRecovery::Discard() {
  std::remove(ProjectPath(pid_).c_str());
  std::remove(OriginPath(pid_).c_str());
}

bool ProjectRecovery::HasCopy() const { return FileExists(ProjectPath(pid_)); }

std::vector<RecoveryCopy> ProjectRecovery::LeftOver() const {
  std::vector<std::pair<std::filesystem::file_time_type, RecoveryCopy>> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder_, ec)) {
    const unsigned long pid = PidOfName(entry.path().filename().string());
    if (pid == 0 || pid == pid_ || !entry.is_regular_file(ec) || !ProcessHasEnded(pid)) continue;
    RecoveryCopy copy{ProjectPath(pid), "", pid};
    std::string origin;
    if (ReadWholeFile(OriginPath(pid), origin) && origin.find('\n') == std::string::npos) copy.origin = origin;
    found.emplace_back(entry.last_write_time(ec), std::move(copy));
  }
  std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<RecoveryCopy> copies;
  for (auto& [time, copy] : found) copies.push_back(std::move(copy));
  return copies;
}

ProjectRead ProjectRecovery::Read(const RecoveryCopy& copy) { return ReadProjectFile(copy.file); }

void ProjectRecovery::Forget(const RecoveryCopy& copy) {
  std::remove(copy.file.c_str());
  const std::string origin = copy.file.substr(0, copy.file.size() - std::string(kProjectExtension).size()) +
                             kOriginExtension;
  std::remove(origin.c_str());
}

}  // namespace vantrel
