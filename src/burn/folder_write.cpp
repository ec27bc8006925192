// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/folder_write.h"

#include "base/translation.h"
#include "burn/disc_library.h"
#include "burn/folder_burn_check.h"

namespace vantrel {

bool PrepareFolderProject(const std::string& folder, BurnFrontEnd& ui) {
  if (folder.empty()) {
    ui.ShowMessage(kNoFolderChosen);
    return false;
  }
  DeleteProject();
  if (!ReportResult(CreateProject(FB_PROJECT_DVD_VIDEO), ui, false)) return false;
  DirRecord record;
  if (!VideoTsDirRecord(folder, record)) {
    ui.ShowMessage(Tr("错误: ") + LibraryText(FB_ERR_BAD_ARGUMENT) + ": " + folder);
    return false;
  }
  if (!ReportResult(int(ui.Aside([&record] { return AddDir(record); })), ui, false)) return false;
  return ReportResult(int(ui.Aside([] { return Prepare(); })), ui, false);
}

bool PrepareFolderWrite(std::string& folder, BurnFrontEnd& ui) {
  std::string accepted;
  const bool valid = ValidateVideoTsFolder(folder, accepted);
  folder = accepted;
  if (!valid) {
    ui.ShowMessage(kNotVideoTsFolder);
    return false;
  }
  ReportResult(ClearAll(), ui, false);
  ReportResult(DeleteProject(), ui, false);
  ReportResult(CreateProject(FB_PROJECT_DVD_VIDEO), ui, false);
  PrepareFolderProject(folder, ui);
  return true;
}

}  // namespace vantrel
