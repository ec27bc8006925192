// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+C, SIGINT and SIGTERM during a write: noted by a handler, acted on by the waiting
// thread (which calls Abort and waits for the library to finish).
#pragma once

namespace vantrel::cli {

class InterruptWatch {
 public:
  InterruptWatch();   // installs the handlers
  ~InterruptWatch();  // restores the previous ones
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  bool Interrupted() const;
  int Signal() const;  // the signal that came, 0 if none
};

}  // namespace vantrel::cli
