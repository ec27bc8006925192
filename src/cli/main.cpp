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
  std::fputs("usage: vantrel-author COMMAND [options]\n", stderr);
  for (const auto& command : kCommands)
    std::fprintf(stderr, "  %-10s %s\n", command.name, command.summary);
  std::fputs("'vantrel-author COMMAND --help' shows a command's options.\n", stderr);
  return 2;
}
