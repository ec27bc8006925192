// SPDX-License-Identifier: GPL-3.0-or-later
// The burn dialog's state without its window: the target list entries, which of Start and
// Erase a medium allows, the event log of at most 256 coloured lines with their time
// prefix, and the elapsed-time clock.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "burn/medium_view.h"
#include "base/translation.h"

namespace vantrel {

// One entry of the target list. `kind` is also the entry's icon: 0 recorder, 1 work folder.
inline constexpr const char* kNoRecorderQuestion = N_("无法检测兼容 DVD-RW 驱动器。您想要安装 aspi 驱动吗？");
inline constexpr const char* kRecorderAccessNote =
    N_("Linux 通过光驱设备 (/dev/sr0、/dev/sr1 …) 访问刻录机，不需要另外安装驱动。\n"
    "请确认刻录机已连接，并且您的用户属于拥有这些设备的组 (Debian 上为 cdrom：sudo adduser "
    "$USER cdrom，然后重新登录)。");

struct DeviceEntry {
  static constexpr int kRecorder = 0;
  static constexpr int kWorkFolder = 1;
  static constexpr int kWorkFolderIndex = -2;

  int kind = kRecorder;
  std::string name;      // the device name, or the work folder path
  int deviceIndex = 0;   // position in the device list, or -2 for the work folder
  bool IsWorkFolder() const { return deviceIndex == kWorkFolderIndex; }
  // An image-file recorder of the disc library, not a drive.
  bool IsImageFile() const;
  char Letter() const { return name.empty() ? 0 : name[0]; }
};

// The recorders in device-list order, then the work folder.
std::vector<DeviceEntry> TargetEntries(const std::vector<std::string>& devices,
                                       const std::string& workFolder);

// The Start button while a build runs, and the question before it stops the build.
inline constexpr const char* kStopRunButton = N_("停止");
inline constexpr const char* kStopRunQuestion = N_("DVD 还没有建好。您想要停止这次运行吗？");

// What a close request (the close box, Esc) does to the burn dialog: it closes when idle;
// a build or a write is stopped first, after its question, and the dialog closes once the
// stop has ended; while a stop is winding down it only waits for that.
enum class CloseStep { Close, AskStopRun, AskCancelWrite, WaitForStop };
CloseStep CloseStepFor(bool building, bool writing, bool stopping);

// "%2d:%02d:%02d  " of a local time, the prefix of every log line.
std::string LogTimePrefix(int hour, int minute, int second);
// A recorder's name as the user reads it: the library names an image-file recorder with a
// fixed label, which is shown in the user's language. Other names are the devices' own.
std::string ShownDeviceName(const std::string& name);
// "%02d:%02d:%02d" of whole seconds, the elapsed-time clock.
std::string ElapsedText(int seconds);

struct LogRgb {
  int red = 0, green = 0, blue = 0;
  bool operator==(const LogRgb&) const = default;
};
// 1 green, 2 blue, 3 red, anything else black.
LogRgb LogLineColour(int kind);

struct LogLine {
  int kind = 0;
  std::string text;  // with its time prefix
};

class EventLog {
 public:
  static constexpr std::size_t kMaxLines = 256;
  // Appends the line; the oldest goes first when the log is full. True when one went.
  bool Add(int kind, const std::string& textWithPrefix);
  const std::deque<LogLine>& Lines() const { return lines_; }

 private:
  std::deque<LogLine> lines_;
};

// What Start and Erase and the labels show after the medium of the current entry was read.
struct TargetControls {
  bool startEnabled = false;
  bool eraseEnabled = false;
  bool typeChanged = false;   // typeText replaces the type label
  std::string typeText;
  bool sizeChanged = false;
  std::string sizeText;
  std::string refusal;        // a red log line ("" none)
};

class BurnTargets {
 public:
  void Load(const std::vector<std::string>& devices, const std::string& workFolder);
  const std::vector<DeviceEntry>& Entries() const { return entries_; }
  // The list position last chosen; -1 after a device refused the choice.
  int Current() const { return current_; }
  const DeviceEntry* CurrentEntry() const;
  // A choice in the list; `deviceUsable` is SetDevice's answer for a recorder.
  void Choose(int position, bool deviceUsable);
  MediumKind Medium() const { return medium_; }
  // A real recorder is listed: not only image files and the work folder.
  bool HasRecorder() const;

  // The medium refresh: `view` is the classified medium of the current recorder (ignored
  // for the work folder).
  TargetControls Refresh(const MediumView& view);

 private:
  std::vector<DeviceEntry> entries_;
  int current_ = 0;
  MediumKind medium_ = MediumKind::None;
};

// The erase dialog's running bar: two steps a second, wrapping past 100.
inline int NextEraseProgress(int position) {
  return position + 2 > 100 ? position - 98 : position + 2;
}

}  // namespace vantrel
