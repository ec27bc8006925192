// SPDX-License-Identifier: GPL-3.0-or-later
// INI files with the private-profile semantics the settings and layout files rely on:
// section and key names compare without regard to case, a missing key gives the default,
// values are read into a 1024-character buffer, and writing keeps every other section,
// key and comment of the file in place.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

class IniFile {
 public:
  static constexpr size_t kReadBufferSize = 1024;

  IniFile() = default;
  explicit IniFile(std::string path) : path_(std::move(path)) {}

  const std::string& Path() const { return path_; }
  void SetPath(std::string path) { path_ = std::move(path); }

  // The value of the key, at most kReadBufferSize - 1 bytes; `fallback` when it is missing.
  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& fallback) const;
  // The key's leading-digits decimal value; `current` when the key is missing or empty.
  int ReadInt(const std::string& section, const std::string& key, int current) const;
  // Sets one key, creating the section or key as needed. False when the file can't be written.
  bool WriteString(const std::string& section, const std::string& key, const std::string& text);
  bool WriteInt(const std::string& section, const std::string& key, int value);

  // Sets many keys in one replacement of the file: all of them land, or none.
  struct Entry {
    std::string section, key, value;
  };
  bool WriteAll(const std::vector<Entry>& entries);

  // The same rules applied to text already in memory (one parse for many reads).
  static bool FindValue(const std::string& text, const std::string& section,
                        const std::string& key, std::string& value);
  static std::string WithValue(const std::string& text, const std::string& section,
                               const std::string& key, const std::string& value);

 private:
  std::string path_;
};

// Leading-digits decimal conversion ("12abc" -> 12, "abc" -> 0, " -3" -> -3).
int LeadingInt(const std::string& text);

}  // namespace vantrel
