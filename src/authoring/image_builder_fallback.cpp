// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/image_builder_fallback.h"

#include <atomic>
#include <cstdio>
#include <chrono>
#include <mutex>
#include <optional>
#include <cstdio>
#include <thread>

#include "authoring/movie_maker.h"
#include "authoring/run_folders.h"
#include "authoring/run_status.h"
#include "authoring/six_file_check.h"
#include "base/app_folder.h"
#include "base/ini_file.h"
#include "base/message_pump.h"
#include "base/paths.h"
#include "base/process_files.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "menu/menu_model.h"
#include "platform/foximager/fox_imager.h"
#include "platform/foximager/image_builder_ini.h"
#include "project/app_settings.h"

namespace vantrel {
namespace {

constexpr int kPollMs = 100;

void OnBuilderProgress(void* context, float percent, int step, int steps) {
  RunStatus& status = *static_cast<RunStatus*>(context);
  status.SetProgressRange(0, steps * 100);
  status.SetProgress(step * 100 + int(percent));
}

// Polls `done`, dispatching the thread's messages between polls.
template <typename Done>
void PumpUntil(Done done) {
  while (!done()) {
    PumpMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
  }
}

void MakeMenuMovie(MovieMaker& maker, const AppSettings& settings, const RunFolders& folders) {
  maker.SetStandard(settings.IsNtsc() ? MovieMaker::kStandardNtsc : MovieMaker::kStandardPal);
  maker.Clear();
  maker.AddStillClip(folders.intermediate + PageFileName("menu_background", 1, ".jpg"), 0.0, 2.0, 0);
  maker.AddAudioClip(ApplicationFolder() + "silence.mp2", 0.0, 2.0);
  if (maker.RenderToFile(folders.intermediate + PageFileName("menu_background", 1, ".mpg")))
    PumpUntil([&] { return maker.Completed(); });
}

// The tools' log outlives the intermediate folder: it says why a run failed.
void KeepToolLog(const RunFolders& folders) {
  const std::string log = folders.intermediate + "tools.log";
  if (FileExists(log)) std::rename(log.c_str(), (folders.work + "/tools.log").c_str());
}

// Every failure of the builder ends the same way: the note, then the intermediate folder goes.
// The builder's own reason goes to the event log first, so the user learns what went wrong.
bool Fail(const char* message, const std::string& reason, const RunFolders& folders, RunStatus& status,
          RunQuestion& question) {
  if (!reason.empty()) status.ShowStatus(reason, 0, kStatusLogAndProgress, kStatusRed);
  question.ShowMessage(message);
  KeepToolLog(folders);
  DeleteFolderTree(folders.intermediate);
  return false;
}

class BuilderHandle {
 public:
  BuilderHandle() : handle_(DVDImageBuild_Create()) {}
  ~BuilderHandle() { DVDImageBuild_Destory(handle_); }
  BuilderHandle(const BuilderHandle&) = delete;
  BuilderHandle& operator=(const BuilderHandle&) = delete;
  DVDImageBuildHandle get() const { return handle_; }

 private:
  DVDImageBuildHandle handle_;
};

}  // namespace

std::string ImageBuilderIniPath() {
  static std::once_flag cleaned;
  std::call_once(cleaned, [] { RemoveFilesOfEndedProcesses(RuntimeFolder(), "tmpFoxImage-"); });
  return RuntimeFilePath("tmpFoxImage", ".ini");
}

bool WriteImageBuilderIni(const std::string& path, const MenuModel& model, const RunFolders& folders) {
  IniFile ini(path);
  bool ok = ini.WriteInt(kImageBuilderInfoSection, kImageBuilderCountKey, model.TitleCount());
  ok = ini.WriteString(kImageBuilderInfoSection, "menu",
                       folders.intermediate + PageFileName("menu_background", 1, ".mpg")) && ok;
  for (int i = 0; i < model.TitleCount(); ++i) {
    const MenuEntry& entry = *model.Titles()[size_t(i)];
    const Rect& r = entry.ThumbnailRect;
    const std::string section = Format("%d", i);
    ok = ini.WriteString(section, "TopLeft", Format("%d,%d", r.left - 2, r.top - 2)) && ok;
    ok = ini.WriteString(section, "RightBottom", Format("%d,%d", r.Right() + 2, r.Bottom() + 2)) && ok;
    ok = ini.WriteInt(section, "Width", r.width + 4) && ok;
    ok = ini.WriteInt(section, "Height", r.height + 4) && ok;
    ok = ini.WriteString(section, "file", entry.RepairedPath.empty() ? entry.SourcePath : entry.RepairedPath) && ok;
  }
  return ok;
}

bool RunImageBuilderFallback(MenuModel& model, const AppSettings& settings, const RunFolders& folders,
                             MovieMaker* movieMaker, RunStatus& status, RunQuestion& question) {
  BuilderHandle builder;
  if (movieMaker) MakeMenuMovie(*movieMaker, settings, folders);
  bool loaded;
  {
    // Two runs of one process share its file: each writes and loads it whole in turn.
    static std::mutex iniInUse;
    std::lock_guard hold(iniInUse);
    const std::string iniPath = ImageBuilderIniPath();
    WriteImageBuilderIni(iniPath, model, folders);
    loaded = DVDImageBuild_LoadINI(builder.get(), iniPath.c_str());
  }
  if (!loaded)
    return Fail(Tr("载入输入 INI 文件失败。"), DVDImageBuild_GetLastError(builder.get()), folders, status, question);
  DVDImageBuild_SetOutputFolder(builder.get(), folders.work.c_str());
  DVDImageBuild_SetVideoFormat(builder.get(), settings.IsNtsc() ? "NTSC" : "PAL");
  DVDImageBuild_SetProgressCallback(builder.get(), OnBuilderProgress, &status);
  if (!DVDImageBuild_CreateMenuImages(builder.get()))
    return Fail(Tr("创建和保存菜单图像失败。"), DVDImageBuild_GetLastError(builder.get()), folders, status, question);

  std::atomic<bool> finished{false};
  bool built = false;  // written by the build thread before it ends
  // The build thread is part of this job: a cancel of the job reaches its tools and encodes.
  const CancelScope* job = CurrentCancelScope();
  std::thread build([&] {
    const std::atomic<bool> never{false};
    std::optional<CancelScope> cancellable;
    if (job) cancellable.emplace(never, job);
    built = DVDImageBuild_BuildDVD(builder.get());
    finished = true;
  });
  PumpUntil([&] { return finished.load(); });
  build.join();
  if (CancelRequested()) {
    KeepToolLog(folders);
    DeleteFolderTree(folders.intermediate);
    DeleteFolderTree(folders.work + "/FoxImage");
    return false;
  }
  if (!built) return Fail(Tr("建立 DVD 失败。"), DVDImageBuild_GetLastError(builder.get()), folders, status, question);

  KeepToolLog(folders);
  DeleteFolderTree(folders.intermediate);
  if (PassesSixFileCheck(folders.output + "/VIDEO_TS")) return true;
  status.ShowStatus(Tr("创建 DVD 映象未完成。"), 0, kStatusLogAndProgress, kStatusRed);
  question.ShowMessage(Tr("创建 DVD 映象未完成。\r\n请在程序设置对话框中选择<授权之前转换/修复视频文件>。"));
  return false;
}

}  // namespace vantrel
