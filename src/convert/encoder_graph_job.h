// SPDX-License-Identifier: GPL-3.0-or-later
// One conversion through the filter graph: a decoding source wired to the encoder module,
// run to its end while the caller's messages keep flowing. One job per conversion; each
// creates a fresh encoder.
#pragma once

#include <string>

#include "convert/convert_to_dvd_mpeg.h"
#include "convert/encoder_interfaces.h"
#include "convert/encoder_preset.h"
#include "platform/media/interfaces.h"

namespace vantrel {

class EncoderGraphJob {
 public:
  EncoderGraphJob(FormatFamily family, TvStandard tv, LONG setting44Value, LONG setting42Value);
  ~EncoderGraphJob();
  EncoderGraphJob(const EncoderGraphJob&) = delete;
  EncoderGraphJob& operator=(const EncoderGraphJob&) = delete;

  void SetFiles(const std::string& source, const std::string& output);
  // Applied after the format and settings 42 and 44: the frame's shape (0 from the source,
  // 2 4:3, 3 16:9) and whether the sound is always encoded to setting 44.
  void SetDiscTarget(LONG displayShape, bool uniformSound);
  // The average video rate to ask of the encoder (bits/s); 0 keeps the format's own.
  void SetVideoBitRate(LONG bitsPerSecond) { videoBitRate_ = bitsPerSecond; }
  com::HRESULT BuildAndStart();
  // Until the graph ends; `progress` gets the percentage written about once a second.
  // `eventCode` gets the graph's end (EC_COMPLETE, EC_USERABORT, EC_ERRORABORT) or 0.
  com::HRESULT WaitWithProgress(const ConvertProgress& progress, LONG* eventCode);
  void Teardown();
  void ReleaseAll();
  // Why the encoder failed, in its own words; empty when it did not say.
  std::string EncoderError();
  // Why building failed, when it was not the encoder's doing.
  const std::string& BuildError() const { return buildError_; }

 private:
  com::HRESULT CreateEncoder();
  com::HRESULT Connect(media::IBaseFilter* source);
  int Percent();

  com::ComPtr<media::IGraphBuilder> graph_;
  com::ComPtr<media::IMediaEventEx> mediaEvents_;
  com::ComPtr<media::IMediaSeeking> seeking_;
  com::ComPtr<media::IMediaControl> mediaControl_;
  com::ComPtr<media::ICaptureGraphBuilder2> graphBuilder_;
  com::ComPtr<media::IBaseFilter> encoder_;
  com::ComPtr<IEncoderControl> encoderControl_;
  com::ComPtr<IEncoderSettings> encoderSettings_;
  LONG formatFamily_;
  LONG tvStandard_;
  LONG setting44Value_;
  LONG setting42Value_;
  LONG videoBitRate_ = 0;
  LONG displayShape_ = 0;
  bool uniformSound_ = false;
  com::BSTR outputFile_ = nullptr;
  com::BSTR sourceFile_ = nullptr;
  std::string encoderError_;  // kept from the encoder before teardown releases it
  std::string buildError_;
};

}  // namespace vantrel
