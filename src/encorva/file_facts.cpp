// SPDX-License-Identifier: GPL-3.0-or-later
#include "encorva/file_facts.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <cerrno>
#include <cstdio>

#include "encorva/media_objects.h"
#include "platform/com/bstr.h"
#include "platform/media/interfaces.h"
#include "platform/media/media_type.h"

namespace vantrel::encorva {

using namespace media;

namespace {
constexpr LONG kPosterWidth = 163, kPosterHeight = 112;
}

std::string TemporaryFolder() {
  const char* tmp = std::getenv("TMPDIR");
  return tmp && *tmp ? tmp : "/tmp";
}

namespace {

// Posters of processes that have ended are of no use to anyone: remove ours.
void RemoveOrphanPosters(const std::filesystem::path& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    unsigned long pid = 0;
    char rest[32] = {};
    if (std::sscanf(name.c_str(), "erdposter-%lu-%20s", &pid, rest) != 2 || pid == 0) continue;
    struct stat info {};
    if (lstat(entry.path().c_str(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != getuid()) continue;
    if (kill(pid_t(pid), 0) != 0 && errno == ESRCH) unlink(entry.path().c_str());
  }
}

}  // namespace

std::string PosterFramePath() {
  // One file per process, made with a name nobody else holds: two programs (or two users)
  // sharing the temporary folder never overwrite each other's poster.
  static std::mutex lock;
  static std::string path, madeIn;
  std::lock_guard guard(lock);
  const std::filesystem::path folder = TemporaryFolder();
  std::error_code ec;
  if (!path.empty() && madeIn == folder.string() && std::filesystem::is_directory(folder, ec)) return path;
  madeIn = folder.string();
  RemoveOrphanPosters(folder);
  std::string pattern = (folder / ("erdposter-" + std::to_string(getpid()) + "-XXXXXX.bmp")).string();
  int fd = mkstemps(pattern.data(), 4);
  if (fd < 0) return (folder / "erdposter.bmp").string();
  close(fd);
  path = pattern;
  return path;
}

HRESULT InspectFile(const std::string& filename, double* framerate, double* duration, LONG* video,
                    LONG* audio, LONG* width, LONG* height, LONG* bitrate, std::string* posterPath) {
  if (framerate) *framerate = 0;
  if (duration) *duration = 0;
  if (video) *video = 0;
  if (audio) *audio = 0;
  if (width) *width = 0;
  if (height) *height = 0;

  // The whole size, also beyond 4 GiB; a file that cannot be read counts as empty.
  std::error_code ec;
  const std::uintmax_t size = std::filesystem::file_size(filename, ec);
  if (ec || size == 0) return E_FAIL;

  ComPtr<IMediaDet> detector;
  HRESULT hr = CreateMediaObject(CLSID_MediaDet, IID_IMediaDet, detector.PutVoid());
  if (FAILED(hr)) return hr;
  Bstr name(filename);
  hr = detector->put_Filename(name.Get());
  if (FAILED(hr)) return hr;

  LONG streams = 0;
  hr = detector->get_OutputStreams(&streams);
  double videoLength = 0, audioLength = 0;
  bool hasVideo = false;
  GUID videoSubtype{};
  // Every stream is visited whatever an earlier call answered; the last call's code is
  // the result.
  for (LONG i = 0; i < streams; ++i) {
    hr = detector->put_CurrentStream(i);
    GUID type{};
    if (SUCCEEDED(hr)) hr = detector->get_StreamType(&type);
    if (FAILED(hr)) continue;
    if (type == MEDIATYPE_Video) {
      hasVideo = true;
      if (video) *video = 1;
      if (framerate) hr = detector->get_FrameRate(framerate);
      hr = detector->get_StreamLength(&videoLength);
      if (duration) *duration = videoLength;
      AM_MEDIA_TYPE mt{};
      hr = detector->get_StreamMediaType(&mt);
      if (SUCCEEDED(hr)) {
        videoSubtype = mt.subtype;
        if (mt.formattype == FORMAT_VideoInfo && mt.pbFormat && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
          const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt.pbFormat);
          if (width) *width = vih->bmiHeader.biWidth;
          if (height) *height = std::abs(vih->bmiHeader.biHeight);
          if (bitrate) *bitrate = LONG(vih->dwBitRate);
        }
        FreeMediaType(mt);
      }
    } else if (type == MEDIATYPE_Audio) {
      if (audio) *audio = 1;
      hr = detector->get_StreamLength(&audioLength);
      AM_MEDIA_TYPE mt{};
      hr = detector->get_StreamMediaType(&mt);
      FreeMediaType(mt);
    }
  }

  const double longest = std::max(videoLength, audioLength);
  if (bitrate && longest > 0) *bitrate = LONG(std::min<double>(double(size) / longest, 0x7FFFFFFF / 8)) * 8;
  if (duration) *duration = audioLength > videoLength ? audioLength : videoLength;

  if (posterPath && hasVideo) {
    *posterPath = PosterFramePath();
    std::filesystem::remove(*posterPath, ec);  // an earlier poster must not pass for this one
    std::string lower = filename;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    const bool windowsMedia = videoSubtype == MEDIASUBTYPE_Asf || lower.find("asf") != std::string::npos ||
                              lower.find("wmv") != std::string::npos;
    Bstr poster(*posterPath);
    detector->WriteBitmapBits(windowsMedia ? 0.0 : 1.0, kPosterWidth, kPosterHeight, poster.Get());
  }
  return hr;
}

LONG MediaStackVersion() {
  ComPtr<IGraphBuilder> graph;
  ComPtr<IMediaDet> detector;
  if (FAILED(CreateMediaObject(CLSID_FilterGraph, IID_IGraphBuilder, graph.PutVoid())) ||
      FAILED(CreateMediaObject(CLSID_MediaDet, IID_IMediaDet, detector.PutVoid())))
    return 0;
  return 81;
}

}  // namespace vantrel::encorva
