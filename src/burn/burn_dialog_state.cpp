// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/burn_dialog_state.h"

#include "base/text_format.h"
#include "base/translation.h"
#include "burn/disc_library.h"
#include "platform/foxburner/foxburner_ext.h"

namespace vantrel {

std::vector<DeviceEntry> TargetEntries(const std::vector<std::string>& devices,
                                       const std::string& workFolder) {
  std::vector<DeviceEntry> entries;
  for (std::size_t i = 0; i < devices.size(); ++i)
    entries.push_back({DeviceEntry::kRecorder, devices[i], int(i)});
  entries.push_back({DeviceEntry::kWorkFolder, workFolder, DeviceEntry::kWorkFolderIndex});
  return entries;
}

bool DeviceEntry::IsImageFile() const {
  static const std::string kLabel = std::string(": ") + FB_IMAGE_FILE_LABEL + " (";
  return !IsWorkFolder() && name.size() > kLabel.size() && name.compare(1, kLabel.size(), kLabel) == 0;
}

std::string ShownDeviceName(const std::string& name) {
  static const std::string kLabel = std::string(": ") + FB_IMAGE_FILE_LABEL + " (";
  const std::size_t at = name.find(kLabel);
  if (at != 1) return name;
  return name.substr(0, at + 2) + Tr("映像文件") + name.substr(at + kLabel.size() - 2);
}

std::string LogTimePrefix(int hour, int minute, int second) {
  return Format("%2d:%02d:%02d  ", hour, minute, second);
}

std::string ElapsedText(int seconds) {
  if (seconds < 0) seconds = 0;
  return Format("%02d:%02d:%02d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}

LogRgb LogLineColour(int kind) {
  switch (kind) {
    case 1: return {0, 130, 0};
    case 2: return {0, 0, 255};
    case 3: return {255, 0, 0};
    default: return {0, 0, 0};
  }
}

bool EventLog::Add(int kind, const std::string& textWithPrefix) {
  bool dropped = false;
  if (lines_.size() >= kMaxLines) {
    lines_.pop_front();
    dropped = true;
  }
  lines_.push_back({kind, textWithPrefix});
  return dropped;
}

void BurnTargets::Load(const std::vector<std::string>& devices, const std::string& workFolder) {
  entries_ = TargetEntries(devices, workFolder);
  if (current_ < 0 || current_ >= int(entries_.size())) current_ = 0;
}

bool BurnTargets::HasRecorder() const {
  for (const DeviceEntry& entry : entries_)
    if (!entry.IsWorkFolder() && !entry.IsImageFile()) return true;
  return false;
}

const DeviceEntry* BurnTargets::CurrentEntry() const {
  if (current_ < 0 || current_ >= int(entries_.size())) return nullptr;
  return &entries_[std::size_t(current_)];
}

void BurnTargets::Choose(int position, bool deviceUsable) {
  current_ = deviceUsable ? position : -1;
}

TargetControls BurnTargets::Refresh(const MediumView& view) {
  TargetControls c;
  const DeviceEntry* entry = CurrentEntry();
  if (!entry) return c;  // a refused device: neither Start nor Erase
  if (entry->IsWorkFolder()) {
    c.startEnabled = true;
    return c;
  }
  if (view.result != 0) {
    if (view.result == FB_ERR_NO_MEDIUM) {
      c.typeChanged = true;
      c.typeText = view.typeText;
    }
    // Any failed read counts as no medium, so a kind left from another recorder can
    // never enable Start on this one.
    medium_ = MediumKind::None;
  } else {
    c.typeChanged = true;
    c.typeText = view.typeText;
    c.sizeChanged = true;
    c.sizeText = view.sizeText;
    c.eraseEnabled = view.canErase;
    medium_ = view.kind;
  }
  c.refusal = MediumRefusal(MediumView{0, "", "", medium_});
  // A recorder that cannot be used says why (an image file in a read-only folder), not
  // that it holds no medium.
  if (view.result != 0 && view.result != FB_ERR_NO_MEDIUM) c.refusal = Tr("错误: ") + LibraryText(view.result);
  c.startEnabled = medium_ == MediumKind::Dvd;
  return c;
}

CloseStep CloseStepFor(bool building, bool writing, bool stopping) {
  if (stopping) return CloseStep::WaitForStop;
  if (writing) return CloseStep::AskCancelWrite;
  if (building) return CloseStep::AskStopRun;
  return CloseStep::Close;
}

}  // namespace vantrel
