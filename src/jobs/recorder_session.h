// SPDX-License-Identifier: GPL-3.0-or-later
// What the disc jobs share: the disc-writing library opened with the settings' image
// recorders for the life of the session, the device list, the choice of a device, and the
// write of a VIDEO_TS folder to the chosen one.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "burn/recorder_write.h"
#include "jobs/job.h"

namespace vantrel {

struct AppSettings;

class RecorderSession {
 public:
  // Opens the library with the image recorders of `settings` (its work folder is created)
  // and lists the devices, logging each as the burn dialog does when `log`. A library a
  // front end already holds open (the burn dialog's) is used as it is, its devices already
  // listed and logged by that front end, and left open.
  RecorderSession(BurnFrontEnd& ui, const AppSettings& settings, bool log);
  ~RecorderSession();
  RecorderSession(const RecorderSession&) = delete;
  RecorderSession& operator=(const RecorderSession&) = delete;

  const std::vector<std::string>& Devices() const { return devices_; }
  // The device of the letter (case-insensitive), or the first one when `letter` is empty;
  // 0 with the reason in `why` when there is none.
  char Choose(const std::string& letter, std::string& why);

 private:
  BurnFrontEnd& ui_;
  std::vector<std::string> devices_;
  bool ownsLibrary_ = true;
};

// Writes the request's folder to its recorder: the medium check, the write sequence and
// its progress, until the done callback. `cancel` set while the write runs cancels it
// without asking (the front end asked). The result's reason says why it did not succeed;
// `started`, when given, says how far the write's start came (a front end hands a write
// the recorder refused over to the folder burn).
JobResult WriteToRecorder(BurnFrontEnd& ui, const WriteRequest& request, const std::atomic<bool>& cancel,
                          std::atomic<WriteStart>* started = nullptr);

}  // namespace vantrel
