// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring run: from the title list to a checked VIDEO_TS folder in the work folder.
// StartRun prepares the folders, menu pictures and tool set and then runs AuthoringRun:
// menu videos, repair of titles that are not DVD-compliant, dvd.xml, the authoring tool
// with its progress monitor, the result check and, when that fails, the fallback builder.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "authoring/disc_fit_plan.h"
#include "authoring/run_folders.h"
#include "convert/convert_to_dvd_mpeg.h"

namespace vantrel {

struct AppSettings;
class MenuModel;
class RunQuestion;
class RunStatus;
class TitleList;
struct HarmonyPlan;
struct HarmonyTitle;

// What the run needs from the other subsystems.
struct AuthoringSteps {
  // Renders the four pictures of every menu page into the intermediate folder.
  std::function<void(MenuModel&, const TitleList&, const AppSettings&, const RunFolders&)> renderMenus;
  // Makes every page's menu stream; false when it failed and the user chose not to go on
  // (on Yes it clears the create-menu setting and returns true).
  std::function<bool(MenuModel&, AppSettings&, const RunFolders&)> makeMenuVideos;
  // Repairs one title into DVD MPEG-2, made for its disc as `target` says (the disc's shape
  // and sound, the video rate planned for it); may rewrite `output`. Its result is not
  // relied on.
  std::function<bool(const std::string& source, std::string& output, TvStandard standard, const DiscTarget& target)>
      convertToDvdMpeg;
  // What the disc plan needs of the title the repair makes of `path` for `target` (`ready`:
  // its pictures would be kept, at `readyBytes`); false when the file cannot be read.
  // Without it the run makes no plan.
  std::function<bool(const std::string& path, TvStandard standard, const DiscTarget& target, FitTitle& facts)> fitFacts;
  // 1 video stream present, 0 none, negative when the file cannot be read.
  std::function<int(const std::string& path)> hasVideoStream;
  // The second way to build the disc when the authoring tool fails.
  std::function<bool(MenuModel&, AppSettings&, const RunFolders&)> fallback;
  // Why a title cannot be used ("" when it can): checked for every title before anything
  // is encoded, so a bad file stops the run before work is spent on the others.
  std::function<std::string(const std::string& path)> checkTitle;
};

class AuthoringDriver {
 public:
  static constexpr const char* kRepairPrefix = "(TaliroFixedDVD)";
  // What the tools print during a run, in the intermediate folder.
  static constexpr const char* kToolLogName = "tools.log";
  static constexpr const char* kRunCancelled = "运行已取消。";

  // Reports to `status` and asks `question`; both outlive the driver.
  AuthoringDriver(AppSettings& settings, MenuModel& model, const TitleList& titles,
                  AuthoringSteps steps, RunStatus& status, RunQuestion& question);
  // Reports to the front end installed with SetCurrentRunStatus / SetCurrentRunQuestion.
  AuthoringDriver(AppSettings& settings, MenuModel& model, const TitleList& titles,
                  AuthoringSteps steps);

  // Preparation, AuthoringRun and removal of the tool set; true when VIDEO_TS is complete.
  bool StartRun();
  bool AuthoringRun();

  const RunFolders& Folders() const { return folders_; }
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
  bool CheckTitles();
  bool Cancelled();
  bool Fail(const std::string& why);
  // Repairs the titles that need it and brings the others in line with the disc's one
  // title set (shape and sound), each written once in its final form.
  bool RepairTitles();
  // Every title as the run will author it: its facts after repair when it is repaired.
  std::vector<HarmonyTitle> AuthoredTitles(const std::vector<bool>& repairs) const;
  // The disc plan of the titles, `repairs` and `harmony` telling which are made anew and
  // for what; empty without one.
  std::optional<DiscFitPlan> PlanDiscFit(const std::vector<bool>& repairs, const HarmonyPlan& harmony);
  std::int64_t MenuStreamBytes() const;
  std::int64_t ExpectedSizeMb() const;
  RunStatus& Status() const;
  RunQuestion& Question() const;
  void Log(const std::string& text, int kind = 1) const;

  AppSettings& settings_;
  MenuModel& model_;
  const TitleList& titles_;
  AuthoringSteps steps_;
  RunFolders folders_;
  std::string failure_;
  std::int64_t capacitySectors_ = 0;  // 0: from the disccapacity setting
  std::string capacityName_;
  RunStatus* status_ = nullptr;  // null: the installed front end's
  RunQuestion* question_ = nullptr;
};

}  // namespace vantrel
