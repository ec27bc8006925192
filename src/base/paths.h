// SPDX-License-Identifier: GPL-3.0-or-later
// Path helpers shared by every subsystem: names, extensions, folders, sizes.
#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// Text after the last "/" (the whole path when there is none).
std::string FileNameOf(const std::string& path);
// Text after the last "." of the path; empty when there is none.
std::string ExtensionOf(const std::string& path);
// File name without its last extension ("a.b.mpg" -> "a.b").
std::string StemOf(const std::string& path);
// Folder part of a path including its trailing "/"; empty when there is none.
std::string FolderOf(const std::string& path);

// Joins a folder and a name with exactly one "/" between them.
std::string JoinPath(const std::string& folder, const std::string& name);

// Creates the folder and every missing parent; true when it exists afterwards.
bool MakeFolder(const std::string& path);
// Deletes the folder with everything below it; true when it is gone afterwards.
// Symbolic links are removed, never followed.
bool DeleteFolderTree(const std::string& path);
// Sum of the sizes of all regular files below the folder (recursively).
std::uint64_t FolderSize(const std::string& path);

bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);
// Size of a regular file; 0 when it does not exist.
std::uint64_t FileSize(const std::string& path);
// The last `count` non-empty lines of a text file (a tool's log), joined by "\n"; "" when
// it cannot be read.
std::string LastLinesOf(const std::string& path, int count);

// Case-insensitive comparison of ASCII letters; other bytes compare exactly.
bool EqualsNoCase(const std::string& a, const std::string& b);
std::string AsciiLower(std::string text);

}  // namespace vantrel
