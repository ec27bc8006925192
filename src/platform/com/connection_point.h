// SPDX-License-Identifier: GPL-3.0-or-later
// Outgoing events: a source object offers IConnectionPointContainer, each event interface
// has an IConnectionPoint, and sinks are called in the order they were advised.
#pragma once

#include <mutex>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/unknown.h"

namespace vantrel::com {

inline constexpr IID IID_IConnectionPointContainer =
    MakeGuid("B196B284-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IConnectionPoint = MakeGuid("B196B286-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IEnumConnections = MakeGuid("B196B287-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IEnumConnectionPoints = MakeGuid("B196B285-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IPropertyNotifySink = MakeGuid("9BFBBC02-EFF1-101A-84ED-00AA00341D07");

struct CONNECTDATA {
  IUnknown* pUnk = nullptr;
  DWORD dwCookie = 0;
};

class IConnectionPointContainer;

class IEnumConnections : public IUnknown {
 public:
  virtual HRESULT Next(ULONG count, CONNECTDATA* items, ULONG* fetched) = 0;  // 3
  virtual HRESULT Skip(ULONG count) = 0;                                      // 4
  virtual HRESULT Reset() = 0;                                                // 5
  virtual HRESULT Clone(IEnumConnections** copy) = 0;                         // 6
};

class IConnectionPoint : public IUnknown {
 public:
  virtual HRESULT GetConnectionInterface(IID* iid) = 0;                               // 3
  virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** owner) = 0;  // 4
  virtual HRESULT Advise(IUnknown* sink, DWORD* cookie) = 0;                          // 5
  virtual HRESULT Unadvise(DWORD cookie) = 0;                                         // 6
  virtual HRESULT EnumConnections(IEnumConnections** connections) = 0;                // 7
};

class IEnumConnectionPoints : public IUnknown {
 public:
  virtual HRESULT Next(ULONG count, IConnectionPoint** items, ULONG* fetched) = 0;  // 3
  virtual HRESULT Skip(ULONG count) = 0;                                            // 4
  virtual HRESULT Reset() = 0;                                                      // 5
  virtual HRESULT Clone(IEnumConnectionPoints** copy) = 0;                          // 6
};

class IConnectionPointContainer : public IUnknown {
 public:
  virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) = 0;   // 3
  virtual HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) = 0;  // 4
};

// One connection point of a source object. The owner keeps it alive (it holds a weak
// pointer back to the owner's container, which it AddRefs while handed out).
class ConnectionPoint : public Object<IConnectionPoint> {
 public:
  ConnectionPoint(REFIID eventIid, IConnectionPointContainer* owner)
      : iid_(eventIid), owner_(owner) {}

  HRESULT QueryInterface(REFIID iid, void** object) override;
  HRESULT GetConnectionInterface(IID* iid) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** owner) override;
  // The sink must answer the event interface; it is held until Unadvise.
  HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT Unadvise(DWORD cookie) override;
  HRESULT EnumConnections(IEnumConnections** connections) override;

  // The sinks in connection order, each queried for the event interface, for firing an
  // event without holding a lock while the sinks run.
  template <class I>
  std::vector<ComPtr<I>> Sinks() {
    std::vector<ComPtr<I>> sinks;
    std::lock_guard lock(lock_);
    for (auto& [cookie, sink] : sinks_) sinks.push_back(static_cast<I*>(sink.Get()));
    return sinks;
  }
  size_t SinkCount();

 private:
  IID iid_;
  IConnectionPointContainer* owner_;
  std::mutex lock_;
  DWORD nextCookie_ = 1;
  std::vector<std::pair<DWORD, ComPtr<IUnknown>>> sinks_;  // the event interface pointers
};

// An IEnumConnectionPoints over a fixed list (for EnumConnectionPoints).
HRESULT CreateConnectionPointEnumerator(std::vector<IConnectionPoint*> points,
                                        IEnumConnectionPoints** out);

}  // namespace vantrel::com
