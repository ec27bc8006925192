// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a file so that a crash or a failure leaves either the old file or the new one
// whole: everything is written under a temporary name beside the target (same file
// system) and takes the target's name only once it is complete and on disk.
#pragma once

#include <string>

namespace vantrel {

class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile() { Abandon(); }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Creates an empty temporary "target.part-XXXXXX" (a name no other writer shares) with
  // the permissions a new file gets, or the old target's when `keepMode` and it exists.
  // False, with errno set, when it cannot be created.
  bool Create(const std::string& target, bool keepMode = false);
  // The temporary to write to; "" before Create and after Commit or Abandon.
  const std::string& Path() const { return temporary_; }
  // Flushes the temporary to disk and renames it to the target. False, with errno set and
  // the temporary removed, when either fails.
  bool Commit();
  // Removes the temporary; the target stays as it was.
  void Abandon();

 private:
  std::string target_;
  std::string temporary_;
};

// Writes `content` through a PendingFile, keeping the old file's permissions. False (and
// `path` untouched) on failure.
bool WriteFileAtomically(const std::string& path, const std::string& content);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& content);

}  // namespace vantrel
