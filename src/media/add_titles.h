// SPDX-License-Identifier: GPL-3.0-or-later
// Adding video files to the title list: each file becomes a title with its media facts
// and an 80 x 60 thumbnail of its first frame, grabbed on a worker thread while the
// calling thread keeps pumping its messages.
#pragma once

#include <string>
#include <vector>
#include "base/translation.h"

namespace vantrel {

class ThumbnailOwner;
class TitleList;

inline constexpr const char* kAddFilesTitle = N_("添加 mpeg 文件到影片列表");
inline constexpr const char* kAddFilesFilter =
    N_("所有支持的格式|*.mpg;*.mpeg;*.avi;*.wmv|Mpeg 文件 (*.MPEG; *.MPG; *.mpeg; *.mpg)|*.MPEG; "
    "*.MPG; *.mpeg; *.mpg|avi 文件 (*.avi)|*.avi;*.AVI|wmv 文件 (*.wmv)|*.wmv;*.WMV||");
inline constexpr const char* kCheckingFilesText = N_("正在检查文件...");

// The windows adding titles shows: the open-file dialog, the progress window, the decoder
// notice, the main window's duration gauge. The GUI and the command line implement it.
class AddTitlesView {
 public:
  virtual ~AddTitlesView() = default;
  // Multiple selection with kAddFilesTitle and kAddFilesFilter; false on cancel.
  virtual bool ChooseFiles(std::vector<std::string>& files) = 0;
  // Opens the progress window (disabling the main window) or changes its text.
  virtual void ShowProgress(const std::string& text) = 0;
  // Closes it and brings the main window back.
  virtual void CloseProgress() = 0;
  // No frame could be grabbed: a decoder is missing. Returns when the notice is closed.
  virtual void ShowDecoderNotice(const std::string& path) = 0;
  virtual void ShowTotalDuration(int seconds) = 0;
};

// The add command: asks for files and adds them; nothing changes on cancel.
void AddFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view);
// Adds the files given, as the add command does after its dialog.
void AddTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                   const std::vector<std::string>& files);

// The scratch bitmap of the title that will take row `row`: "TEMPBITMAP%04d-PID.bmp" in
// the run-time folder (the application folder, or the user's cache folder when that
// cannot be written), a name no other process shares. It is removed once read.
std::string ScratchBitmapName(int row);
std::string ScratchBitmapPath(int row);

}  // namespace vantrel
