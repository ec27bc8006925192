// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/authoring_driver.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <limits>
#include <mutex>

#include "authoring/before_run_checks.h"
#include "authoring/command_templates.h"
#include "authoring/disc_fit_plan.h"
#include "authoring/disc_image_size.h"
#include "authoring/dvd_compliance.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/failure_notes.h"
#include "authoring/ordered_status.h"
#include "authoring/progress_monitor.h"
#include "authoring/repair_targets.h"
#include "authoring/run_status.h"
#include "authoring/run_timeline.h"
#include "authoring/shell_command.h"
#include "authoring/title_frame.h"
#include "authoring/title_harmony.h"
#include "authoring/tool_environment.h"
#include "authoring/toolset.h"
#include "authoring/six_file_check.h"
#include "authoring/task_graph.h"
#include "authoring/work_folder_guard.h"
#include "base/app_folder.h"
#include "base/log.h"
#include "base/memory_arenas.h"
#include "base/paths.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "convert/dvd_title_facts.h"
#include "menu/menu_model.h"
#include "authoring/menu_video_chain.h"
#include "authoring/motion_menu.h"
#include "convert/menu_movie.h"
#include "menu/picture_loader.h"
#include "project/app_settings.h"
#include "project/title_list.h"

namespace vantrel {
namespace {

constexpr int kMostEncodesAgain = 3;  // titles encoded again to bring a measured disc under its capacity

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

// What made a repair: an earlier run's repair is used again only when all of it is the same.
RepairOrigin OriginOf(const std::string& source, TvStandard standard, const DiscTarget& target) {
  return RepairOrigin::Of(source, Format("ntsc=%d shape=%d sound=%d uniform=%d rate=%d", IsNtsc(standard) ? 1 : 0,
                                         target.displayShape, int(target.sound), target.uniformSound ? 1 : 0,
                                         target.videoBitRate));
}


void Say(RunStatus& status, const std::string& text, int kind = kStatusGreen) {
  status.ShowStatus(text, 0, kStatusLogAndProgress, kind);
}

// Questions from tasks at work at once are asked one at a time.
class SerialQuestion : public RunQuestion {
 public:
  explicit SerialQuestion(RunQuestion& out) : out_(out) {}
  bool AskYesNo(const std::string& text) override {
    std::lock_guard lock(mutex_);
    return out_.AskYesNo(text);
  }
  void ShowMessage(const std::string& text) override {
    std::lock_guard lock(mutex_);
    out_.ShowMessage(text);
  }

 private:
  RunQuestion& out_;
  std::mutex mutex_;
};

// The rough seconds of work the whole job's progress weighs its steps by: an encode per
// second of its title, a title used as it is (read and checked), a menu page's streams.
constexpr double kEncodePerSecond = 0.5;
constexpr double kKeepPerSecond = 0.005;
constexpr double kTitleBase = 0.2;
constexpr double kMenuPageCost = 3;

// A title's lane of the event log that also tells the whole job how far its title has come.
class TitleProgressTap : public RunStatus {
 public:
  TitleProgressTap(RunStatus& out, RunProgress* progress, int part) : out_(out), progress_(progress), part_(part) {}
  void ShowStatus(const std::string& text, int position, int mode, int kind) override {
    out_.ShowStatus(text, position, mode, kind);
  }
  void SetProgressRange(int low, int high) override { out_.SetProgressRange(low, high); }
  void SetProgress(int position) override {
    out_.SetProgress(position);
    if (progress_) progress_->Part(part_, position / 100.0);
  }
  void StartRunTimer() override { out_.StartRunTimer(); }
  void StopRunTimer() override { out_.StopRunTimer(); }

 private:
  RunStatus& out_;
  RunProgress* progress_;
  int part_;
};

// The menu streams of one page come to about 300 KB (a still picture, its buttons and a
// short silent track); the plan allows them this much until they are made and measured.
constexpr std::int64_t kMenuPageBytesBound = 2 << 20;
// A moving page costs what its film may take at its peak rate, and its buttons.
std::int64_t MenuPageBytesBound(const MenuMotion& motion) {
  if (!motion.Moving()) return kMenuPageBytesBound;
  const double seconds = std::clamp(motion.seconds, MenuMotion::kMinSeconds, MenuMotion::kMaxSeconds);
  return std::int64_t(seconds * double(kMenuFilmVideoMaxRate + kMenuFilmSoundRate) / 8) + kMenuPageBytesBound;
}
// A task weight above any title's: the menu chain starts at once.
constexpr double kFirst = 1e30;

std::vector<int> AndAfter(std::vector<int> tasks, const std::vector<int>& more) {
  tasks.insert(tasks.end(), more.begin(), more.end());
  return tasks;
}

}  // namespace

// What the tasks of the menus and titles share. A field is written by one task before the
// tasks that read it start (the graph orders them); the plan and the menu bytes, which
// titles at work at once read and change, are guarded by `planLock`.
struct TitleWork {
  explicit TitleWork(RunQuestion& out) : questions(out) {}
  SerialQuestion questions;
  std::vector<std::string> targets;   // each title's repair target, in list order
  std::vector<int> sameAs;            // the earlier title listed with the same file, else -1
  std::vector<HarmonyTitle> authored; // by each title's probe
  std::vector<std::string> notes;     // by each title's probe: why a ready title is made anew
  HarmonyPlan harmony;                // by the plan
  std::vector<int> shownRates;
  std::vector<double> weights;        // expected work of each title's task
  int menuPages = 1;
  int firstRepairTask = 0;
  std::mutex planLock;
  std::optional<DiscFitPlan> plan;
  std::optional<std::int64_t> menuBytes;  // once the menu streams are made
};

AuthoringDriver::AuthoringDriver(AppSettings& settings, MenuModel& model, const TitleList& titles,
                                 AuthoringSteps steps, RunStatus& status, RunQuestion& question)
    : settings_(settings), model_(model), titles_(titles), steps_(std::move(steps)),
      folders_(RunFolders::For(settings.temppath, ApplicationFolder())), status_(status), question_(question) {}

RunStatus& AuthoringDriver::Status() const { return status_; }
RunQuestion& AuthoringDriver::Question() const { return question_; }

void AuthoringDriver::Log(const std::string& text, int kind) const { Say(Status(), text, kind); }

void AuthoringDriver::PlanProgress() {
  if (!progress_) return;
  // Until the plan tells which titles are encoded, every title is counted as one.
  double seconds = 0;
  std::vector<ProgressPart> parts{{PartKind::Other, settings_.createmenu ? kMenuPageCost * model_.PageCount() : 0}};
  for (int i = 0; i < titles_.Count(); ++i) {
    const double duration = std::max(0.0, titles_.At(i).Duration);
    seconds += duration;
    parts.push_back({PartKind::Title, kTitleBase + duration * kEncodePerSecond});
  }
  progress_->Plan(RunStep::Checks, 0.5 + 0.05 * titles_.Count());
  progress_->PlanParts(RunStep::Titles, std::move(parts));
  progress_->Plan(RunStep::Authoring, 1 + seconds * 0.01);
  progress_->Plan(RunStep::Proof, 1);
}

void AuthoringDriver::EnterStep(RunStep step) {
  TimelineMark(Format("step %d", int(step)));
  if (progress_) progress_->Enter(step);
}

std::string AuthoringDriver::RepairTarget(const std::string& source) const {
  return folders_.work + "/" + kRepairPrefix + FileNameOf(source);
}

bool AuthoringDriver::Fail(const std::string& why, RunStatus* status) {
  {
    // Tasks at work at once may fail together: the first reason is the run's.
    std::lock_guard lock(failureLock_);
    if (failure_.empty()) failure_ = why;
  }
  Say(status ? *status : Status(), why, kStatusRed);
  return false;
}

bool AuthoringDriver::Cancelled() { return CancelRequested() && !Fail(Tr(kRunCancelled)); }

bool AuthoringDriver::CheckBeforeWork() {
  if (std::string why = RunFoldersProblem(folders_); !why.empty()) return Fail(why);
  if (std::string why = DiscLimitsProblem(model_.TitleCount(), settings_.createmenu ? model_.PageCount() : 0);
      !why.empty())
    return Fail(why);
  for (int i = 0; i < titles_.Count(); ++i) {
    const TitleRecord& record = titles_.At(i);
    if (std::string why = TitleTrackLimitsProblem(i + 1, FileNameOf(record.SourcePath), record.SoundTracks.size(),
                                                  record.Subtitles.size());
        !why.empty())
      return Fail(why);
  }
  const std::string& background = model_.Appearance().backgroundPicture;
  if (settings_.createmenu && !background.empty())
    if (std::string why = PictureUnusableReason(background); !why.empty())
      return Fail(Format(Tr("无法使用菜单背景图片 %s: %s"), background.c_str(), why.c_str()));
  if (settings_.createmenu)
    if (std::string why = MenuMotionProblem(model_.Choices().motion); !why.empty()) return Fail(why);
  // Every title is checked at once; the first in the list that cannot be used is named.
  const auto& titles = model_.Titles();
  std::vector<std::string> reasons(titles.size());
  TaskGraph graph(cores_ > 0 ? cores_ : TaskGraph::MachineCores());
  for (std::size_t i = 0; i < titles.size(); ++i)
    graph.Add(Format("check %zu", i + 1), [&, i](int) {
      reasons[i] = TitlePlaceProblem(folders_, titles[i]->SourcePath);
      if (reasons[i].empty() && steps_.checkTitle) reasons[i] = steps_.checkTitle(titles[i]->SourcePath);
      if (reasons[i].empty()) reasons[i] = TitleTracksProblem(i);
      return true;
    });
  if (!graph.Run() && Cancelled()) return false;
  for (std::size_t i = 0; i < titles.size(); ++i)
    if (!reasons[i].empty()) return Fail(Format(Tr("无法使用标题 %s: %s"), titles[i]->SourcePath.c_str(), reasons[i].c_str()));
  return true;
}

bool AuthoringDriver::PrepareFolders(PreviousOutput& previous) {
  std::string why;
  if (!MayEmptyRunFolders(folders_, Question(), why)) return Fail(why);
  RemoveFailedRunRemains(folders_);
  DeleteFolderTree(folders_.intermediate);
  // The last disc stays whole until this run has made a new one.
  if (!previous.SetAside()) return Fail(Tr("无法移开上次的 DVD 文件夹 ") + folders_.output);
  for (const std::string& folder : {folders_.intermediate, folders_.output}) {
    if (!MakeFolder(folder)) return Fail(Tr("无法创建文件夹 ") + folder);
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
  PlanProgress();
  EnterStep(RunStep::Checks);
  std::string why = WorkFolderProblem(folders_.work);
  if (!why.empty()) return Fail(why);
  WorkFolderLock lock;
  if (!lock.Acquire(folders_.work, why)) return Fail(why);
  if (!CheckBeforeWork() || !PlanChapterMenus()) return false;
  RemoveLeftovers(folders_, kRepairPrefix);
  PreviousOutput previous(folders_.output);
  if (!PrepareFolders(previous)) return false;
  // The menu pictures are drawn as a task of the run, beside the titles' probes.
  renderMenus_ = bool(steps_.renderMenus);
  TimelineMark("write tools");
  ToolSet tools(folders_.tool);
  bool ok = false;
  if (!tools.Write()) {
    Log(Tr("无法写入工具文件夹 ") + folders_.tool, kStatusRed);
  } else {
    ok = AuthoringRun();
  }
  tools.Remove();
  renderMenus_ = false;
  TimelineMark(ok ? "run end" : "run failed");
  // The titles with their subtitles added are copies as large as the titles: the disc
  // holds them now, and their colour tables.
  for (const DvdTitleTracks& tracks : titleTracks_) {
    if (!tracks.vob.empty()) DeleteFolderTree(tracks.vob);
    if (!tracks.palette.empty()) DeleteFolderTree(tracks.palette);
  }
  if (ok) previous.Discard();
  else previous.Restore();
  return ok;
}

bool AuthoringDriver::AuthoringRun() {
  AutoResetEvent stop;  // the monitor's stop event, created unsignalled
  plan_.reset();
  if (Cancelled() || !MakeMenusAndTitles() || Cancelled()) return false;
  if (AuthorDisc(stop)) return DiscFits(stop, true) && ProveDisc();
  if (Cancelled()) return false;
  if (std::string full = FullDiskNote(folders_.output); !full.empty()) {
    Log(full, kStatusRed);
    AppendToLog(folders_.intermediate + kToolLogName, full);
  }

  DeleteFolderTree(folders_.output + "/VIDEO_TS");
  DeleteFolderTree(folders_.output + "/AUDIO_TS");
  // The fallback builder makes its own encodes: its disc is measured, not planned again.
  const bool built = steps_.fallback && steps_.fallback(model_, settings_, folders_);
  if (Cancelled()) return false;
  return built && DiscFits(stop, false);
}

bool AuthoringDriver::AuthorDisc(AutoResetEvent& stop) {
  EnterStep(RunStep::Authoring);
  const std::int64_t expectedMb = ExpectedSizeMb();
  Log(Tr(ProgressMonitor::kText));
  DvdScriptInputs inputs{settings_.createmenu, settings_.Standard(), folders_.intermediate,
                         ApplicationFolder()};
  DvdScriptWriter::Write(model_, inputs, titleTracks_);
  const std::string command =
      AuthorCommand(folders_.output, DvdScriptWriter::ScriptPath(folders_.intermediate));
  bool succeeded;
  {
    ProgressMonitor monitor(Status(), folders_.output + "/VIDEO_TS", expectedMb, stop);
    TimelineMark("author tool");
    // The tools run in the tool folder with the run's standard; their chatter goes to a
    // log in the intermediate folder instead of the terminal.
    succeeded = ShellCommand(
        command, ToolShellContext(folders_.tool, settings_.Standard(), folders_.intermediate + kToolLogName));
    TimelineMark("author tool end");
    stop.Signal();
    if (!monitor.Join()) Question().ShowMessage(Tr("等待数字数据采集系统终止失败！"));
    stop.Reset();
  }
  return succeeded && PassesSixFileCheck(folders_.output + "/VIDEO_TS");
}

bool AuthoringDriver::DiscFits(AutoResetEvent& stop, bool mayEncodeAgain) {
  if (!plan_) return true;
  const std::int64_t capacity = plan_->CapacityBytes();
  // A short title's rate control lands within a few per cent of what it is asked, either
  // way, so one re-encode may bring the disc closer without bringing it under. Another is
  // tried while each one makes the disc smaller, up to kMostEncodesAgain.
  std::int64_t before = std::numeric_limits<std::int64_t>::max();
  for (int left = mayEncodeAgain ? kMostEncodesAgain : 0;; --left) {
    std::string why;
    TimelineMark("image size");
    const std::int64_t sectors =
        DiscImageSectors(folders_.output, folders_.work + "/.vantrel-image-size", why);
    if (sectors < 0) return Fail(Tr("无法测量光盘映像的大小: ") + why);
    const std::int64_t bytes = sectors * kDiscSectorBytes;
    if (bytes <= capacity) return true;
    const bool again = left > 0 && bytes < before;
    before = bytes;
    int rate = 0;
    const int title = again ? plan_->TitleToEncodeAgain(bytes - capacity, rate) : -1;
    if (title < 0) {
      // A disc that cannot be written is not left to pass for one.
      DeleteFolderTree(folders_.output + "/VIDEO_TS");
      DeleteFolderTree(folders_.output + "/AUDIO_TS");
      return Fail(FitTooLargeText(bytes, capacity));
    }
    Log(FitAgainText(title + 1, FileNameOf(model_.Titles()[size_t(title)]->SourcePath), plan_->WrittenRate(title), rate,
                     bytes - capacity));
    if (!EncodeAgain(title, rate)) return false;
    DeleteFolderTree(folders_.output + "/VIDEO_TS");
    DeleteFolderTree(folders_.output + "/AUDIO_TS");
    if (!AuthorDisc(stop)) return Cancelled() || Fail(Tr("建立 DVD 失败。"));
  }
}

// A title is made again from its source at the lower rate; the new file
// replaces the old one only once it is complete.
bool AuthoringDriver::EncodeAgain(int index, int rate) {
  MenuEntry& entry = *model_.Titles()[size_t(index)];
  const TvStandard standard = settings_.Standard();
  DiscTarget target = titleTargets_[size_t(index)];
  target.videoBitRate = rate;
  std::string output = entry.RepairedPath;
  ForgetRepair(output);
  const auto started = std::filesystem::file_time_type::clock::now();
  if (steps_.convertToDvdMpeg)
    steps_.convertToDvdMpeg(entry.SourcePath, output, standard, target, Status(),
                            cores_ > 0 ? cores_ : TaskGraph::MachineCores());
  if (Cancelled()) return false;
  if (FileSize(output) <= 0 || !WrittenSince(output, started)) {
    Question().ShowMessage(Tr("无法修复(转换) ") + output);
    return Fail(Tr("无法修复视频文件，创建 DVD 失败。"));
  }
  entry.RepairedPath = output;
  titleTargets_[size_t(index)] = target;
  RecordRepair(output, OriginOf(entry.SourcePath, standard, target));
  plan_->Rewritten(index, rate, std::int64_t(FileSize(output)));
  return AddTitleTracks(size_t(index), Status());
}

bool AuthoringDriver::ProveDisc() {
  if (!steps_.proveNavigation) return true;
  EnterStep(RunStep::Proof);
  const NavigationProof proof =
      steps_.proveNavigation(folders_.output, DesignedNavigation(model_, settings_.createmenu));
  if (!proof.passed) return Fail(proof.failure);
  Log(NavigationProofText(proof.buttons));
  LogInfo(NavigationProofEnglishText(proof.buttons));
  return true;
}

bool AuthoringDriver::MakeMenusAndTitles() {
  const auto& titles = model_.Titles();
  const std::size_t count = titles.size();
  TitleWork work(Question());
  work.authored.resize(count);
  work.notes.resize(count);
  work.sameAs.assign(count, -1);
  // Without a plan a title's file size stands for its work.
  for (const auto& entry : titles) work.weights.push_back(double(FileSize(entry->SourcePath)));
  // Names are given in list order, before any title is made.
  RepairTargets targets(folders_.work, kRepairPrefix);
  for (const auto& entry : titles) targets.Keep(entry->SourcePath);
  for (std::size_t i = 0; i < count; ++i) {
    work.targets.push_back(targets.For(titles[i]->SourcePath));
    for (std::size_t j = 0; j < i && work.sameAs[i] < 0; ++j)
      if (work.targets[j] == work.targets[i]) work.sameAs[i] = int(j);
  }
  const bool menus = settings_.createmenu && steps_.makeMenuVideos;
  work.menuPages = settings_.createmenu ? model_.PageCount() : 1;
  if (!menus) work.menuBytes = MenuStreamBytes(settings_.createmenu);

  bool ok;
  {
    // The log in the order of a run on one core: the menus, the plan, title by title.
    OrderedStatus log(Status(), int(count) + 2);
    TaskGraph graph(cores_ > 0 ? cores_ : TaskGraph::MachineCores());
    EnterStep(RunStep::Titles);
    std::vector<int> probes;
    // The pictures every page is made of, drawn while the titles are probed; the menu
    // streams are made of them.
    std::vector<int> pictures;
    if (renderMenus_)
      pictures.push_back(graph.Add("render", [&](int) {
        steps_.renderMenus(model_, titles_, settings_, folders_);
        ReturnFreedMemory();  // the pages' surfaces, as large as the encodes' pictures
        return !CancelRequested();
      }, {}, 1, kFirst));
    for (std::size_t i = 0; i < count; ++i)
      probes.push_back(graph.Add(Format("probe %zu", i + 1), [&, i](int) { return ProbeTitle(work, i); }));
    const int plan = graph.Add("plan", [&](int) {
      const bool planned = PlanTitles(work, log.Channel(1));
      // The longest encodes start first, so that none is left alone at the end.
      for (std::size_t i = 0; i < count; ++i) graph.SetWeight(work.firstRepairTask + int(i), work.weights[i]);
      log.Finish(1);
      return planned;
    }, probes);
    // The menus are made once the plan's question (a disc too small) has been answered:
    // nothing is made for a run the user stops there.
    if (menus) {
      // Tools one after another on one core, beside the titles.
      graph.Add("menus", [&](int) {
        const auto began = std::chrono::steady_clock::now();
        const bool made = steps_.makeMenuVideos(model_, settings_, folders_);
        if (made && settings_.createmenu)
          log.Channel(0).ShowStatus(MenuTimeText(model_.PageCount(), std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count(),
                                                 MenuStreamBytes(true)), 0,
                                    kStatusLogAndProgress, kStatusGreen);
        {
          std::lock_guard lock(work.planLock);
          work.menuBytes = MenuStreamBytes(settings_.createmenu);
          if (work.plan) work.plan->SetMenuBytes(*work.menuBytes);
        }
        if (progress_) progress_->Part(0, 1);
        log.Finish(0);
        return made;
      }, AndAfter({plan}, pictures), 1, kFirst);
    } else {
      log.Finish(0);
    }
    std::vector<std::unique_ptr<TitleProgressTap>> taps;
    for (std::size_t i = 0; i < count; ++i) {
      taps.push_back(std::make_unique<TitleProgressTap>(log.Channel(int(i) + 2), progress_, int(i) + 1));
      std::vector<int> after{plan};
      if (work.sameAs[i] >= 0) after.push_back(work.firstRepairTask + work.sameAs[i]);
      const int task = graph.Add(Format("title %zu", i + 1), [&, i](int cores) {
        RunStatus& status = *taps[i];
        const bool made = RepairTitle(work, i, status, cores) && AddTitleTracks(i, status);
        ReturnFreedMemory();
        if (progress_) progress_->Part(int(i) + 1, 1);
        log.Finish(int(i) + 2);
        return made;
      }, after, TaskGraph::kShareCores);
      if (i == 0) work.firstRepairTask = task;
    }
    DiscTarget repair;
    repair.sound = RepairSoundFor(settings_.audiocodec);
    titleTargets_.assign(count, repair);
    titleTracks_.assign(count, {});
    ok = graph.Run();
  }
  // The plan stays with the run: the authored disc is measured against it.
  plan_ = std::move(work.plan);
  if (ok) return true;
  Cancelled();
  return false;
}

bool AuthoringDriver::ProbeTitle(TitleWork& work, std::size_t i) {
  const std::string& source = model_.Titles()[i]->SourcePath;
  // Every title as the run will author it: its facts after repair when it is repaired.
  work.authored[i] = AuthoredTitle(source, TitleMakingChoicesOf(settings_), work.questions, &work.notes[i]);
  return !CancelRequested();
}

bool AuthoringDriver::PlanTitles(TitleWork& work, RunStatus& status) {
  Say(status, Tr("修复 MPEG 文件..."));
  for (const std::string& note : work.notes)
    if (!note.empty()) Say(status, note);
  // The disc's one shape and sound come first: they decide which titles are encoded and
  // so share the disc's room.
  work.harmony = PlanTitleHarmony(work.authored, settings_.zoom, RepairSoundFor(settings_.audiocodec));
  for (const std::string& line : HarmonyReasons(work.harmony)) Say(status, line);
  // The plan is made, and a disc that cannot hold the list even at the lowest rate is
  // asked about, before anything is encoded.
  std::optional<DiscFitPlan> plan = PlanDiscFit(work, status);
  if (plan && !plan->Fits() &&
      !work.questions.AskYesNo(FitOverflowQuestion(plan->BytesAtFloor(), plan->CapacityBytes(), kFitFloorBitRate))) {
    // The run's reason, not the last words of a tool that ran before the question.
    {
      std::lock_guard lock(failureLock_);
      failure_ = Tr("被用户取消，文件大小超过光盘容量");
    }
    Say(status, Tr("被用户取消，文件大小超过光盘容量"), kStatusBlue);
    return false;
  }
  for (std::size_t i = 0; plan && i < model_.Titles().size(); ++i) work.shownRates.push_back(plan->VideoBitRate(int(i)));
  if (progress_) {
    // Now that it is known which titles are encoded, each weighs what it will take.
    std::vector<double> costs{settings_.createmenu ? kMenuPageCost * model_.PageCount() : 0};
    for (std::size_t i = 0; i < model_.Titles().size(); ++i) {
      const double duration = int(i) < titles_.Count() ? std::max(0.0, titles_.At(int(i)).Duration) : 0;
      const bool encodes = work.authored[i].repaired || work.harmony.Converts(i) || (plan && plan->Encodes(int(i)));
      costs.push_back(kTitleBase + (work.sameAs[i] >= 0 ? 0 : duration * (encodes ? kEncodePerSecond : kKeepPerSecond)));
    }
    progress_->Replan(RunStep::Titles, costs);
  }
  std::lock_guard lock(work.planLock);
  if (plan && work.menuBytes) plan->SetMenuBytes(*work.menuBytes);
  work.plan = std::move(plan);
  return !CancelRequested();
}

bool AuthoringDriver::RepairTitle(TitleWork& work, std::size_t i, RunStatus& status, int cores) {
  const auto& titles = model_.Titles();
  MenuEntry& entry = *titles[i];
  const std::string& source = entry.SourcePath;
  const int index = int(i);
  const HarmonyPlan& harmony = work.harmony;
  if (CancelRequested()) return false;
  auto written = [&](const std::string& path) {
    std::lock_guard lock(work.planLock);
    if (work.plan) work.plan->Written(index, std::int64_t(FileSize(path)));
  };
  if (work.sameAs[i] >= 0) {
    // The same file listed again is made once: its earlier title's file serves both.
    entry.RepairedPath = titles[std::size_t(work.sameAs[i])]->RepairedPath;
    written(entry.RepairedPath.empty() ? source : entry.RepairedPath);
    return true;
  }
  int rate = 0;
  std::int64_t predicted = 0;
  {
    // What is settled now decides this title's rate; it stays while the title is made.
    std::lock_guard lock(work.planLock);
    std::optional<DiscFitPlan>& plan = work.plan;
    if (!work.authored[i].repaired && !harmony.Converts(i) && !(plan && plan->Encodes(index))) {
      if (plan) plan->Written(index, std::int64_t(FileSize(source)));
      return WholeTitle(i, source, status);
    }
    if (plan) {
      rate = plan->VideoBitRate(index);
      predicted = plan->PredictBytes(index, rate);
      plan->Started(index);
    }
  }
  const TvStandard standard = settings_.Standard();
  const DiscTarget titleTarget = TitleTarget(harmony, work.authored[i].facts, i, rate);
  std::string target = work.targets[i];
  // An earlier run's repair of the same, unchanged file with the same settings is used again.
  const RepairOrigin origin = OriginOf(source, standard, titleTarget);
  titleTargets_[i] = titleTarget;
  if (const std::string done = DvdMpegOutputName(target); RepairStillValid(done, origin)) {
    Say(status, Tr("沿用上次修复的文件 ") + FileNameOf(done));
    entry.RepairedPath = done;
    written(done);
    return true;
  }
  if (rate > 0 && rate != work.shownRates[i]) Say(status, FitTitleText(index + 1, FileNameOf(source), rate, predicted));
  if (work.authored[i].repaired || !harmony.Converts(i))
    Say(status, Format(Tr("fixing %s 到 DVD 兼容的 VOB"), FileNameOf(source).c_str()));
  if (harmony.Converts(i)) Say(status, HarmonyStatus(harmony, i, FileNameOf(source)));
  // A repair left by an earlier run must not pass for this one's.
  ForgetRepair(DvdMpegOutputName(target));
  DeleteFolderTree(target);
  const auto started = std::filesystem::file_time_type::clock::now();
  if (steps_.convertToDvdMpeg) steps_.convertToDvdMpeg(source, target, standard, titleTarget, status, cores);
  // A source written to while it was read gives a title of what happened to be there.
  if (!origin.SourceUnchanged()) {
    DeleteFolderTree(target);
    return Fail(Format(Tr(kSourceChangedText), source.c_str()), &status);
  }
  // A conversion that wrote nothing must not pass: an unopenable file would count as
  // compliant and an unreadable one as having video.
  const bool made = FileSize(target) > 0 && WrittenSince(target, started);
  const int video = steps_.hasVideoStream ? steps_.hasVideoStream(target) : 1;
  // A title stopped because the run stops (a cancel, another title's failure) says nothing.
  if (CancelRequested()) return false;
  if (!made || !DvdCompliance(target, work.questions) || video == 0) {
    work.questions.ShowMessage(Tr("无法修复(转换) ") + target);
    return Fail(Tr("无法修复视频文件，创建 DVD 失败。"), &status);
  }
  // Fewer pictures than the file had when it was added: half a clip never passes for the whole.
  if (!WholeTitle(i, target, status)) {
    DeleteFolderTree(target);
    return false;
  }
  entry.RepairedPath = target;
  RecordRepair(target, origin);
  // The titles still to start are planned again from what this one really took.
  written(target);
  return true;
}

bool AuthoringDriver::WholeTitle(std::size_t i, const std::string& made, RunStatus& status) {
  if (!steps_.titleLength || int(i) >= titles_.Count()) return true;
  const double probed = titles_.At(int(i)).Duration;
  if (probed <= 0) return true;
  // A title starts at its first picture: sound that leads it in the file is not the title's.
  const std::string& source = model_.Titles()[i]->SourcePath;
  const TitleLength title = steps_.titleLength(made);
  const double expected = probed - (made == source ? 0.0 : steps_.titleLength(source).picturesFrom);
  const double seconds = title.seconds - (made == source ? 0.0 : title.picturesFrom);
  // A second (or a tenth of a long title) of slack for the two readings' own ways.
  if (title.seconds <= 0 || seconds >= expected - std::max(1.0, expected / 10)) return true;
  return Fail(Format(Tr(kTitleCutShortText), source.c_str(), seconds, probed), &status);
}

std::int64_t AuthoringDriver::MenuStreamBytes(bool menus) const {
  if (!menus)
    return std::int64_t(FileSize(ApplicationFolder() + (settings_.IsNtsc() ? "bn.mpg" : "bp.mpg")));
  std::int64_t bytes = 0;
  for (int page = 1; page <= model_.PageCount(); ++page)
    bytes += std::int64_t(FileSize(folders_.intermediate + PageFileName("menu", page, ".mpg")));
  return bytes;
}

std::optional<DiscFitPlan> AuthoringDriver::PlanDiscFit(TitleWork& work, RunStatus& status) {
  if (!steps_.fitFacts) return std::nullopt;
  const TvStandard standard = settings_.Standard();
  const HarmonyPlan& harmony = work.harmony;
  const auto& entries = model_.Titles();
  std::vector<FitTitle> titles;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::string& source = entries[i]->SourcePath;
    FitTitle facts;
    // An unreadable title is planned as nothing; its repair fails and stops the run.
    if (!steps_.fitFacts(source, standard, harmony.targets[i], facts)) facts = FitTitle{};
    // A title used as it is takes its file's bytes; one made anew is ready only when its
    // pictures are kept (copied, or only its sound encoded).
    if (!work.authored[i].repaired && !harmony.Converts(i)) {
      facts.ready = true;
      facts.readyBytes = std::int64_t(FileSize(source));
    }
    if (!facts.ready) facts.readyBytes = 0;
    // The sound tracks and subtitle streams the title is given take their room too.
    const TitleRecord& record = titles_.At(int(i));
    AddTrackBitRates(&facts, TitleSoundTrackRates(i, facts.audioBitRate, harmony), record.Subtitles.size());
    // An encode takes about the time of its length: every picture is made at the disc's
    // full frame, bars and all, whatever the source's size.
    work.weights[i] = facts.ready ? 0 : facts.seconds;
    titles.push_back(facts);
  }
  FitLimits limits;
  limits.capacitySectors =
      capacitySectors_ > 0 ? capacitySectors_ : DiscCapacitySectors(settings_.disccapacity);
  {
    // Menu streams still being made are allowed what the largest take.
    std::lock_guard lock(work.planLock);
    limits.menuBytes = work.menuBytes ? *work.menuBytes : MenuPageBytesBound(model_.Choices().motion) * work.menuPages;
  }
  limits.menuPages = work.menuPages;
  DiscFitPlan plan(limits, std::move(titles));

  Say(status, FitCapacityText(capacitySectors_ > 0 ? capacityName_ : DiscCapacityName(settings_.disccapacity),
                              plan.CapacityBytes()));
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int index = int(i);
    const int rate = plan.VideoBitRate(index);
    const std::int64_t bytes = plan.Encodes(index) ? plan.PredictBytes(index, rate) : plan.ReadyBytes(index);
    Say(status, FitTitleText(index + 1, FileNameOf(entries[i]->SourcePath), rate, bytes));
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
