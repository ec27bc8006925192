// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"
#include "base/translation.h"
#include "convert/convert_to_dvd_mpeg.h"

#include <cstdio>

#include "base/paths.h"
#include "convert/encoder_graph_job.h"
#include "platform/com/runtime.h"

namespace vantrel {
namespace {

// The encoder settings the main program always applies after choosing the DVD format.

constexpr LONG kSetting42Value = 3;                      // setting 42 = 3: IBBP

bool Failed(std::string* errorText, const std::string& why) {
  LogError(Tr("转换失败"));
  if (errorText) *errorText = why.empty() ? "the conversion failed" : why;
  return false;
}

}  // namespace

std::string DvdMpegOutputName(const std::string& output) {
  auto dot = output.rfind('.');
  std::string ending = dot == std::string::npos ? output : output.substr(dot + 1);
  if (!EqualsNoCase(ending, "avi")) return output;
  return (dot == std::string::npos ? output : output.substr(0, dot)) + ".mpg";
}

bool ConvertToDvdMpeg(const std::string& source, std::string& output, TvStandard standard,
                      const ConvertProgress& progress, std::string* errorText) {
  return ConvertToDvdMpeg(source, output, standard, DiscTarget{}, progress, errorText);
}

bool ConvertToDvdMpeg(const std::string& source, std::string& output, TvStandard standard, const DiscTarget& target,
                      const ConvertProgress& progress, std::string* errorText, int threads) {
  output = DvdMpegOutputName(output);
  com::ScopedCoInitialize com;
  const LONG sound = LONG(target.sound);  // AC-3 (setting 44 = 2) unless the disc needs MPEG sound
  EncoderGraphJob job(FormatFamily::Dvd, StandardOfNtscFlag(IsNtsc(standard)), sound, kSetting42Value);
  job.SetDiscTarget(target.displayShape, target.uniformSound);
  job.SetFiles(source, output);
  job.SetVideoBitRate(target.videoBitRate);
  job.SetWorkerThreads(threads);

  if (com::FAILED(job.BuildAndStart())) {
    std::string why = job.EncoderError().empty() ? job.BuildError() : job.EncoderError();
    job.ReleaseAll();
    return Failed(errorText, why);
  }
  LONG end = 0;
  com::HRESULT waited = job.WaitWithProgress(progress, &end);
  std::string why = job.EncoderError();
  job.Teardown();
  job.ReleaseAll();
  // Only a graph that ran to its end has a complete output: the encoder names the file
  // only then, and an aborted run leaves none, so the caller must not author from it.
  if (com::FAILED(waited) || end != media::EC_COMPLETE) return Failed(errorText, why);
  if (errorText) errorText->clear();
  return true;
}

}  // namespace vantrel
