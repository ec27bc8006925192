// What the disc commands share: the library opened with the settings' image recorders,
// the device list, the choice of a device and the write of a VIDEO_TS folder.
#pragma once

#include <string>
#include <vector>

#include "burn/recorder_write.h"
#include "cli/terminal_front_end.h"

namespace vantrel {
struct AppSettings;
}

namespace vantrel::cli {

class RecorderSession {
 public:
  // Opens the library with the image recorders of the settings (read by the caller) and
  // lists the devices, logging each as the burn dialog does when `log`.
  RecorderSession(TerminalFrontEnd& ui, const AppSettings& settings, bool log);
  // The settings loaded here first, with the work folder from `workFolder` when not empty.
  RecorderSession(TerminalFrontEnd& ui, const std::string& workFolder, bool log);
  ~RecorderSession();
  RecorderSession(const RecorderSession&) = delete;
  RecorderSession& operator=(const RecorderSession&) = delete;

  const std::vector<std::string>& Devices() const { return devices_; }
  // The device of the letter (case-insensitive), or the first one when `letter` is empty;
  // 0 with a message on standard error when there is none.
  char Choose(const std::string& letter);

 private:
  TerminalFrontEnd& ui_;
  std::vector<std::string> devices_;
};

// Writes the request's folder to the chosen recorder: the medium check, the write sequence,
// the progress bar, Ctrl+C as cancel, and the done text. Returns the exit status.
int WriteToRecorder(TerminalFrontEnd& ui, const WriteRequest& request);

}  // namespace vantrel::cli
