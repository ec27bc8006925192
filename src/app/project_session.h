// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's project commands: 新建, 打开, 保存, 另存为 and the recent projects,
// the question before unsaved changes are given up, the search for titles that moved,
// the copy of unsaved changes kept for a crash and its restore at the next start. The
// window answers the view with its dialogs and binds the project to its controls.
#pragma once

#include <string>
#include <vector>

#include "base/translation.h"
#include "project/disc_project.h"
#include "project/project_document.h"
#include "project/project_recovery.h"

namespace vantrel::app {

namespace project_texts {
inline constexpr const char* kMenuButton = N_("项目");
inline constexpr const char* kMenuTooltip = N_("新建、打开和保存光盘项目");
inline constexpr const char* kNew = N_("新建");
inline constexpr const char* kOpen = N_("打开...");
inline constexpr const char* kSave = N_("保存");
inline constexpr const char* kSaveAs = N_("另存为...");
inline constexpr const char* kRecent = N_("最近的项目");
inline constexpr const char* kNoRecent = N_("(无)");
inline constexpr const char* kOpenTitle = N_("打开项目");
inline constexpr const char* kSaveTitle = N_("保存项目");
inline constexpr const char* kFilter = N_("Vantrel 项目 (*.vantrel)|*.vantrel");
inline constexpr const char* kFolderTitle = N_("选择查找标题文件的文件夹");
inline constexpr const char* kSaveChanges = N_("项目“%s”有未保存的更改。要保存吗？");
inline constexpr const char* kMissing =
    N_("项目“%s”中有 %d 个标题的文件不在原来的位置:\n\n%s\n要指定一个文件夹按文件名查找它们吗？\n"
       "选择“否”则打开项目时不包括这些标题。");
inline constexpr const char* kCannotOpen = N_("无法打开项目 %s:\n%s");
inline constexpr const char* kCannotSave = N_("无法保存项目 %s:\n%s");
inline constexpr const char* kRestore =
    N_("Vantrel 上次没有正常结束，项目“%s”的未保存更改还在。要恢复吗？");
inline constexpr const char* kNotes = N_("项目 %s 中有些内容无法读取，已被忽略:\n%s");
}  // namespace project_texts

// What the window does for the project commands.
class ProjectSessionView {
 public:
  enum Answer { kYes, kNo, kCancel };
  virtual ~ProjectSessionView() = default;
  // The project as the window shows it now.
  virtual DiscProject CurrentProject() = 0;
  // Replaces what the window shows by the project (its titles are added as files are).
  virtual void ShowProject(const DiscProject& project) = 0;
  virtual void SetWindowTitle(const std::string& title) = 0;
  virtual void ShowRecent(const std::vector<std::string>& files) = 0;
  virtual void ShowMessage(const std::string& text) = 0;
  virtual Answer Ask(const std::string& question, bool withCancel) = 0;
  virtual bool ChooseProjectToOpen(std::string& path) = 0;
  // `suggested` is the current file or the name of a new project.
  virtual bool ChooseProjectToSave(const std::string& suggested, std::string& path) = 0;
  virtual bool ChooseFolder(std::string& folder) = 0;
};

class ProjectSession {
 public:
  ProjectSession(ProjectSessionView& view, ProjectRecovery& recovery, RecentProjects& recent);

  // The window's first project: what it shows is "unchanged"; the recent list is shown.
  void Start();
  // Offers the newest copy a crashed run left; true when it was restored.
  bool OfferRestore();

  bool New(const DiscProject& empty);
  bool Open();
  bool OpenFile(const std::string& path);
  bool Save();
  bool SaveAs();
  // Before the window closes: false when the user wants to stay.
  bool MayClose();
  // The window's project may have changed: the title follows.
  void Refresh();
  // Every minute: unsaved changes are kept for a crash, a copy without them is removed.
  void KeepUnsaved();

  const ProjectDocument& Document() const { return document_; }

 private:
  bool MayDiscardChanges();
  bool OpenAsked(const std::string& path);
  bool SaveTo(const std::string& path);
  // Asks for a folder to look for titles that moved until all are found or the user gives
  // up on them; false when the user cancels the opening.
  bool ResolveMissing(DiscProject& project, std::vector<int> missing, const std::string& name);

  ProjectSessionView& view_;
  ProjectRecovery& recovery_;
  RecentProjects& recent_;
  ProjectDocument document_;
  std::string shownTitle_;
};

}  // namespace vantrel::app
