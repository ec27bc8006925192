// SPDX-License-Identifier: GPL-3.0-or-later
// What the burn dialog makes of a medium: the type and size labels, and whether writing
// and erasing are offered.
#pragma once

#include <string>

#include "platform/foxburner/foxburner.h"
#include "base/translation.h"

namespace vantrel {

enum class MediumKind { None = 0, NotDvd = 1, Dvd = 2 };

struct MediumView {
  int result = 0;          // GetMediumInformation's result
  std::string typeText;    // type label: the medium type, or "没有载入介质"
  std::string sizeText;    // size label: "4482.63 MB" for a DVD, else the capacity in MB
  MediumKind kind = MediumKind::None;
  bool canWrite = false;
  bool canErase = false;   // rewritable: the type contains "RW"
  bool blank = false;      // state 0
  double capacityBytes = 0;
};

// Classifies the record GetMediumInformation filled; `result` is that call's result.
MediumView ClassifyMedium(int result, const MediumInfo& info);
// SetDevice(letter), then GetMediumInformation into a pre-filled record, classified.
MediumView ReadMedium(char letter);
// The log line for a recorder whose medium cannot be written ("" when it can).
std::string MediumRefusal(const MediumView& view);

// A medium that already holds a disc: one that cannot be rewritten is refused with the
// wrong-medium message, a rewritable one (an image file among them) is written over only
// when the user agrees to lose what it holds.
enum class WrittenMedium { Blank, AskFirst, Refuse };
WrittenMedium WrittenMediumRule(const MediumView& view);
inline constexpr const char* kWrongMediumMessage =
    N_("刻录光盘失败。\r\n这可能是由于插入错误的媒体光盘所引起的。\r\n请按[确定]并插入一张空白的 DVDR/RW 光盘后再试。");

}  // namespace vantrel
