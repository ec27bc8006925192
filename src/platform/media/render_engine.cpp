// SPDX-License-Identifier: GPL-3.0-or-later
// The render engine: builds the front end of a timeline into a filter graph. Each media file
// named by the clips gets one decoding source (a file with both pictures and sound feeds
// the video and the audio group from the same source), positioned at the part of the file
// the render range covers, so a start inside the file is a real seek rather than decoding
// from the beginning and dropping. A group's output pin is the source's pin of the group's
// kind; the pictures keep the source's size, which is the size the program gives its
// video groups, and the consumer converts the frame rate by the pictures' times.
#include <algorithm>
#include <map>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/media/filters.h"
#include "platform/media/media_type.h"
#include "platform/media/timeline.h"

namespace vantrel::media {
namespace {

constexpr double kUnits = 10000000.0;

struct Clip {
  std::u16string name;
  REFTIME start = 0, stop = 0, mediaStart = 0, mediaStop = 0;
};

std::vector<Clip> ClipsOf(IAMTimelineObj* group) {
  std::vector<Clip> clips;
  for (auto& obj : ClipsOfGroup(group)) {
    ComPtr<IAMTimelineSrc> src;
    if (FAILED(obj.As(IID_IAMTimelineSrc, src))) continue;
    Clip clip;
    obj->GetStartStop2(&clip.start, &clip.stop);
    src->GetMediaTimes2(&clip.mediaStart, &clip.mediaStop);
    Bstr name;
    src->GetMediaName(name.Put());
    clip.name = U16FromBstr(name.Get());
    clips.push_back(std::move(clip));
  }
  return clips;
}

GUID FirstMajorType(IPin* pin) {
  GUID major{};
  ComPtr<IEnumMediaTypes> types;
  AM_MEDIA_TYPE* mt = nullptr;
  if (SUCCEEDED(pin->EnumMediaTypes(types.Put())) && types->Next(1, &mt, nullptr) == S_OK && mt) {
    major = mt->majortype;
    FreeMediaType(*mt);
    CoTaskMemFree(mt);
  }
  return major;
}

ComPtr<IPin> OutputOfKind(IBaseFilter* filter, const GUID& major) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(pins.Put()))) return {};
  IPin* raw = nullptr;
  while (pins->Next(1, &raw, nullptr) == S_OK) {
    auto pin = ComPtr<IPin>::Attach(raw);
    PIN_DIRECTION direction;
    pin->QueryDirection(&direction);
    if (direction == PINDIR_OUTPUT && FirstMajorType(pin.Get()) == major) return pin;
  }
  return {};
}

class RenderEngine final : public Object<IRenderEngine> {
 public:
  ~RenderEngine() override { ScrapIt(); }

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IRenderEngine) return Hand<IRenderEngine>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT SetTimelineObject(IAMTimeline* timeline) override {
    if (!timeline) return E_POINTER;
    if (graph_) return E_UNEXPECTED;  // scrap the built front end first
    timeline_ = timeline;
    return S_OK;
  }
  HRESULT GetTimelineObject(IAMTimeline** timeline) override {
    if (!timeline) return E_POINTER;
    *timeline = timeline_.Get();
    if (*timeline) (*timeline)->AddRef();
    return S_OK;
  }
  HRESULT SetRenderRange(REFERENCE_TIME start, REFERENCE_TIME stop) override {
    if (start < 0 || stop < 0 || (stop != 0 && stop <= start)) return E_INVALIDARG;
    rangeStart_ = start;
    rangeStop_ = stop;
    return S_OK;
  }
  HRESULT ConnectFrontEnd() override;
  HRESULT GetFilterGraph(IGraphBuilder** graph) override {
    if (!graph) return E_POINTER;
    *graph = graph_.Get();
    if (!*graph) return E_UNEXPECTED;
    (*graph)->AddRef();
    return S_OK;
  }
  HRESULT GetGroupOutputPin(long group, IPin** pin) override {
    if (!pin) return E_POINTER;
    *pin = nullptr;
    if (group < 0 || size_t(group) >= outputs_.size()) return E_INVALIDARG;
    *pin = outputs_[size_t(group)].Get();
    if (!*pin) return E_FAIL;
    (*pin)->AddRef();
    return S_OK;
  }
  HRESULT ScrapIt() override {
    if (graph_) {
      ComPtr<IMediaControl> control;
      if (SUCCEEDED(graph_.As(IID_IMediaControl, control))) control->Stop();
      for (auto& [name, source] : sources_) graph_->RemoveFilter(source.Get());
    }
    outputs_.clear();
    sources_.clear();
    graph_.Reset();
    return S_OK;
  }

 private:
  std::map<std::u16string, ComPtr<IBaseFilter>> sources_;
  std::vector<ComPtr<IPin>> outputs_;
  ComPtr<IAMTimeline> timeline_;
  ComPtr<IGraphBuilder> graph_;
  REFERENCE_TIME rangeStart_ = 0, rangeStop_ = 0;
};

HRESULT RenderEngine::ConnectFrontEnd() {
  if (!timeline_) return E_UNEXPECTED;
  ScrapIt();
  HRESULT hr = CreateFilterGraph(IID_IGraphBuilder, graph_.PutVoid());
  if (FAILED(hr)) return hr;
  REFTIME end = 0;
  timeline_->GetDuration2(&end);
  const REFTIME from = double(rangeStart_) / kUnits;
  const REFTIME to = rangeStop_ > 0 ? std::min(end, double(rangeStop_) / kUnits) : end;
  long groups = 0;
  timeline_->GetGroupCount(&groups);
  std::map<std::u16string, std::pair<REFTIME, REFTIME>> positions;  // per source, media seconds
  for (long g = 0; g < groups; ++g) {
    ComPtr<IAMTimelineObj> group;
    ComPtr<IAMTimelineGroup> groupInfo;
    AM_MEDIA_TYPE mt{};
    if (FAILED(timeline_->GetGroup(group.Put(), g)) || FAILED(group.As(IID_IAMTimelineGroup, groupInfo)) ||
        FAILED(groupInfo->GetMediaType(&mt)))
      return ScrapIt(), E_FAIL;
    const GUID major = mt.majortype;
    FreeMediaType(mt);
    std::vector<Clip> clips = ClipsOf(group.Get());
    // One clip per group, covering the rendered part from its start: nothing the program
    // builds needs gaps filled with black or silence, or clips joined.
    if (clips.size() != 1) return ScrapIt(), clips.empty() ? E_INVALIDARG : E_NOTIMPL;
    const Clip& clip = clips.front();
    if (clip.start > from || from >= std::min(to, clip.stop)) return ScrapIt(), E_INVALIDARG;
    const REFTIME mediaFrom = clip.mediaStart + (from - clip.start);
    const REFTIME mediaTo = clip.mediaStart + (std::min(to, clip.stop) - clip.start);

    auto& source = sources_[clip.name];
    if (!source) {
      hr = graph_->AddSourceFilter(clip.name.c_str(), clip.name.c_str(), source.Put());
      if (FAILED(hr)) return ScrapIt(), hr;
      positions[clip.name] = {mediaFrom, mediaTo};
      ComPtr<IMediaSeeking> seeking;
      if (FAILED(source.As(IID_IMediaSeeking, seeking))) return ScrapIt(), E_NOINTERFACE;
      LONGLONG current = LONGLONG(mediaFrom * kUnits), stop = LONGLONG(mediaTo * kUnits);
      hr = seeking->SetPositions(&current, AM_SEEKING_AbsolutePositioning, &stop,
                                 AM_SEEKING_AbsolutePositioning);
      if (FAILED(hr)) return ScrapIt(), hr;
    } else if (positions[clip.name] != std::pair{mediaFrom, mediaTo}) {
      return ScrapIt(), E_NOTIMPL;  // one source plays one span
    }
    ComPtr<IPin> pin = OutputOfKind(source.Get(), major);
    if (!pin) return ScrapIt(), VFW_E_CANNOT_RENDER;  // the file has no stream of this kind
    outputs_.push_back(pin);
  }
  return S_OK;
}

}  // namespace

HRESULT CreateRenderEngine(REFIID iid, void** object) { return CreateAndQuery<RenderEngine>(iid, object); }

}  // namespace vantrel::media
