// SPDX-License-Identifier: GPL-3.0-or-later
#include "encorva_convert/arguments.h"

#include <cmath>
#include <cstdlib>

namespace vantrel::encorva_convert {
namespace {

bool Number(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == 0 && std::isfinite(value);
}

}  // namespace

bool ParseArguments(int argc, char** argv, Arguments& out, std::string& error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out.help = true;
      return true;
    }
    if (arg == "--info") {
      out.info = true;
      continue;
    }
    if (arg == "--format" || arg == "--start" || arg == "--stop") {
      if (i + 1 >= argc) {
        error = arg + " needs a value";
        return false;
      }
      const char* text = argv[++i];
      double value = 0;
      if (!Number(text, value)) {
        error = arg + " needs a number, not \"" + text + "\"";
        return false;
      }
      if (arg == "--format") {
        if (value != std::floor(value) || value < 0 || value > 7) {
          error = std::string("--format must be a whole number from 0 to 7, not ") + text;
          return false;
        }
        out.format = long(value);
      } else if (value < 0) {
        error = arg + " must not be negative, not " + text;
        return false;
      } else {
        (arg == "--start" ? out.start : out.stop) = value;
      }
      continue;
    }
    if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      error = "unknown option " + arg;
      return false;
    }
    out.names.push_back(arg);
  }
  if (out.stop > 0 && out.stop <= out.start) {
    error = "--stop must come after --start";
    return false;
  }
  const size_t wanted = out.info ? 1 : 2;
  if (out.names.size() != wanted) {
    error = out.info ? "--info takes one SOURCE" : "SOURCE and OUTPUT are needed";
    if (out.names.size() > wanted) error = "too many names: " + out.names[wanted];
    return false;
  }
  return true;
}

}  // namespace vantrel::encorva_convert
