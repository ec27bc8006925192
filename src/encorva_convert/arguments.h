// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of encorva-convert, checked before the component is touched: every
// value is a number in its range, every option has its value, and a wrong one is named.
#pragma once

#include <string>
#include <vector>

namespace vantrel::encorva_convert {

struct Arguments {
  std::vector<std::string> names;  // SOURCE OUTPUT, or SOURCE with --info
  bool info = false;
  bool help = false;
  long format = 7;  // DVD PAL
  double start = 0, stop = 0;
};

// False with a one-line reason in `error` when the command line cannot be used.
bool ParseArguments(int argc, char** argv, Arguments& out, std::string& error);

}  // namespace vantrel::encorva_convert
