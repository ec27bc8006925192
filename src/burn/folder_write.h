// SPDX-License-Identifier: GPL-3.0-or-later
// Writing an existing VIDEO_TS folder as the folder-burn dialog does: the folder check,
// the project, and the library's own writing window.
#pragma once

#include <string>

#include "burn/burn_front_end.h"
#include "base/translation.h"

namespace vantrel {

inline constexpr const char* kNotVideoTsFolder =
    N_("没有选定授权的 DVD 映象文件夹，\r\n请查阅帮助文件了解什么是授权的 DVD 映象。");
inline constexpr const char* kNoFolderChosen = N_("请先选择 'VIDEO_TS' 文件夹。");
inline constexpr const char* kBurnWindowTitle = N_("刻录 DVD 光盘");
inline constexpr const char* kEraseWindowTitle = N_("擦除光盘");

// DeleteProject, CreateProject(5), AddDir of the folder and Prepare, each reported; the
// first failure ends it. True when Prepare succeeded.
bool PrepareFolderProject(const std::string& folder, BurnFrontEnd& ui);

// The write button: checks `folder` (it becomes the accepted folder, or empty), then
// ClearAll, DeleteProject, CreateProject and PrepareFolderProject. True when the library's
// writing window should run; false after the "not a DVD image" note.
bool PrepareFolderWrite(std::string& folder, BurnFrontEnd& ui);

}  // namespace vantrel
