// SPDX-License-Identifier: GPL-3.0-or-later
// A program run in the background as a user starts it from a terminal, so a test can
// interrupt it half-way: in a process group of its own, output into a log file.
#pragma once

#include <sys/types.h>

#include <string>

namespace vantrel::test {

class BackgroundRun {
 public:
  // `command` is a shell command line; its standard output and error go to `log`.
  BackgroundRun(const std::string& command, const std::string& log);
  ~BackgroundRun();  // a run still going is killed
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;

  bool Started() const { return pid_ > 0; }
  // Waits (up to `seconds`) until the log holds `text`; false when it never came or the
  // program ended first.
  bool WaitForLog(const std::string& text, double seconds);
  // Sends the signal to the whole group, as Ctrl+C does.
  void Signal(int signal);
  // The exit status, or 128 + the signal that ended it; -1 when it does not end in time.
  int Wait(double seconds = 300);
  std::string Log() const;

 private:
  pid_t pid_ = -1;
  std::string log_;
  int status_ = -1;
};

}  // namespace vantrel::test
