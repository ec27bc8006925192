// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/authoring_driver.h"

#include <chrono>
#include <filesystem>

#include "authoring/command_templates.h"
#include "authoring/disc_fit_plan.h"
#include "authoring/dvd_compliance.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/failure_notes.h"
#include "authoring/progress_monitor.h"
#include "authoring/repair_targets.h"
#include "authoring/run_status.h"
#include "authoring/shell_command.h"
#include "authoring/title_harmony.h"
#include "authoring/tool_environment.h"
#include "authoring/toolset.h"
#include "authoring/six_file_check.h"
#include "authoring/work_folder_guard.h"
#include "base/app_folder.h"
#include "base/paths.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "convert/convert_to_dvd_mpeg.h"
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

// What title `i` is made into: the disc's shape and sound as `harmony` says, at the video
// rate the disc plan gives it. A title encoded only to fit keeps the sound it shares with
// the disc (`facts`, as the run authors it); an encode would otherwise give it AC-3
// whatever the other titles carry.
DiscTarget TitleTarget(const HarmonyPlan& harmony, const TitleFacts& facts, std::size_t i, int rate) {
  DiscTarget target = harmony.targets[i];
  target.videoBitRate = rate;
  if (rate > 0 && !target.uniformSound && facts.readable && CanEncodeSound(facts.sound)) {
    target.sound = AudioCodecOf(facts.sound.format);
    target.uniformSound = true;
  }
  return target;
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

bool AuthoringDriver::Fail(const std::string& why) {
  failure_ = why;
  Log(why, kStatusRed);
  return false;
}

bool AuthoringDriver::Cancelled() { return CancelRequested() && !Fail(kRunCancelled); }

bool AuthoringDriver::CheckTitles() {
  if (!steps_.checkTitle) return true;
  for (const auto& entry : model_.Titles())
    if (std::string why = steps_.checkTitle(entry->SourcePath); !why.empty())
      return Fail("无法使用标题 " + entry->SourcePath + ": " + why);
  return true;
}

bool AuthoringDriver::PrepareFolders(PreviousOutput& previous) {
  std::string why;
  if (!MayEmptyRunFolders(folders_, Question(), why)) return Fail(why);
  DeleteFolderTree(folders_.intermediate);
  // The last disc stays whole until this run has made a new one.
  if (!previous.SetAside()) return Fail("无法移开上次的 DVD 文件夹 " + folders_.output);
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

  failure_.clear();
  WorkFolderLock lock;
  std::string why;
  if (!lock.Acquire(folders_.work, why)) return Fail(why);
  RemoveLeftovers(folders_, kRepairPrefix);
  if (!CheckTitles()) return false;
  PreviousOutput previous(folders_.output);
  if (!PrepareFolders(previous)) return false;
  if (steps_.renderMenus) steps_.renderMenus(model_, titles_, settings_, folders_);
  ToolSet tools(folders_.tool);
  bool ok = false;
  if (!tools.Write()) {
    Log("无法写入工具文件夹 " + folders_.tool, kStatusRed);
  } else {
    ok = AuthoringRun();
  }
  tools.Remove();
  if (ok) previous.Discard();
  else previous.Restore();
  return ok;
}

bool AuthoringDriver::AuthoringRun() {
  AutoResetEvent stop;  // the monitor's stop event, created unsignalled
  if (settings_.createmenu && steps_.makeMenuVideos &&
      !steps_.makeMenuVideos(model_, settings_, folders_))
    return false;
  if (Cancelled() || !RepairTitles() || Cancelled()) return false;
  const std::int64_t expectedMb = ExpectedSizeMb();

  Log(ProgressMonitor::kText);
  DvdScriptInputs inputs{settings_.createmenu, settings_.Standard(), folders_.intermediate,
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
  if (succeeded && PassesSixFileCheck(folders_.output + "/VIDEO_TS")) return true;
  if (Cancelled()) return false;
  if (std::string full = FullDiskNote(folders_.output); !full.empty()) {
    Log(full, kStatusRed);
    AppendToLog(folders_.intermediate + kToolLogName, full);
  }

  DeleteFolderTree(folders_.output + "/VIDEO_TS");
  DeleteFolderTree(folders_.output + "/AUDIO_TS");
  return steps_.fallback ? steps_.fallback(model_, settings_, folders_) : false;
}

bool AuthoringDriver::RepairTitles() {
  Log("修复 MPEG 文件...");
  RunQuestion& questions = Question();
  const TvStandard standard = settings_.Standard();
  RepairTargets targets(folders_.work, kRepairPrefix);
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
  // The disc's one shape and sound come first: they decide which titles are encoded and
  // so share the disc's room.
  const std::vector<HarmonyTitle> authored = AuthoredTitles(repairs);
  const HarmonyPlan harmony = PlanTitleHarmony(authored, settings_.zoom);
  for (const std::string& line : HarmonyReasons(harmony)) Log(line);
  // The plan is made, and a disc that cannot hold the list even at the lowest rate is
  // asked about, before anything is encoded.
  std::optional<DiscFitPlan> plan = PlanDiscFit(repairs, harmony);
  if (plan && !plan->Fits() &&
      !questions.AskYesNo(FitOverflowQuestion(plan->BytesAtFloor(), plan->CapacityBytes(),
                                              kFitFloorBitRate))) {
    Log("被用户取消，文件大小超过光盘容量", kStatusBlue);
    return false;
  }
  std::vector<int> shownRates;
  for (std::size_t i = 0; plan && i < titles.size(); ++i) shownRates.push_back(plan->VideoBitRate(int(i)));

  for (std::size_t i = 0; i < titles.size(); ++i) {
    MenuEntry& entry = *titles[i];
    const std::string& source = entry.SourcePath;
    const int index = int(i);
    if (Cancelled()) return false;
    if (!repairs[i] && !harmony.Converts(i) && !(plan && plan->Encodes(index))) {
      if (plan) plan->Written(index, std::int64_t(FileSize(source)));
      continue;
    }
    const int rate = plan ? plan->VideoBitRate(index) : 0;
    const DiscTarget titleTarget = TitleTarget(harmony, authored[i].facts, i, rate);
    std::string target = targets.For(source);
    // An earlier run's repair of the same, unchanged file with the same settings is used again.
    const RepairOrigin origin = RepairOrigin::Of(
        source, Format("ntsc=%d shape=%d sound=%d uniform=%d rate=%d", IsNtsc(standard) ? 1 : 0, titleTarget.displayShape,
                       int(titleTarget.sound), titleTarget.uniformSound ? 1 : 0, titleTarget.videoBitRate));
    if (const std::string done = DvdMpegOutputName(target); RepairStillValid(done, origin)) {
      Log("沿用上次修复的文件 " + FileNameOf(done));
      entry.RepairedPath = done;
      if (plan) plan->Written(index, std::int64_t(FileSize(done)));
      continue;
    }
    if (rate > 0 && rate != shownRates[i])
      Log(FitTitleText(index + 1, FileNameOf(source), rate, plan->PredictBytes(index, rate)));
    if (repairs[i] || !harmony.Converts(i)) Log("fixing " + FileNameOf(source) + " 到 DVD 兼容的 VOB");
    if (harmony.Converts(i)) Log(HarmonyStatus(harmony, i, FileNameOf(source)));
    // A repair left by an earlier run must not pass for this one's.
    ForgetRepair(DvdMpegOutputName(target));
    DeleteFolderTree(target);
    const auto started = std::filesystem::file_time_type::clock::now();
    if (steps_.convertToDvdMpeg)
      steps_.convertToDvdMpeg(source, target, standard, titleTarget);
    // A conversion that wrote nothing must not pass: an unopenable file would count as
    // compliant and an unreadable one as having video.
    const bool written = FileSize(target) > 0 && WrittenSince(target, started);
    const int video = steps_.hasVideoStream ? steps_.hasVideoStream(target) : 1;
    if (Cancelled()) return false;
    if (!written || !DvdCompliance(target, questions) || video == 0) {
      questions.ShowMessage("无法修复(转换) " + target);
      return Fail("无法修复视频文件，创建 DVD 失败。");
    }
    entry.RepairedPath = target;
    RecordRepair(target, origin);
    // The titles still to come are planned again from what this one really took.
    if (plan) plan->Written(index, std::int64_t(FileSize(target)));
  }
  return true;
}

std::vector<HarmonyTitle> AuthoringDriver::AuthoredTitles(const std::vector<bool>& repairs) const {
  const TvStandard tv = settings_.IsNtsc() ? TvStandard::Ntsc : TvStandard::Pal;
  const auto& titles = model_.Titles();
  std::vector<HarmonyTitle> authored;
  for (std::size_t i = 0; i < titles.size(); ++i) {
    const std::string& source = titles[i]->SourcePath;
    authored.push_back({repairs[i] ? RepairedTitleFacts(source, tv, AudioCodec::Ac3) : ReadTitleFacts(source),
                        repairs[i]});
  }
  return authored;
}

std::int64_t AuthoringDriver::MenuStreamBytes() const {
  if (!settings_.createmenu)
    return std::int64_t(FileSize(ApplicationFolder() + (settings_.IsNtsc() ? "bn.mpg" : "bp.mpg")));
  std::int64_t bytes = 0;
  for (int page = 1; page <= model_.PageCount(); ++page)
    bytes += std::int64_t(FileSize(folders_.intermediate + PageFileName("menu", page, ".mpg")));
  return bytes;
}

std::optional<DiscFitPlan> AuthoringDriver::PlanDiscFit(const std::vector<bool>& repairs,
                                                       const HarmonyPlan& harmony) {
  if (!steps_.fitFacts) return std::nullopt;
  const TvStandard standard = settings_.Standard();
  const auto& entries = model_.Titles();
  std::vector<FitTitle> titles;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& source = entries[i]->SourcePath;
    FitTitle facts;
    // An unreadable title is planned as nothing; its repair fails and stops the run.
    if (!steps_.fitFacts(source, standard, harmony.targets[i], facts)) facts = FitTitle{};
    // A title used as it is takes its file's bytes; one made anew is ready only when its
    // pictures are kept (copied, or only its sound encoded).
    if (!repairs[i] && !harmony.Converts(i)) {
      facts.ready = true;
      facts.readyBytes = std::int64_t(FileSize(source));
    }
    if (!facts.ready) facts.readyBytes = 0;
    titles.push_back(facts);
  }
  FitLimits limits;
  limits.capacitySectors =
      capacitySectors_ > 0 ? capacitySectors_ : DiscCapacitySectors(settings_.disccapacity);
  limits.menuBytes = MenuStreamBytes();
  limits.menuPages = settings_.createmenu ? model_.PageCount() : 1;
  DiscFitPlan plan(limits, std::move(titles));

  Log(FitCapacityText(capacitySectors_ > 0 ? capacityName_ : DiscCapacityName(settings_.disccapacity),
                      plan.CapacityBytes()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int index = int(i);
    const int rate = plan.VideoBitRate(index);
    const std::int64_t bytes = plan.Encodes(index) ? plan.PredictBytes(index, rate) : plan.ReadyBytes(index);
    Log(FitTitleText(index + 1, FileNameOf(entries[i]->SourcePath), rate, bytes));
  }
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
