#include "authoring/authoring_driver.h"

#include <chrono>
#include <filesystem>

#include "authoring/command_templates.h"
#include "authoring/dvd_compliance.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/progress_monitor.h"
#include "authoring/run_status.h"
#include "authoring/shell_command.h"
#include "authoring/title_harmony.h"
#include "authoring/tool_environment.h"
#include "authoring/toolset.h"
#include "authoring/video_ts_check.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {
namespace {

// File times come from a coarser clock than now(): a second of slack.
bool WrittenSince(const std::string& path, std::filesystem::file_time_type start) {
  std::error_code ec;
  const auto written = std::filesystem::last_write_time(path, ec);
  return !ec && written >= start - std::chrono::seconds(1);
}

}  // namespace

AuthoringDriver::AuthoringDriver(AppSettings& settings, MenuModel& model, const TitleList& titles,
                                 AuthoringSteps steps, RunStatus& status, RunQuestion& question)
    : AuthoringDriver(settings, model, titles, std::move(steps)) {
  status_ = &status;
  question_ = &question;
}

AuthoringDriver::AuthoringDriver(AppSettings& settings, MenuModel& model, const TitleList& titles,
                                 AuthoringSteps steps)
    : settings_(settings), model_(model), titles_(titles), steps_(std::move(steps)),
      folders_(RunFolders::For(settings.temppath, ApplicationFolder())) {}

RunStatus& AuthoringDriver::Status() const { return status_ ? *status_ : CurrentRunStatus(); }
RunQuestion& AuthoringDriver::Question() const { return question_ ? *question_ : CurrentRunQuestion(); }

void AuthoringDriver::Log(const std::string& text, int kind) const {
  Status().ShowStatus(text, 0, kStatusLogAndProgress, kind);
}

std::string AuthoringDriver::RepairTarget(const std::string& source) const {
  return folders_.work + "/" + kRepairPrefix + FileNameOf(source);
}

bool AuthoringDriver::PrepareFolders() {
  DeleteFolderTree(folders_.intermediate);
  DeleteFolderTree(folders_.output);
  for (const std::string& folder : {folders_.intermediate, folders_.output}) {
    if (!MakeFolder(folder)) {
      Log("无法创建文件夹 " + folder, kStatusRed);
      return false;
    }
  }
  return true;
}

bool AuthoringDriver::StartRun() {
  // The work folder may have changed since construction; the run keeps its tool folder.
  const std::string tool = folders_.tool;
  folders_ = RunFolders::For(settings_.temppath, ApplicationFolder());
  folders_.tool = tool;
  RunStatus& status = Status();
  const bool ntsc = settings_.IsNtsc();
  model_.Clear();
  model_.LoadStyle(settings_.layout);
  status.StartRunTimer();
  for (int i = 0; i < titles_.Count(); ++i) model_.AddTitle(titles_.At(i), i);
  model_.ApplyGeometry(settings_.layout, ntsc);

  if (!PrepareFolders()) return false;
  if (steps_.renderMenus) steps_.renderMenus(model_, titles_, settings_, folders_);
  ToolSet tools(folders_.tool);
  bool ok = false;
  if (!tools.Write()) {
    Log("无法写入工具文件夹 " + folders_.tool, kStatusRed);
  } else {
    ok = AuthoringRun();
  }
  tools.Remove();
  return ok;
}

bool AuthoringDriver::AuthoringRun() {
  AutoResetEvent stop;  // the monitor's stop event, created unsignalled
  if (settings_.createmenu && steps_.makeMenuVideos &&
      !steps_.makeMenuVideos(model_, settings_, folders_))
    return false;
  if (!RepairTitles()) return false;
  const std::int64_t expectedMb = ExpectedSizeMb();

  Log(ProgressMonitor::kText);
  DvdScriptInputs inputs{settings_.createmenu, settings_.IsNtsc(), folders_.intermediate,
                         ApplicationFolder()};
  DvdScriptWriter::Write(model_, inputs);
  const std::string command =
      AuthorCommand(folders_.output, DvdScriptWriter::ScriptPath(folders_.intermediate));
  bool succeeded;
  {
    ProgressMonitor monitor(Status(), folders_.output + "/VIDEO_TS", expectedMb, stop);
    // The tools run in the tool folder with the run's standard; their chatter goes to a
    // log in the intermediate folder instead of the terminal.
    succeeded = ShellCommand(
        command, ToolShellContext(folders_.tool, settings_.Standard(), folders_.intermediate + kToolLogName));
    stop.Signal();
    if (!monitor.Join()) Question().ShowMessage("等待数字数据采集系统终止失败！");
    stop.Reset();
  }
  if (succeeded && VideoTsComplete(folders_.output + "/VIDEO_TS")) return true;

  DeleteFolderTree(folders_.output + "/VIDEO_TS");
  DeleteFolderTree(folders_.output + "/AUDIO_TS");
  return steps_.fallback ? steps_.fallback(model_, settings_, folders_) : false;
}

bool AuthoringDriver::RepairTitles() {
  Log("修复 MPEG 文件...");
  RunQuestion& questions = Question();
  const bool ntsc = settings_.IsNtsc();
  const auto& titles = model_.Titles();
  std::vector<bool> repairs;
  for (const auto& entry : titles) {
    const std::string& source = entry->SourcePath;
    const std::string extension = ExtensionOf(source);
    const bool avi = EqualsNoCase(extension, "avi");
    const bool wmv = EqualsNoCase(extension, "wmv");
    const bool compliant = DvdCompliance(source, questions);
    repairs.push_back(!compliant || avi || wmv || settings_.convertbefore);
  }
  const HarmonyPlan plan = PlanDiscHarmony(titles, repairs);
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const std::string& source = titles[i]->SourcePath;
    if (!repairs[i] && !plan.Converts(i)) continue;
    std::string target = RepairTarget(source);
    if (repairs[i]) Log("fixing " + FileNameOf(source) + " 到 DVD 兼容的 VOB");
    if (plan.Converts(i)) Log(HarmonyStatus(plan, i, FileNameOf(source)));
    // A repair left by an earlier run must not pass for this one's.
    DeleteFolderTree(target);
    const auto started = std::filesystem::file_time_type::clock::now();
    if (steps_.convertToDvdMpeg) steps_.convertToDvdMpeg(source, target, ntsc, plan.targets[i]);
    // A conversion that wrote nothing must not pass: an unopenable file would count as
    // compliant and an unreadable one as having video.
    const bool written = FileSize(target) > 0 && WrittenSince(target, started);
    const int video = steps_.hasVideoStream ? steps_.hasVideoStream(target) : 1;
    if (!written || !DvdCompliance(target, questions) || video == 0) {
      questions.ShowMessage("无法修复(转换) " + target);
      Log("无法修复视频文件，创建 DVD 失败。", kStatusRed);
      return false;
    }
    titles[i]->RepairedPath = target;
  }
  return true;
}

HarmonyPlan AuthoringDriver::PlanDiscHarmony(const std::vector<std::unique_ptr<MenuEntry>>& titles,
                                             const std::vector<bool>& repairs) const {
  const TvStandard tv = settings_.IsNtsc() ? TvStandard::Ntsc : TvStandard::Pal;
  std::vector<HarmonyTitle> planned;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const std::string& source = titles[i]->SourcePath;
    planned.push_back({repairs[i] ? RepairedTitleFacts(source, tv, AudioCodec::Ac3) : ReadTitleFacts(source),
                       repairs[i]});
  }
  HarmonyPlan plan = PlanTitleHarmony(planned, settings_.zoom);
  for (const std::string& line : HarmonyReasons(plan)) Log(line);
  return plan;
}

std::int64_t AuthoringDriver::ExpectedSizeMb() const {
  std::int64_t kb = 0;
  for (const auto& entry : model_.Titles()) {
    const std::string& vob = entry->RepairedPath.empty() ? entry->SourcePath : entry->RepairedPath;
    kb += std::int64_t(FileSize(vob) / 1024);
  }
  return kb / 1024;
}

}  // namespace vantrel
