// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foxburner/burn_messages.h"

#include <libburn/libburn.h>

#include <cstring>

namespace vantrel::foxburner {

using namespace burn;
namespace {

int RankOf(const char* severity) {
  static const char* const kOrder[] = {"WARNING", "HINT", "SORRY", "FAILURE", "FATAL", "ABORT"};
  static const int kRank[] = {1, 1, 3, 4, 5, 6};
  for (int i = 0; i < 6; ++i)
    if (std::strcmp(severity, kOrder[i]) == 0) return kRank[i];
  return 0;
}

}  // namespace

void QuietMessages() {
  char queue[] = "WARNING", print[] = "NEVER", id[] = "";
  burn_msgs_set_severities(queue, print, id);
}

void MessageDrain::Drain() {
  char minimum[] = "ALL";
  char text[BURN_MSGS_MESSAGE_LEN];
  char severity[80];
  int code = 0, osErrno = 0;
  while (burn_msgs_obtain(minimum, &code, text, &osErrno, severity) > 0) {
    int rank = RankOf(severity);
    if (rank < kFailureRank) continue;
    std::string line = text;
    if (osErrno != 0) line += std::string(" (") + std::strerror(osErrno) + ")";
    // The first failure is the cause; later ones often only say that the job ended.
    if (worst_.find(line) != std::string::npos || failures_ >= kKeptFailures) continue;
    worst_ += (worst_.empty() ? "" : "; ") + line;
    ++failures_;
    if (rank > rank_) rank_ = rank;
  }
}

}  // namespace vantrel::foxburner
