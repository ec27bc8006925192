// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/add_titles.h"

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <thread>

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
#include "platform/com/runtime.h"
#include "project/title_list.h"

namespace vantrel {
namespace {

// The decoders the other platform needed are registered before every add, and nobody
// waits for it. A module missing from the application folder could only fail to load:
// no shell and no registration program are started for it.
void RegisterDecoders() {
  const std::string app = ApplicationFolder();
  for (const char* module : {"mpeg2dmx.ax", "mpgdec.ax"}) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(app + module, ec)) LaunchHidden("regsvr32 \"" + app + module + "\" /s");
  }
}

}  // namespace

std::string ScratchBitmapName(int row) { return Format("TEMPBITMAP%04d-%d.bmp", row, int(getpid())); }

std::string ScratchBitmapPath(int row) { return RuntimeFolder() + ScratchBitmapName(row); }

namespace {

// The gate of one file, before any of its pictures is read: a pipe, a device or a folder
// would hang the grab or never end and is never opened; then the caller's check.
struct FileGate {
  std::string unreadable;  // refused before loading began
  std::string refusal;     // refused by the check, after loading began
  bool Passed() const { return unreadable.empty() && refusal.empty(); }
};

FileGate GateOf(const std::string& path, const TitleCheck& check) {
  FileGate gate;
  gate.unreadable = UnreadableFileReason(path);
  if (gate.unreadable.empty() && check) gate.refusal = check(path);
  return gate;
}

// One file that passed its gate: the facts, the thumbnail through the scratch bitmap of
// `row`. Tells no one; the caller reports.
LoadedTitle LoadTitleFile(ThumbnailOwner& owner, const TitleFileRequest& request, int row) {
  LoadedTitle loaded;
  loaded.path = request.path;
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
  loaded.decoderMissing = !grabbed;
  loaded.record = std::move(record);
  return loaded;
}

// Files loading on several threads at once. A file's scratch row is the row its title
// will take, so its gate comes after the gates of the files before it (quick checks, no
// pictures); its grab then runs beside the others'.
class LoadingFiles {
 public:
  LoadingFiles(ThumbnailOwner& owner, const std::vector<TitleFileRequest>& files, int firstRow,
               const TitleCheck& check)
      : owner_(owner), files_(files), firstRow_(firstRow), check_(check), slots_(files.size()) {}

  // Takes files in the list's order until none is left or Stop() was called.
  void Work() {
    for (;;) {
      size_t k;
      {
        std::lock_guard lock(mutex_);
        if (stopped_ || next_ >= files_.size()) return;
        k = next_++;
      }
      Slot& slot = slots_[k];
      // The gates go one at a time in the list's order: the caller's check need not be
      // safe to call at once from several threads, and it sees the files as listed.
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return k == 0 || slots_[k - 1].gated; });
      }
      FileGate gate = GateOf(files_[k].path, check_);
      int row = firstRow_;
      {
        std::lock_guard lock(mutex_);
        slot.gate = gate;
        slot.gated = true;
        changed_.notify_all();
        for (size_t j = 0; j < k; ++j) row += slots_[j].gate.Passed() ? 1 : 0;
      }
      LoadedTitle loaded;
      if (gate.Passed()) {
        loaded = LoadTitleFile(owner_, files_[k], row);
      } else {
        loaded.path = files_[k].path;
        loaded.refusal = gate.unreadable.empty() ? gate.refusal : gate.unreadable;
      }
      std::lock_guard lock(mutex_);
      slot.loaded = std::move(loaded);
      slot.done = true;
      changed_.notify_all();
    }
  }

  // File k's gate and result, once its worker has them.
  const FileGate& GateAt(size_t k) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return slots_[k].gated; });
    return slots_[k].gate;
  }
  LoadedTitle TakeAt(size_t k) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return slots_[k].done; });
    return std::move(slots_[k].loaded);
  }

  // No file is started after this; those under way finish.
  void Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }

 private:
  struct Slot {
    FileGate gate;
    bool gated = false, done = false;
    LoadedTitle loaded;
  };
  ThumbnailOwner& owner_;
  const std::vector<TitleFileRequest>& files_;
  const int firstRow_;
  const TitleCheck& check_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;
  size_t next_ = 0;
  bool stopped_ = false;
};

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
  const size_t count = files.size();
  if (count == 0) return loaded;
  LoadingFiles loading(owner, files, firstRow, check);
  // A worker per core, each with the components initialised for its grabs.
  const size_t workers = std::min<size_t>(count, std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::thread> threads;
  for (size_t i = 0; i < workers; ++i)
    threads.emplace_back([&loading] {
      com::ScopedCoInitialize components;
      loading.Work();
    });
  // The report goes in the list's order on this thread, as if the files were loaded one
  // after another: each file's progress line, then its refusal or missing decoder.
  for (size_t k = 0; k < count; ++k) {
    if (report.Stopped()) break;
    const FileGate gate = loading.GateAt(k);
    if (!gate.unreadable.empty()) {
      LogWarning(Format(Tr("无法使用标题 %s: %s"), files[k].path.c_str(), gate.unreadable.c_str()));
      report.OnRefused(files[k].path, gate.unreadable);
      loaded.push_back(loading.TakeAt(k));
      continue;
    }
    report.OnLoading(int(k + 1), int(count));
    loaded.push_back(loading.TakeAt(k));
    if (!gate.refusal.empty()) report.OnRefused(files[k].path, gate.refusal);
    else if (loaded.back().decoderMissing) report.OnDecoderMissing(files[k].path);
  }
  loading.Stop();
  for (std::thread& thread : threads) thread.join();
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
