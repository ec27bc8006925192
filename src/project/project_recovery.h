// SPDX-License-Identifier: GPL-3.0-or-later
// Unsaved changes kept in the user's state folder while the program runs: the window saves
// its project there every minute while it has unsaved changes, and removes the copy when
// the changes are saved or given up. A copy whose program has ended without removing it
// (a crash, a kill) is offered back at the next start.
#pragma once

#include <string>
#include <vector>

#include "project/project_file.h"

namespace vantrel {

struct RecoveryCopy {
  std::string file;    // the project as it was last kept
  std::string origin;  // the project file it belongs to; "" when it was never saved
  unsigned long pid = 0;
};

class ProjectRecovery {
 public:
  // Copies live in `folder` (created on the first save), named after the process `pid`.
  ProjectRecovery(std::string folder, unsigned long pid);
  // $XDG_STATE_HOME/vantrel/recovery/, for this process.
  ProjectRecovery();

  // Keeps the project and the file it belongs to; the previous copy stays whole on failure.
  bool Save(const DiscProject& project, const std::string& origin, std::string& error);
  // Removes this process's copy.
  void Discard();
  bool HasCopy() const;

  // Copies left by programs that have ended, newest first.
  std::vector<RecoveryCopy> LeftOver() const;
  static ProjectRead Read(const RecoveryCopy& copy);
  // Removes a left-over copy once it was restored or declined.
  static void Forget(const RecoveryCopy& copy);

 private:
  std::string ProjectPath(unsigned long pid) const;
  std::string OriginPath(unsigned long pid) const;
  std::string folder_;
  unsigned long pid_;
};

}  // namespace vantrel
