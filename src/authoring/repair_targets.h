// SPDX-License-Identifier: GPL-3.0-or-later
// Where each title's repair goes, and whether a repair of an earlier run can be used again.
// The first title that would take a name gets the plain one ("(TaliroFixedDVD)" + the
// source file name); any other title whose repair would land on the same file (two
// "movie.avi" from different folders, or "movie.avi" and "movie.mpg", as ".avi" repairs are
// written as ".mpg") gets " (2)", " (3)", ... before its extension. A name too long for the
// file system is shortened in its stem. A target is never a title of the run nor a file the
// program did not make (one without a repair record): such a name is passed over like a
// taken one.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>

namespace vantrel {

class RepairTargets {
 public:
  RepairTargets(std::string workFolder, std::string prefix);
  // A file of the run (a title) that no target may be, under any name that reaches it.
  void Keep(const std::string& path);
  // The target for a source; the same source always gets the same target.
  std::string For(const std::string& source);

  // Bytes of a target's name: the file system's 255 less room for the names of the files
  // made beside it (the encoder's ".part-XXXXXX", the ".origin" record and its temporary).
  static constexpr std::size_t kNameMax = 255 - 20;

 private:
  bool MayOverwrite(const std::string& target) const;

  std::string work_, prefix_;
  std::map<std::string, std::string> bySource_;
  std::set<std::string> taken_;  // final names (after .avi -> .mpg)
  std::set<std::pair<std::uint64_t, std::uint64_t>> kept_;  // device and inode of the titles
};

// What shaped a repair: its source file as it was and the settings of the conversion.
struct RepairOrigin {
  std::string source;
  std::uint64_t size = 0;
  std::int64_t modifiedNs = 0;
  std::string content;   // digest of its first and last MiB and its size
  std::string settings;  // e.g. "ntsc=0"

  static RepairOrigin Of(const std::string& source, const std::string& settings);
  // Whether the source still has the size and time it had (its content is not read again).
  bool SourceUnchanged() const;
  std::string Text() const;
};

// The record of a repair, in a folder of records beside it:
// FOLDER/.vantrel-repairs/NAME.origin.
inline constexpr const char* kRepairRecordFolder = ".vantrel-repairs";
std::string RepairRecordPath(const std::string& target);
// True when `target` was made by an earlier run from the same, unchanged source with the
// same settings and has not been touched since.
bool RepairStillValid(const std::string& target, const RepairOrigin& origin);
void RecordRepair(const std::string& target, const RepairOrigin& origin);
void ForgetRepair(const std::string& target);

}  // namespace vantrel
