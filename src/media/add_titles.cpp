// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/add_titles.h"

#include <unistd.h>

#include <cstdio>
#include <memory>

#include "base/app_folder.h"
#include "base/launch.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/readable_file.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "media/bitmap_file.h"
#include "media/frame_grabber.h"
#include "media/media_probe.h"
#include "media/thumbnail_owner.h"
#include "media/thumbnail_time.h"
#include "project/title_list.h"

namespace vantrel {
namespace {

// The decoders the other platform needed are registered before every add; the modules do
// not exist here, so these lines fail and, as there, nobody waits for them.
void RegisterDecoders() {
  const std::string app = ApplicationFolder();
  for (const char* module : {"mpeg2dmx.ax", "mpgdec.ax"})
    LaunchHidden("regsvr32 \"" + app + module + "\" /s");
}

}  // namespace

std::string ScratchBitmapName(int row) { return Format("TEMPBITMAP%04d-%d.bmp", row, int(getpid())); }

std::string ScratchBitmapPath(int row) { return RuntimeFolder() + ScratchBitmapName(row); }

namespace {

// One file: the checks, the facts, the thumbnail. `report` hears of a refusal or a
// missing decoder; the progress line is the caller's.
LoadedTitle LoadTitleFile(ThumbnailOwner& owner, const TitleFileRequest& request, int row, const TitleCheck& check,
                          TitleLoadingReport& report, int k, int count) {
  LoadedTitle loaded;
  loaded.path = request.path;
  // A pipe, a device or a folder would hang the grab or never end: never opened.
  if (const std::string why = UnreadableFileReason(request.path); !why.empty()) {
    LogWarning(Format(Tr("无法使用标题 %s: %s"), request.path.c_str(), why.c_str()));
    loaded.refusal = why;
    report.OnRefused(request.path, why);
    return loaded;
  }
  report.OnLoading(k, count);
  if (check) {
    if (const std::string why = check(request.path); !why.empty()) {
      loaded.refusal = why;
      report.OnRefused(request.path, why);
      return loaded;
    }
  }
  auto record = std::make_unique<TitleRecord>();
  record->SourcePath = request.path;
  // The facts come first: the thumbnail is taken where the picture shows something (or
  // where the project says it was), and the properties sheet opens at that same moment.
  record->DisplayTitle = StemOf(record->SourcePath);
  ProbeTitleFacts(owner.VideoEdit(), *record);
  // The grab's own verdict says whether a decoder is missing; the picture is kept when
  // its file could be read at all.
  auto grab = [&](double time, bool& read) {
    ThumbnailGrabJob job{record->SourcePath, ScratchBitmapPath(row), time, &owner};
    const bool grabbed = RunThumbnailGrab(job) != 0;
    DibImage bitmap;
    read = bitmap.ReadFile(job.bitmapPath);
    // The picture lives on in the image list; the file would only pile up.
    std::remove(job.bitmapPath.c_str());
    if (read) loaded.thumbnail = bitmap.ToRgbImage();
    return grabbed;
  };
  bool read = false, grabbed = false;
  if (request.shownAt >= 0 && grab(request.shownAt, read) && read) {
    record->ThumbnailTime = request.shownAt;
    grabbed = true;
  } else {
    loaded.thumbnail = RgbImage();
    record->ThumbnailTime = PickThumbnailTime(record->SourcePath, record->Duration);
    grabbed = grab(record->ThumbnailTime, read);
  }
  record->ThumbnailShownAt = record->ThumbnailTime;  // the frame the grab shows
  if (!grabbed) {
    loaded.decoderMissing = true;
    report.OnDecoderMissing(request.path);
  }
  loaded.record = std::move(record);
  return loaded;
}

// The view's own windows hear of the loading as it goes.
class ViewReport : public TitleLoadingReport {
 public:
  explicit ViewReport(AddTitlesView& view) : view_(view) {}
  void OnLoading(int k, int count) override { view_.ShowProgress(Format(Tr("正在载入文件... (%d / %d)"), k, count)); }
  void OnRefused(const std::string& path, const std::string& reason) override { view_.RefuseFile(path, reason); }
  void OnDecoderMissing(const std::string& path) override { view_.ShowDecoderNotice(path); }

 private:
  AddTitlesView& view_;
};

}  // namespace

std::vector<LoadedTitle> LoadTitleFiles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files,
                                        int firstRow, const TitleCheck& check, TitleLoadingReport& report) {
  RegisterDecoders();
  std::vector<LoadedTitle> loaded;
  const int count = int(files.size());
  int row = firstRow;
  for (int k = 1; k <= count && !report.Stopped(); ++k) {
    loaded.push_back(LoadTitleFile(owner, files[size_t(k - 1)], row, check, report, k, count));
    if (loaded.back().record) ++row;
  }
  return loaded;
}

std::vector<LoadedTitle> AddTitlesView::LoadTitles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files,
                                                   int firstRow, const TitleCheck& check) {
  ShowProgress(kCheckingFilesText);
  ViewReport report(*this);
  return LoadTitleFiles(owner, files, firstRow, check, report);
}

void AddTitleRequests(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                      const std::vector<TitleFileRequest>& files, const TitleCheck& check) {
  for (LoadedTitle& loaded : view.LoadTitles(owner, files, titles.Count(), check)) {
    if (!loaded.record) continue;
    // A title whose picture could not be read gets a blank image of its own, not the one
    // of the title before it, which a regrab of either would then repaint for both.
    const int thumbnail = titles.Thumbnails().Add(std::move(loaded.thumbnail));
    titles.AppendTitle(std::move(loaded.record), thumbnail);
  }
  view.CloseProgress();
  view.ShowTotalDuration(int(titles.TotalDuration()));
  titles.RefreshMovieSize();
}

void AddTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                   const std::vector<std::string>& files, const TitleCheck& check) {
  std::vector<TitleFileRequest> requests;
  for (const std::string& file : files) requests.push_back({file});
  AddTitleRequests(titles, owner, view, requests, check);
}

void AddFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view, const TitleCheck& check) {
  std::vector<std::string> files;
  if (!view.ChooseFiles(files) || files.empty()) return;
  AddTitleFiles(titles, owner, view, files, check);
}

}  // namespace vantrel
