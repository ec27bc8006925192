// SPDX-License-Identifier: GPL-3.0-or-later
// The working core of the control: names, times and the encoder's format codes, the encoder
// filter (created once per engine) and, for each run, the graph that decodes the source and
// feeds the encoder. Local files go through a timeline and its render engine, network
// sources straight into a graph. Everything runs on the thread that owns the control.
#pragma once

#include <string>

#include "convert/encoder_interfaces.h"
#include "encorva/encorva_interfaces.h"
#include "platform/media/interfaces.h"
#include "platform/media/timeline.h"
#include "platform/window/window.h"

namespace vantrel::encorva {

class ConversionEngine {
 public:
  explicit ConversionEngine(IConversionEvents* events);
  ~ConversionEngine();
  ConversionEngine(const ConversionEngine&) = delete;
  ConversionEngine& operator=(const ConversionEngine&) = delete;

  // Stores the codes and re-selects the encoder's preset; the settings object changes with
  // it, so settings written before a format change went to the previous one.
  void SelectFormat(LONG family, LONG tvStandard);
  LONG FormatFamily() const { return formatFamily_; }
  LONG TvStandard() const { return tvStandard_; }
  LONG AudioCode() const { return audioCode_; }

  // Held only for the duration of one forwarded call; null without an encoder.
  ComPtr<IEncoderSettings> Settings() const { return settings_; }
  ComPtr<IEncoderControl> Control() const { return control_; }
  ComPtr<IEncoderStatistics> Statistics() const { return statistics_; }

  std::string source;
  std::string output;
  double startSeconds = 0;
  double stopSeconds = 0;  // 0: to the end

  // Builds and runs the graph of a new run (after tearing down the previous one). The run
  // ends on the owning thread, which must pump messages: the graph's notifications arrive
  // at the notify window.
  HRESULT Start();
  void Teardown();
  bool IsPaused() const;
  void Pause();
  void Resume();
  double StreamDuration() const;
  double StreamPosition() const;
  double ElapsedSeconds() const;

 private:
  HRESULT StartLocal();
  HRESULT StartNetwork();
  // Reports `message` (the component's own text) with the error event; a `reason` the
  // system gave follows it on a line of its own.
  HRESULT Fail(HRESULT code, const char* message, const std::string& reason = "");
  bool MakeNotifyWindow();
  HRESULT WireEncoder(media::IPin* videoPin, media::IPin* audioPin, media::IBaseFilter* sourceFilter);
  HRESULT AddGroup(const media::AM_MEDIA_TYPE& type, double sourceFrameRate, ComPtr<media::IAMTimelineObj>& group);
  HRESULT AddTrack(media::IAMTimelineObj* group);
  HRESULT AddClip(media::IAMTimelineObj* group, double end, bool video);
  // With VANTREL_GRAPH_PAUSE set (not "0"), a network conversion stops twice with the
  // graph published for inspection tools; otherwise it never stops for that.
  static constexpr const char* kGraphPauseVariable = "VANTREL_GRAPH_PAUSE";
  void GraphInspectionPause();
  void OnGraphNotify();

  ComPtr<IEncoderStatistics> statistics_;
  LONG formatFamily_ = 0;
  LONG tvStandard_ = 0;
  LONG audioCode_ = 0;  // nothing sets it; the getter maps it back for clients
  IConversionEvents* events_;  // the owning control; it outlives the engine
  window::HWND notifyWindow_ = 0;
  double sourceDuration_ = 0;
  long long startSecond_ = 0;
  ComPtr<media::IGraphBuilder> graph_;
  ComPtr<media::IMediaEventEx> mediaEvents_;
  ComPtr<media::IMediaSeeking> seeking_;
  ComPtr<media::IMediaControl> mediaControl_;
  ComPtr<media::ICaptureGraphBuilder2> graphBuilder_;
  ComPtr<media::IRenderEngine> renderEngine_;
  ComPtr<media::IAMTimeline> timeline_;
  ComPtr<media::IAMTimelineObj> videoGroup_, audioGroup_;
  ComPtr<media::IBaseFilter> encoder_;
  ComPtr<IEncoderControl> control_;
  ComPtr<IEncoderSettings> settings_;
};

// A network source, as this platform names one: a URL ("scheme://...") or text starting
// with "mms". (Every local path here contains "/", so a slash alone cannot tell them apart.)
bool IsNetworkSource(const std::string& name);

// The format codes of a video format and back; nullopt-like `false` when a family has no
// format (the getter then leaves the caller's value as it is).
void FormatCodesOf(LONG format, LONG& family, LONG& tvStandard);
bool VideoFormatOf(LONG family, LONG tvStandard, LONG& format);
bool AudioFormatOf(LONG audioCode, LONG& format);

}  // namespace vantrel::encorva
