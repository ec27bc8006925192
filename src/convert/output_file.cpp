// SPDX-License-Identifier: GPL-3.0-or-later
// The temporary output: created beside the target (same file system, so the final rename
// is atomic), flushed to disk before it takes the target's name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/ffmpeg_log.h"
#include "convert/encoder_internal.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace vantrel::encoder {

std::string AvError(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

OutputFile::~OutputFile() { Abandon(); }

bool OutputFile::Create(const std::string& target, const std::string& muxer, int muxRate,
                        std::string& error) {
  RouteFfmpegLog();
  target_ = target;
  if (!pending_.Create(target)) {
    error = "cannot write " + target + ": " + std::strerror(errno);
    return false;
  }
  int rc = avformat_alloc_output_context2(&ctx_, nullptr, muxer.c_str(), pending_.Path().c_str());
  if (rc < 0 || !ctx_) {
    error = "cannot prepare the " + muxer + " output: " + AvError(rc);
    Abandon();
    return false;
  }
  if (muxRate > 0) av_opt_set_int(ctx_->priv_data, "muxrate", muxRate, 0);
  ctx_->max_delay = 700000;  // 0.7 s, the decoder buffer delay DVD players are built for
  rc = avio_open(&ctx_->pb, pending_.Path().c_str(), AVIO_FLAG_WRITE);
  if (rc < 0) {
    error = "cannot write " + target + ": " + AvError(rc);
    Abandon();
    return false;
  }
  return true;
}

AVStream* OutputFile::AddStream(std::string& error) {
  AVStream* stream = avformat_new_stream(ctx_, nullptr);
  if (!stream) error = "out of memory";
  return stream;
}

bool OutputFile::WriteHeader(std::string& error) {
  int rc = avformat_write_header(ctx_, nullptr);
  if (rc < 0) {
    error = "cannot start the output: " + AvError(rc);
    return false;
  }
  headerWritten_ = true;
  return true;
}

bool OutputFile::Write(AVPacket* packet, std::string& error) {
  int rc = av_interleaved_write_frame(ctx_, packet);
  if (rc < 0) {
    error = "cannot write " + target_ + ": " + AvError(rc);
    return false;
  }
  return true;
}

bool OutputFile::Finish(std::string& error) {
  auto fail = [&](const std::string& why) {
    error = "cannot write " + target_ + ": " + why;
    Abandon();
    return false;
  };
  int rc = av_write_trailer(ctx_);
  if (rc < 0) return fail(AvError(rc));
  avio_flush(ctx_->pb);
  if (ctx_->pb->error < 0) return fail(AvError(ctx_->pb->error));
  rc = avio_closep(&ctx_->pb);
  if (rc < 0) return fail(AvError(rc));
  if (!pending_.Commit()) return fail(std::strerror(errno));
  Close();
  return true;
}

void OutputFile::Close() {
  if (!ctx_) return;
  if (ctx_->pb) avio_closep(&ctx_->pb);
  avformat_free_context(ctx_);
  ctx_ = nullptr;
}

void OutputFile::Abandon() {
  Close();
  pending_.Abandon();
}

}  // namespace vantrel::encoder
