// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/medium_view.h"

#include <cstring>

#include "base/text_format.h"
#include "base/translation.h"
#include "burn/disc_library.h"

namespace vantrel {

MediumView ClassifyMedium(int result, const MediumInfo& info) {
  MediumView view;
  view.result = result;
  if (result != 0) {
    if (result == FB_ERR_NO_MEDIUM) view.typeText = Tr("没有载入介质");
    return view;
  }
  view.typeText.assign(info.Type, strnlen(info.Type, sizeof info.Type));
  view.blank = info.State == 0;
  view.capacityBytes = info.Capacity;
  view.canErase = view.typeText.find("RW") != std::string::npos;
  if (view.typeText.find("DVD") != std::string::npos) {
    view.sizeText = "4482.63 MB";
    view.kind = MediumKind::Dvd;
    view.canWrite = true;
  } else {
    view.sizeText = Format("%.02f MB ", info.Capacity * (1.0 / 1048576.0));
    view.kind = MediumKind::NotDvd;
  }
  return view;
}

MediumView ReadMedium(char letter) {
  MediumInfo info = PrefilledMediumInfo();
  int rc = SetDevice(letter);
  if (rc == 0) rc = GetMediumInformation(&info);
  return ClassifyMedium(rc, info);
}

std::string MediumRefusal(const MediumView& view) {
  if (view.kind == MediumKind::None) return "no media loaded";
  if (view.kind == MediumKind::NotDvd) return Tr("不支持 CD-R");
  return "";
}

WrittenMedium WrittenMediumRule(const MediumView& view) {
  if (view.result != 0 || view.blank) return WrittenMedium::Blank;
  return view.canErase ? WrittenMedium::AskFirst : WrittenMedium::Refuse;
}

}  // namespace vantrel
