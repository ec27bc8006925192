// SPDX-License-Identifier: GPL-3.0-or-later
// The filter graph manager: holds the filters, connects and renders pins (putting a
// decoding source behind a file source where needed), runs and stops the filters, and
// queues their events. Completion is counted: the graph reports EC_COMPLETE once every
// filter that ends a stream (connected inputs, no connected outputs) has sent its own.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>

#include "platform/media/media_time_seeking.h"
#include "platform/com/bstr.h"
#include "platform/media/filter_base.h"
#include "platform/media/filters.h"
#include "platform/window/window.h"

namespace vantrel::media {
namespace {

struct GraphEvent {
  LONG code;
  LONG_PTR param1, param2;
};

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter) {
  std::vector<ComPtr<IPin>> pins;
  ComPtr<IEnumPins> e;
  if (FAILED(filter->EnumPins(e.Put()))) return pins;
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) pins.push_back(ComPtr<IPin>::Attach(pin));
  return pins;
}

PIN_DIRECTION DirectionOf(IPin* pin) {
  PIN_DIRECTION d = PINDIR_INPUT;
  pin->QueryDirection(&d);
  return d;
}

bool IsConnected(IPin* pin) {
  ComPtr<IPin> other;
  return SUCCEEDED(pin->ConnectedTo(other.Put()));
}

ComPtr<IBaseFilter> OwnerOf(IPin* pin) {
  PIN_INFO info;
  if (FAILED(pin->QueryPinInfo(&info))) return {};
  return ComPtr<IBaseFilter>::Attach(info.pFilter);
}

bool CarriesFile(IPin* out) {
  AM_MEDIA_TYPE stream{};
  stream.majortype = MEDIATYPE_Stream;
  return out->QueryAccept(&stream) == S_OK;
}

class FilterGraph final : public IGraphBuilder,
                    public IMediaControl,
                    public IMediaEventEx,
                    public MediaTimeSeeking,
                    public IVideoWindow,
                    public IMediaEventSink {
 public:
  ~FilterGraph() {
    Stop();
    std::vector<Entry> filters;
    {
      std::lock_guard lock(lock_);
      filters.swap(filters_);
    }
    for (auto& entry : filters)
      for (auto& pin : PinsOf(entry.filter.Get())) pin->Disconnect();
    for (auto& entry : filters) entry.filter->JoinFilterGraph(nullptr, nullptr);
  }

  // ---- IUnknown ----
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IFilterGraph || iid == IID_IGraphBuilder)
      return Hand<IGraphBuilder>(this, object);
    if (iid == IID_IMediaControl) return Hand<IMediaControl>(this, object);
    if (iid == IID_IMediaEvent || iid == IID_IMediaEventEx) return Hand<IMediaEventEx>(this, object);
    if (iid == IID_IMediaSeeking) return Hand<IMediaSeeking>(this, object);
    if (iid == IID_IVideoWindow) return Hand<IVideoWindow>(this, object);
    if (iid == IID_IMediaEventSink) return Hand<IMediaEventSink>(this, object);
    return E_NOINTERFACE;
  }

  // ---- IDispatch (the automation faces are not used by late binding here) ----
  HRESULT GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // ---- IFilterGraph ----
  HRESULT AddFilter(IBaseFilter* filter, LPCOLESTR name) override {
    if (!filter) return E_POINTER;
    std::u16string unique;
    {
      std::lock_guard lock(lock_);
      for (auto& e : filters_)
        if (e.filter.Get() == filter) return Code(0x80040251);  // VFW_E_DUPLICATE_NAME
      unique = UniqueName(U16(name));
      filters_.push_back(Entry{filter, unique});
    }
    HRESULT hr = filter->JoinFilterGraph(this, unique.c_str());
    if (FAILED(hr)) {
      std::lock_guard lock(lock_);
      std::erase_if(filters_, [&](const Entry& e) { return e.filter.Get() == filter; });
      return hr;
    }
    return S_OK;
  }
  HRESULT RemoveFilter(IBaseFilter* filter) override {
    if (!filter) return E_POINTER;
    ComPtr<IBaseFilter> keep;
    {
      std::lock_guard lock(lock_);
      auto it = std::find_if(filters_.begin(), filters_.end(),
                             [&](const Entry& e) { return e.filter.Get() == filter; });
      if (it == filters_.end()) return VFW_E_NOT_IN_GRAPH;
      keep = it->filter;
      filters_.erase(it);
    }
    keep->Stop();
    for (auto& pin : PinsOf(keep.Get())) {
      ComPtr<IPin> other;
      if (SUCCEEDED(pin->ConnectedTo(other.Put()))) other->Disconnect();
      pin->Disconnect();
    }
    keep->JoinFilterGraph(nullptr, nullptr);
    return S_OK;
  }
  HRESULT EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
  HRESULT FindFilterByName(LPCOLESTR name, IBaseFilter** filter) override {
    if (!name || !filter) return E_POINTER;
    *filter = nullptr;
    std::lock_guard lock(lock_);
    for (auto& e : filters_)
      if (e.name == name) return Hand<IBaseFilter>(e.filter.Get(), reinterpret_cast<void**>(filter));
    return Code(0x80040216);  // VFW_E_NOT_FOUND
  }
  HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) override {
    if (!out || !in) return E_POINTER;
    if (state_ != State_Stopped) return VFW_E_NOT_STOPPED;
    if (DirectionOf(out) != PINDIR_OUTPUT || DirectionOf(in) != PINDIR_INPUT)
      return Code(0x80040206);  // VFW_E_INVALID_DIRECTION
    return out->Connect(in, mt);
  }
  HRESULT Reconnect(IPin*) override { return E_NOTIMPL; }
  HRESULT Disconnect(IPin* pin) override {
    if (!pin) return E_POINTER;
    return pin->Disconnect();
  }
  HRESULT SetDefaultSyncSource() override { return S_OK; }

  // ---- IGraphBuilder ----
  HRESULT Connect(IPin* out, IPin* in) override {
    HRESULT hr = ConnectDirect(out, in, nullptr);
    if (SUCCEEDED(hr) || hr == VFW_E_NOT_STOPPED || !out || !in || !CarriesFile(out)) return hr;
    ComPtr<IBaseFilter> decoder;
    hr = DecoderBehind(out, decoder);
    if (FAILED(hr)) return hr;
    for (auto& pin : PinsOf(decoder.Get())) {
      if (DirectionOf(pin.Get()) != PINDIR_OUTPUT || IsConnected(pin.Get())) continue;
      if (SUCCEEDED(pin->Connect(in, nullptr))) return S_OK;
    }
    DropIfUnused(decoder.Get());
    return VFW_E_CANNOT_CONNECT;
  }
  HRESULT Render(IPin* out) override {
    if (!out) return E_POINTER;
    if (DirectionOf(out) != PINDIR_OUTPUT) return Code(0x80040206);
    if (IsConnected(out)) return VFW_E_ALREADY_CONNECTED;
    if (CarriesFile(out)) {
      ComPtr<IBaseFilter> decoder;
      HRESULT hr = DecoderBehind(out, decoder);
      if (FAILED(hr)) return hr;
      bool any = false;
      for (auto& pin : PinsOf(decoder.Get()))
        if (DirectionOf(pin.Get()) == PINDIR_OUTPUT && !IsConnected(pin.Get()))
          any = SUCCEEDED(Render(pin.Get())) || any;
      return any ? S_OK : VFW_E_CANNOT_RENDER;
    }
    ComPtr<IBaseFilter> renderer;
    HRESULT hr = CreateNullRenderer(IID_IBaseFilter, renderer.PutVoid());
    if (FAILED(hr)) return hr;
    AddFilter(renderer.Get(), u"Null Renderer");
    for (auto& pin : PinsOf(renderer.Get()))
      if (DirectionOf(pin.Get()) == PINDIR_INPUT && SUCCEEDED(ConnectDirect(out, pin.Get(), nullptr)))
        return S_OK;
    RemoveFilter(renderer.Get());
    return VFW_E_CANNOT_RENDER;
  }
  HRESULT RenderFile(LPCOLESTR file, LPCOLESTR) override {
    ComPtr<IBaseFilter> source;
    HRESULT hr = AddSourceFilter(file, nullptr, source.Put());
    if (FAILED(hr)) return hr;
    bool any = false;
    for (auto& pin : PinsOf(source.Get()))
      if (DirectionOf(pin.Get()) == PINDIR_OUTPUT) any = SUCCEEDED(Render(pin.Get())) || any;
    return any ? S_OK : VFW_E_CANNOT_RENDER;
  }
  HRESULT AddSourceFilter(LPCOLESTR file, LPCOLESTR name, IBaseFilter** filter) override {
    if (!file || !filter) return E_POINTER;
    *filter = nullptr;
    ComPtr<IBaseFilter> source;
    HRESULT hr = CreateDecodingSource(IID_IBaseFilter, source.PutVoid());
    if (FAILED(hr)) return hr;
    ComPtr<IFileSourceFilter> loader;
    source.As(IID_IFileSourceFilter, loader);
    hr = loader->Load(file, nullptr);
    if (FAILED(hr)) return hr;
    hr = AddFilter(source.Get(), name ? name : file);
    if (FAILED(hr)) return hr;
    *filter = source.Detach();
    return S_OK;
  }
  HRESULT SetLogFile(std::uintptr_t) override { return S_OK; }
  HRESULT Abort() override { return S_OK; }
  HRESULT ShouldOperationContinue() override { return S_OK; }

  // ---- IMediaControl ----
  HRESULT Run() override {
    auto filters = Filters();
    if (state_ == State_Stopped) BeginStreaming(filters);
    for (auto& f : filters) {
      HRESULT hr = f->Pause();
      if (FAILED(hr)) {
        Stop();
        return hr;
      }
    }
    // Downstream filters run first, so the first sample finds them ready.
    std::stable_sort(filters.begin(), filters.end(), [](const auto& a, const auto& b) {
      return !IsSource(a.Get()) && IsSource(b.Get());
    });
    state_ = State_Running;
    for (auto& f : filters) {
      HRESULT hr = f->Run(0);
      if (FAILED(hr)) {
        Stop();
        return hr;
      }
    }
    bool nothingToWaitFor;
    {
      std::lock_guard lock(eventLock_);
      nothingToWaitFor = renderers_ == 0 && !completed_;
    }
    if (nothingToWaitFor) Notify(EC_COMPLETE, S_OK, 0);
    return S_OK;
  }
  HRESULT Pause() override {
    auto filters = Filters();
    if (state_ == State_Stopped) BeginStreaming(filters);
    for (auto& f : filters) {
      HRESULT hr = f->Pause();
      if (FAILED(hr)) return hr;
    }
    state_ = State_Paused;
    return S_OK;
  }
  HRESULT Stop() override {
    auto filters = Filters();
    // Sources first: their streaming threads end before anything downstream stops.
    std::stable_sort(filters.begin(), filters.end(), [](const auto& a, const auto& b) {
      return IsSource(a.Get()) && !IsSource(b.Get());
    });
    for (auto& f : filters) f->Stop();
    state_ = State_Stopped;
    eventChanged_.notify_all();
    return S_OK;
  }
  HRESULT GetState(LONG, OAFilterState* state) override {
    if (!state) return E_POINTER;
    *state = state_;
    return S_OK;
  }
  HRESULT RenderFile(BSTR file) override { return RenderFile(file, nullptr); }
  HRESULT AddSourceFilter(BSTR, IDispatch**) override { return E_NOTIMPL; }
  HRESULT get_FilterCollection(IDispatch**) override { return E_NOTIMPL; }
  HRESULT get_RegFilterCollection(IDispatch**) override { return E_NOTIMPL; }
  HRESULT StopWhenReady() override { return Stop(); }

  // ---- IMediaEventSink: filters report here, from any thread ----
  HRESULT Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override {
    std::unique_lock lock(eventLock_);
    if (code == EC_COMPLETE) {
      if (completed_ || ++completions_ < renderers_) return S_OK;
    }
    if (code == EC_COMPLETE || code == EC_USERABORT || code == EC_ERRORABORT) {
      if (!completed_) {
        completed_ = true;
        completionCode_ = code;
      }
    }
    events_.push_back(GraphEvent{code, param1, param2});
    window::HWND hwnd = notifyWindow_;
    LONG message = notifyMessage_;
    LONG_PTR instance = notifyInstance_;
    bool post = hwnd && !(notifyFlags_ & AM_MEDIAEVENT_NONOTIFY);
    lock.unlock();
    eventChanged_.notify_all();
    if (post) window::PostMessage(hwnd, window::UINT(message), 0, instance);
    return S_OK;
  }

  // ---- IMediaEventEx ----
  HRESULT GetEventHandle(LONG_PTR*) override { return E_NOTIMPL; }
  HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeoutMs) override {
    if (!code || !param1 || !param2) return E_POINTER;
    std::unique_lock lock(eventLock_);
    auto ready = [&] { return !events_.empty(); };
    if (timeoutMs < 0) eventChanged_.wait(lock, ready);
    else eventChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    if (events_.empty()) {
      *code = 0;
      return E_ABORT;
    }
    GraphEvent e = events_.front();
    events_.pop_front();
    *code = e.code;
    *param1 = e.param1;
    *param2 = e.param2;
    return S_OK;
  }
  HRESULT WaitForCompletion(LONG timeoutMs, LONG* code) override {
    if (!code) return E_POINTER;
    *code = 0;
    std::unique_lock lock(eventLock_);
    // A graph that is not running never completes: say so rather than wait for ever.
    auto ready = [&] { return completed_ || state_ == State_Stopped; };
    if (timeoutMs < 0) eventChanged_.wait(lock, ready);
    else eventChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    if (completed_) {
      *code = completionCode_;
      return S_OK;
    }
    return state_ == State_Stopped ? VFW_E_WRONG_STATE : E_ABORT;
  }
  HRESULT CancelDefaultHandling(LONG) override { return S_OK; }
  HRESULT RestoreDefaultHandling(LONG) override { return S_OK; }
  HRESULT FreeEventParams(LONG, LONG_PTR, LONG_PTR) override { return S_OK; }  // no owned params
  HRESULT SetNotifyWindow(OAHWND hwnd, LONG message, LONG_PTR instance) override {
    std::lock_guard lock(eventLock_);
    notifyWindow_ = window::HWND(hwnd);
    notifyMessage_ = message;
    notifyInstance_ = instance;
    return S_OK;
  }
  HRESULT SetNotifyFlags(LONG flags) override {
    std::lock_guard lock(eventLock_);
    notifyFlags_ = flags;
    return S_OK;
  }
  HRESULT GetNotifyFlags(LONG* flags) override {
    if (!flags) return E_POINTER;
    std::lock_guard lock(eventLock_);
    *flags = notifyFlags_;
    return S_OK;
  }

  // ---- IMediaSeeking: passed to the filters that seek (the sources) ----
  HRESULT GetCapabilities(DWORD* caps) override {
    if (!caps) return E_POINTER;
    *caps = 0;
    for (auto& s : Seekers()) {
      DWORD c = 0;
      s->GetCapabilities(&c);
      *caps |= c;
    }
    return S_OK;
  }
  HRESULT GetDuration(LONGLONG* d) override { return Longest(d, &IMediaSeeking::GetDuration); }
  HRESULT GetStopPosition(LONGLONG* s) override { return Longest(s, &IMediaSeeking::GetStopPosition); }
  HRESULT GetCurrentPosition(LONGLONG* c) override {
    return Longest(c, &IMediaSeeking::GetCurrentPosition);
  }
  HRESULT ConvertTimeFormat(LONGLONG* target, const GUID*, LONGLONG source, const GUID*) override {
    if (!target) return E_POINTER;
    *target = source;
    return S_OK;
  }
  HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override {
    auto seekers = Seekers();
    if (seekers.empty()) return E_NOTIMPL;
    // A running graph is stopped, moved and started again, as a seek while playing is.
    bool wasRunning = state_ == State_Running;
    if (state_ != State_Stopped) Stop();
    HRESULT result = S_OK;
    for (auto& s : seekers) {
      HRESULT hr = s->SetPositions(current, currentFlags, stop, stopFlags);
      if (FAILED(hr)) result = hr;
    }
    if (wasRunning) Run();
    return result;
  }
  HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override {
    if (current) GetCurrentPosition(current);
    if (stop) GetStopPosition(stop);
    return S_OK;
  }
  HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override {
    if (earliest) *earliest = 0;
    if (latest) GetDuration(latest);
    return S_OK;
  }
  HRESULT SetRate(double rate) override { return SetNormalRateOnly(rate); }
  HRESULT GetRate(double* rate) override { return AnswerNormalRate(rate); }
  HRESULT GetPreroll(LONGLONG* preroll) override { return AnswerNoPreroll(preroll); }

  // ---- IVideoWindow: there is no window; the settings are kept and reported ----
  HRESULT put_Caption(BSTR) override { return S_OK; }
  HRESULT get_Caption(BSTR* c) override {
    if (!c) return E_POINTER;
    *c = nullptr;
    return S_OK;
  }
  HRESULT put_WindowStyle(LONG) override { return S_OK; }
  HRESULT get_WindowStyle(LONG* s) override { if (!s) return E_POINTER; *s = 0; return S_OK; }
  HRESULT put_WindowStyleEx(LONG) override { return S_OK; }
  HRESULT get_WindowStyleEx(LONG* s) override { if (!s) return E_POINTER; *s = 0; return S_OK; }
  HRESULT put_AutoShow(LONG autoShow) override {
    autoShow_ = autoShow;
    return S_OK;
  }
  HRESULT get_AutoShow(LONG* autoShow) override {
    if (!autoShow) return E_POINTER;
    *autoShow = autoShow_;
    return S_OK;
  }

 private:
  struct Entry {
    ComPtr<IBaseFilter> filter;
    std::u16string name;
  };

  static bool IsSource(IBaseFilter* f) {
    for (auto& pin : PinsOf(f))
      if (DirectionOf(pin.Get()) == PINDIR_INPUT && IsConnected(pin.Get())) return false;
    return true;
  }
  static bool FeedsOthers(IBaseFilter* f) {
    for (auto& pin : PinsOf(f))
      if (DirectionOf(pin.Get()) == PINDIR_OUTPUT && IsConnected(pin.Get())) return true;
    return false;
  }
  static bool EndsStreams(IBaseFilter* f) {
    bool input = false;
    for (auto& pin : PinsOf(f)) {
      if (!IsConnected(pin.Get())) continue;
      if (DirectionOf(pin.Get()) == PINDIR_OUTPUT) return false;
      input = true;
    }
    return input;
  }

  // Leaving the stopped state: count the filters whose completion the graph waits for.
  void BeginStreaming(const std::vector<ComPtr<IBaseFilter>>& filters) {
    std::lock_guard lock(eventLock_);
    renderers_ = 0;
    completions_ = 0;
    completed_ = false;
    completionCode_ = 0;
    for (auto& f : filters)
      if (EndsStreams(f.Get())) ++renderers_;
  }

  std::u16string UniqueName(std::u16string name) {
    auto taken = [&](const std::u16string& n) {
      return std::any_of(filters_.begin(), filters_.end(), [&](const Entry& e) { return e.name == n; });
    };
    if (!taken(name)) return name;
    for (int i = 1;; ++i) {
      char suffix[16];
      std::snprintf(suffix, sizeof suffix, " %04d", i);
      std::u16string candidate = name;
      for (const char* c = suffix; *c; ++c) candidate += char16_t(*c);
      if (!taken(candidate)) return candidate;
    }
  }

  std::vector<ComPtr<IBaseFilter>> Filters() {
    std::lock_guard lock(lock_);
    std::vector<ComPtr<IBaseFilter>> list;
    for (auto& e : filters_) list.push_back(e.filter);
    return list;
  }

  std::vector<ComPtr<IMediaSeeking>> Seekers() {
    std::vector<ComPtr<IMediaSeeking>> list;
    for (auto& f : Filters()) {
      ComPtr<IMediaSeeking> s;
      // The filters that produce streams seek; a sink that also reports positions
      // (the encoder) is asked for them by its own users.
      if (FeedsOthers(f.Get()) && SUCCEEDED(f.As(IID_IMediaSeeking, s))) list.push_back(s);
    }
    return list;
  }

  HRESULT Longest(LONGLONG* out, HRESULT (IMediaSeeking::*get)(LONGLONG*)) {
    if (!out) return E_POINTER;
    *out = 0;
    auto seekers = Seekers();
    if (seekers.empty()) return E_NOTIMPL;
    for (auto& s : seekers) {
      LONGLONG v = 0;
      if (SUCCEEDED((s.Get()->*get)(&v))) *out = std::max(*out, v);
    }
    return S_OK;
  }

  // The decoding source fed by a file source's stream pin: the one already there, or a
  // new one added to the graph.
  HRESULT DecoderBehind(IPin* out, ComPtr<IBaseFilter>& decoder) {
    ComPtr<IPin> downstream;
    if (SUCCEEDED(out->ConnectedTo(downstream.Put()))) {
      decoder = OwnerOf(downstream.Get());
      return decoder ? S_OK : E_FAIL;
    }
    HRESULT hr = CreateDecodingSource(IID_IBaseFilter, decoder.PutVoid());
    if (FAILED(hr)) return hr;
    hr = AddFilter(decoder.Get(), u"Decoder");
    if (FAILED(hr)) return hr;
    for (auto& pin : PinsOf(decoder.Get())) {
      if (DirectionOf(pin.Get()) != PINDIR_INPUT) continue;
      hr = ConnectDirect(out, pin.Get(), nullptr);
      if (SUCCEEDED(hr)) return S_OK;
    }
    RemoveFilter(decoder.Get());
    decoder.Reset();
    return VFW_E_CANNOT_CONNECT;
  }

  void DropIfUnused(IBaseFilter* decoder) {
    for (auto& pin : PinsOf(decoder))
      if (DirectionOf(pin.Get()) == PINDIR_OUTPUT && IsConnected(pin.Get())) return;
    RemoveFilter(decoder);
  }

  std::atomic<ULONG> refs_{1};
  std::mutex lock_;
  std::vector<Entry> filters_;
  std::atomic<OAFilterState> state_{State_Stopped};
  LONG autoShow_ = -1;

  std::mutex eventLock_;
  std::condition_variable eventChanged_;
  std::deque<GraphEvent> events_;
  int renderers_ = 0, completions_ = 0;
  bool completed_ = false;
  LONG completionCode_ = 0;
  window::HWND notifyWindow_ = 0;
  LONG notifyMessage_ = 0;
  LONG_PTR notifyInstance_ = 0;
  LONG notifyFlags_ = 0;
};

}  // namespace

HRESULT CreateFilterGraph(REFIID iid, void** object) { return CreateAndQuery<FilterGraph>(iid, object); }

}  // namespace vantrel::media
