#include "cli/console_status.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <iostream>

#include "base/message_pump.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

namespace vantrel::cli {
namespace {

const char* Colour(int kind) {
  switch (kind) {
    case kStatusGreen: return "\033[32m";
    case kStatusBlue: return "\033[34m";
    case kStatusRed: return "\033[31m";
    default: return "";
  }
}

std::string Now() {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char text[16];
  std::snprintf(text, sizeof text, "%2d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

}  // namespace

ConsoleRunStatus::ConsoleRunStatus() : terminal_(isatty(STDOUT_FILENO) == 1) {}

ConsoleRunStatus::~ConsoleRunStatus() { Finish(); }

void ConsoleRunStatus::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (barShown_) std::fputs("\n", stdout);
  barShown_ = false;
  std::fflush(stdout);
}

void ConsoleRunStatus::Log(const std::string& text, int kind) {
  if (barShown_) std::fputs("\r\033[K", stdout);
  barShown_ = false;
  if (terminal_ && *Colour(kind))
    std::printf("%s  %s%s\033[0m\n", Now().c_str(), Colour(kind), text.c_str());
  else
    std::printf("%s  %s\n", Now().c_str(), text.c_str());
  std::fflush(stdout);
}

void ConsoleRunStatus::DrawBar() {
  if (!terminal_) return;
  const int span = high_ > low_ ? high_ - low_ : 1;
  int percent = (position_ - low_) * 100 / span;
  percent = percent < 0 ? 0 : percent > 100 ? 100 : percent;
  const int width = 30;
  std::string bar(size_t(percent * width / 100), '#');
  bar.resize(width, '.');
  std::printf("\r\033[K[%s] %3d%%  %s", bar.c_str(), percent, line_.c_str());
  std::fflush(stdout);
  barShown_ = true;
}

void ConsoleRunStatus::ShowStatus(const std::string& text, int position, int mode, int kind) {
  std::lock_guard<std::mutex> lock(mutex_);
  line_ = text;
  if (mode == kStatusLogAndProgress || mode == kStatusThenLog || mode == kLogThenStatus)
    Log(text, kind);
  if (mode == kStatusLogAndProgress || mode == kStatusProgress) position_ = position;
  DrawBar();
}

void ConsoleRunStatus::SetProgressRange(int low, int high) {
  std::lock_guard<std::mutex> lock(mutex_);
  low_ = low;
  high_ = high;
  DrawBar();
}

void ConsoleRunStatus::SetProgress(int position) {
  std::lock_guard<std::mutex> lock(mutex_);
  position_ = position;
  DrawBar();
}

bool ConsoleQuestion::AskYesNo(const std::string& text) {
  if (answer_ != Answer::kAsk) {
    std::printf("%s %s\n", text.c_str(), answer_ == Answer::kYes ? "(--yes: 是)" : "(--no: 否)");
    return answer_ == Answer::kYes;
  }
  if (!isatty(STDIN_FILENO)) {
    std::printf("%s (no terminal to ask: 否)\n", text.c_str());
    return false;
  }
  std::printf("\n%s [y/N] ", text.c_str());
  std::fflush(stdout);
  std::string reply;
  std::getline(std::cin, reply);
  return reply == "y" || reply == "Y" || reply == "yes" || reply == "是";
}

void ConsoleQuestion::ShowMessage(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

void ConsoleAddTitlesView::ShowDecoderNotice(const std::string& path) {
  std::fprintf(stderr, "vantrel-author: no picture of %s could be decoded; its thumbnail stays empty\n",
               path.c_str());
}

ConsoleThread::ConsoleThread() {
  com::CoInitialize();
  window::InstallMessagePump();
}

ConsoleThread::~ConsoleThread() {
  SetMessagePump(nullptr);
  com::CoUninitialize();
}

}  // namespace vantrel::cli
