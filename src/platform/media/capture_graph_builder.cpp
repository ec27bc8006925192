// SPDX-License-Identifier: GPL-3.0-or-later
// The capture graph builder: finds pins by direction and type and wires a source (a
// filter or a pin) into a renderer through the filter graph it is given.
#include "platform/media/filter_base.h"
#include "platform/media/filters.h"

namespace vantrel::media {
namespace {

bool Offers(IPin* pin, const GUID* type) {
  if (!type) return true;
  AM_MEDIA_TYPE wanted{};
  wanted.majortype = *type;
  ComPtr<IPin> other;
  if (SUCCEEDED(pin->ConnectedTo(other.Put()))) {
    AM_MEDIA_TYPE mt{};
    if (FAILED(pin->ConnectionMediaType(&mt))) return false;
    bool same = mt.majortype == *type;
    FreeMediaType(mt);
    return same;
  }
  return pin->QueryAccept(&wanted) == S_OK;
}

std::vector<ComPtr<IPin>> PinsOf(IUnknown* source, PIN_DIRECTION direction) {
  std::vector<ComPtr<IPin>> pins;
  ComPtr<IPin> single;
  if (SUCCEEDED(source->QueryInterface(IID_IPin, single.PutVoid()))) {
    pins.push_back(single);
    return pins;
  }
  ComPtr<IBaseFilter> filter;
  if (FAILED(source->QueryInterface(IID_IBaseFilter, filter.PutVoid()))) return pins;
  ComPtr<IEnumPins> e;
  if (FAILED(filter->EnumPins(e.Put()))) return pins;
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) {
    auto held = ComPtr<IPin>::Attach(pin);
    PIN_DIRECTION d;
    held->QueryDirection(&d);
    if (d == direction) pins.push_back(held);
  }
  return pins;
}

bool Connected(IPin* pin) {
  ComPtr<IPin> other;
  return SUCCEEDED(pin->ConnectedTo(other.Put()));
}

class CaptureGraphBuilder : public Object<ICaptureGraphBuilder2> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_ICaptureGraphBuilder2)
      return Hand<ICaptureGraphBuilder2>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT SetFiltergraph(IGraphBuilder* graph) override {
    if (!graph) return E_POINTER;
    if (graph_) return E_UNEXPECTED;
    graph_ = graph;
    return S_OK;
  }
  HRESULT GetFiltergraph(IGraphBuilder** graph) override {
    if (!graph) return E_POINTER;
    *graph = graph_.Get();
    if (!*graph) return E_UNEXPECTED;
    (*graph)->AddRef();
    return S_OK;
  }
  HRESULT SetOutputFileName(const GUID*, LPCOLESTR, IBaseFilter**, IFileSinkFilter**) override {
    return E_NOTIMPL;
  }
  HRESULT FindInterface(const GUID*, const GUID*, IBaseFilter* filter, REFIID iid,
                        void** object) override {
    if (!filter || !object) return E_POINTER;
    return filter->QueryInterface(iid, object);
  }
  HRESULT RenderStream(const GUID*, const GUID* type, IUnknown* source, IBaseFilter* intermediate,
                       IBaseFilter* renderer) override {
    if (!source) return E_POINTER;
    if (!graph_) return E_UNEXPECTED;
    if (intermediate) return E_NOTIMPL;  // nothing of the program puts a filter in between
    for (auto& out : PinsOf(source, PINDIR_OUTPUT)) {
      if (Connected(out.Get()) && !IsFileSource(out.Get())) continue;
      // A file source's pin may already feed a decoder that has the other stream.
      if (!IsFileSource(out.Get()) && !Offers(out.Get(), type)) continue;
      if (!renderer) {
        if (SUCCEEDED(graph_->Render(out.Get()))) return S_OK;
        continue;
      }
      for (auto& in : PinsOf(renderer, PINDIR_INPUT)) {
        if (Connected(in.Get())) continue;
        if (IsFileSource(out.Get()) ? SUCCEEDED(ConnectTyped(out.Get(), in.Get(), type))
                                    : SUCCEEDED(graph_->Connect(out.Get(), in.Get())))
          return S_OK;
      }
    }
    return VFW_E_CANNOT_CONNECT;
  }
  HRESULT ControlStream(const GUID*, const GUID*, IBaseFilter*, REFERENCE_TIME*, REFERENCE_TIME*,
                        WORD, WORD) override {
    return E_NOTIMPL;
  }
  HRESULT AllocCapFile(LPCOLESTR, LONGLONG) override { return E_NOTIMPL; }
  HRESULT CopyCaptureFile(LPOLESTR, LPOLESTR, int, void*) override { return E_NOTIMPL; }
  HRESULT FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID*, const GUID* type,
                  BOOL unconnected, int index, IPin** pin) override {
    if (!source || !pin) return E_POINTER;
    *pin = nullptr;
    int n = 0;
    for (auto& p : PinsOf(source, direction)) {
      if (unconnected && Connected(p.Get())) continue;
      if (type && !Offers(p.Get(), type)) continue;
      if (n++ == index) {
        *pin = p.Detach();
        return S_OK;
      }
    }
    return E_FAIL;
  }

 private:
  static bool IsFileSource(IPin* pin) {
    AM_MEDIA_TYPE stream{};
    stream.majortype = MEDIATYPE_Stream;
    return pin->QueryAccept(&stream) == S_OK;
  }

  // From a file source: the decoder's pin of the asked type goes to `in`.
  HRESULT ConnectTyped(IPin* out, IPin* in, const GUID* type) {
    if (!type) return graph_->Connect(out, in);
    ComPtr<IPin> decoderIn;
    if (FAILED(out->ConnectedTo(decoderIn.Put()))) {
      // Let the graph put the decoder in, then undo if the stream went to the wrong type.
      HRESULT hr = graph_->Connect(out, in);
      if (FAILED(hr)) return hr;
      AM_MEDIA_TYPE mt{};
      in->ConnectionMediaType(&mt);
      bool right = mt.majortype == *type;
      FreeMediaType(mt);
      if (right) return S_OK;
      ComPtr<IPin> wrong;
      in->ConnectedTo(wrong.Put());
      wrong->Disconnect();
      in->Disconnect();
    }
    ComPtr<IPin> decoderPin;
    if (FAILED(out->ConnectedTo(decoderPin.Put()))) return VFW_E_CANNOT_CONNECT;
    PIN_INFO info;
    decoderPin->QueryPinInfo(&info);
    auto decoder = ComPtr<IBaseFilter>::Attach(info.pFilter);
    for (auto& p : PinsOf(decoder.Get(), PINDIR_OUTPUT)) {
      if (Connected(p.Get()) || !Offers(p.Get(), type)) continue;
      if (SUCCEEDED(graph_->ConnectDirect(p.Get(), in, nullptr))) return S_OK;
    }
    return VFW_E_CANNOT_CONNECT;
  }

  ComPtr<IGraphBuilder> graph_;
};

}  // namespace

HRESULT CreateCaptureGraphBuilder(REFIID iid, void** object) {
  return CreateAndQuery<CaptureGraphBuilder>(iid, object);
}

}  // namespace vantrel::media
