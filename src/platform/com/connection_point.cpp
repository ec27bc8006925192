// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/connection_point.h"

#include <algorithm>

namespace vantrel::com {
namespace {

class ConnectionEnumerator : public Object<IEnumConnections> {
 public:
  explicit ConnectionEnumerator(std::vector<std::pair<DWORD, ComPtr<IUnknown>>> items)
      : items_(std::move(items)) {}
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IEnumConnections)
      return Hand<IEnumConnections>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT Next(ULONG count, CONNECTDATA* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    for (; n < count && next_ < items_.size(); ++n, ++next_) {
      out[n].dwCookie = items_[next_].first;
      out[n].pUnk = items_[next_].second.Get();
      out[n].pUnk->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    next_ = std::min(items_.size(), next_ + count);
    return next_ < items_.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override { next_ = 0; return S_OK; }
  HRESULT Clone(IEnumConnections** copy) override {
    if (!copy) return E_POINTER;
    auto* c = new ConnectionEnumerator(items_);
    c->next_ = next_;
    *copy = c;
    return S_OK;
  }

 private:
  std::vector<std::pair<DWORD, ComPtr<IUnknown>>> items_;
  size_t next_ = 0;
};

class PointEnumerator : public Object<IEnumConnectionPoints> {
 public:
  explicit PointEnumerator(std::vector<IConnectionPoint*> points) {
    for (auto* p : points) points_.emplace_back(p);
  }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IEnumConnectionPoints)
      return Hand<IEnumConnectionPoints>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG n = 0;
    for (; n < count && next_ < points_.size(); ++n, ++next_) {
      out[n] = points_[next_].Get();
      out[n]->AddRef();
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  HRESULT Skip(ULONG count) override {
    next_ = std::min(points_.size(), next_ + count);
    return next_ < points_.size() ? S_OK : S_FALSE;
  }
  HRESULT Reset() override { next_ = 0; return S_OK; }
  HRESULT Clone(IEnumConnectionPoints** copy) override {
    if (!copy) return E_POINTER;
    std::vector<IConnectionPoint*> raw;
    for (auto& p : points_) raw.push_back(p.Get());
    auto* c = new PointEnumerator(raw);
    c->next_ = next_;
    *copy = c;
    return S_OK;
  }

 private:
  std::vector<ComPtr<IConnectionPoint>> points_;
  size_t next_ = 0;
};

}  // namespace

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) return Hand<IConnectionPoint>(this, object);
  return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** owner) {
  if (!owner) return E_POINTER;
  *owner = owner_;
  if (owner_) owner_->AddRef();
  return owner_ ? S_OK : E_UNEXPECTED;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!sink || !cookie) return E_POINTER;
  *cookie = 0;
  ComPtr<IUnknown> events;
  if (FAILED(sink->QueryInterface(iid_, events.PutVoid())) || !events)
    return CONNECT_E_CANNOTCONNECT;
  std::lock_guard lock(lock_);
  *cookie = nextCookie_++;
  sinks_.emplace_back(*cookie, std::move(events));
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  ComPtr<IUnknown> released;  // released after the lock, the sink may call back in
  std::lock_guard lock(lock_);
  auto it = std::find_if(sinks_.begin(), sinks_.end(),
                         [&](const auto& entry) { return entry.first == cookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  released = std::move(it->second);
  sinks_.erase(it);
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (!connections) return E_POINTER;
  std::lock_guard lock(lock_);
  *connections = new ConnectionEnumerator(sinks_);
  return S_OK;
}

size_t ConnectionPoint::SinkCount() {
  std::lock_guard lock(lock_);
  return sinks_.size();
}

HRESULT CreateConnectionPointEnumerator(std::vector<IConnectionPoint*> points,
                                        IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = new PointEnumerator(std::move(points));
  return S_OK;
}

}  // namespace vantrel::com
