// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"
#include "base/text_format.h"
#include "encorva/conversion_engine.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "encorva/file_facts.h"
#include "encorva/media_objects.h"
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/com/running_objects.h"
#include "platform/media/ffmpeg_file.h"
#include "platform/media/media_type.h"
#include "platform/window/message_box.h"

namespace vantrel::encorva {

using namespace media;

namespace {
constexpr LONG kPal = 3;  // the encoder's code for PAL is 3, not 2
// Graph notifications are posted to the notify window as this message.
constexpr window::UINT kGraphNotify = window::WM_APP + 1;

std::string SourceStoppedText() {
  char text[160];
  std::snprintf(text, sizeof text,
                "The source stopped sending: nothing arrived for %g seconds, or the server closed "
                "the connection before the end",
                media::NetworkTimeoutSeconds());
  return text;
}
}

void FormatCodesOf(LONG format, LONG& family, LONG& tvStandard) {
  switch (format) {
    case formatMPEG1_Standard: family = 1; tvStandard = 0; break;
    case formatMPEG1_VCD_NTSC: family = 3; tvStandard = 1; break;
    case formatMPEG1_VCD_PAL: family = 3; tvStandard = kPal; break;
    case formatMPEG2_Standard: family = 2; tvStandard = 0; break;
    case formatMPEG2_SVCD_NTSC: family = 4; tvStandard = 1; break;
    case formatMPEG2_SVCD_PAL: family = 4; tvStandard = kPal; break;
    case formatMPEG2_DVD_NTSC: family = 5; tvStandard = 1; break;
    case formatMPEG2_DVD_PAL: family = 5; tvStandard = kPal; break;
    default: family = format; tvStandard = format; break;  // passed on as it came
  }
}

bool VideoFormatOf(LONG family, LONG tvStandard, LONG& format) {
  const bool pal = tvStandard == kPal;
  switch (family) {
    case 1: format = formatMPEG1_Standard; return true;
    case 2: format = formatMPEG2_Standard; return true;
    case 3: format = pal ? formatMPEG1_VCD_PAL : formatMPEG1_VCD_NTSC; return true;
    case 4: format = pal ? formatMPEG2_SVCD_PAL : formatMPEG2_SVCD_NTSC; return true;
    case 5: format = pal ? formatMPEG2_DVD_PAL : formatMPEG2_DVD_NTSC; return true;
    default: return false;
  }
}

bool AudioFormatOf(LONG audioCode, LONG& format) {
  switch (audioCode) {
    case 1: case 2: format = formatMPEG1_LAYER2; return true;
    case 3: format = formatDOLBY_AC3; return true;
    case 4: format = formatUNCOMPRESSED_PCM; return true;
    default: return false;
  }
}

bool IsNetworkSource(const std::string& name) {
  return name.compare(0, 3, "mms") == 0 || name.find("://") != std::string::npos;
}

ConversionEngine::ConversionEngine(IConversionEvents* events) : events_(events) {
  CoInitialize();
  // Without an encoder the engine still works as a property store; starts then fail.
  if (FAILED(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IBaseFilter, encoder_.PutVoid())))
    return;
  if (SUCCEEDED(encoder_.As(IID_IEncoderControl, control_))) control_->GetSettings(settings_.Put());
  encoder_.As(IID_IEncoderStatistics, statistics_);
}

ConversionEngine::~ConversionEngine() {
  // The control is going away: its events are no longer wanted.
  events_ = nullptr;
  Teardown();
  if (notifyWindow_) window::DestroyWindow(notifyWindow_);
  settings_.Reset();
  statistics_.Reset();
  control_.Reset();
  encoder_.Reset();
  CoUninitialize();
}

void ConversionEngine::SelectFormat(LONG family, LONG tvStandard) {
  formatFamily_ = family;
  tvStandard_ = tvStandard;
  if (!control_) return;
  control_->SetFormat(family, tvStandard);
  ComPtr<IEncoderSettings> fresh;
  control_->GetSettings(fresh.Put());
  settings_ = fresh;
}

namespace {

// Why the output cannot be written, as the system says it ("" when nothing is in the way).
std::string OutputProblem(const std::string& output) {
  const std::size_t slash = output.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : output.substr(0, slash);
  if (access(folder.c_str(), W_OK | X_OK) != 0) return "cannot write in " + folder + ": " + std::strerror(errno);
  if (access(output.c_str(), F_OK) == 0 && access(output.c_str(), W_OK) != 0)
    return "cannot write " + output + ": " + std::strerror(errno);
  return "";
}

// The encoder's own account of its last failure ("" when it has none).
template <class Encoder>
std::string EncoderErrorText(const Encoder& encoder) {
  ComPtr<IEncoderDiagnostics> diagnostics;
  Bstr text;
  if (encoder && SUCCEEDED(encoder.As(IID_IEncoderDiagnostics, diagnostics)) &&
      SUCCEEDED(diagnostics->GetErrorText(text.Put())))
    return text.Utf8();
  return "";
}

// Why a network source could not be opened, for the line after the component's own text.
std::string SourceFailureText(HRESULT code) {
  if (std::string why = media::LastOpenFailure(); !why.empty()) return why;
  if (code == media::kInvalidFileFormat || code == media::kUnknownFileType)
    return "what the server sent is not a video that can be read";
  return "";
}

}  // namespace

HRESULT ConversionEngine::Fail(HRESULT code, const char* message, const std::string& reason) {
  Teardown();
  const std::string text = reason.empty() ? std::string(message) : message + ("\n" + reason);
  if (events_) events_->OnError(code, text.c_str());
  return code;
}

bool ConversionEngine::MakeNotifyWindow() {
  if (notifyWindow_ && window::IsWindow(notifyWindow_)) window::DestroyWindow(notifyWindow_);
  notifyWindow_ = window::CreateNotifyWindow([this](window::HWND, window::UINT message, window::WPARAM,
                                                    window::LPARAM) -> window::LRESULT {
    if (message < 0xC000 && message == kGraphNotify) OnGraphNotify();
    return 0;
  });
  return notifyWindow_ != 0;
}

HRESULT ConversionEngine::Start() {
  Teardown();
  LogInfo("Initialising conversion...");
  if (IsNetworkSource(source)) return StartNetwork();
  return StartLocal();
}

HRESULT ConversionEngine::StartLocal() {
  startSecond_ = std::time(nullptr);
  if (!MakeNotifyWindow()) return E_FAIL;
  HRESULT hr = CreateMediaObject(CLSID_CaptureGraphBuilder2, IID_ICaptureGraphBuilder2, graphBuilder_.PutVoid());
  if (FAILED(hr)) return Fail(hr, "GraphBuilder could not be created");
  if (source == output) return Fail(E_FAIL, "The source and target files are the same.");
  hr = CreateMediaObject(CLSID_AMTimeline, IID_IAMTimeline, timeline_.PutVoid());
  if (FAILED(hr)) return Fail(hr, "Timeline could not be created");

  double frameRate = 0;
  LONG hasVideo = 0, hasAudio = 0, width = 0, height = 0;
  hr = InspectFile(source, &frameRate, &sourceDuration_, &hasVideo, &hasAudio, &width, &height, nullptr, nullptr);
  if (FAILED(hr)) return Fail(E_FAIL, "The source file could not be read. The conversion cannot proceed");
  if (sourceDuration_ == 0)
    return Fail(E_FAIL, "The source file had a duration of 0 seconds. The conversion cannot proceed");

  if (hasVideo) {
    if (width == 0 || height == 0)
      return Fail(E_FAIL, "The source video could not be read. The conversion cannot proceed");
    VIDEOINFOHEADER vih{};
    vih.bmiHeader.biSize = 40;
    vih.bmiHeader.biWidth = width;
    vih.bmiHeader.biHeight = height;
    vih.bmiHeader.biPlanes = 1;
    vih.bmiHeader.biBitCount = 24;
    const LONG stride = ((width * 24 + 31) / 8) & ~3;
    vih.bmiHeader.biSizeImage = DWORD(std::abs(stride * height));
    MediaType type;
    type.majortype = MEDIATYPE_Video;
    type.subtype = MEDIASUBTYPE_RGB24;
    type.formattype = FORMAT_VideoInfo;
    type.lSampleSize = vih.bmiHeader.biSizeImage;
    type.SetFormat(&vih, sizeof vih);
    hr = AddGroup(type, frameRate, videoGroup_);
    if (FAILED(hr)) return Fail(hr, "Video group could not be added to timeline");
  }
  if (hasAudio) {
    MediaType type;
    type.majortype = MEDIATYPE_Audio;
    hr = AddGroup(type, 0, audioGroup_);
    if (FAILED(hr)) return Fail(hr, "Audio group could not be added to timeline");
  }
  if (hasVideo && FAILED(hr = AddTrack(videoGroup_.Get())))
    return Fail(hr, "Video track could not be added to timeline");
  if (hasAudio && FAILED(hr = AddTrack(audioGroup_.Get())))
    return Fail(hr, "Audio track could not be added to timeline");
  const double end = stopSeconds != 0 ? stopSeconds : sourceDuration_;
  if (hasVideo && FAILED(hr = AddClip(videoGroup_.Get(), end, true)))
    return Fail(hr, "Video source file could not be added to timeline");
  if (hasAudio && FAILED(hr = AddClip(audioGroup_.Get(), end, false)))
    return Fail(hr, "Audio source file could not be added to timeline");

  timeline_->ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP | SFN_VALIDATEF_REPLACE, nullptr, 0);

  hr = CreateMediaObject(CLSID_RenderEngine, IID_IRenderEngine, renderEngine_.PutVoid());
  if (FAILED(hr)) return Fail(hr, "Render engine could not be created");
  hr = renderEngine_->SetTimelineObject(timeline_.Get());
  if (FAILED(hr)) return Fail(hr, "Timeline object corrupt. Bad timeline!");
  // The start acts through the render range only; a stop of 0 renders to the end.
  if (startSeconds != 0 || stopSeconds != 0) {
    hr = renderEngine_->SetRenderRange(REFERENCE_TIME(startSeconds * 10000000.0),
                                       REFERENCE_TIME(stopSeconds * 10000000.0));
    if (FAILED(hr)) return Fail(hr, "File could not be rendered");
  }
  hr = renderEngine_->ConnectFrontEnd();
  if (FAILED(hr)) return Fail(hr, "File could not be rendered");
  hr = renderEngine_->GetFilterGraph(graph_.Put());
  if (SUCCEEDED(hr)) hr = graphBuilder_->SetFiltergraph(graph_.Get());
  if (FAILED(hr)) return Fail(hr, "Filter graph could not be retrieved");

  ComPtr<IPin> videoPin, audioPin;
  long audioGroup = 0;
  if (hasVideo || !hasAudio) {
    renderEngine_->GetGroupOutputPin(0, videoPin.Put());
    audioGroup = 1;
  }
  renderEngine_->GetGroupOutputPin(audioGroup, audioPin.Put());

  hr = WireEncoder(videoPin.Get(), audioPin.Get(), nullptr);
  if (FAILED(hr)) {
    // The one failure reported before the teardown.
    if (events_) events_->OnError(hr, "The output could not be rendered");
    Teardown();
    return hr;
  }
  if (events_) events_->OnAboutToRun();
  LogInfo("About to start conversion...");
  hr = mediaControl_->Run();
  if (FAILED(hr))
    return Fail(hr,
                "Everything was initialized okay, but the actual conversion could not start. Please check "
                "that you can write to the output file.",
                EncoderErrorText(encoder_).empty() ? OutputProblem(output) : EncoderErrorText(encoder_));
  return hr;
}

HRESULT ConversionEngine::StartNetwork() {
  Teardown();
  LogInfo("Initialising conversion...");
  startSecond_ = std::time(nullptr);
  if (!MakeNotifyWindow()) return E_FAIL;
  HRESULT hr = CreateMediaObject(CLSID_CaptureGraphBuilder2, IID_ICaptureGraphBuilder2, graphBuilder_.PutVoid());
  if (FAILED(hr)) return Fail(hr, "GraphBuilder could not be created");
  if (source == output) return Fail(E_FAIL, "The source and target files are the same.");
  hr = CreateMediaObject(CLSID_FilterGraph, IID_IGraphBuilder, graph_.PutVoid());
  if (FAILED(hr)) {
    LogError(Format("CreateFilterGraph: Failed to create graph!  hr=0x%x", unsigned(hr)));
  }
  if (SUCCEEDED(hr)) hr = graphBuilder_->SetFiltergraph(graph_.Get());
  if (FAILED(hr))
    return Fail(hr, "Couldn't create filter graph! Please check that DirectX 8 (or higher) is installed");

  if (events_) events_->OnConnecting();
  ComPtr<IBaseFilter> sourceFilter;
  const std::u16string url = U16FromBstr(Bstr(source).Get());
  hr = graph_->AddSourceFilter(url.c_str(), nullptr, sourceFilter.Put());
  // A server that went silent while the stream was being probed says so, as it would later.
  if (hr == media::kSourceStopped) return Fail(hr, SourceStoppedText().c_str());
  if (FAILED(hr)) return Fail(hr, "Failed to render source UROL!", SourceFailureText(hr));
  if (events_) events_->OnConnected();
  WireEncoder(nullptr, nullptr, sourceFilter.Get());  // its result is not looked at
  if (events_) events_->OnAboutToRun();
  if (!mediaControl_) return Fail(E_POINTER, "Could not start streaming!");
  hr = mediaControl_->Run();
  if (FAILED(hr)) return Fail(hr, "Could not start streaming!");
  return hr;
}

HRESULT ConversionEngine::AddGroup(const AM_MEDIA_TYPE& type, double sourceFrameRate,
                                   ComPtr<IAMTimelineObj>& group) {
  HRESULT hr = timeline_->CreateEmptyNode(group.Put(), TIMELINE_MAJOR_TYPE_GROUP);
  if (FAILED(hr)) return hr;
  ComPtr<IAMTimelineGroup> info;
  hr = group.As(IID_IAMTimelineGroup, info);
  if (FAILED(hr)) return hr;
  MediaType copy(type);
  hr = info->SetMediaType(&copy);
  if (SUCCEEDED(hr) && type.majortype == MEDIATYPE_Video && control_) {
    double rate = 0.0;  // what an encoder that suggests nothing leaves
    control_->SuggestFrameRate(sourceFrameRate, &rate);
    info->SetOutputFPS(rate);
  }
  if (FAILED(hr)) return hr;
  return timeline_->AddGroup(group.Get());
}

HRESULT ConversionEngine::AddTrack(IAMTimelineObj* group) {
  ComPtr<IAMTimelineObj> track;
  HRESULT hr = timeline_->CreateEmptyNode(track.Put(), TIMELINE_MAJOR_TYPE_TRACK);
  if (FAILED(hr)) return hr;
  ComPtr<IAMTimelineComp> comp;
  hr = group->QueryInterface(IID_IAMTimelineComp, comp.PutVoid());
  if (FAILED(hr)) return hr;
  return comp->VTrackInsBefore(track.Get(), -1);
}

HRESULT ConversionEngine::AddClip(IAMTimelineObj* group, double end, bool video) {
  ComPtr<IAMTimelineObj> clip;
  HRESULT hr = timeline_->CreateEmptyNode(clip.Put(), TIMELINE_MAJOR_TYPE_SOURCE);
  if (FAILED(hr)) return hr;
  ComPtr<IAMTimelineSrc> src;
  if (FAILED(hr = clip.As(IID_IAMTimelineSrc, src))) return hr;
  if (FAILED(hr = clip->SetStartStop2(0, end))) return hr;
  if (FAILED(hr = src->SetMediaTimes2(0, end))) return hr;
  Bstr name(source);
  if (FAILED(hr = src->SetMediaName(name.Get()))) return hr;
  if (video && FAILED(hr = src->SetStretchMode(RESIZEF_STRETCH))) return hr;
  ComPtr<IAMTimelineComp> comp;
  ComPtr<IAMTimelineObj> trackObj;
  ComPtr<IAMTimelineTrack> track;
  if (FAILED(hr = group->QueryInterface(IID_IAMTimelineComp, comp.PutVoid()))) return hr;
  if (FAILED(hr = comp->GetVTrack(trackObj.Put(), 0))) return hr;
  if (FAILED(hr = trackObj.As(IID_IAMTimelineTrack, track))) return hr;
  return track->SrcAdd(clip.Get());
}

HRESULT ConversionEngine::WireEncoder(IPin* videoPin, IPin* audioPin, IBaseFilter* sourceFilter) {
  if (!encoder_) return E_POINTER;
  ComPtr<IFileSinkFilter> sink;
  HRESULT hr = encoder_.As(IID_IFileSinkFilter, sink);
  if (FAILED(hr)) return hr;
  const std::u16string file = U16FromBstr(Bstr(output).Get());
  if (FAILED(hr = sink->SetFileName(file.c_str(), nullptr))) return hr;
  if (FAILED(hr = graph_->AddFilter(encoder_.Get(), u"MPEG Mux Filter"))) return hr;
  if (FAILED(hr = encoder_.As(IID_IMediaSeeking, seeking_))) return hr;

  if (sourceFilter) {
    graphBuilder_->RenderStream(nullptr, nullptr, sourceFilter, nullptr, encoder_.Get());
    GraphInspectionPause();
    graphBuilder_->RenderStream(nullptr, &MEDIATYPE_Audio, sourceFilter, nullptr, encoder_.Get());
    GraphInspectionPause();
  } else if (videoPin) {
    graphBuilder_->RenderStream(nullptr, nullptr, videoPin, nullptr, encoder_.Get());
    if (audioPin) graphBuilder_->RenderStream(nullptr, &MEDIATYPE_Audio, audioPin, nullptr, encoder_.Get());
  } else if (audioPin) {
    ComPtr<IPin> second;
    graphBuilder_->FindPin(encoder_.Get(), PINDIR_INPUT, nullptr, nullptr, FALSE, 1, second.Put());
    if (second) graph_->Connect(audioPin, second.Get());
  }

  HRESULT events = graph_.As(IID_IMediaEventEx, mediaEvents_);
  HRESULT control = graph_.As(IID_IMediaControl, mediaControl_);
  hr = FAILED(events) ? events : control;
  if (mediaEvents_) hr = mediaEvents_->SetNotifyWindow(OAHWND(notifyWindow_), kGraphNotify, 0);
  return hr;
}

void ConversionEngine::GraphInspectionPause() {
  // A blocking box in the middle of a user's conversion is for developers only.
  const char* wanted = std::getenv(kGraphPauseVariable);
  if (!wanted || !*wanted || std::string(wanted) == "0") return;
  char name[96];
  // The pointer as at least eight upper-case hexadecimal digits without "0x", as graph
  // inspection tools look for it.
  std::snprintf(name, sizeof name, "!FilterGraph %08" PRIXPTR " pid %08x",
                reinterpret_cast<std::uintptr_t>(graph_.Get()), unsigned(getpid()));
  DWORD cookie = 0;
  RegisterRunningObject(name, graph_.Get(), &cookie);
  window::MessageBox(0, std::string("You can connect to the ") + "edit" + " Graph right now. This is NOT an error.",
                     "Developer information",
                     window::MB_SETFOREGROUND | window::MB_SYSTEMMODAL | window::MB_ICONINFORMATION);
  if (cookie) RevokeRunningObject(cookie);
}

void ConversionEngine::OnGraphNotify() {
  if (!mediaEvents_) return;
  for (;;) {
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    if (FAILED(mediaEvents_->GetEvent(&code, &p1, &p2, 0))) return;
    mediaEvents_->FreeEventParams(code, p1, p2);
    if (code == EC_COMPLETE || code == EC_USERABORT) {
      Teardown();
      return;
    }
    if (code == EC_ERRORABORT) {
      // A run that failed can never complete: report why and end it, rather than leave the
      // client waiting for a Complete that does not come.
      std::string why = "The conversion stopped with an error";
      if (HRESULT(p1) == media::kSourceStopped) why = SourceStoppedText();
      ComPtr<IEncoderDiagnostics> diagnostics;
      Bstr text;
      if (encoder_ && SUCCEEDED(encoder_.As(IID_IEncoderDiagnostics, diagnostics)) &&
          SUCCEEDED(diagnostics->GetErrorText(text.Put())) && !text.Utf8().empty())
        why += ": " + text.Utf8();
      HRESULT reason = FAILED(HRESULT(p1)) ? HRESULT(p1) : E_FAIL;
      if (events_) events_->OnError(reason, why.c_str());
      Teardown();
      return;
    }
  }
}

void ConversionEngine::Teardown() {
  if (mediaControl_) mediaControl_->Stop();
  if (mediaEvents_) {
    mediaEvents_->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY);
    mediaEvents_->SetNotifyWindow(0, kGraphNotify, 0);
    mediaEvents_.Reset();
  }
  seeking_.Reset();
  mediaControl_.Reset();
  if (renderEngine_) {
    renderEngine_->ScrapIt();
    renderEngine_.Reset();
  }
  timeline_.Reset();
  videoGroup_.Reset();
  audioGroup_.Reset();
  if (encoder_ && graph_) graph_->RemoveFilter(encoder_.Get());
  graph_.Reset();
  if (graphBuilder_) {
    graphBuilder_.Reset();
    if (events_) events_->OnStopped();
  }
}

bool ConversionEngine::IsPaused() const {
  if (!mediaControl_) return false;
  OAFilterState state = State_Stopped;
  return SUCCEEDED(mediaControl_->GetState(2000, &state)) && state == State_Paused;
}

void ConversionEngine::Pause() {
  if (mediaControl_) mediaControl_->Pause();
}

void ConversionEngine::Resume() {
  if (mediaControl_) mediaControl_->Run();
}

double ConversionEngine::StreamDuration() const {
  LONGLONG d = 0;
  if (!seeking_ || FAILED(seeking_->GetDuration(&d))) return 0;
  return double(d) / 10000000.0;
}

double ConversionEngine::StreamPosition() const {
  LONGLONG p = 0;
  if (!seeking_ || FAILED(seeking_->GetCurrentPosition(&p))) return 0;
  return double(p) / 10000000.0;
}

double ConversionEngine::ElapsedSeconds() const {
  if (startSecond_ == 0) return 0.0;
  return double(std::time(nullptr) - startSecond_);
}

}  // namespace vantrel::encorva
