// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/filter_base.h"

#include <algorithm>
#include <cstring>

namespace vantrel::media {

void CopyName(OLECHAR (&target)[128], const std::u16string& name) {
  size_t n = std::min<size_t>(name.size(), 127);
  std::memcpy(target, name.data(), n * sizeof(OLECHAR));
  target[n] = 0;
}

LPOLESTR TaskString(const std::u16string& text) {
  auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
  if (!copy) return nullptr;
  std::memcpy(copy, text.data(), text.size() * sizeof(OLECHAR));
  copy[text.size()] = 0;
  return copy;
}

std::u16string U16(LPCOLESTR text) { return text ? std::u16string(text) : std::u16string(); }

// ---- pins ----

PinBase::PinBase(FilterBase* owner, PIN_DIRECTION direction, std::u16string name)
    : owner_(owner), direction_(direction), name_(std::move(name)) {}

PinBase::~PinBase() = default;

HRESULT PinBase::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IPin) return Hand<IPin>(this, object);
  if (iid == IID_IMemInputPin && direction_ == PINDIR_INPUT) return Hand<IMemInputPin>(this, object);
  return E_NOINTERFACE;
}

ULONG PinBase::AddRef() { return owner_->AddRef(); }
ULONG PinBase::Release() { return owner_->Release(); }

namespace {

// The receiver's preferred types, when it names any.
std::vector<MediaType> PreferencesOf(IPin* receiver) {
  std::vector<MediaType> types;
  ComPtr<IEnumMediaTypes> e;
  if (FAILED(receiver->EnumMediaTypes(e.Put())) || !e) return types;
  AM_MEDIA_TYPE* type = nullptr;
  while (e->Next(1, &type, nullptr) == S_OK && type) {
    types.emplace_back(*type);
    FreeMediaType(*type);
    CoTaskMemFree(type);
    type = nullptr;
  }
  return types;
}

}  // namespace

HRESULT PinBase::Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) {
  if (!receiver) return E_POINTER;
  if (direction_ != PINDIR_OUTPUT) return E_UNEXPECTED;
  if (connected_) return VFW_E_ALREADY_CONNECTED;
  if (owner_->State() != State_Stopped) return VFW_E_NOT_STOPPED;
  // What the receiver prefers goes first, in its order; then the rest in ours.
  std::vector<MediaType> proposed = ProposedTypes(), ordered;
  for (const MediaType& preferred : PreferencesOf(receiver))
    for (const MediaType& type : proposed)
      if (MatchesPartial(preferred, type)) ordered.push_back(type);
  ordered.insert(ordered.end(), proposed.begin(), proposed.end());
  for (const MediaType& type : ordered) {
    if (mt && !MatchesPartial(*mt, type)) continue;
    if (receiver->ReceiveConnection(this, &type) != S_OK) continue;
    connected_ = receiver;
    mt_ = type;
    receiver->QueryInterface(IID_IMemInputPin, connectedInput_.PutVoid());
    HRESULT hr = OnConnected();
    if (FAILED(hr)) {
      receiver->Disconnect();
      Disconnect();
      return hr;
    }
    return S_OK;
  }
  return VFW_E_CANNOT_CONNECT;
}

HRESULT PinBase::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
  if (!connector || !mt) return E_POINTER;
  if (direction_ != PINDIR_INPUT) return E_UNEXPECTED;
  if (connected_) return VFW_E_ALREADY_CONNECTED;
  HRESULT hr = CheckMediaType(*mt);
  if (hr != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
  connected_ = connector;
  mt_ = *mt;
  hr = OnConnected();
  if (FAILED(hr)) {
    Disconnect();
    return hr;
  }
  return S_OK;
}

HRESULT PinBase::Disconnect() {
  if (!connected_) return S_FALSE;
  connected_.Reset();
  connectedInput_.Reset();
  FreeMediaType(mt_);
  OnDisconnected();
  return S_OK;
}

HRESULT PinBase::ConnectedTo(IPin** pin) {
  if (!pin) return E_POINTER;
  *pin = connected_.Get();
  if (!*pin) return VFW_E_NOT_CONNECTED;
  (*pin)->AddRef();
  return S_OK;
}

HRESULT PinBase::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
  if (!mt) return E_POINTER;
  *mt = AM_MEDIA_TYPE{};
  if (!connected_) return VFW_E_NOT_CONNECTED;
  return CopyMediaType(mt, &mt_);
}

HRESULT PinBase::QueryPinInfo(PIN_INFO* info) {
  if (!info) return E_POINTER;
  info->pFilter = owner_;
  owner_->AddRef();
  info->dir = direction_;
  CopyName(info->achName, name_);
  return S_OK;
}

HRESULT PinBase::QueryDirection(PIN_DIRECTION* direction) {
  if (!direction) return E_POINTER;
  *direction = direction_;
  return S_OK;
}

HRESULT PinBase::QueryId(LPOLESTR* id) {
  if (!id) return E_POINTER;
  *id = TaskString(name_);
  return *id ? S_OK : E_OUTOFMEMORY;
}

HRESULT PinBase::QueryAccept(const AM_MEDIA_TYPE* mt) {
  if (!mt) return E_POINTER;
  if (direction_ == PINDIR_INPUT) return CheckMediaType(*mt) == S_OK ? S_OK : S_FALSE;
  for (const MediaType& type : ProposedTypes())
    if (MatchesPartial(*mt, type)) return S_OK;
  return S_FALSE;
}

HRESULT PinBase::EndOfStream() {
  if (direction_ != PINDIR_INPUT) return E_UNEXPECTED;
  owner_->OnInputEndOfStream(this);
  return S_OK;
}

HRESULT PinBase::Receive(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  if (direction_ != PINDIR_INPUT || !connected_) return VFW_E_NOT_CONNECTED;
  if (owner_->State() == State_Stopped) return VFW_E_WRONG_STATE;
  return OnReceive(sample);
}

HRESULT PinBase::ReceiveMultiple(IMediaSample** samples, LONG count, LONG* done) {
  if (done) *done = 0;
  for (LONG i = 0; i < count; ++i) {
    HRESULT hr = Receive(samples[i]);
    if (hr != S_OK) return hr;
    if (done) ++*done;
  }
  return S_OK;
}

HRESULT PinBase::Deliver(IMediaSample* sample) {
  if (!connectedInput_) return VFW_E_NOT_CONNECTED;
  return connectedInput_->Receive(sample);
}

HRESULT PinBase::DeliverEndOfStream() {
  if (!connected_) return VFW_E_NOT_CONNECTED;
  return connected_->EndOfStream();
}

// ---- enumerators ----

namespace {

class MediaTypeEnumerator : public Object<IEnumMediaTypes> {
 public:
  explicit MediaTypeEnumerator(std::vector<MediaType> types) : types_(std::move(types)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IEnumMediaTypes) return Hand<IEnumMediaTypes>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT Next(ULONG count, AM_MEDIA_TYPE** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    for (; n < count && next_ < types_.size(); ++n, ++next_) {
      out[n] = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
      if (!out[n]) break;
      *out[n] = AM_MEDIA_TYPE{};
      CopyMediaType(out[n], &types_[next_]);
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    next_ = std::min(types_.size(), next_ + count);
    return next_ < types_.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override { next_ = 0; return S_OK; }
  HRESULT Clone(IEnumMediaTypes** copy) override {
    if (!copy) return E_POINTER;
    auto* c = new MediaTypeEnumerator(types_);
    c->next_ = next_;
    *copy = c;
    return S_OK;
  }

 private:
  std::vector<MediaType> types_;
  size_t next_ = 0;
};

class PinEnumerator : public Object<IEnumPins> {
 public:
  explicit PinEnumerator(std::vector<ComPtr<IPin>> pins) : pins_(std::move(pins)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IEnumPins) return Hand<IEnumPins>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT Next(ULONG count, IPin** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    for (; n < count && next_ < pins_.size(); ++n, ++next_) {
      out[n] = pins_[next_].Get();
      out[n]->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    next_ = std::min(pins_.size(), next_ + count);
    return next_ < pins_.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override { next_ = 0; return S_OK; }
  HRESULT Clone(IEnumPins** copy) override {
    if (!copy) return E_POINTER;
    auto* c = new PinEnumerator(pins_);
    c->next_ = next_;
    *copy = c;
    return S_OK;
  }

 private:
  std::vector<ComPtr<IPin>> pins_;
  size_t next_ = 0;
};

}  // namespace

HRESULT PinBase::EnumMediaTypes(IEnumMediaTypes** types) {
  if (!types) return E_POINTER;
  *types = nullptr;
  // An input pin names what it prefers; an output pin what it offers.
  std::vector<MediaType> preferred = PreferredTypes();
  if (preferred.empty()) preferred = ProposedTypes();
  if (preferred.empty()) return E_NOTIMPL;
  *types = new MediaTypeEnumerator(std::move(preferred));
  return S_OK;
}

// ---- filters ----

FilterBase::FilterBase(REFCLSID clsid) : clsid_(clsid) {}
FilterBase::~FilterBase() = default;

ULONG FilterBase::Release() {
  ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

HRESULT FilterBase::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IBaseFilter || iid == IID_IMediaFilter || iid == IID_IPersist)
    return Hand<IBaseFilter>(this, object);
  return E_NOINTERFACE;
}

HRESULT FilterBase::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

HRESULT FilterBase::Stop() {
  if (state_ == State_Stopped) return S_OK;
  OnStop();
  std::lock_guard lock(lock_);
  state_ = State_Stopped;
  return S_OK;
}

HRESULT FilterBase::Pause() {
  {
    std::lock_guard lock(lock_);
    if (state_ == State_Stopped) {
      endedInputs_.clear();
      completed_ = false;
    }
  }
  HRESULT hr = OnPause();
  if (FAILED(hr)) return hr;
  state_ = State_Paused;
  return S_OK;
}

HRESULT FilterBase::Run(REFERENCE_TIME) {
  if (state_ == State_Stopped) {
    HRESULT hr = Pause();
    if (FAILED(hr)) return hr;
  }
  state_ = State_Running;
  HRESULT hr = OnRun();
  if (FAILED(hr)) {
    state_ = State_Paused;
    return hr;
  }
  return S_OK;
}

HRESULT FilterBase::GetState(DWORD, FILTER_STATE* state) {
  if (!state) return E_POINTER;
  *state = state_;
  return S_OK;
}

HRESULT FilterBase::GetSyncSource(IReferenceClock** clock) {
  if (!clock) return E_POINTER;
  *clock = nullptr;
  return S_OK;
}

std::vector<PinBase*> FilterBase::Pins() {
  std::lock_guard lock(lock_);
  std::vector<PinBase*> pins;
  for (auto& pin : pins_) pins.push_back(pin.get());
  return pins;
}

HRESULT FilterBase::EnumPins(IEnumPins** pins) {
  if (!pins) return E_POINTER;
  std::vector<ComPtr<IPin>> list;
  for (PinBase* pin : Pins()) list.emplace_back(static_cast<IPin*>(pin));
  *pins = new PinEnumerator(std::move(list));
  return S_OK;
}

HRESULT FilterBase::FindPin(LPCOLESTR id, IPin** pin) {
  if (!id || !pin) return E_POINTER;
  *pin = nullptr;
  for (PinBase* p : Pins())
    if (p->Name() == id) return Hand<IPin>(p, reinterpret_cast<void**>(pin));
  return Code(0x80040216);  // VFW_E_NOT_FOUND
}

HRESULT FilterBase::QueryFilterInfo(FILTER_INFO* info) {
  if (!info) return E_POINTER;
  CopyName(info->achName, name_);
  info->pGraph = graph_;
  if (graph_) graph_->AddRef();
  return S_OK;
}

HRESULT FilterBase::JoinFilterGraph(IFilterGraph* graph, LPCOLESTR name) {
  std::lock_guard lock(lock_);
  graph_ = graph;
  name_ = U16(name);
  sink_ = nullptr;
  if (graph) {
    // Not kept as a reference: the graph owns the filter, not the other way round.
    IMediaEventSink* sink = nullptr;
    if (SUCCEEDED(graph->QueryInterface(IID_IMediaEventSink, reinterpret_cast<void**>(&sink))) && sink) {
      sink_ = sink;
      sink->Release();
    }
  }
  return S_OK;
}

void FilterBase::NotifyEvent(LONG code, LONG_PTR param1, LONG_PTR param2) {
  IMediaEventSink* sink;
  {
    std::lock_guard lock(lock_);
    sink = sink_;
  }
  if (sink) sink->Notify(code, param1, param2);
}

void FilterBase::OnInputEndOfStream(PinBase* pin) {
  std::vector<PinBase*> outputs;
  size_t connectedInputs = 0;
  bool complete = false;
  {
    std::lock_guard lock(lock_);
    for (auto& p : pins_) {
      if (!p->IsConnected()) continue;
      if (p->Direction() == PINDIR_OUTPUT) outputs.push_back(p.get());
      else ++connectedInputs;
    }
    if (std::find(endedInputs_.begin(), endedInputs_.end(), pin) == endedInputs_.end())
      endedInputs_.push_back(pin);
    if (outputs.empty() && !completed_ && endedInputs_.size() >= connectedInputs) {
      completed_ = true;
      complete = true;
    }
  }
  for (PinBase* out : outputs) out->DeliverEndOfStream();
  if (complete) NotifyEvent(EC_COMPLETE, S_OK, 0);
}

void FilterBase::AddPin(PinBase* pin) {
  std::lock_guard lock(lock_);
  pins_.emplace_back(pin);
}

void FilterBase::RemovePins() {
  std::lock_guard lock(lock_);
  pins_.clear();
}

// ---- samples ----

SampleBuffer SampleBufferPool::Take(size_t capacity) {
  std::vector<SampleBuffer> stale;  // let go of outside the lock
  {
    std::lock_guard lock(mutex_);
    for (auto it = free_.rbegin(); it != free_.rend(); ++it) {
      if (it->size() != capacity) continue;
      SampleBuffer buffer = std::move(*it);
      free_.erase(std::next(it).base());
      return buffer;
    }
    stale.swap(free_);
  }
  return SampleBuffer(capacity);
}

void SampleBufferPool::Give(SampleBuffer buffer) {
  std::lock_guard lock(mutex_);
  if (free_.size() < keep_) free_.push_back(std::move(buffer));
}

MediaSample::MediaSample(LentPlanes picture) : lent_(std::move(picture)) {}

HRESULT MediaSample::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IMediaSample) return Hand<IMediaSample>(this, object);
  if (iid == IID_IPlanarSample && lent_.owner) return Hand<IPlanarSample>(this, object);
  return E_NOINTERFACE;
}

size_t MediaSample::Capacity() const {
  return lent_.owner ? I420Size(lent_.width, lent_.height) : data_.size();
}

HRESULT MediaSample::GetPointer(BYTE** buffer) {
  if (!buffer) return E_POINTER;
  if (lent_.owner) {
    // Packed once, for a consumer that reads the picture as its media type says.
    std::call_once(packed_, [this] {
      data_.resize(Capacity());
      BYTE* to = data_.data();
      for (int plane = 0; plane < 3; ++plane) {
        const int width = plane ? (lent_.width + 1) / 2 : lent_.width;
        const int height = plane ? (lent_.height + 1) / 2 : lent_.height;
        for (int row = 0; row < height; ++row, to += width)
          std::copy_n(lent_.planes[plane] + std::ptrdiff_t(row) * lent_.strides[plane], width, to);
      }
    });
  }
  *buffer = data_.data();
  return S_OK;
}

HRESULT MediaSample::GetPlanes(const BYTE* planes[3], LONG strides[3]) {
  if (!planes || !strides) return E_POINTER;
  if (!lent_.owner) return E_NOTIMPL;
  for (int plane = 0; plane < 3; ++plane) {
    planes[plane] = lent_.planes[plane];
    strides[plane] = lent_.strides[plane];
  }
  return S_OK;
}

HRESULT MediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
  if (!start || !end) return E_POINTER;
  if (!haveTime_) return Code(0x80040249);  // VFW_E_SAMPLE_TIME_NOT_SET
  *start = start_;
  *end = end_;
  return S_OK;
}

HRESULT MediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
  haveTime_ = start != nullptr;
  if (start) start_ = *start;
  end_ = end ? *end : start_ + 1;
  return S_OK;
}

HRESULT MediaSample::SetActualDataLength(LONG length) {
  if (length < 0 || size_t(length) > Capacity()) return E_INVALIDARG;
  length_ = length;
  return S_OK;
}

}  // namespace vantrel::media
