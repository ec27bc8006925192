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

void AddTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                   const std::vector<std::string>& files) {
  const int count = int(files.size());
  view.ShowProgress(kCheckingFilesText);
  RegisterDecoders();
  for (int k = 1; k <= count; ++k) {
    // A pipe, a device or a folder would hang the grab or never end: never opened.
    if (const std::string why = UnreadableFileReason(files[size_t(k - 1)]); !why.empty()) {
      LogWarning(Format(Tr("无法使用标题 %s: %s"), files[size_t(k - 1)].c_str(), why.c_str()));
      continue;
    }
    auto record = std::make_unique<TitleRecord>();
    record->SourcePath = files[size_t(k - 1)];
    view.ShowProgress(Format(Tr("正在载入文件... (%d / %d)"), k, count));

    ThumbnailGrabJob job{record->SourcePath, ScratchBitmapPath(titles.Count()), 0.0, &owner};
    if (!RunThumbnailGrab(job)) view.ShowDecoderNotice(record->SourcePath);
    DibImage bitmap;
    // A title whose picture could not be read gets a blank image of its own, not the one
    // of the title before it, which a regrab of either would then repaint for both.
    const int thumbnail =
        titles.Thumbnails().Add(bitmap.ReadFile(job.bitmapPath) ? bitmap.ToRgbImage() : RgbImage());
    // The picture lives on in the image list; the file would only pile up.
    std::remove(job.bitmapPath.c_str());

    record->DisplayTitle = StemOf(record->SourcePath);
    ProbeTitleFacts(owner.VideoEdit(), *record);
    titles.AppendTitle(std::move(record), thumbnail);
  }
  view.CloseProgress();
  view.ShowTotalDuration(int(titles.TotalDuration()));
  titles.RefreshMovieSize();
}

void AddFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view) {
  std::vector<std::string> files;
  if (!view.ChooseFiles(files) || files.empty()) return;
  AddTitleFiles(titles, owner, view, files);
}

}  // namespace vantrel
