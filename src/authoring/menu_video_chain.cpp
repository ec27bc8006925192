// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/menu_video_chain.h"

#include <unistd.h>

#include "authoring/command_templates.h"
#include "authoring/motion_menu.h"
#include "authoring/run_folders.h"
#include "authoring/run_status.h"
#include "authoring/shell_command.h"
#include "authoring/spumux_script_writer.h"
#include "authoring/tool_environment.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "project/app_settings.h"

namespace vantrel {
namespace {

struct PageFiles {
  std::string picture, video, program, menu, script;
};

PageFiles FilesOf(const std::string& folder, int k) {
  return {folder + PageFileName("menu_background", k, ".jpg"),
          folder + PageFileName("menu_background", k, ".m2v"),
          folder + PageFileName("menu_background", k, ".mpg"),
          MenuVideoChain::MenuStreamPath(folder, k), SpumuxScriptWriter::ScriptPath(folder, k)};
}

}  // namespace

std::string MenuTimeText(int pages, double seconds, std::int64_t bytes) {
  return Format(Tr("菜单完成: %d 页，%.2fMB，用时 %.1f 秒"), pages, double(bytes) / (1024.0 * 1024.0), seconds);
}

std::string MenuVideoChain::MenuStreamPath(const std::string& intermediateFolder, int pageNumber) {
  return intermediateFolder + PageFileName("menu", pageNumber, ".mpg");
}

bool MenuVideoChain::StreamIsGood(const std::string& path) {
  return FileExists(path) && FileSize(path) >= kMinimumStreamBytes;
}

MenuChainResult MenuVideoChain::Run(const MenuModel& model, const MenuChainInputs& inputs,
                                    AppSettings& settings, RunStatus& status,
                                    RunQuestion& question) {
  const ShellContext tools = ToolShellContext(inputs.toolFolder, inputs.standard, inputs.toolLog);
  const std::string silence = inputs.applicationFolder + "silence.mp2";
  const MenuMotion& motion = model.Choices().motion;
  status.ShowStatus(Tr(kStatusText), 0, kStatusLogAndProgress, kStatusGreen);
  const int total = 2 * model.PageCount();
  int done = 0;
  auto progress = [&] {
    ++done;
    status.ShowStatus(Tr(kStatusText), done * 100 / total, kStatusProgress, kStatusGreen);
  };

  for (int i = 0; i < model.PageCount(); ++i) {
    const MenuPage& page = model.Page(i);
    const PageFiles files = FilesOf(inputs.intermediateFolder, page.Number);
    // Streams of an earlier run must not pass for this run's when a step fails.
    for (const std::string* old : {&files.video, &files.program, &files.menu}) unlink(old->c_str());

    SpumuxScriptWriter::Write(page, inputs.intermediateFolder, inputs.standard);
    if (motion.Moving()) {
      const MotionPageInputs film{inputs.intermediateFolder + MenuRenderer::LayerFileName(page.Number), files.program,
                                  motion, IsNtsc(inputs.standard), inputs.sound};
      // A film that fails leaves no stream; the question below follows, with its reason logged.
      if (std::string why; !MakeMotionPage(page, film, why)) status.ShowStatus(why, 0, kStatusLogAndProgress, kStatusRed);
    } else {
      ShellCommand(StillToVideoCommand(files.picture, files.video, IsNtsc(inputs.standard)), tools);
      ShellCommand(MultiplexCommand(files.program, files.video, silence), tools);
    }
    progress();
    ShellCommand(SpumuxCommand(files.script, files.program, files.menu), tools);
    progress();
  }

  bool allGood = true;
  for (int i = 0; i < model.PageCount(); ++i)
    allGood = StreamIsGood(MenuStreamPath(inputs.intermediateFolder, model.Page(i).Number)) && allGood;
  if (allGood) return MenuChainResult::kMenusMade;
  if (!question.AskYesNo(Tr(kFailedQuestion))) return MenuChainResult::kStopRun;
  settings.createmenu = false;
  return MenuChainResult::kContinueWithoutMenu;
}

}  // namespace vantrel
