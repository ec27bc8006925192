// SPDX-License-Identifier: GPL-3.0-or-later
// Adding video files to the title list: each file becomes a title with its media facts
// and an 80 x 60 thumbnail of a picture near its start that shows something. The loading
// itself reads no window and no list, so a front end may run it on a worker of its own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/translation.h"
#include "base/rgb_image.h"
#include "project/title_record.h"

namespace vantrel {

class ThumbnailOwner;
class TitleList;

inline constexpr const char* kAddFilesTitle = N_("添加 mpeg 文件到影片列表");
inline constexpr const char* kAddFilesFilter =
    N_("所有支持的格式|*.mpg;*.mpeg;*.avi;*.wmv|Mpeg 文件 (*.MPEG; *.MPG; *.mpeg; *.mpg)|*.MPEG; "
    "*.MPG; *.mpeg; *.mpg|avi 文件 (*.avi)|*.avi;*.AVI|wmv 文件 (*.wmv)|*.wmv;*.WMV||");
inline constexpr const char* kCheckingFilesText = N_("正在检查文件...");

// Why a file cannot be a title ("" when it can). Called from a loading thread, one file
// at a time in the list's order.
using TitleCheck = std::function<std::string(const std::string& path)>;

// A file to add; a saved project knows the moment its thumbnail shows (negative: pick one).
struct TitleFileRequest {
  std::string path;
  double shownAt = -1;
};

// What loading one file gave: a record with its thumbnail, or the reason it was refused.
struct LoadedTitle {
  std::string path;
  std::unique_ptr<TitleRecord> record;  // null when refused
  std::string refusal;
  bool decoderMissing = false;  // listed with a blank thumbnail: no frame could be read
  RgbImage thumbnail;
};

// How loading goes, told as it goes, on the loading thread.
class TitleLoadingReport {
 public:
  virtual ~TitleLoadingReport() = default;
  // File k of count passed the readability check and is being loaded.
  virtual void OnLoading(int k, int count) = 0;
  virtual void OnRefused(const std::string& path, const std::string& reason) = 0;
  virtual void OnDecoderMissing(const std::string& path) = 0;
  // Checked before each file: true stops the loading there.
  virtual bool Stopped() const { return false; }
};

// Loads the files in order on the calling thread (initialised for components), each into
// the row firstRow + k for its scratch bitmap. Reads windows and lists of no one.
std::vector<LoadedTitle> LoadTitleFiles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files,
                                        int firstRow, const TitleCheck& check, TitleLoadingReport& report);

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
  // The file cannot be a title, for `reason`; it stays out of the list. Returns when the
  // user has been told.
  virtual void RefuseFile(const std::string& /*path*/, const std::string& /*reason*/) {}
  virtual void ShowTotalDuration(int seconds) = 0;
  // Loads the files. Here: on the calling thread, telling this view through ShowProgress,
  // RefuseFile and ShowDecoderNotice as it goes. A front end with an event loop of its own
  // may load on a worker while its windows stay alive.
  virtual std::vector<LoadedTitle> LoadTitles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files,
                                              int firstRow, const TitleCheck& check);
};

// The add command: asks for files and adds them; nothing changes on cancel. With a check,
// a file that fails it is refused (RefuseFile) instead of listed.
void AddFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view, const TitleCheck& check = {});
// Adds the files given, as the add command does after its dialog.
void AddTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                   const std::vector<std::string>& files, const TitleCheck& check = {});
void AddTitleRequests(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                      const std::vector<TitleFileRequest>& files, const TitleCheck& check = {});

// The scratch bitmap of the title that will take row `row`: "TEMPBITMAP%04d-PID.bmp" in
// the run-time folder (the application folder, or the user's cache folder when that
// cannot be written), a name no other process shares. It is removed once read.
std::string ScratchBitmapName(int row);
std::string ScratchBitmapPath(int row);

}  // namespace vantrel
