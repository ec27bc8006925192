// SPDX-License-Identifier: GPL-3.0-or-later
// The project a window edits, as a document: the file it was opened from or saved to, the
// project as it was last saved (so the window knows whether there are unsaved changes),
// the window title that shows both, and the list of recently used project files.
#pragma once

#include <string>
#include <vector>

#include "project/disc_project.h"

namespace vantrel {

class ProjectDocument {
 public:
  // A new project: no file yet, `start` is what "unchanged" means.
  void Reset(const DiscProject& start);
  // The project was saved to or opened from `path` and is `project` there.
  void MarkSaved(const DiscProject& project, const std::string& path);
  // A project restored after a crash: changed until it is saved, whatever it holds.
  void MarkRestored(const DiscProject& project, const std::string& path);

  const std::string& Path() const { return path_; }
  bool HasFile() const { return !path_.empty(); }
  bool Changed(const DiscProject& current) const { return restored_ || !(current == saved_); }
  // The file's name without its extension, or "未命名" before the first save.
  std::string Name() const;
  // "Vantrel" for a new project without changes, else "NAME - Vantrel", a "*" before the
  // name while there are unsaved changes.
  std::string WindowTitle(const DiscProject& current) const;

 private:
  std::string path_;
  DiscProject saved_;
  bool restored_ = false;
};

// The recently used project files, newest first, kept in the user's state folder.
class RecentProjects {
 public:
  static constexpr std::size_t kMaximum = 8;
  explicit RecentProjects(std::string listPath);
  // The list file in the user's state folder.
  static std::string DefaultListPath();

  const std::vector<std::string>& Files() const { return files_; }
  // Puts `path` first (once); the list is written at once. False when it could not be.
  bool Add(const std::string& path);
  bool Remove(const std::string& path);

 private:
  bool Write() const;
  std::string listPath_;
  std::vector<std::string> files_;
};

}  // namespace vantrel
