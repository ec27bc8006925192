// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"
#include "base/text_format.h"
#include "base/translation.h"
#include "convert/encoder_graph_job.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdio>

#include "base/app_folder.h"
#include "base/message_pump.h"
#include "base/run_cancel.h"
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"

namespace vantrel {
namespace {

using namespace com;
using namespace media;

// How often a waiting run hears the encoder's progress (and notices a cancel).
constexpr LONG kWaitMs = 250;

void Print(const char* text) { LogInfo(text); }

// Registers the encoder module beside the program, as start-up would have done.
HRESULT RegisterModuleBesideProgram() {
  const std::string path = ApplicationFolder() + kMpegEncoderModule;
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return REGDB_E_CLASSNOTREG;
  auto registerServer = reinterpret_cast<DllRegisterServerFn>(dlsym(module, "DllRegisterServer"));
  HRESULT hr = registerServer ? registerServer() : REGDB_E_CLASSNOTREG;
  dlclose(module);
  return hr;
}

// A class never registered, or registered to a module that is gone (a build folder or an
// installation removed since), is registered anew from the module beside the program.
HRESULT CreateEncoderFilter(ComPtr<IBaseFilter>& encoder) {
  HRESULT hr = CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                encoder.PutVoid());
  if ((hr != REGDB_E_CLASSNOTREG && hr != CO_E_DLLNOTFOUND) || FAILED(RegisterModuleBesideProgram())) return hr;
  return CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                          encoder.PutVoid());
}

std::string HexCode(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", unsigned(hr));
  return text;
}

}  // namespace

EncoderGraphJob::EncoderGraphJob(FormatFamily family, TvStandard tv, LONG setting44Value, LONG setting42Value)
    : formatFamily_(LONG(family)),
      tvStandard_(LONG(tv)),
      setting44Value_(setting44Value),
      setting42Value_(setting42Value) {}

EncoderGraphJob::~EncoderGraphJob() { ReleaseAll(); }

void EncoderGraphJob::SetDiscTarget(LONG displayShape, bool uniformSound) {
  displayShape_ = displayShape;
  uniformSound_ = uniformSound;
}

void EncoderGraphJob::SetFiles(const std::string& source, const std::string& output) {
  SysFreeString(sourceFile_);
  SysFreeString(outputFile_);
  sourceFile_ = BstrFromUtf8(source);
  outputFile_ = BstrFromUtf8(output);
}

HRESULT EncoderGraphJob::BuildAndStart() {
  Print(Tr("正在初始化转换..."));
  Teardown();
  buildError_.clear();
  encoderError_.clear();
  auto fail = [&](HRESULT hr, const std::string& why) {
    if (buildError_.empty()) buildError_ = why + " (" + HexCode(hr) + ")";
    Teardown();
    return hr;
  };

  HRESULT hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                                graphBuilder_.PutVoid());
  if (FAILED(hr)) return fail(hr, "the capture graph builder could not be created");
  hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.PutVoid());
  if (FAILED(hr)) {
    LogError(Format("CreateFilterGraph: Failed to create graph!  hr=0x%x", unsigned(hr)));
    return fail(hr, "the filter graph could not be created");
  }
  hr = graphBuilder_->SetFiltergraph(graph_.Get());
  if (FAILED(hr)) return fail(hr, "the filter graph could not be handed to the builder");

  // Without an encoder nothing would take the streams and the run would "complete" with no
  // output, so a missing encoder ends the build here.
  hr = CreateEncoder();
  if (FAILED(hr)) {
    const std::string registry = RegistryProblem();
    return fail(hr, std::string("the encoder module ") + kMpegEncoderModule + " could not be created" +
                        (registry.empty() ? "" : ": " + registry));
  }

  ComPtr<IBaseFilter> source;
  hr = graph_->AddSourceFilter(sourceFile_, nullptr, source.Put());
  if (FAILED(hr)) return fail(hr, "the source " + Utf8FromBstr(sourceFile_) + " could not be opened");

  HRESULT connected = Connect(source.Get());
  if (FAILED(connected) && connected != VFW_E_CANNOT_CONNECT)
    return fail(connected, "the encoder could not be put into the graph");

  hr = graph_->QueryInterface(IID_IMediaEventEx, mediaEvents_.PutVoid());
  HRESULT control = graph_->QueryInterface(IID_IMediaControl, mediaControl_.PutVoid());
  if (SUCCEEDED(hr)) hr = control;
  if (mediaControl_) hr = mediaControl_->Run();
  if (FAILED(hr)) {
    encoderError_ = EncoderError();
    return fail(hr, "the conversion could not start");
  }
  return hr;
}

HRESULT EncoderGraphJob::CreateEncoder() {
  if (encoder_) return S_OK;
  HRESULT hr = CreateEncoderFilter(encoder_);
  if (FAILED(hr)) return hr;
  hr = encoder_.As(IID_IEncoderControl, encoderControl_);
  if (FAILED(hr)) return hr;
  encoderControl_->SetFormat(formatFamily_, tvStandard_);
  encoderControl_->GetSettings(encoderSettings_.Put());
  if (encoderSettings_) {
    encoderSettings_->SetAudioEncoding(setting44Value_);
    encoderSettings_->SetReferenceDistance(setting42Value_);
    if (displayShape_) encoderSettings_->SetDisplayShape(displayShape_);
    if (uniformSound_) encoderSettings_->SetUniformSound(1);
    if (videoBitRate_ > 0) encoderSettings_->SetVideoBitRate(videoBitRate_);
    if (workerThreads_ > 0) encoderSettings_->SetWorkerThreads(workerThreads_);
  }
  return S_OK;
}

HRESULT EncoderGraphJob::Connect(IBaseFilter* source) {
  if (!encoder_) return E_POINTER;
  ComPtr<IFileSinkFilter> sink;
  HRESULT hr = encoder_.As(IID_IFileSinkFilter, sink);
  if (SUCCEEDED(hr)) hr = sink->SetFileName(outputFile_, nullptr);
  if (FAILED(hr)) return hr;
  hr = graph_->AddFilter(encoder_.Get(), u"Ostrel MPEG Encoder");
  if (FAILED(hr)) return hr;
  hr = encoder_->QueryInterface(IID_IMediaSeeking, seeking_.PutVoid());
  if (FAILED(hr)) return hr;
  graphBuilder_->RenderStream(nullptr, nullptr, source, nullptr, encoder_.Get());
  return graphBuilder_->RenderStream(nullptr, &MEDIATYPE_Audio, source, nullptr, encoder_.Get());
}

int EncoderGraphJob::Percent() {
  LONGLONG duration = 0, position = 0;
  if (seeking_) {
    seeking_->GetDuration(&duration);
    seeking_->GetCurrentPosition(&position);
  }
  double seconds = double(duration) / 1e7, done = double(position) / 1e7;
  return seconds > 0 ? std::clamp(int(done / seconds * 100), 0, 100) : 0;
}

HRESULT EncoderGraphJob::WaitWithProgress(const ConvertProgress& progress, LONG* eventCode) {
  LONG code = 0;
  if (eventCode) *eventCode = 0;
  if (!mediaEvents_) {
    Print("-- Error");
    return E_POINTER;
  }
  HRESULT hr = mediaEvents_->WaitForCompletion(kWaitMs, &code);
  while (hr == E_ABORT) {
    window::MSG msg;
    while (window::PeekMessage(msg, window::PM_REMOVE)) {
      window::TranslateMessage(msg);
      window::DispatchMessage(msg);
    }
    PumpMessages();
    if (progress) progress(Percent());
    if (CancelRequested()) {
      // Stopping the graph makes the encoder drop its unfinished output.
      if (mediaControl_) mediaControl_->Stop();
      encoderError_ = "cancelled";
      if (eventCode) *eventCode = EC_USERABORT;
      return E_ABORT;
    }
    hr = mediaEvents_->WaitForCompletion(kWaitMs, &code);
  }
  if (eventCode) *eventCode = code;
  if (code != EC_COMPLETE) encoderError_ = EncoderError();
  return hr;
}

std::string EncoderGraphJob::EncoderError() {
  if (!encoder_) return encoderError_;
  ComPtr<IEncoderDiagnostics> diagnostics;
  if (FAILED(encoder_.As(IID_IEncoderDiagnostics, diagnostics))) return encoderError_;
  Bstr text;
  diagnostics->GetErrorText(text.Put());
  return text.Utf8().empty() ? encoderError_ : text.Utf8();
}

void EncoderGraphJob::Teardown() {
  if (mediaControl_) mediaControl_->Stop();
  mediaEvents_.Reset();
  seeking_.Reset();
  mediaControl_.Reset();
  encoderSettings_.Reset();
  encoderControl_.Reset();
  encoder_.Reset();
  graph_.Reset();
  graphBuilder_.Reset();
}

void EncoderGraphJob::ReleaseAll() {
  Teardown();
  SysFreeString(outputFile_);
  SysFreeString(sourceFile_);
  outputFile_ = sourceFile_ = nullptr;
}

}  // namespace vantrel
