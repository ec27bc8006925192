// SPDX-License-Identifier: GPL-3.0-or-later
// The read-only links and version text shipped in support.ini beside the program.
#pragma once

#include <string>

namespace vantrel {

struct SupportInfo {
  std::string homepage;
  std::string mailto;
  std::string version;
};

// Section "support" of the file; each value at most 255 bytes, empty when missing.
SupportInfo ReadSupportInfo(const std::string& supportIniPath);
// support.ini of the application folder.
SupportInfo ReadSupportInfo();

}  // namespace vantrel
