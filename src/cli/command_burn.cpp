// vantrel-author burn: writes an existing VIDEO_TS folder to a recorder.
#include <cstdio>
#include <string>

#include "burn/video_ts_check.h"
#include "cli/commands.h"
#include "cli/recorders.h"
#include "project/app_settings.h"

namespace vantrel::cli {
namespace {

constexpr const char* kUsage =
    "usage: vantrel-author burn FOLDER [--device LETTER] [--work DIR] [--yes|--no]\n"
    "  FOLDER          a VIDEO_TS folder, or a folder holding one\n"
    "  --device LETTER the recorder (see 'vantrel-author devices'; default: the first)\n"
    "  --work DIR      work folder (default: the temppath setting)\n"
    "  --yes, --no     the answer to every question (default: ask on the terminal)\n";

constexpr const char* kNotDvdFolder =
    "没有选定授权的 DVD 映象文件夹，\r\n请查阅帮助文件了解什么是授权的 DVD 映象。";

}  // namespace

int RunBurn(int argc, char** argv) {
  std::string folder, device, work;
  Answer answer = Answer::Ask;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg == "--device" && i + 1 < argc) {
      device = argv[++i];
    } else if (arg == "--work" && i + 1 < argc) {
      work = argv[++i];
    } else if (ParseAnswer(arg, answer)) {
    } else if (arg.rfind("--", 0) != 0 && folder.empty()) {
      folder = arg;
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (folder.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  TerminalFrontEnd ui(answer);
  std::string accepted;
  if (!ValidateVideoTsFolder(folder, accepted)) {
    ui.ShowMessage(kNotDvdFolder);
    return 1;
  }
  RecorderSession session(ui, work, true);
  char letter = session.Choose(device);
  if (!letter) return 1;
  for (const std::string& name : session.Devices())
    if (name[0] == letter) ui.ShowStatus("选择驱动器 [" + name + "]", 0, 4, 1);
  WriteRequest request;
  request.videoTsFolder = accepted;
  request.deviceLetter = letter;
  request.burnproof = Settings().burnproof;
  return WriteToRecorder(ui, request);
}

}  // namespace vantrel::cli
