// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/interrupt.h"

#include <signal.h>

namespace vantrel::cli {
namespace {

volatile sig_atomic_t gSignal = 0;
struct sigaction gOldInt, gOldTerm;

void OnSignal(int signal) { gSignal = signal; }

}  // namespace

InterruptWatch::InterruptWatch() {
  gSignal = 0;
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, &gOldInt);
  sigaction(SIGTERM, &action, &gOldTerm);
}

InterruptWatch::~InterruptWatch() {
  sigaction(SIGINT, &gOldInt, nullptr);
  sigaction(SIGTERM, &gOldTerm, nullptr);
}

bool InterruptWatch::Interrupted() const { return gSignal != 0; }

int InterruptWatch::Signal() const { return gSignal; }

}  // namespace vantrel::cli
