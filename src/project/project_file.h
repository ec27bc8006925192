// SPDX-License-Identifier: GPL-3.0-or-later
// The project file: a disc project saved as UTF-8 JSON (docs/project-file.md describes the
// format). Titles beside or below the project file are stored relative to it, so a folder
// holding the project and its films can be moved whole. Reading never fails silently: a
// file that cannot be read, is damaged or comes from a newer version is refused with its
// reason; one whose titles are gone opens with them listed.
#pragma once

#include <string>
#include <vector>

#include "project/disc_project.h"

namespace vantrel {

inline constexpr int kProjectFormatVersion = 1;
inline constexpr const char* kProjectFormatName = "vantrel-project";
inline constexpr const char* kProjectExtension = ".vantrel";
// Larger files are refused before they are parsed: no real project comes near it.
inline constexpr long long kProjectFileLimitBytes = 16LL << 20;

struct ProjectRead {
  bool opened = false;
  std::string error;  // why the file was refused, in the user's words
  DiscProject project;
  // Titles whose file is not there (or is not a file): indices into project.titles.
  std::vector<int> missing;
  // What was left out or set back to its default, one line each.
  std::vector<std::string> notes;
};

// The project as the file's text; paths relative to `projectFolder` where they lie in it.
std::string ProjectText(const DiscProject& project, const std::string& projectFolder);
// The project of a file's text, its relative paths taken from `projectFolder`.
ProjectRead ProjectOfText(const std::string& text, const std::string& projectFolder,
                          const std::string& fileName);

// Writes the project through a temporary file, so a failure leaves the old file whole.
bool WriteProjectFile(const DiscProject& project, const std::string& path, std::string& error);
ProjectRead ReadProjectFile(const std::string& path);

// Whether a file looks like a project (by its name): the front ends tell projects from
// videos given on their command lines by it.
bool IsProjectFileName(const std::string& path);

// Titles of the project whose file is missing, looked for by file name in `folder` and its
// subfolders; each one found gets its new path. Returns how many were found.
int FindMissingTitles(DiscProject& project, std::vector<int>& missing, const std::string& folder);
// Indices of the titles whose file is not a readable regular file.
std::vector<int> MissingTitles(const DiscProject& project);

}  // namespace vantrel
