// SPDX-License-Identifier: GPL-3.0-or-later
// The DVD navigation-pack test: a DVD-Video program stream carries, within its first
// 16 KB, the PCI packet (00 00 01 BF 03 D4) and the DSI packet (00 00 01 BF 03 FA) of a
// navigation pack. Files without them must be repaired before authoring.
#pragma once

#include <string>

namespace vantrel {

class RunQuestion;

// True when both patterns occur in the first 16,384 bytes. A file that cannot be opened
// is reported ("无法打开文件 " + path + the system's reason) and treated as compliant.
bool DvdCompliance(const std::string& path, RunQuestion& questions);

}  // namespace vantrel
