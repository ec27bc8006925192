// SPDX-License-Identifier: GPL-3.0-or-later
// The MPEG encoder filter: two input pins (video, audio) that take decoded pictures (I420
// preferred, RGB accepted) and sound from the graph and hand them to the encoder engine,
// which encodes, multiplexes and writes the output file. The graph learns the end through EC_COMPLETE only once the file
// is complete under its name; a failed run ends with EC_ERRORABORT and leaves no file.
//
// A source that is already DVD-legal is copied rather than encoded: when both pins are fed
// the whole of one file by one source filter that names it, the engine reads that file
// itself and the pins turn the samples away.
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

#include "platform/media/media_time_seeking.h"
#include "convert/encoder_interfaces.h"
#include "convert/mpeg_encoder.h"
#include "mpgfiltr/encoder_settings_object.h"
#include "platform/com/bstr.h"
#include "platform/com/registration.h"
#include "platform/media/filter_base.h"

namespace vantrel::mpgfiltr {
namespace {

using namespace media;

constexpr int kWatchMs = 100;

class EncoderFilter;

class InputPin : public PinBase {
 public:
  InputPin(EncoderFilter* owner, bool video);
  bool Video() const { return video_; }

 protected:
  // Planar pictures first, when the sender has them: they reach the encoder without a
  // round trip through RGB.
  std::vector<MediaType> PreferredTypes() override {
    if (!video_) return {};
    MediaType planar;
    planar.majortype = MEDIATYPE_Video;
    planar.subtype = MEDIASUBTYPE_I420;
    return {planar};
  }
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
  HRESULT OnReceive(IMediaSample* sample) override;

 private:
  bool video_;
};

class EncoderFilter : public FilterBase,
                      public IFileSinkFilter,
                      public MediaTimeSeeking,
                      public IEncoderControl,
                      public IEncoderStatistics,
                      public IEncoderDiagnostics {
 public:
  EncoderFilter() : FilterBase(CLSID_MpegEncoderFilter) {
    ModuleLocks().Lock();
    settings_ = ComPtr<SettingsObject>::Attach(new SettingsObject(PresetFor(FormatFamily::Dvd, TvStandard::Pal)));
    AddPin(new InputPin(this, true));
    AddPin(new InputPin(this, false));
  }
  ~EncoderFilter() override {
    EndJob();
    RemovePins();
    ModuleLocks().Unlock();
  }

  ULONG AddRef() override { return FilterBase::AddRef(); }
  ULONG Release() override { return FilterBase::Release(); }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IFileSinkFilter) return Hand<IFileSinkFilter>(this, object);
    if (iid == IID_IMediaSeeking) return Hand<IMediaSeeking>(this, object);
    if (iid == IID_IEncoderControl) return Hand<IEncoderControl>(this, object);
    if (iid == IID_IEncoderStatistics) return Hand<IEncoderStatistics>(this, object);
    if (iid == IID_IEncoderDiagnostics) return Hand<IEncoderDiagnostics>(this, object);
    return FilterBase::QueryInterface(iid, object);
  }

  // ---- IFileSinkFilter ----
  HRESULT SetFileName(LPCOLESTR file, const AM_MEDIA_TYPE*) override {
    if (!file) return E_POINTER;
    if (!*file) return E_INVALIDARG;
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;
    std::lock_guard lock(lock_);
    output_ = U16(file);
    return S_OK;
  }
  HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) override {
    if (!file) return E_POINTER;
    if (mt) *mt = AM_MEDIA_TYPE{};
    std::lock_guard lock(lock_);
    *file = output_.empty() ? nullptr : TaskString(output_);
    return output_.empty() ? E_FAIL : S_OK;
  }

  // ---- IMediaSeeking: what is written, against what is fed ----
  HRESULT GetCapabilities(DWORD* caps) override {
    if (!caps) return E_POINTER;
    *caps = AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetDuration;
    return S_OK;
  }
  HRESULT GetDuration(LONGLONG* d) override {
    if (!d) return E_POINTER;
    auto job = Job();
    *d = job ? job->Duration100ns() : FedLength();
    return S_OK;
  }
  HRESULT GetStopPosition(LONGLONG* s) override { return GetDuration(s); }
  HRESULT GetCurrentPosition(LONGLONG* c) override {
    if (!c) return E_POINTER;
    auto job = Job();
    *c = job ? job->Position100ns() : 0;
    return S_OK;
  }
  HRESULT ConvertTimeFormat(LONGLONG* target, const GUID*, LONGLONG source, const GUID*) override {
    if (!target) return E_POINTER;
    *target = source;
    return S_OK;
  }
  HRESULT SetPositions(LONGLONG*, DWORD, LONGLONG*, DWORD) override { return E_NOTIMPL; }
  HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override {
    if (current) GetCurrentPosition(current);
    if (stop) GetDuration(stop);
    return S_OK;
  }
  HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override {
    if (earliest) *earliest = 0;
    if (latest) GetCurrentPosition(latest);
    return S_OK;
  }
  HRESULT SetRate(double rate) override { return SetNormalRateOnly(rate); }
  HRESULT GetRate(double* rate) override { return AnswerNormalRate(rate); }
  HRESULT GetPreroll(LONGLONG* preroll) override { return AnswerNoPreroll(preroll); }

  // ---- IEncoderControl ----
  HRESULT Reserved3() override { return E_NOTIMPL; }
  HRESULT GetSettings(IEncoderSettings** settings) override {
    if (!settings) return E_POINTER;
    std::lock_guard lock(lock_);
    *settings = settings_.Get();
    if (*settings) (*settings)->AddRef();
    return *settings ? S_OK : E_FAIL;
  }
  HRESULT Reserved5() override { return E_NOTIMPL; }
  HRESULT SetFormat(LONG family, LONG tv) override {
    if (!IsKnownFormatFamily(family) || !IsKnownTvStandard(tv)) return E_INVALIDARG;
    ReplaceSettings(PresetFor(FormatFamily(family), TvStandard(tv)));
    return S_OK;
  }
  HRESULT Reserved7() override { return E_NOTIMPL; }
  HRESULT SaveSettings(BSTR key) override {
    if (!key || !*key) return E_INVALIDARG;
    return mpgfiltr::SaveSettings(Utf8FromBstr(key), CurrentPreset()) ? S_OK : E_FAIL;
  }
  HRESULT LoadSettings(BSTR key) override {
    if (!key || !*key) return E_INVALIDARG;
    EncoderPreset preset = CurrentPreset();
    if (!mpgfiltr::LoadSettings(Utf8FromBstr(key), preset)) return Code(0x80070002);  // nothing saved there
    ReplaceSettings(preset);
    return S_OK;
  }
  HRESULT Reserved10() override { return E_NOTIMPL; }
  HRESULT Reserved11() override { return E_NOTIMPL; }
  HRESULT Reserved12() override { return E_NOTIMPL; }
  HRESULT SuggestFrameRate(double sourceRate, double* rate) override {
    if (!rate) return E_POINTER;
    *rate = vantrel::SuggestFrameRate(CurrentPreset(), sourceRate).Value();
    return S_OK;
  }

  // ---- IEncoderStatistics ----
  HRESULT GetFramesEncoded(LONG* frames) override {
    if (!frames) return E_POINTER;
    auto job = Job();
    *frames = job ? LONG(job->FramesEncoded()) : 0;
    return S_OK;
  }

  // ---- IEncoderDiagnostics ----
  HRESULT GetErrorText(BSTR* text) override {
    if (!text) return E_POINTER;
    std::lock_guard lock(lock_);
    *text = BstrFromUtf8(error_);
    return S_OK;
  }

  // ---- from the pins ----
  HRESULT Take(InputPin* pin, IMediaSample* sample) {
    auto job = Job();
    if (!job || copying_) return S_FALSE;  // nothing to encode into, or the file is copied
    REFERENCE_TIME start = 0, end = 0;
    if (FAILED(sample->GetTime(&start, &end))) start = end = -1;
    const bool planar = pin->Video() && pin->Type().subtype == MEDIASUBTYPE_I420;
    ComPtr<IPlanarSample> lent;
    if (planar && SUCCEEDED(sample->QueryInterface(IID_IPlanarSample, lent.PutVoid()))) {
      // The sender's decoded picture as it is, without packing it first.
      const VIDEOINFOHEADER* vih = pin->Type().VideoInfo();
      const BYTE* planes[3] = {};
      LONG strides[3] = {};
      if (FAILED(lent->GetPlanes(planes, strides))) return E_POINTER;
      const int rows[3] = {int(strides[0]), int(strides[1]), int(strides[2])};
      return job->PushPlanarPicture(planes, rows, vih->bmiHeader.biWidth, vih->bmiHeader.biHeight, start, end,
                                    HoldSample(sample))
                 ? S_OK
                 : S_FALSE;
    }
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const std::size_t bytes = std::size_t(std::max<LONG>(0, sample->GetActualDataLength()));
    bool taken;
    if (planar) {
      const VIDEOINFOHEADER* vih = pin->Type().VideoInfo();
      taken = job->PushPlanarPicture(data, bytes, vih->bmiHeader.biWidth, vih->bmiHeader.biHeight, start, end,
                                     HoldSample(sample));
    } else if (pin->Video()) {
      const VIDEOINFOHEADER* vih = pin->Type().VideoInfo();
      taken = job->PushPicture(data, bytes, vih->bmiHeader.biWidth, vih->bmiHeader.biHeight,
                               vih->bmiHeader.biBitCount, start, end, HoldSample(sample));
    } else {
      const WAVEFORMATEX* wfx = pin->Type().WaveFormat();
      taken = job->PushSound(data, bytes, wfx->nChannels, int(wfx->nSamplesPerSec), start);
    }
    return taken ? S_OK : S_FALSE;
  }

  // Pictures are held, not copied, until the encoder used them; a sender that made the
  // sample gets it back only then, as with any sample kept past Receive.
  static std::shared_ptr<const void> HoldSample(IMediaSample* sample) {
    sample->AddRef();
    return std::shared_ptr<const void>(sample, [](const void* s) {
      static_cast<IMediaSample*>(const_cast<void*>(s))->Release();
    });
  }

  void OnInputEndOfStream(PinBase* pin) override {
    std::shared_ptr<MpegEncoder> job;
    {
      std::lock_guard lock(lock_);
      if (std::find(ended_.begin(), ended_.end(), pin) == ended_.end()) ended_.push_back(pin);
      std::size_t connected = 0;
      for (PinBase* p : Pins()) connected += p->IsConnected() ? 1 : 0;
      if (ended_.size() >= connected) job = job_;
    }
    if (job && !copying_) job->EndOfFrames();
  }

 protected:
  // Leaving the stopped state starts a job, so a run that cannot write its output fails
  // at once and the graph does not start.
  HRESULT OnPause() override {
    if (State() != State_Stopped) return S_OK;
    EndJob();
    std::string output;
    {
      std::lock_guard lock(lock_);
      output = Utf8FromBstr(output_.c_str());
      ended_.clear();
      error_.clear();
    }
    if (output.empty()) return Fail("no output file was named"), E_FAIL;
    InputPin* video = PinOf(true);
    InputPin* audio = PinOf(false);
    if (!video->IsConnected() && !audio->IsConnected()) return Fail("nothing is connected to the encoder"), VFW_E_NOT_CONNECTED;

    auto job = std::make_shared<MpegEncoder>();
    EncoderPreset preset = CurrentPreset();
    job->SetPreset(preset);
    job->SetOutput(output);
    std::string file = WholeFileFed();
    copying_ = !file.empty() && MpegEncoder::WouldCopy(file, preset);
    if (copying_) {
      job->SetSource(file);
    } else {
      FedFormat format;
      format.sourcePath = UpstreamFile(video->IsConnected() ? video : audio);
      if (const VIDEOINFOHEADER* vih = video->IsConnected() ? video->Type().VideoInfo() : nullptr) {
        format.video = true;
        format.width = vih->bmiHeader.biWidth;
        format.height = vih->bmiHeader.biHeight;
        format.frameRate = vih->AvgTimePerFrame > 0 ? 1e7 / double(vih->AvgTimePerFrame) : 0;
        // Samples carry no pixel shape: the file they come from tells it, else pixels are square.
        format.displayAspect = MpegEncoder::DisplayAspectOf(format.sourcePath, format.width, format.height);
      }
      format.sound = audio->IsConnected();
      format.duration100ns = FedLength();
      job->SetFedSource(format);
    }
    if (!job->Start()) return Fail(job->ErrorText()), E_FAIL;
    {
      std::lock_guard lock(lock_);
      job_ = job;
    }
    watcher_ = std::thread([this, job] { Watch(job); });
    return S_OK;
  }
  void OnStop() override { EndJob(); }

 private:
  InputPin* PinOf(bool video) {
    for (PinBase* p : Pins())
      if (static_cast<InputPin*>(p)->Video() == video) return static_cast<InputPin*>(p);
    return nullptr;
  }

  std::shared_ptr<MpegEncoder> Job() {
    std::lock_guard lock(lock_);
    return job_;
  }

  EncoderPreset CurrentPreset() {
    std::lock_guard lock(lock_);
    return settings_->Preset();
  }
  void ReplaceSettings(const EncoderPreset& preset) {
    auto fresh = ComPtr<SettingsObject>::Attach(new SettingsObject(preset));
    std::lock_guard lock(lock_);
    settings_ = fresh;
  }

  void Fail(const std::string& why) {
    std::lock_guard lock(lock_);
    error_ = why;
  }

  // Waits for the job on a thread of its own and reports its end to the graph.
  void Watch(std::shared_ptr<MpegEncoder> job) {
    while (!job->Wait(kWatchMs)) {
    }
    if (stopping_) return;
    if (job->Succeeded()) {
      NotifyEvent(EC_COMPLETE, S_OK, 0);
    } else {
      Fail(job->ErrorText());
      NotifyEvent(EC_ERRORABORT, E_FAIL, 0);
    }
  }

  // Stops a running job (its output is then dropped) and waits for its threads.
  void EndJob() {
    std::shared_ptr<MpegEncoder> job = Job();
    if (job && !job->Finished()) {
      stopping_ = true;
      job->Cancel();
    }
    if (watcher_.joinable()) watcher_.join();
    stopping_ = false;
    // The job stays readable (position, frames) until the next run replaces it.
  }

  // The file behind a pin, when a filter upstream of it names one: the pin may be fed by
  // a decoder that sits between the file source and the encoder.
  static std::string UpstreamFile(PinBase* pin) {
    ComPtr<IPin> upstream;
    if (!pin->IsConnected() || FAILED(pin->ConnectedTo(upstream.Put()))) return {};
    for (int depth = 0; upstream && depth < 8; ++depth) {
      PIN_INFO info;
      if (FAILED(upstream->QueryPinInfo(&info)) || !info.pFilter) return {};
      auto filter = ComPtr<IBaseFilter>::Attach(info.pFilter);
      ComPtr<IFileSourceFilter> source;
      if (SUCCEEDED(filter.As(IID_IFileSourceFilter, source))) {
        LPOLESTR name = nullptr;
        if (FAILED(source->GetCurFile(&name, nullptr)) || !name) return {};
        std::string path = Utf8FromBstr(name);
        CoTaskMemFree(name);
        return path;
      }
      upstream = FirstConnectedInput(filter.Get());
    }
    return {};
  }

  // What feeds a filter's first connected input pin; null for a filter without one.
  static ComPtr<IPin> FirstConnectedInput(IBaseFilter* filter) {
    ComPtr<IEnumPins> pins;
    if (FAILED(filter->EnumPins(pins.Put())) || !pins) return {};
    IPin* raw = nullptr;
    while (pins->Next(1, &raw, nullptr) == S_OK && raw) {
      auto pin = ComPtr<IPin>::Attach(raw);
      PIN_DIRECTION direction;
      ComPtr<IPin> feeder;
      if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_INPUT &&
          SUCCEEDED(pin->ConnectedTo(feeder.Put())) && feeder)
        return feeder;
    }
    return {};
  }

  static ComPtr<IMediaSeeking> UpstreamSeeking(PinBase* pin) {
    ComPtr<IPin> upstream;
    ComPtr<IMediaSeeking> seeking;
    if (!pin->IsConnected() || FAILED(pin->ConnectedTo(upstream.Put()))) return seeking;
    PIN_INFO info;
    if (FAILED(upstream->QueryPinInfo(&info)) || !info.pFilter) return seeking;
    auto filter = ComPtr<IBaseFilter>::Attach(info.pFilter);
    filter.As(IID_IMediaSeeking, seeking);
    return seeking;
  }

  // The length of what the sources will send: from their start to their stop position.
  LONGLONG FedLength() {
    LONGLONG longest = 0;
    for (PinBase* pin : Pins()) {
      ComPtr<IMediaSeeking> seeking = UpstreamSeeking(pin);
      LONGLONG current = 0, stop = 0;
      if (seeking && SUCCEEDED(seeking->GetPositions(&current, &stop)))
        longest = std::max(longest, stop - current);
    }
    return longest;
  }

  // The file both pins are fed from, whole, by one source; empty when that is not so. A
  // file without sound feeds the video pin alone.
  std::string WholeFileFed() {
    InputPin* video = PinOf(true);
    InputPin* audio = PinOf(false);
    if (!video->IsConnected()) return {};
    std::string file = UpstreamFile(video);
    if (file.empty()) return {};
    std::vector<PinBase*> fed{video};
    if (audio->IsConnected()) {
      if (UpstreamFile(audio) != file) return {};
      fed.push_back(audio);
    } else if (MpegEncoder::HasSound(file)) {
      return {};  // the graph left the sound out on purpose
    }
    for (PinBase* pin : fed) {
      ComPtr<IMediaSeeking> seeking = UpstreamSeeking(pin);
      LONGLONG current = 0, stop = 0, duration = 0;
      if (!seeking || FAILED(seeking->GetPositions(&current, &stop)) || FAILED(seeking->GetDuration(&duration)))
        return {};
      if (current != 0 || stop < duration) return {};  // a part of the file: encode what is sent
    }
    return file;
  }

  std::u16string output_;
  ComPtr<SettingsObject> settings_;
  std::shared_ptr<MpegEncoder> job_;
  std::thread watcher_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> copying_{false};
  std::vector<PinBase*> ended_;
  std::string error_;
};

InputPin::InputPin(EncoderFilter* owner, bool video)
    : PinBase(owner, PINDIR_INPUT, video ? u"Video" : u"Audio"), video_(video) {}

HRESULT InputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) {
  MediaType type(mt);
  if (video_) {
    const VIDEOINFOHEADER* vih = type.VideoInfo();
    bool rgb = mt.subtype == MEDIASUBTYPE_RGB24 || mt.subtype == MEDIASUBTYPE_RGB32;
    // RGB in bottom-up rows only, as device-independent bitmaps have them.
    return mt.majortype == MEDIATYPE_Video && (rgb || mt.subtype == MEDIASUBTYPE_I420) && vih &&
                   vih->bmiHeader.biWidth > 0 && vih->bmiHeader.biHeight > 0
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
  }
  const WAVEFORMATEX* wfx = type.WaveFormat();
  return mt.majortype == MEDIATYPE_Audio && mt.subtype == MEDIASUBTYPE_PCM && wfx && wfx->wBitsPerSample == 16 &&
                 wfx->nChannels > 0 && wfx->nSamplesPerSec > 0
             ? S_OK
             : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT InputPin::OnReceive(IMediaSample* sample) { return static_cast<EncoderFilter*>(owner_)->Take(this, sample); }

HRESULT CreateEncoderFilter(REFIID iid, void** object) { return CreateAndQuery<EncoderFilter>(iid, object); }

}  // namespace
}  // namespace vantrel::mpgfiltr

using namespace vantrel;
using namespace vantrel::com;

extern "C" {

__attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid != CLSID_MpegEncoderFilter) return CLASS_E_CLASSNOTAVAILABLE;
  return CreateAndQuery<ClassFactory>(iid, object, &mpgfiltr::CreateEncoderFilter, &mpgfiltr::ModuleLocks());
}

__attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return mpgfiltr::ModuleLocks().CanUnloadNow(); }

__attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  return RegisterInprocServer(CLSID_MpegEncoderFilter, "Vantrel MPEG Encoder",
                              ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer)), {}, "Both");
}

__attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  return UnregisterInprocServer(CLSID_MpegEncoderFilter);
}

}  // extern "C"
