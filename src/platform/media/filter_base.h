// SPDX-License-Identifier: GPL-3.0-or-later
// Common ground of the built-in filters: pins that negotiate a media type and pass samples,
// a filter that owns its pins and knows its graph, and the sample record. Pins take their
// references from their filter, so a filter and its pins live and die together.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/com/object.h"
#include "platform/media/interfaces.h"
#include "platform/media/media_type.h"

namespace vantrel::media {

class FilterBase;

class PinBase : public IPin, public IMemInputPin {
 public:
  PinBase(FilterBase* owner, PIN_DIRECTION direction, std::u16string name);
  virtual ~PinBase();

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // IPin
  HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;
  HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
  HRESULT Disconnect() override;
  HRESULT ConnectedTo(IPin** pin) override;
  HRESULT ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
  HRESULT QueryPinInfo(PIN_INFO* info) override;
  HRESULT QueryDirection(PIN_DIRECTION* direction) override;
  HRESULT QueryId(LPOLESTR* id) override;
  HRESULT QueryAccept(const AM_MEDIA_TYPE* mt) override;
  // The pin's PreferredTypes, else the types it proposes; E_NOTIMPL for a pin with neither.
  HRESULT EnumMediaTypes(IEnumMediaTypes** types) override;
  HRESULT QueryInternalConnections(IPin**, ULONG*) override { return E_NOTIMPL; }
  HRESULT EndOfStream() override;
  HRESULT BeginFlush() override { return S_OK; }
  HRESULT EndFlush() override { return S_OK; }
  HRESULT NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

  // IMemInputPin (input pins)
  HRESULT GetAllocator(IMemAllocator**) override { return VFW_E_NO_ALLOCATOR; }
  HRESULT NotifyAllocator(IMemAllocator*, BOOL) override { return S_OK; }
  HRESULT GetAllocatorRequirements(void*) override { return E_NOTIMPL; }
  HRESULT Receive(IMediaSample* sample) override;
  HRESULT ReceiveMultiple(IMediaSample** samples, LONG count, LONG* done) override;
  HRESULT ReceiveCanBlock() override { return S_FALSE; }

  bool IsConnected() const { return bool(connected_); }
  const MediaType& Type() const { return mt_; }
  const std::u16string& Name() const { return name_; }
  PIN_DIRECTION Direction() const { return direction_; }
  // Output pins: hand a sample or the end of the stream to the connected input pin.
  HRESULT Deliver(IMediaSample* sample);
  HRESULT DeliverEndOfStream();

 protected:
  // Output pins: the types offered, best first.
  virtual std::vector<MediaType> ProposedTypes() { return {}; }
  // Input pins: types (major and subtype suffice) tried before the sender's own order.
  virtual std::vector<MediaType> PreferredTypes() { return {}; }
  // Input pins: whether a proposed type is taken.
  virtual HRESULT CheckMediaType(const AM_MEDIA_TYPE&) { return VFW_E_TYPE_NOT_ACCEPTED; }
  virtual HRESULT OnConnected() { return S_OK; }
  virtual void OnDisconnected() {}
  virtual HRESULT OnReceive(IMediaSample*) { return S_OK; }

  FilterBase* owner_;

 private:
  PIN_DIRECTION direction_;
  std::u16string name_;
  ComPtr<IPin> connected_;
  ComPtr<IMemInputPin> connectedInput_;
  MediaType mt_;
};

class FilterBase : public IBaseFilter {
 public:
  explicit FilterBase(REFCLSID clsid);
  virtual ~FilterBase();

  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override;
  HRESULT QueryInterface(REFIID iid, void** object) override;

  HRESULT GetClassID(CLSID* clsid) override;
  HRESULT Stop() override;
  HRESULT Pause() override;
  HRESULT Run(REFERENCE_TIME start) override;
  HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) override;
  HRESULT SetSyncSource(IReferenceClock*) override { return S_OK; }
  HRESULT GetSyncSource(IReferenceClock** clock) override;
  HRESULT EnumPins(IEnumPins** pins) override;
  HRESULT FindPin(LPCOLESTR id, IPin** pin) override;
  HRESULT QueryFilterInfo(FILTER_INFO* info) override;
  HRESULT JoinFilterGraph(IFilterGraph* graph, LPCOLESTR name) override;
  HRESULT QueryVendorInfo(LPOLESTR*) override { return E_NOTIMPL; }

  // Reports to the graph's event sink (nothing when outside a graph).
  void NotifyEvent(LONG code, LONG_PTR param1 = 0, LONG_PTR param2 = 0);
  // An input pin saw the end of its stream: forwarded downstream, or, for a filter that
  // ends streams (no connected output), EC_COMPLETE once every connected input ended.
  virtual void OnInputEndOfStream(PinBase* pin);
  FILTER_STATE State() const { return state_; }
  std::vector<PinBase*> Pins();

 protected:
  virtual HRESULT OnRun() { return S_OK; }
  virtual HRESULT OnPause() { return S_OK; }
  virtual void OnStop() {}
  void AddPin(PinBase* pin);  // takes ownership
  void RemovePins();          // only when stopped and disconnected

  std::recursive_mutex lock_;

 private:
  std::atomic<ULONG> refs_{1};
  CLSID clsid_;
  std::atomic<FILTER_STATE> state_{State_Stopped};
  IFilterGraph* graph_ = nullptr;  // not held: the graph holds its filters
  IMediaEventSink* sink_ = nullptr;
  std::u16string name_;
  std::vector<std::unique_ptr<PinBase>> pins_;
  std::vector<PinBase*> endedInputs_;
  bool completed_ = false;
};

// Leaves new elements uninitialised: a sample's buffer is always written before it is read,
// and zeroing a picture-sized buffer per sample costs as much as filling it.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) {}
  template <class U>
  void construct(U* p) {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};
using SampleBuffer = std::vector<BYTE, UninitialisedAllocator<BYTE>>;

// Buffers for the samples one sender makes, each back in the pool once its sample's last
// holder let go of it: a picture-sized buffer made afresh for every sample costs the
// allocator's trimming and a page fault per 4 KiB each time.
class SampleBufferPool {
 public:
  explicit SampleBufferPool(size_t keep) : keep_(keep) {}
  // A buffer of `capacity` bytes, contents undefined. Kept buffers of another size are
  // let go: the sender's format changed.
  SampleBuffer Take(size_t capacity);
  void Give(SampleBuffer buffer);

 private:
  std::mutex mutex_;
  std::vector<SampleBuffer> free_;
  const size_t keep_;
};

// A 4:2:0 picture lent plane by plane, its rows `strides` bytes apart; `owner` keeps the
// planes alive.
struct LentPlanes {
  std::shared_ptr<const void> owner;
  const BYTE* planes[3] = {};
  LONG strides[3] = {};
  int width = 0, height = 0;
};

// A sample with its own buffer, one lent by a pool, or a lent picture.
class MediaSample : public Object<IMediaSample, IPlanarSample> {
 public:
  explicit MediaSample(size_t capacity) : data_(capacity) {}
  MediaSample(size_t capacity, std::shared_ptr<SampleBufferPool> pool)
      : data_(pool->Take(capacity)), pool_(std::move(pool)) {}
  // A consumer that reads planes (IPlanarSample) takes the picture as it is; any other is
  // given it packed into the sample's own buffer when it first asks for the pointer.
  explicit MediaSample(LentPlanes picture);
  ~MediaSample() override {
    if (pool_) pool_->Give(std::move(data_));
  }
  HRESULT QueryInterface(REFIID iid, void** object) override;
  HRESULT GetPointer(BYTE** buffer) override;
  LONG GetSize() override { return LONG(Capacity()); }
  HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
  HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) override;
  HRESULT IsSyncPoint() override { return sync_ ? S_OK : S_FALSE; }
  HRESULT SetSyncPoint(BOOL sync) override { sync_ = sync; return S_OK; }
  HRESULT IsPreroll() override { return S_FALSE; }
  HRESULT SetPreroll(BOOL) override { return S_OK; }
  LONG GetActualDataLength() override { return length_; }
  HRESULT SetActualDataLength(LONG length) override;
  HRESULT GetMediaType(AM_MEDIA_TYPE** mt) override { *mt = nullptr; return S_FALSE; }
  HRESULT SetMediaType(AM_MEDIA_TYPE*) override { return E_NOTIMPL; }
  HRESULT IsDiscontinuity() override { return discontinuity_ ? S_OK : S_FALSE; }
  HRESULT SetDiscontinuity(BOOL d) override { discontinuity_ = d; return S_OK; }
  HRESULT GetMediaTime(LONGLONG*, LONGLONG*) override { return VFW_E_WRONG_STATE; }
  HRESULT SetMediaTime(LONGLONG*, LONGLONG*) override { return S_OK; }
  SampleBuffer& Data() { return data_; }
  HRESULT GetPlanes(const BYTE* planes[3], LONG strides[3]) override;

 private:
  size_t Capacity() const;
  SampleBuffer data_;
  LentPlanes lent_;
  std::once_flag packed_;  // a lent picture's packed copy is made
  std::shared_ptr<SampleBufferPool> pool_;
  LONG length_ = 0;
  REFERENCE_TIME start_ = 0, end_ = 0;
  bool haveTime_ = false, sync_ = true, discontinuity_ = false;
};

// Copies a UTF-16 name into a fixed 128-character field.
void CopyName(OLECHAR (&target)[128], const std::u16string& name);
LPOLESTR TaskString(const std::u16string& text);  // CoTaskMemAlloc'd copy
std::u16string U16(LPCOLESTR text);

}  // namespace vantrel::media
