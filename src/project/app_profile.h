// SPDX-License-Identifier: GPL-3.0-or-later
// The program's per-user profile (the tip window's "Tip" section lives here):
// vantrel.ini in the user's config folder.
#pragma once

#include <string>

namespace vantrel {

class AppProfile {
 public:
  static constexpr const char* kTipSection = "Tip";
  static constexpr const char* kTipStartUp = "StartUp";
  static constexpr const char* kTipFilePos = "FilePos";
  static constexpr const char* kTipTimeStamp = "TimeStamp";

  AppProfile();  // the user's profile
  explicit AppProfile(std::string path) : path_(std::move(path)) {}

  int GetInt(const std::string& section, const std::string& key, int fallback) const;
  std::string GetString(const std::string& section, const std::string& key,
                        const std::string& fallback) const;
  bool WriteInt(const std::string& section, const std::string& key, int value);
  bool WriteString(const std::string& section, const std::string& key, const std::string& text);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace vantrel
