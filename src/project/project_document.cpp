// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/project_document.h"

#include <algorithm>
#include <sstream>

#include "base/app_folder.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/translation.h"

namespace vantrel {
namespace {
constexpr const char* kProgramName = "Vantrel";
}

void ProjectDocument::Reset(const DiscProject& start) {
  path_.clear();
  saved_ = start;
  restored_ = false;
}

void ProjectDocument::MarkSaved(const DiscProject& project, const std::string& path) {
  path_ = path;
  saved_ = project;
  restored_ = false;
}

void ProjectDocument::MarkRestored(const DiscProject& project, const std::string& path) {
  path_ = path;
  saved_ = project;
  restored_ = true;
}

std::string ProjectDocument::Name() const { return path_.empty() ? Tr("未命名") : StemOf(path_); }

std::string ProjectDocument::WindowTitle(const DiscProject& current) const {
  const bool changed = Changed(current);
  if (path_.empty() && !changed) return kProgramName;
  return (changed ? "*" : "") + Name() + " - " + kProgramName;
}

RecentProjects::RecentProjects(std::string listPath) : listPath_(std::move(listPath)) {
  std::string text;
  if (!ReadWholeFile(listPath_, text)) return;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line) && files_.size() < kMaximum;) {
    if (!line.empty() && line.front() == '/' && std::find(files_.begin(), files_.end(), line) == files_.end())
      files_.push_back(line);
  }
}

std::string RecentProjects::DefaultListPath() { return UserStateFolder() + "recent-projects"; }

bool RecentProjects::Add(const std::string& path) {
  // The list holds one absolute path a line: anything else could not be read back.
  if (path.empty() || path.front() != '/' || path.find('\n') != std::string::npos) return false;
  files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
  files_.insert(files_.begin(), path);
  if (files_.size() > kMaximum) files_.resize(kMaximum);
  return Write();
}

bool RecentProjects::Remove(const std::string& path) {
  files_.erase(std::remove(files_.begin(), files_.end(), path), files_.end());
  return Write();
}

bool RecentProjects::Write() const {
  std::string text;
  for (const std::string& file : files_) text += file + "\n";
  const std::size_t slash = listPath_.rfind('/');
  if (slash != std::string::npos) MakeFolder(listPath_.substr(0, slash));
  return WriteFileAtomically(listPath_, text);
}

}  // namespace vantrel
