// SPDX-License-Identifier: GPL-3.0-or-later
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
int RunBurn(int argc, char** argv);
int RunConvert(int argc, char** argv);
int RunDemo(int argc, char** argv);
int RunDevices(int argc, char** argv);
int RunErase(int argc, char** argv);
int RunMenu(int argc, char** argv);
int RunProbe(int argc, char** argv);
int RunThumbnail(int argc, char** argv);

inline constexpr Command kCommands[] = {
    {"author", "lay the videos out on menu pages and author a DVD from them", RunAuthor},
    {"burn", "write an existing VIDEO_TS folder to a recorder", RunBurn},
    {"convert", "repair one video file into a DVD MPEG-2 program stream", RunConvert},
    {"demo", "make demo clips and author a demo DVD with a menu from them", RunDemo},
    {"devices", "list the recorders with the medium each holds", RunDevices},
    {"erase", "erase the rewritable medium of a recorder", RunErase},
    {"menu", "render the menu pages of the videos and make their menu streams", RunMenu},
    {"probe", "show a video's duration, frame rate, size and whether it has video", RunProbe},
    {"thumbnail", "grab the frame at a time as an 80 x 60 bitmap", RunThumbnail},
};

}  // namespace vantrel::cli
