// SPDX-License-Identifier: GPL-3.0-or-later
// The authoring job: a disc project and the run's settings become a checked VIDEO_TS folder
// in WORK/DVD, which is then written to a recorder when one is named. The desktop program
// and vantrel-author both run their start runs through it.
//
//   AuthoringOptions options;
//   options.settings = Settings();          // a copy: the job never changes the caller's
//   options.recorder = "E";                 // or leave empty to stop at the work folder
//   AuthoringJob job(project, options, observer);  // the job keeps its own copy: the
//                                           // caller may edit or drop the project
//   job.Start();                            // or JobResult r = job.Run();
//   ... job.Cancel();                       // stops the run or the disc write
//   if (job.Wait(-1) && !job.Result().succeeded) Show(job.Result().reason);
//   job.Folders().output + "/VIDEO_TS"      // where the disc is, once Done()
//   job.RunProject().disc.menu              // the run's choices as it ended (a run whose
//                                           // menus failed may have gone on without them)
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "authoring/run_folders.h"
#include "burn/recorder_write.h"
#include "jobs/job.h"
#include "menu/menu_appearance.h"
#include "menu/menu_model.h"
#include "project/app_settings.h"
#include "project/disc_project.h"
#include "project/title_list.h"

namespace vantrel {

struct AuthoringOptions {
  // The run's settings (work folder, repairs, sound); the project's choices (standard,
  // shape, capacity, menu, layout) are put over them.
  AppSettings settings;
  MenuChoices choices;                       // what the menu offers besides title buttons
  std::string recorder;                      // drive letter to write to; "" : the work folder only
  std::int64_t discSectors = 0;              // the disc planned for; 0: the setting's or the medium's
  int cores = 0;                             // cores the run's tasks share; 0: the machine's
  // "转换完成" closes a run to the work folder; a front end that writes the folder to a
  // recorder itself afterwards turns it off.
  bool announceFinished = true;
};

// What a run changed that the program keeps beyond the run. The job works on its own copy
// of the settings, so the front end carries the change back into the program's settings
// itself: after "创建菜单失败，您想要继续吗？" was answered Yes the create-menu switch is
// off, and stays off (Settings.ini stores it at exit) until the user turns it on again.
struct RunSettingsChange {
  bool menuTurnedOff = false;
  void ApplyTo(AppSettings& settings) const {
    if (menuTurnedOff) settings.createmenu = false;
  }
};

class AuthoringJob : public Job {
 public:
  AuthoringJob(DiscProject project, AuthoringOptions options, JobObserver& observer);
  ~AuthoringJob() override { Join(); }

  // Stops the run: the tools and the encoder are stopped, their unfinished files and the
  // tool folder removed. During a disc write the front end asks kCancelWriteQuestion first.
  void Cancel() { cancel_ = true; }

  // After the end: the run's folders, the menu as authored (titles with the files they
  // were authored from) and the settings as the run left them.
  const RunFolders& Folders() const { return folders_; }
  const MenuModel& Menu() const { return model_; }
  const AppSettings& RunSettings() const { return options_.settings; }
  // The project as the run made it, its choices as the run left them: a front end takes
  // changes the run made (a menu given up) from here into its own project or settings.
  const DiscProject& RunProject() const { return project_; }
  std::string ToolLogPath() const;
  // True once the VIDEO_TS folder was authored (a disc write may still have failed).
  bool Authored() const { return authored_; }
  // True from the moment the authored folder goes to the recorder (the medium check and its
  // question, then the write) until the job ends: a cancel then stops a write, not a build.
  bool Writing() const { return writing_; }
  // How far the write's start came; NotStarted when none was begun.
  WriteStart WriteStartResult() const { return writeStart_; }
  // Once Done(): what the program's settings take over from the run.
  RunSettingsChange SettingsChange() const { return {menuTurnedOff_}; }

 private:
  JobResult Execute() override;

  DiscProject project_;
  TitleList titles_;  // the project's titles as the run's menu and tools read them
  AuthoringOptions options_;
  MenuModel model_;
  RunFolders folders_;
  std::atomic<bool> authored_{false};
  std::atomic<bool> menuTurnedOff_{false};
  std::atomic<bool> cancel_{false};
  std::atomic<bool> writing_{false};
  std::atomic<WriteStart> writeStart_{WriteStart::NotStarted};
};

}  // namespace vantrel
