// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder job: synchronous preparation in Start, the work on a job thread (which runs
// the decoding thread of the encode path beside it), the end signalled through a
// condition variable so that Wait can poll with a time-out.
#include "convert/mpeg_encoder.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <thread>

extern "C" {
#include <libavutil/channel_layout.h>
}

#include "convert/encoder_internal.h"
#include "convert/navigation_packs.h"

namespace vantrel {

using namespace encoder;

struct MpegEncoder::Job {
  std::string source;
  std::string output;
  EncoderPreset preset = PresetFor(FormatFamily::Dvd, TvStandard::Pal);

  SourceFile input;
  bool fed = false;
  FedFormat fedFormat;
  FedSource fedSource;
  std::mutex pushLock;  // pushes from two senders keep the end item last
  bool fedEnded = false;
  std::atomic<bool> feeding{false};  // set once the job thread runs; read by the senders
  OutputFile file;
  Progress progress;
  std::atomic<EncodeMode> mode{EncodeMode::Undecided};
  std::thread worker;

  mutable std::mutex mutex;
  std::condition_variable ended;
  bool started = false;
  bool finished = false;
  bool succeeded = false;
  std::string error;

  void Fail(std::string text) {
    std::lock_guard lock(mutex);
    error = std::move(text);
    finished = true;
    succeeded = false;
  }

  void Work() {
    std::string text;
    SoundConverter sound;
    bool ok = fed                                 ? RunFedTranscode(fedSource, file, preset, progress, text)
              : mode == EncodeMode::Remux         ? RunRemux(input, file, preset, nullptr, progress, text)
              : mode == EncodeMode::RemuxNewSound ? RunRemux(input, file, preset, &sound, progress, text)
                                                  : RunTranscode(input, file, preset, progress, text);
    if (!ok) file.Abandon();
    input.ctx.reset();  // the source is closed before anyone learns the job ended
    std::lock_guard lock(mutex);
    succeeded = ok;
    error = ok ? std::string() : text;
    finished = true;
    ended.notify_all();
  }
};

MpegEncoder::MpegEncoder() : job_(std::make_unique<Job>()) {}

MpegEncoder::~MpegEncoder() {
  Cancel();
  if (job_->worker.joinable()) job_->worker.join();
}

void MpegEncoder::SetSource(const std::string& path) {
  job_->source = path;
  job_->fed = false;
}

void MpegEncoder::SetFedSource(const FedFormat& format) {
  job_->fedFormat = format;
  job_->source = format.sourcePath;
  job_->fed = true;
}
void MpegEncoder::SetOutput(const std::string& path) { job_->output = path; }
void MpegEncoder::SetPreset(const EncoderPreset& preset) { job_->preset = preset; }
const EncoderPreset& MpegEncoder::Preset() const { return job_->preset; }

bool MpegEncoder::Start() {
  Job& job = *job_;
  if (job.started) return false;  // one job per encoder; its state stays as it is
  job.started = true;
  if (job.output.empty()) return job.Fail("no output file was named"), false;
  std::error_code ec;
  if (std::filesystem::equivalent(job.source, job.output, ec) || job.source == job.output)
    return job.Fail("the output would replace the source " + job.source), false;

  std::string error;
  if (job.fed) {
    const FedFormat& f = job.fedFormat;
    const bool pictures = f.video && f.width > 0 && f.height > 0;
    if (!pictures && !f.sound) return job.Fail("the source has neither video nor sound"), false;
    if (!pictures && NeedsPictures(job.preset))
      return job.Fail(std::string("the source has no video, only sound; a ") + FormatFamilyName(job.preset.family) +
                      " title needs pictures"),
             false;
    if (pictures) job.preset = ResolvePreset(job.preset, f.width, f.height, f.frameRate);
    job.fedSource.hasPictures = pictures;
    job.fedSource.hasSound = f.sound;
    job.fedSource.displayAspect =
        f.displayAspect > 0 ? f.displayAspect : pictures ? double(f.width) / f.height : 0;
    job.mode = EncodeMode::Encode;
  } else {
    if (!job.input.Open(job.source, error)) return job.Fail(error), false;
    const AVCodecParameters* v = job.input.ctx->streams[job.input.video]->codecpar;
    job.preset = ResolvePreset(job.preset, v->width, v->height, job.input.frameRate);
    job.mode = ChooseMode(job.input, job.preset);
  }
  if (!job.file.Create(job.output, job.preset.muxer, job.preset.muxRate, error)) return job.Fail(error), false;
  job.feeding = job.fed;
  job.worker = std::thread([&job] { job.Work(); });
  return true;
}

bool MpegEncoder::Wait(int timeoutMs) {
  Job& job = *job_;
  std::unique_lock lock(job.mutex);
  if (!job.worker.joinable()) return true;
  if (!job.ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return job.finished; })) return false;
  lock.unlock();
  job.worker.join();
  return true;
}

bool MpegEncoder::Run() {
  if (!Start()) return false;
  while (!Wait(1000)) {
  }
  return Succeeded();
}

void MpegEncoder::Cancel() {
  job_->progress.cancel.store(true);
  job_->fedSource.queue.Close();  // a sender waiting for room lets go
}

namespace {

bool PushFed(MpegEncoder::Job& job, Item item);

}  // namespace

bool MpegEncoder::PushPicture(const std::uint8_t* rows, std::size_t bytes, int width, int height,
                              int bitsPerPixel, std::int64_t start100ns, std::int64_t end100ns,
                              std::shared_ptr<const void> owner) {
  const int stride = ((width * bitsPerPixel + 31) / 32) * 4;
  if (!rows || width <= 0 || height <= 0 || (bitsPerPixel != 24 && bitsPerPixel != 32) ||
      bytes < std::size_t(stride) * std::size_t(height))
    return true;  // a picture that does not match its type is skipped, as a damaged one is
  FramePtr frame(av_frame_alloc());
  if (!frame) return false;
  frame->format = bitsPerPixel == 24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGR0;
  frame->width = width;
  frame->height = height;
  if (owner) {
    // The frame borrows the rows: its buffer holds the owner, and the last row comes
    // first with a negative line step, which reads bottom-up rows top-down.
    auto* keep = new std::shared_ptr<const void>(std::move(owner));
    frame->buf[0] = av_buffer_create(
        const_cast<std::uint8_t*>(rows), bytes,
        [](void* opaque, std::uint8_t*) { delete static_cast<std::shared_ptr<const void>*>(opaque); }, keep,
        AV_BUFFER_FLAG_READONLY);
    if (!frame->buf[0]) {
      delete keep;
      return false;
    }
    frame->data[0] = const_cast<std::uint8_t*>(rows) + std::size_t(height - 1) * std::size_t(stride);
    frame->linesize[0] = -stride;
  } else {
    if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
    const std::size_t rowBytes = std::size_t(width) * std::size_t(bitsPerPixel / 8);
    for (int y = 0; y < height; ++y)  // bottom-up rows become top-down lines
      std::memcpy(frame->data[0] + std::size_t(y) * frame->linesize[0],
                  rows + std::size_t(height - 1 - y) * std::size_t(stride), rowBytes);
  }
  Item item{Item::Video, std::move(frame), start100ns / 1e7, std::max<std::int64_t>(0, end100ns - start100ns) / 1e7};
  if (item.length <= 0 && job_->fedFormat.frameRate > 0) item.length = 1.0 / job_->fedFormat.frameRate;
  return PushFed(*job_, std::move(item));
}

bool MpegEncoder::PushPlanarPicture(const std::uint8_t* planes, std::size_t bytes, int width, int height,
                                    std::int64_t start100ns, std::int64_t end100ns,
                                    std::shared_ptr<const void> owner) {
  const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
  const std::size_t lumaBytes = std::size_t(width) * std::size_t(height);
  const std::size_t chromaBytes = std::size_t(chromaWidth) * std::size_t(chromaHeight);
  if (!planes || width <= 0 || height <= 0 || bytes < lumaBytes + 2 * chromaBytes)
    return true;  // a picture that does not match its type is skipped, as a damaged one is
  const std::uint8_t* const each[3] = {planes, planes + lumaBytes, planes + lumaBytes + chromaBytes};
  const int strides[3] = {width, chromaWidth, chromaWidth};
  return PushPlanarPicture(each, strides, width, height, start100ns, end100ns, std::move(owner));
}

bool MpegEncoder::PushPlanarPicture(const std::uint8_t* const planes[3], const int strides[3], int width, int height,
                                    std::int64_t start100ns, std::int64_t end100ns,
                                    std::shared_ptr<const void> owner) {
  const int chromaWidth = (width + 1) / 2;
  if (!planes || !strides || width <= 0 || height <= 0 || !owner || !planes[0] || !planes[1] || !planes[2] ||
      strides[0] < width || strides[1] < chromaWidth || strides[2] < chromaWidth)
    return true;  // a picture that does not match its type is skipped, as a damaged one is
  FramePtr frame(av_frame_alloc());
  if (!frame) return false;
  auto* keep = new std::shared_ptr<const void>(std::move(owner));
  frame->buf[0] = av_buffer_create(
      const_cast<std::uint8_t*>(planes[0]), std::size_t(strides[0]) * std::size_t(height),
      [](void* opaque, std::uint8_t*) { delete static_cast<std::shared_ptr<const void>*>(opaque); }, keep,
      AV_BUFFER_FLAG_READONLY);
  if (!frame->buf[0]) {
    delete keep;
    return false;
  }
  frame->format = AV_PIX_FMT_YUV420P;
  frame->width = width;
  frame->height = height;
  for (int plane = 0; plane < 3; ++plane) {
    frame->data[plane] = const_cast<std::uint8_t*>(planes[plane]);
    frame->linesize[plane] = strides[plane];
  }
  Item item{Item::Video, std::move(frame), start100ns / 1e7, std::max<std::int64_t>(0, end100ns - start100ns) / 1e7};
  if (item.length <= 0 && job_->fedFormat.frameRate > 0) item.length = 1.0 / job_->fedFormat.frameRate;
  return PushFed(*job_, std::move(item));
}

bool MpegEncoder::PushSound(const std::uint8_t* samples, std::size_t bytes, int channels, int sampleRate,
                            std::int64_t start100ns) {
  if (!samples || channels <= 0 || sampleRate <= 0) return true;
  const int count = int(bytes / (std::size_t(channels) * 2));
  if (count <= 0) return true;
  FramePtr frame(av_frame_alloc());
  if (!frame) return false;
  frame->format = AV_SAMPLE_FMT_S16;
  frame->sample_rate = sampleRate;
  frame->nb_samples = count;
  av_channel_layout_default(&frame->ch_layout, channels);
  if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
  std::memcpy(frame->data[0], samples, std::size_t(count) * std::size_t(channels) * 2);
  Item item{Item::Audio, std::move(frame), start100ns / 1e7, double(count) / sampleRate};
  return PushFed(*job_, std::move(item));
}

void MpegEncoder::EndOfFrames() {
  Job& job = *job_;
  std::lock_guard lock(job.pushLock);
  if (!job.feeding.load() || job.fedEnded) return;
  job.fedEnded = true;
  PushItem(job.fedSource.queue, Item{});
}

double MpegEncoder::DisplayAspectOf(const std::string& path, int width, int height) {
  SourceFile source;
  std::string ignored;
  if (path.empty() || !source.Open(path, ignored)) return 0;
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  return v->width == width && v->height == height ? source.displayAspect : 0;
}

bool MpegEncoder::WouldCopy(const std::string& path, const EncoderPreset& preset) {
  SourceFile source;
  std::string ignored;
  if (!source.Open(path, ignored)) return false;
  const AVCodecParameters* v = source.ctx->streams[source.video]->codecpar;
  return ChooseMode(source, ResolvePreset(preset, v->width, v->height, source.frameRate)) != EncodeMode::Encode;
}

bool MpegEncoder::HasSound(const std::string& path) {
  SourceFile source;
  std::string ignored;
  return source.Open(path, ignored) && source.audio >= 0;
}

namespace {

bool PushFed(MpegEncoder::Job& job, Item item) {
  if (!job.feeding.load() || job.progress.cancel.load()) return false;
  std::lock_guard lock(job.pushLock);
  if (job.fedEnded) return false;
  return PushItem(job.fedSource.queue, std::move(item));
}

}  // namespace

bool MpegEncoder::Finished() const {
  std::lock_guard lock(job_->mutex);
  return job_->finished;
}

bool MpegEncoder::Succeeded() const {
  std::lock_guard lock(job_->mutex);
  return job_->finished && job_->succeeded;
}

std::string MpegEncoder::ErrorText() const {
  std::lock_guard lock(job_->mutex);
  return job_->error;
}

EncodeMode MpegEncoder::Mode() const { return job_->mode.load(); }
std::int64_t MpegEncoder::Position100ns() const { return job_->progress.position100ns.load(); }
std::int64_t MpegEncoder::Duration100ns() const {
  return job_->fed ? job_->fedFormat.duration100ns : job_->input.duration100ns;
}
std::int64_t MpegEncoder::FramesEncoded() const { return job_->progress.frames.load(); }

bool HasDvdNavigationPacks(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(kNavigationScanBytes, ' ');
  in.read(head.data(), std::streamsize(head.size()));
  return HasNavigationPacks(reinterpret_cast<const unsigned char*>(head.data()), size_t(in.gcount()));
}

}  // namespace vantrel
