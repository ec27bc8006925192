// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/terminal_front_end.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <iostream>

#include "base/translation.h"

namespace vantrel::cli {
namespace {

// Texts from the library may hold "%": they are printed, never used as formats.
std::string LogLine(const std::string& text) {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%2d:%02d:%02d  ", local.tm_hour, local.tm_min, local.tm_sec);
  return stamp + text;
}

// Newlines of the dialog texts ("\r\n", "\n") become spaces on one terminal line; a text
// of the program's own that the core handed over as it is comes out in the user's language.
std::string OneLine(const std::string& text) {
  std::string line;
  for (char c : Tr(text)) {
    if (c == '\r') continue;
    line += c == '\n' ? ' ' : c;
  }
  return line;
}

}  // namespace

TerminalFrontEnd::TerminalFrontEnd(Answer answer)
    : answer_(answer), terminal_(isatty(STDOUT_FILENO) == 1) {}

TerminalFrontEnd::~TerminalFrontEnd() { Finish(); }

void TerminalFrontEnd::Finish() {
  std::lock_guard lock(mutex_);
  EndProgressLine();
  std::fflush(stdout);
}

void TerminalFrontEnd::EndProgressLine() {
  if (progressShown_) std::fputc('\n', stdout);
  progressShown_ = false;
  lastPercent_ = -1;
  lastLine_.clear();
}

void TerminalFrontEnd::ShowStatus(const std::string& text, int, int mode, int) {
  std::lock_guard lock(mutex_);
  if (mode < 1 || mode > 4) return;
  // Progress reports repeat the status line with a new position: the line is shown once.
  if (mode == 2 && text == lastStatus_) return;
  lastStatus_ = text;
  EndProgressLine();
  // The status line and the log line are the same line on a terminal.
  std::fputs((mode == 2 ? OneLine(text) : LogLine(OneLine(text))).c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void TerminalFrontEnd::SetProgress(int percent) {
  std::lock_guard lock(mutex_);
  if (!terminal_ || percent == lastPercent_) return;
  lastPercent_ = percent;
  progressShown_ = true;
  int filled = std::max(0, std::min(40, percent * 40 / 100));
  std::printf("\r[%s%s] %3d%%", std::string(size_t(filled), '#').c_str(),
              std::string(size_t(40 - filled), ' ').c_str(), percent);
  std::fflush(stdout);
}

std::string ProgressLine(const JobProgress& progress, int width) {
  const int percent = std::clamp(int(progress.done * 100), 0, 100);
  const int filled = std::clamp(int(progress.done * width), 0, width);
  char head[16];
  std::snprintf(head, sizeof head, "] %3d%%  ", percent);
  return "[" + std::string(size_t(filled), '#') + std::string(size_t(width - filled), ' ') + head +
         ProgressText(progress);
}

void TerminalFrontEnd::ShowProgress(const JobProgress& progress) {
  std::lock_guard lock(mutex_);
  if (!terminal_) return;
  const std::string line = ProgressLine(progress, 30);
  if (line == lastLine_ && progressShown_) return;
  // The line is written over: a shorter one clears what the longer one left.
  const std::size_t clear = lastLine_.size() > line.size() ? lastLine_.size() - line.size() : 0;
  lastLine_ = line;
  progressShown_ = true;
  std::printf("\r%s%s", line.c_str(), std::string(clear, ' ').c_str());
  std::fflush(stdout);
}

void TerminalJobObserver::OnQuestion(const JobQuestion& question, AnswerFunction answer) {
  if (question.IsNote()) {
    terminal_.ShowMessage(question.text);
    answer(0);
    return;
  }
  answer(terminal_.AskYesNo(question.text) ? kAnswerYes : kAnswerNo);
}

void TerminalFrontEnd::ShowMessage(const std::string& text) {
  std::lock_guard lock(mutex_);
  EndProgressLine();
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", OneLine(text).c_str());
}

bool TerminalFrontEnd::AskYesNo(const std::string& text) {
  std::lock_guard lock(mutex_);
  EndProgressLine();
  std::printf("%s [y/n] ", OneLine(text).c_str());
  if (answer_ != Answer::Ask) {
    std::printf("%s\n", answer_ == Answer::Yes ? "y (--yes)" : "n (--no)");
    std::fflush(stdout);
    return answer_ == Answer::Yes;
  }
  std::fflush(stdout);
  if (!isatty(STDIN_FILENO)) {
    // Nobody can answer: the careful answer, and how to give another.
    std::printf("n (no terminal; pass --yes to answer yes)\n");
    return false;
  }
  std::string reply;
  if (!std::getline(std::cin, reply)) return false;
  return !reply.empty() && (reply[0] == 'y' || reply[0] == 'Y');
}

bool ParseAnswer(const std::string& arg, Answer& answer) {
  if (arg == "--yes") answer = Answer::Yes;
  else if (arg == "--no") answer = Answer::No;
  else return false;
  return true;
}

}  // namespace vantrel::cli
