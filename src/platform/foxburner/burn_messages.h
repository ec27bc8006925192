// SPDX-License-Identifier: GPL-3.0-or-later
// libburn's message queue: nothing is printed behind the program's back; the worker drains
// the queue and keeps the worst message as the reason of a failure.
#pragma once

#include <string>

namespace vantrel::foxburner {

// Sets the queue up: messages from WARNING on are queued, none is printed.
void QuietMessages();

class MessageDrain {
 public:
  // Empties the queue, keeping the first failure messages (each with the system's reason
  // when it carries an errno).
  void Drain();
  bool HasFailure() const { return rank_ >= kFailureRank; }
  const std::string& Worst() const { return worst_; }
  void Clear() { worst_.clear(); rank_ = 0; failures_ = 0; }

 private:
  static constexpr int kFailureRank = 3;  // SORRY and worse
  static constexpr int kKeptFailures = 3;
  std::string worst_;
  int rank_ = 0;
  int failures_ = 0;
};

}  // namespace vantrel::foxburner
