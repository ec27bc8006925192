// The subcommands of vantrel-author. Each takes the arguments after its name and returns
// the process exit status: 0 done, 1 failed, 2 bad usage.
#pragma once

namespace vantrel::cli {

struct Command {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv);  // argv[0] is the subcommand's name
};

int RunAuthor(int argc, char** argv);
int RunDevices(int argc, char** argv);
int RunBurn(int argc, char** argv);
int RunErase(int argc, char** argv);

inline constexpr Command kCommands[] = {
    {"author", "lay the videos out on menu pages and author a DVD from them", RunAuthor},
    {"devices", "list the recorders with the medium each holds", RunDevices},
    {"burn", "write an existing VIDEO_TS folder to a recorder", RunBurn},
    {"erase", "erase the rewritable medium of a recorder", RunErase},
};

}  // namespace vantrel::cli
