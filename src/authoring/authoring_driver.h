// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring run: from the title list to a checked VIDEO_TS folder in the work folder.
// StartRun prepares the folders, menu pictures and tool set and then runs AuthoringRun:
// menu videos, repair of titles that are not DVD-compliant, dvd.xml, the authoring tool
// with its progress monitor, the result check and, when that fails, the fallback builder.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "authoring/disc_fit_plan.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/navigation_proof.h"
#include "authoring/run_folders.h"
#include "authoring/run_progress.h"
#include "base/translation.h"
#include "convert/convert_to_dvd_mpeg.h"

namespace vantrel {

struct AppSettings;
class MenuModel;
class RunQuestion;
class RunStatus;
class TitleList;
class AutoResetEvent;
struct HarmonyPlan;
struct HarmonyTitle;
struct TitleWork;

struct TitleLength {
  double seconds = 0;
  double picturesFrom = 0;  // the first picture's time after the file's start
};

// What the run needs from the other subsystems.
struct AuthoringSteps {
  // Renders the four pictures of every menu page into the intermediate folder.
  std::function<void(MenuModel&, const TitleList&, const AppSettings&, const RunFolders&)> renderMenus;
  // Makes every page's menu stream; false when it failed and the user chose not to go on
  // (on Yes it clears the create-menu setting and returns true).
  std::function<bool(MenuModel&, AppSettings&, const RunFolders&)> makeMenuVideos;
  // Repairs one title into DVD MPEG-2, made for its disc as `target` says (the disc's shape
  // and sound, the video rate planned for it), its encoder on at most `threads` threads;
  // may rewrite `output`. Reports to `status`. Its result is not relied on.
  std::function<bool(const std::string& source, std::string& output, TvStandard standard, const DiscTarget& target,
                     RunStatus& status, int threads)>
      convertToDvdMpeg;
  // What the disc plan needs of the title the repair makes of `path` for `target` (`ready`:
  // its pictures would be kept, at `readyBytes`); false when the file cannot be read.
  // Without it the run makes no plan.
  std::function<bool(const std::string& path, TvStandard standard, const DiscTarget& target, FitTitle& facts)> fitFacts;
  // 1 video stream present, 0 none, negative when the file cannot be read.
  std::function<int(const std::string& path)> hasVideoStream;
  // The second way to build the disc when the authoring tool fails.
  std::function<bool(MenuModel&, AppSettings&, const RunFolders&)> fallback;
  // The length of a title file in seconds and the time of its first picture, zeros when
  // they cannot be told. A title whose pictures come out shorter than its file was probed
  // when it was added (a file cut short since) is not authored. Without it no length is
  // compared.
  std::function<TitleLength(const std::string& path)> titleLength;
  // Why a title cannot be used ("" when it can): checked for every title before anything
  // is encoded, so a bad file stops the run before work is spent on the others.
  std::function<std::string(const std::string& path)> checkTitle;
  // Walks the disc the authoring tool built and compares where its buttons and titles lead
  // with the design; a run whose disc is not proven fails. Every run has it unless a
  // caller clears it.
  std::function<NavigationProof(const std::string& dvdFolder, const NavigationDesign& design)> proveNavigation =
      ProveNavigation;
};

class AuthoringDriver {
 public:
  static constexpr const char* kRepairPrefix = "(TaliroFixedDVD)";
  // What the tools print during a run, in the intermediate folder.
  static constexpr const char* kToolLogName = "tools.log";
  static constexpr const char* kRunCancelled = N_("运行已取消。");
  static constexpr const char* kSourceChangedText =
      N_("标题 %s 在转换时被改动了（大小或修改时间变了），转换的结果不完整，没有使用；请等它不再改动后重新开始");
  static constexpr const char* kTitleCutShortText =
      N_("标题 %s 只有 %.1f 秒的画面，添加时是 %.1f 秒：文件在添加后被截短或改动了，没有使用；请检查文件后重新添加");

  // Reports to `status` and asks `question`; both outlive the driver.
  AuthoringDriver(AppSettings& settings, MenuModel& model, const TitleList& titles,
                  AuthoringSteps steps, RunStatus& status, RunQuestion& question);

  // Preparation, AuthoringRun and removal of the tool set; true when VIDEO_TS is complete.
  bool StartRun();
  bool AuthoringRun();

  const RunFolders& Folders() const { return folders_; }
  // The cores the run's tasks share (encoder threads counted); 0 the machine's.
  void SetCores(int cores) { cores_ = cores; }
  // The whole job's progress, which the run plans and reports its steps to (outlives it).
  void SetProgress(RunProgress* progress) { progress_ = progress; }
  // The disc the titles are planned for, instead of the one of the disccapacity setting
  // (a recorder's loaded medium).
  void SetDiscCapacity(std::int64_t sectors, std::string name) {
    capacitySectors_ = sectors;
    capacityName_ = std::move(name);
  }
  // The plain repair target of a source; a run gives titles that would share one file
  // names of their own (RepairTargets).
  std::string RepairTarget(const std::string& source) const;
  // Why the last run failed, when the driver knows ("" otherwise).
  const std::string& FailureReason() const { return failure_; }

 private:
  bool PrepareFolders(class PreviousOutput& previous);
  // The folders, the disc's limits, the menu background and every title, before anything
  // is emptied or encoded.
  bool CheckBeforeWork();
  bool Cancelled();
  bool Fail(const std::string& why, RunStatus* status = nullptr);
  // The menu streams and the titles, as tasks at once: the menu videos; every title probed;
  // the disc's one shape and sound and its plan; the titles repaired or brought in line
  // with the disc, each written once in its final form.
  bool MakeMenusAndTitles();
  bool ProbeTitle(TitleWork& work, std::size_t i);
  bool PlanTitles(TitleWork& work, RunStatus& status);
  bool RepairTitle(TitleWork& work, std::size_t i, RunStatus& status, int cores);
  // False (and the run fails) when `made`, title i as it goes on the disc, is shorter than
  // the title's file was probed when it was added.
  bool WholeTitle(std::size_t i, const std::string& made, RunStatus& status);
  // Title i's chapters and subtitle streams, once the title is made in its final form;
  // false (the run fails) when a track cannot be added.
  bool AddTitleTracks(std::size_t i, RunStatus& status);
  // With chapter menus: every title's chapter starts and its chapter pages, before any
  // work; false (the run fails) when a title's chapters or their pictures cannot be read.
  bool PlanChapterMenus();
  // Why title i's tracks cannot be used ("" when they can), asked before any work.
  std::string TitleTracksProblem(std::size_t i) const;
  // Bits per second of each of title i's sound tracks on the disc, its sound written at
  // `soundBitRate` (0: not known) in the format the harmony plan gives it.
  std::vector<int> TitleSoundTrackRates(std::size_t i, int soundBitRate, const HarmonyPlan& harmony) const;
  // The built disc walked as a player does; false (the run fails) on a wrong jump.
  bool ProveDisc();
  // The disc plan of the titles, `repairs` and `harmony` telling which are made anew and
  // for what; empty without one.
  std::optional<DiscFitPlan> PlanDiscFit(TitleWork& work, RunStatus& status);
  std::int64_t MenuStreamBytes(bool menus) const;
  // Writes dvd.xml and runs the authoring tool; true when it made the six files.
  bool AuthorDisc(AutoResetEvent& stop);
  // The authored disc measured against the disc: a disc too large has the title that
  // overshot its plan most encoded again at the rate that fits (once), else the run fails
  // with both sizes.
  bool DiscFits(AutoResetEvent& stop, bool mayEncodeAgain);
  bool EncodeAgain(int index, int rate);
  std::int64_t ExpectedSizeMb() const;
  // The run's steps and each title's expected work, planned before it starts.
  void PlanProgress();
  void EnterStep(RunStep step);
  RunStatus& Status() const;
  RunQuestion& Question() const;
  void Log(const std::string& text, int kind = 1) const;

  AppSettings& settings_;
  MenuModel& model_;
  const TitleList& titles_;
  AuthoringSteps steps_;
  RunFolders folders_;
  std::string failure_;
  std::mutex failureLock_;
  int cores_ = 0;
  std::int64_t capacitySectors_ = 0;  // 0: from the disccapacity setting
  std::string capacityName_;
  // The run's disc plan and what it was made from, kept until the disc is measured.
  std::optional<DiscFitPlan> plan_;
  std::vector<DiscTarget> titleTargets_;  // what each title was made for; rate 0: kept
  std::vector<DvdTitleTracks> titleTracks_;  // what each title adds to dvd.xml
  // With chapter menus, each title's chapter starts as its pages show them; else empty.
  std::vector<std::vector<double>> chapterStarts_;
  RunProgress* progress_ = nullptr;
  bool renderMenus_ = false;  // the run draws the menu pictures among its tasks
  RunStatus& status_;
  RunQuestion& question_;
};

}  // namespace vantrel
