// vantrel-author: the command-line front end over the same core as the GUI.
#include <cstdio>
#include <cstring>

#include "cli/commands.h"

int main(int argc, char** argv) {
  using vantrel::cli::kCommands;
  if (argc >= 2) {
    for (const auto& command : kCommands)
      if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 1, argv + 1);
  }
  // Asked for, the usage is the answer; otherwise it explains a mistake.
  const bool asked = argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
                                   std::strcmp(argv[1], "help") == 0);
  FILE* to = asked ? stdout : stderr;
  if (!asked && argc >= 2) std::fprintf(stderr, "vantrel-author: unknown command %s\n", argv[1]);
  std::fputs("usage: vantrel-author COMMAND [options]\n", to);
  for (const auto& command : kCommands)
    std::fprintf(to, "  %-10s %s\n", command.name, command.summary);
  std::fputs("'vantrel-author COMMAND --help' shows a command's options.\n", to);
  return asked ? 0 : 2;
}
