// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/project_session.h"

#include <filesystem>

#include "base/paths.h"
#include "base/text_format.h"
#include "project/project_file.h"

namespace vantrel::app {
namespace {

// How the reader notes a missing title; those were listed to the user already.
constexpr const char* kMissingTitleNote = "标题文件不存在";

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

std::string WithExtension(std::string path) {
  if (!IsProjectFileName(path)) path += kProjectExtension;
  return path;
}

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

ProjectSession::ProjectSession(ProjectSessionView& view, ProjectRecovery& recovery, RecentProjects& recent)
    : view_(view), recovery_(recovery), recent_(recent) {}

void ProjectSession::Start() {
  document_.Reset(view_.CurrentProject());
  view_.ShowRecent(recent_.Files());
  Refresh();
}

void ProjectSession::Refresh() {
  const std::string title = document_.WindowTitle(view_.CurrentProject());
  if (title == shownTitle_) return;
  shownTitle_ = title;
  view_.SetWindowTitle(title);
}

bool ProjectSession::MayDiscardChanges() {
  if (!document_.Changed(view_.CurrentProject())) return true;
  switch (view_.Ask(Format(Tr(project_texts::kSaveChanges), document_.Name().c_str()), true)) {
    case ProjectSessionView::kYes: return Save();
    case ProjectSessionView::kNo: return true;
    default: return false;
  }
}

bool ProjectSession::New(const DiscProject& empty) {
  if (!MayDiscardChanges()) return false;
  view_.ShowProject(empty);
  document_.Reset(view_.CurrentProject());
  recovery_.Discard();
  shownTitle_.clear();
  Refresh();
  return true;
}

bool ProjectSession::Open() {
  if (!MayDiscardChanges()) return false;
  std::string path;
  return view_.ChooseProjectToOpen(path) && OpenAsked(path);
}

bool ProjectSession::OpenFile(const std::string& path) { return MayDiscardChanges() && OpenAsked(path); }

bool ProjectSession::OpenAsked(const std::string& given) {
  const std::string path = Absolute(given);
  ProjectRead read = ReadProjectFile(path);
  if (!read.opened) {
    view_.ShowMessage(Format(Tr(project_texts::kCannotOpen), path.c_str(), read.error.c_str()));
    if (!FileExists(path)) recent_.Remove(path), view_.ShowRecent(recent_.Files());
    return false;
  }
  const DiscProject saved = read.project;
  DiscProject project = std::move(read.project);
  if (!ResolveMissing(project, read.missing, StemOf(path))) return false;
  // Notes on what was left out: the missing titles were dealt with above.
  std::vector<std::string> notes;
  for (const std::string& note : read.notes)
    if (note.rfind(kMissingTitleNote, 0) != 0) notes.push_back(note);
  if (!notes.empty()) view_.ShowMessage(Format(Tr(project_texts::kNotes), path.c_str(), Joined(notes).c_str()));
  view_.ShowProject(project);
  document_.MarkSaved(saved, path);
  recent_.Add(path);
  view_.ShowRecent(recent_.Files());
  recovery_.Discard();
  Refresh();
  return true;
}

bool ProjectSession::ResolveMissing(DiscProject& project, std::vector<int> missing, const std::string& name) {
  while (!missing.empty()) {
    std::vector<std::string> lines;
    for (int i : missing) lines.push_back(project.titles[size_t(i)].source);
    const auto answer = view_.Ask(
        Format(Tr(project_texts::kMissing), name.c_str(), int(missing.size()), Joined(lines).c_str()), true);
    if (answer == ProjectSessionView::kCancel) return false;
    if (answer == ProjectSessionView::kNo) break;
    std::string folder;
    if (view_.ChooseFolder(folder)) FindMissingTitles(project, missing, folder);
  }
  // Titles still missing are left out: the window can only show titles whose file it read.
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) project.titles.erase(project.titles.begin() + *it);
  return true;
}

bool ProjectSession::Save() {
  return document_.HasFile() ? SaveTo(document_.Path()) : SaveAs();
}

bool ProjectSession::SaveAs() {
  const std::string suggested = document_.HasFile() ? document_.Path() : document_.Name() + kProjectExtension;
  std::string path;
  if (!view_.ChooseProjectToSave(suggested, path)) return false;
  return SaveTo(Absolute(WithExtension(path)));
}

bool ProjectSession::SaveTo(const std::string& path) {
  const DiscProject project = view_.CurrentProject();
  std::string error;
  if (!WriteProjectFile(project, path, error)) {
    view_.ShowMessage(Format(Tr(project_texts::kCannotSave), path.c_str(), error.c_str()));
    return false;
  }
  document_.MarkSaved(project, path);
  recent_.Add(path);
  view_.ShowRecent(recent_.Files());
  recovery_.Discard();
  Refresh();
  return true;
}

bool ProjectSession::MayClose() {
  if (!MayDiscardChanges()) return false;
  recovery_.Discard();
  return true;
}

void ProjectSession::KeepUnsaved() {
  const DiscProject project = view_.CurrentProject();
  std::string error;
  if (document_.Changed(project))
    recovery_.Save(project, document_.Path(), error);  // a failure here must not disturb the user
  else
    recovery_.Discard();
}

bool ProjectSession::OfferRestore() {
  const std::vector<RecoveryCopy> copies = recovery_.LeftOver();
  if (copies.empty()) return false;
  const RecoveryCopy& copy = copies.front();
  const std::string name = copy.origin.empty() ? Tr("未命名") : StemOf(copy.origin);
  if (view_.Ask(Format(Tr(project_texts::kRestore), name.c_str()), false) != ProjectSessionView::kYes) {
    ProjectRecovery::Forget(copy);
    return false;
  }
  ProjectRead read = ProjectRecovery::Read(copy);
  if (!read.opened) {
    view_.ShowMessage(Format(Tr(project_texts::kCannotOpen), copy.file.c_str(), read.error.c_str()));
    return false;  // the copy stays where it is, for whoever can read it
  }
  DiscProject project = std::move(read.project);
  if (!ResolveMissing(project, read.missing, name)) return false;
  view_.ShowProject(project);
  document_.MarkRestored(project, copy.origin);
  // This run's own copy first: the restored changes are never without one.
  KeepUnsaved();
  ProjectRecovery::Forget(copy);
  shownTitle_.clear();
  Refresh();
  return true;
}

}  // namespace vantrel::app
