// SPDX-License-Identifier: GPL-3.0-or-later
// What the commands that add titles share: the title view of the command line and a
// thread set up for components and window messages. (Status and questions go through
// TerminalFrontEnd.)
#pragma once

#include <string>

#include "media/add_titles.h"

namespace vantrel::cli {

// Adding titles from the command line: the files come from the arguments, progress and
// the decoder notice go to standard error.
class ConsoleAddTitlesView : public AddTitlesView {
 public:
  bool ChooseFiles(std::vector<std::string>&) override { return false; }
  void ShowProgress(const std::string&) override {}
  void CloseProgress() override {}
  void ShowDecoderNotice(const std::string& path) override;
  void ShowTotalDuration(int) override {}
};

// Every command that touches the media layer runs on a thread initialised for components,
// with the window message pump behind every long wait.
class ConsoleThread {
 public:
  ConsoleThread();
  ~ConsoleThread();
  ConsoleThread(const ConsoleThread&) = delete;
  ConsoleThread& operator=(const ConsoleThread&) = delete;
};

}  // namespace vantrel::cli
