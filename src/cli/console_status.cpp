#include "cli/console_status.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace vantrel::cli {

void ConsoleRunStatus::ShowStatus(const std::string& text, int position, int mode, int kind) {
  const char* mark = kind == kStatusRed ? "!! " : "";
  if (mode == kStatusProgress) {
    // Progress comes often; print it only when it moved.
    if (text == lastText_ && position == lastPosition_) return;
    std::printf("  %s%s %d%%\n", mark, text.c_str(), position);
  } else {
    std::printf("%s%s\n", mark, text.c_str());
  }
  std::fflush(stdout);
  lastText_ = text;
  lastPosition_ = position;
}

bool ConsoleQuestion::AskYesNo(const std::string& text) {
  if (preset_ != Answer::kAsk) {
    std::printf("%s %s\n", text.c_str(), preset_ == Answer::kYes ? "yes" : "no");
    return preset_ == Answer::kYes;
  }
  if (!isatty(STDIN_FILENO)) {
    std::printf("%s no (no terminal to ask)\n", text.c_str());
    return false;
  }
  std::printf("%s [y/N] ", text.c_str());
  std::fflush(stdout);
  std::string line;
  if (!std::getline(std::cin, line)) return false;
  return !line.empty() && (line[0] == 'y' || line[0] == 'Y');
}

}  // namespace vantrel::cli
