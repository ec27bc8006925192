// SPDX-License-Identifier: GPL-3.0-or-later
#include "encorva/encorva_control.h"

#include <atomic>

#include "encorva/encorva_type_info.h"
#include "encorva/file_facts.h"
#include "encorva/ole_control.h"
#include "encorva/type_description.h"

namespace vantrel::encorva {

namespace {

// One count for every control of the process, as clients that poll several controls
// share one encoder rate.
std::atomic<LONG> gLastFrameCount{0};

bool IsTrue(VARIANT_BOOL value) { return value == VARIANT_TRUE; }
VARIANT_BOOL BoolOf(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// A forwarded getter: 0 without a settings object, or when the encoder answers nothing.
template <class T, class Get>
HRESULT ForwardGet(const ConversionEngine& engine, T* out, Get get) {
  if (!out) return E_POINTER;
  T value = 0;
  if (auto settings = engine.Settings()) (settings.Get()->*get)(&value);
  *out = value;
  return S_OK;
}

template <class T, class Set>
HRESULT ForwardSet(const ConversionEngine& engine, T value, Set set) {
  if (auto settings = engine.Settings()) (settings.Get()->*set)(value);
  return S_OK;
}

HRESULT CopyOut(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = BstrFromUtf8(text);  // null (the empty text) when allocation fails
  return S_OK;
}

}  // namespace

CEncorvaControl::CEncorvaControl(ModuleLockCount* locks)
    : locks_(locks),
      events_(new ConnectionPoint(DIID__IEncorvaObjEvents, this)),
      propertyNotify_(new ConnectionPoint(IID_IPropertyNotifySink, this)),
      engine_(std::make_unique<ConversionEngine>(this)),
      ole_(std::make_unique<OleControl>(static_cast<IEncorvaObj*>(this), locks)) {
  if (locks_) locks_->Lock();
}

CEncorvaControl::~CEncorvaControl() {
  engine_.reset();
  events_->Release();
  propertyNotify_->Release();
  if (locks_) locks_->Unlock();
}

HRESULT CEncorvaControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IEncorvaObj)
    return Hand<IEncorvaObj>(this, object);
  if (iid == IID_IConnectionPointContainer) return Hand<IConnectionPointContainer>(this, object);
  if (iid == IID_IConversionEvents) return Hand<IConversionEvents>(this, object);
  return ole_->Answer(iid, object);
}

HRESULT CEncorvaControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

HRESULT CEncorvaControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return CreateObjTypeInfo(locks_, info);
}

HRESULT CEncorvaControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  return encorva::GetIDsOfNames(EncorvaObjDescription(), names, count, ids);
}

HRESULT CEncorvaControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                VARIANT* result, EXCEPINFO*, UINT* argError) {
  return InvokeByDescription(EncorvaObjDescription(), this, id, flags, params, result, argError);
}

// Forwarded encoder settings.
HRESULT CEncorvaControl::get_OutputAudioBitrate(LONG* pVal) {
  return ForwardGet(*engine_, pVal, &IEncoderSettings::GetAudioBitRate);
}
HRESULT CEncorvaControl::put_OutputAudioBitrate(LONG newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetAudioBitRate);
}
HRESULT CEncorvaControl::get_OutputFramerate(double* pVal) {
  return ForwardGet(*engine_, pVal, &IEncoderSettings::GetFrameRate);
}
HRESULT CEncorvaControl::put_OutputFramerate(double newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetFrameRate);
}
HRESULT CEncorvaControl::get_OutputHeight(LONG* pVal) {
  return ForwardGet(*engine_, pVal, &IEncoderSettings::GetHeight);
}
HRESULT CEncorvaControl::put_OutputHeight(LONG newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetHeight);
}
HRESULT CEncorvaControl::get_OutputQuality(LONG* pVal) {
  return ForwardGet(*engine_, pVal, &IEncoderSettings::GetQuality);
}
HRESULT CEncorvaControl::put_OutputQuality(LONG newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetQuality);
}
HRESULT CEncorvaControl::get_OutputWidth(LONG* pVal) {
  return ForwardGet(*engine_, pVal, &IEncoderSettings::GetWidth);
}
HRESULT CEncorvaControl::put_OutputWidth(LONG newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetWidth);
}
HRESULT CEncorvaControl::get_OutputVideoBitrate(LONG* pVal) {
  return ForwardGet(*engine_, pVal, &IEncoderSettings::GetVideoBitRate);
}
HRESULT CEncorvaControl::put_OutputVideoBitrate(LONG newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetVideoBitRate);
}
HRESULT CEncorvaControl::put_OutputAudioSampleRate(LONG newVal) {
  return ForwardSet(*engine_, newVal, &IEncoderSettings::SetAudioSampleRate);
}
HRESULT CEncorvaControl::get_OutputVBRVideo(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  LONG mode = 0;
  ForwardGet(*engine_, &mode, &IEncoderSettings::GetBitRateMode);
  *pVal = BoolOf(mode != 0);
  return S_OK;
}
HRESULT CEncorvaControl::put_OutputVBRVideo(VARIANT_BOOL newVal) {
  return ForwardSet(*engine_, LONG(IsTrue(newVal) ? 2 : 0), &IEncoderSettings::SetBitRateMode);
}
HRESULT CEncorvaControl::get_AutoBitrate(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  BYTE on = 0;
  ForwardGet(*engine_, &on, &IEncoderSettings::GetAutoBitRate);
  *pVal = BoolOf(on != 0);
  return S_OK;
}
HRESULT CEncorvaControl::put_AutoBitrate(VARIANT_BOOL newVal) {
  return ForwardSet(*engine_, BYTE(IsTrue(newVal)), &IEncoderSettings::SetAutoBitRate);
}
HRESULT CEncorvaControl::get_AutoDimensions(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  BYTE on = 0;
  ForwardGet(*engine_, &on, &IEncoderSettings::GetAutoDimensions);
  *pVal = BoolOf(on != 0);
  return S_OK;
}
HRESULT CEncorvaControl::put_AutoDimensions(VARIANT_BOOL newVal) {
  return ForwardSet(*engine_, BYTE(IsTrue(newVal)), &IEncoderSettings::SetAutoDimensions);
}

// Members kept for clients written against the interface; they change nothing.
HRESULT CEncorvaControl::get_DeleteTemporaryFiles(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = VARIANT_FALSE;
  return S_OK;
}
HRESULT CEncorvaControl::put_DeleteTemporaryFiles(VARIANT_BOOL) { return S_OK; }
HRESULT CEncorvaControl::get_PerformMultiplex(VARIANT_BOOL* pVal) {
  return get_DeleteTemporaryFiles(pVal);
}
HRESULT CEncorvaControl::put_PerformMultiplex(VARIANT_BOOL) { return S_OK; }
HRESULT CEncorvaControl::get_QuickEncode(VARIANT_BOOL* pVal) {
  return get_DeleteTemporaryFiles(pVal);
}
HRESULT CEncorvaControl::put_QuickEncode(VARIANT_BOOL) { return S_OK; }
HRESULT CEncorvaControl::put_ReservedText(BSTR) { return S_OK; }
HRESULT CEncorvaControl::put_OutputAudioFormat(EnumMPEGAudioFormat) { return S_OK; }
HRESULT CEncorvaControl::get_WrittenBytes(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = 0;
  return S_OK;
}
// These getters answer without touching the caller's variable: clients rely on their own
// default surviving the call.
HRESULT CEncorvaControl::get_VideoEncoder(BSTR*) { return S_OK; }
HRESULT CEncorvaControl::put_VideoEncoder(BSTR) { return S_OK; }
HRESULT CEncorvaControl::get_VideoEncoderKey(BSTR*) { return S_OK; }
HRESULT CEncorvaControl::put_VideoEncoderKey(BSTR) { return S_OK; }
HRESULT CEncorvaControl::get_OutputAudioSampleRate(LONG*) { return S_OK; }

HRESULT CEncorvaControl::get_OutputAudioFormat(EnumMPEGAudioFormat* pVal) {
  if (!pVal) return E_POINTER;
  LONG format;
  if (AudioFormatOf(engine_->AudioCode(), format)) *pVal = EnumMPEGAudioFormat(format);
  return S_OK;
}

HRESULT CEncorvaControl::get_OutputVideoFormat(EnumMPEGVideoFormat* pVal) {
  if (!pVal) return E_POINTER;
  LONG format;
  if (VideoFormatOf(engine_->FormatFamily(), engine_->TvStandard(), format))
    *pVal = EnumMPEGVideoFormat(format);
  return S_OK;
}

HRESULT CEncorvaControl::put_OutputVideoFormat(EnumMPEGVideoFormat newVal) {
  LONG family, tvStandard;
  FormatCodesOf(newVal, family, tvStandard);
  engine_->SelectFormat(family, tvStandard);
  return S_OK;
}

HRESULT CEncorvaControl::CreateStill(BSTR, BSTR, BSTR, EnumMPEGVideoFormat format) {
  return put_OutputVideoFormat(format);
}

// Names and times, kept in the engine for the next start.
HRESULT CEncorvaControl::get_OutputFile(BSTR* pVal) { return CopyOut(engine_->output, pVal); }
HRESULT CEncorvaControl::put_OutputFile(BSTR newVal) {
  engine_->output = Utf8FromBstr(newVal);
  return S_OK;
}
HRESULT CEncorvaControl::get_SourceFile(BSTR* pVal) { return CopyOut(engine_->source, pVal); }
HRESULT CEncorvaControl::put_SourceFile(BSTR newVal) {
  engine_->source = Utf8FromBstr(newVal);
  return S_OK;
}
HRESULT CEncorvaControl::get_StartTime(double* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = engine_->startSeconds;
  return S_OK;
}
HRESULT CEncorvaControl::put_StartTime(double newVal) {
  engine_->startSeconds = newVal;
  return S_OK;
}
HRESULT CEncorvaControl::get_StopTime(double* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = engine_->stopSeconds;
  return S_OK;
}
HRESULT CEncorvaControl::put_StopTime(double newVal) {
  engine_->stopSeconds = newVal;
  return S_OK;
}
HRESULT CEncorvaControl::get_CurrentStatus(BSTR* pVal) { return CopyOut(currentStatus_, pVal); }

// Readings of the run.
HRESULT CEncorvaControl::get_Duration(double* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = engine_->StreamDuration();
  return S_OK;
}
HRESULT CEncorvaControl::get_Progress(double* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = engine_->StreamPosition();
  return S_OK;
}
HRESULT CEncorvaControl::get_TimeElapsed(double* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = engine_->ElapsedSeconds();
  return S_OK;
}
HRESULT CEncorvaControl::get_Pause(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = BoolOf(engine_->IsPaused());
  return S_OK;
}
HRESULT CEncorvaControl::put_Pause(VARIANT_BOOL newVal) {
  if (IsTrue(newVal)) engine_->Pause();
  else engine_->Resume();
  return S_OK;
}

HRESULT CEncorvaControl::get_EncodeFramerate(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = 0;
  auto statistics = engine_->Statistics();
  if (!statistics) return S_OK;
  LONG frames = 0;
  statistics->GetFramesEncoded(&frames);
  LONG last = gLastFrameCount.load();
  if (frames > last) {
    *pVal = frames - last;
    gLastFrameCount = frames;
  } else if (frames < last) {
    // A new run counts from 0 again: its frames so far are the frames since the last read.
    *pVal = frames;
    gLastFrameCount = frames;
  }
  return S_OK;
}

HRESULT CEncorvaControl::get_DXVersion(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = MediaStackVersion();
  return S_OK;
}

// Never fails for the caller: an unreadable file leaves the zeroed outputs.
HRESULT CEncorvaControl::GetFileInfo(BSTR Filename, double* Framerate, double* Duration,
                                     VARIANT_BOOL* VideoStreamAvailable, VARIANT_BOOL* AudioStreamAvailable,
                                     LONG* Width, LONG* Height, LONG* Bitrate, BSTR* PosterFramePath) {
  LONG video = 0, audio = 0;
  std::string poster;
  InspectFile(Utf8FromBstr(Filename), Framerate, Duration, &video, &audio, Width, Height, Bitrate,
              PosterFramePath ? &poster : nullptr);
  if (video == 1 && VideoStreamAvailable) *VideoStreamAvailable = VARIANT_TRUE;
  if (audio == 1 && AudioStreamAvailable) *AudioStreamAvailable = VARIANT_TRUE;
  if (PosterFramePath && !poster.empty()) {
    *PosterFramePath = BstrFromUtf8(poster);
  }
  return S_OK;
}

HRESULT CEncorvaControl::LoadSettings(BSTR RegistryKey) {
  if (auto control = engine_->Control()) control->LoadSettings(RegistryKey);
  return S_OK;
}

HRESULT CEncorvaControl::SaveSettings(BSTR RegistryKey) {
  if (auto control = engine_->Control()) control->SaveSettings(RegistryKey);
  return S_OK;
}

HRESULT CEncorvaControl::StartConversion(VARIANT_BOOL* Result) {
  if (!Result) return E_POINTER;
  *Result = BoolOf(SUCCEEDED(engine_->Start()));
  return S_OK;
}

HRESULT CEncorvaControl::StopConversion() {
  engine_->Teardown();
  return S_OK;
}

HRESULT CEncorvaControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return CreateConnectionPointEnumerator({events_, propertyNotify_}, points);
}

HRESULT CEncorvaControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  ConnectionPoint* found = iid == DIID__IEncorvaObjEvents  ? events_
                           : iid == IID_IPropertyNotifySink ? propertyNotify_
                                                            : nullptr;
  if (!found) return CONNECT_E_NOCONNECTION;
  found->AddRef();
  *point = found;
  return S_OK;
}

void CEncorvaControl::Fire(DISPID id, std::vector<VARIANT> args) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params;
  params.rgvarg = reversed.empty() ? nullptr : reversed.data();
  params.cArgs = UINT(reversed.size());
  // A sink that unadvises while the event runs must not be released under our feet.
  for (auto& sink : events_->Sinks<IDispatch>()) {
    VARIANT ignored;
    sink->Invoke(id, GUID_NULL, 0, DISPATCH_METHOD, &params, &ignored, nullptr, nullptr);
    VariantClear(&ignored);
  }
  for (auto& arg : args) VariantClear(&arg);
}

void CEncorvaControl::FireStatus(EnumStatus status, const char* text) {
  Fire(3, {MakeVariant(LONG(status)), MakeVariant(std::string(text))});
}

void CEncorvaControl::OnStopped() {
  FireStatus(statusStopped, "Stopped");
  Fire(2, {});
}

void CEncorvaControl::OnError(HRESULT code, const char* message) {
  Fire(4, {MakeVariant(LONG(code)), MakeVariant(std::string(message ? message : ""))});
}

void CEncorvaControl::OnStatusText(const char* text) {
  currentStatus_ = text ? text : "";
  FireStatus(statusUnknown, currentStatus_.c_str());
}

void CEncorvaControl::OnAboutToRun() {
  currentStatus_ = "About to run";
  Fire(1, {});
}

void CEncorvaControl::OnConnecting() {
  currentStatus_ = "Connecting";
  FireStatus(statusConnecting, "Connecting");
}

void CEncorvaControl::OnConnected() {
  currentStatus_ = "Connected";
  FireStatus(statusConnected, "Connected");
}

HRESULT CreateEncorvaControl(REFIID iid, void** object, ModuleLockCount* locks) {
  return CreateAndQuery<CEncorvaControl>(iid, object, locks);
}

}  // namespace vantrel::encorva
