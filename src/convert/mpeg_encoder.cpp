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

#include "convert/encoder_internal.h"
#include "convert/navigation_packs.h"

namespace vantrel {

using namespace encoder;

struct MpegEncoder::Job {
  std::string source;
  std::string output;
  EncoderPreset preset = PresetFor(FormatFamily::Dvd, TvStandard::Pal);

  SourceFile input;
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
    bool ok = mode == EncodeMode::Remux ? RunRemux(input, file, progress, text)
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

void MpegEncoder::SetSource(const std::string& path) { job_->source = path; }
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
  if (!job.input.Open(job.source, error)) return job.Fail(error), false;
  const AVCodecParameters* v = job.input.ctx->streams[job.input.video]->codecpar;
  job.preset = ResolvePreset(job.preset, v->width, v->height, job.input.frameRate);

  std::string notLegal;
  job.mode = IsDvdLegalSource(job.input, job.preset, notLegal) ? EncodeMode::Remux : EncodeMode::Encode;
  if (!job.file.Create(job.output, job.preset.muxer, job.preset.muxRate, error)) return job.Fail(error), false;
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

void MpegEncoder::Cancel() { job_->progress.cancel.store(true); }

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
std::int64_t MpegEncoder::Duration100ns() const { return job_->input.duration100ns; }
std::int64_t MpegEncoder::FramesEncoded() const { return job_->progress.frames.load(); }

bool HasDvdNavigationPacks(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string head(kNavigationScanBytes, ' ');
  in.read(head.data(), std::streamsize(head.size()));
  return HasNavigationPacks(reinterpret_cast<const unsigned char*>(head.data()), size_t(in.gcount()));
}

}  // namespace vantrel
