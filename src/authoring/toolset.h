// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring tools, written into the tool folder at the start of a run and removed at
// its end. Each is a small executable file under the name the command templates use; it
// runs the installed program by its absolute path, or says which program is missing.
#pragma once

#include <string>

namespace vantrel {

struct ToolEntry {
  int resourceId;
  const char* fileName;  // the name the command lines use
  const char* program;   // the installed program it runs
  // Put before the caller's arguments (which may override them): the menu still comes
  // from square-pixel pictures, and a DVD stream must be flagged 4:3 or 16:9, so the
  // encoder flags it 4:3 (aspect code 2).
  const char* leadingArguments = "";
};

inline constexpr ToolEntry kTools[] = {
    {159, "ddas", "dvdauthor"}, {160, "j2v", "jpeg2yuv"}, {161, "encmpeg", "mpeg2enc", "-a 2"},
    {162, "mtx", "mpgtx"},      {164, "spumux", "spumux"}, {163, "mpx", "mplex"},
};

class ToolSet {
 public:
  explicit ToolSet(std::string toolFolder) : folder_(std::move(toolFolder)) {}

  // Creates the folder and writes the tools in table order, each created or truncated and
  // written in one write; stops with false at the first file that cannot be written.
  bool Write() const;
  // Deletes the tools, ignoring files that are already gone; the folder stays, but for a
  // run's own "run-PID" folder, which goes when it is empty.
  void Remove() const;
  const std::string& Folder() const { return folder_; }

  // The file content of a tool: a script that runs `program` found on PATH outside the
  // tool folder.
  std::string ScriptFor(const ToolEntry& tool) const;
  // Absolute path of an installed program on PATH, skipping the tool folder; "" if none.
  std::string FindInstalled(const std::string& program) const;

 private:
  std::string folder_;
};

}  // namespace vantrel
