// SPDX-License-Identifier: GPL-3.0-or-later
// The timeline and its nodes. One node class serves groups, tracks and sources: its type,
// fixed at creation, decides which of the node interfaces it answers.
#include "platform/media/timeline.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/media/ffmpeg_file.h"
#include "platform/media/filters.h"
#include "platform/media/media_type.h"

namespace vantrel::media {
namespace {

class Node final : public Object<IAMTimelineObj, IAMTimelineGroup, IAMTimelineComp,
                                 IAMTimelineTrack, IAMTimelineSrc> {
 public:
  explicit Node(TIMELINE_MAJOR_TYPE type) : type_(type) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IAMTimelineObj) return Hand<IAMTimelineObj>(this, object);
    if (iid == IID_IAMTimelineGroup && type_ == TIMELINE_MAJOR_TYPE_GROUP)
      return Hand<IAMTimelineGroup>(this, object);
    // A group is the top composition of its tracks.
    if (iid == IID_IAMTimelineComp &&
        (type_ == TIMELINE_MAJOR_TYPE_GROUP || type_ == TIMELINE_MAJOR_TYPE_COMPOSITE))
      return Hand<IAMTimelineComp>(this, object);
    if (iid == IID_IAMTimelineTrack && type_ == TIMELINE_MAJOR_TYPE_TRACK)
      return Hand<IAMTimelineTrack>(this, object);
    if (iid == IID_IAMTimelineSrc && type_ == TIMELINE_MAJOR_TYPE_SOURCE)
      return Hand<IAMTimelineSrc>(this, object);
    return E_NOINTERFACE;
  }

  // IAMTimelineObj
  HRESULT GetStartStop2(REFTIME* start, REFTIME* stop) override {
    if (!start || !stop) return E_POINTER;
    *start = start_;
    *stop = stop_;
    return S_OK;
  }
  HRESULT SetStartStop2(REFTIME start, REFTIME stop) override {
    if (start < 0 || stop < start) return E_INVALIDARG;
    start_ = start;
    stop_ = stop;
    return S_OK;
  }
  HRESULT GetTimelineType(TIMELINE_MAJOR_TYPE* type) override {
    if (!type) return E_POINTER;
    *type = type_;
    return S_OK;
  }

  // IAMTimelineGroup
  HRESULT SetMediaType(AM_MEDIA_TYPE* mt) override {
    if (!mt) return E_POINTER;
    if (mt->majortype != MEDIATYPE_Video && mt->majortype != MEDIATYPE_Audio) return VFW_E_INVALIDMEDIATYPE;
    if (mt->majortype == MEDIATYPE_Video) {
      MediaType copy(*mt);
      const VIDEOINFOHEADER* vih = copy.VideoInfo();
      if (!vih || vih->bmiHeader.biWidth <= 0 || vih->bmiHeader.biHeight == 0) return VFW_E_INVALIDMEDIATYPE;
    }
    groupType_ = MediaType(*mt);
    return S_OK;
  }
  HRESULT GetMediaType(AM_MEDIA_TYPE* mt) override {
    if (!mt) return E_POINTER;
    return CopyMediaType(mt, &groupType_);
  }
  HRESULT SetOutputFPS(double fps) override {
    if (fps <= 0) return E_INVALIDARG;
    fps_ = fps;
    return S_OK;
  }
  HRESULT GetOutputFPS(double* fps) override {
    if (!fps) return E_POINTER;
    *fps = fps_;
    return S_OK;
  }

  // IAMTimelineComp
  HRESULT VTrackInsBefore(IAMTimelineObj* track, long priority) override {
    if (!track) return E_POINTER;
    TIMELINE_MAJOR_TYPE type;
    if (FAILED(track->GetTimelineType(&type)) ||
        (type != TIMELINE_MAJOR_TYPE_TRACK && type != TIMELINE_MAJOR_TYPE_COMPOSITE))
      return E_INVALIDARG;
    if (priority < 0 || size_t(priority) >= children_.size()) children_.emplace_back(track);
    else children_.insert(children_.begin() + priority, ComPtr<IAMTimelineObj>(track));
    return S_OK;
  }
  HRESULT GetVTrack(IAMTimelineObj** track, long index) override {
    return Child(track, index);
  }
  HRESULT VTrackGetCount(long* count) override {
    if (!count) return E_POINTER;
    *count = long(children_.size());
    return S_OK;
  }

  // IAMTimelineTrack
  HRESULT SrcAdd(IAMTimelineObj* source) override {
    if (!source) return E_POINTER;
    TIMELINE_MAJOR_TYPE type;
    if (FAILED(source->GetTimelineType(&type)) || type != TIMELINE_MAJOR_TYPE_SOURCE) return E_INVALIDARG;
    REFTIME start = 0, stop = 0;
    source->GetStartStop2(&start, &stop);
    // Clips of one track follow each other; they may not overlap.
    for (auto& other : children_) {
      REFTIME s = 0, e = 0;
      other->GetStartStop2(&s, &e);
      if (start < e && s < stop) return E_INVALIDARG;
    }
    children_.emplace_back(source);
    std::sort(children_.begin(), children_.end(), [](const auto& a, const auto& b) {
      REFTIME sa = 0, ea = 0, sb = 0, eb = 0;
      a->GetStartStop2(&sa, &ea);
      b->GetStartStop2(&sb, &eb);
      return sa < sb;
    });
    return S_OK;
  }
  HRESULT GetSourcesCount(long* count) override { return VTrackGetCount(count); }
  HRESULT GetSource(IAMTimelineObj** source, long index) override { return Child(source, index); }

  // IAMTimelineSrc
  HRESULT GetMediaTimes2(REFTIME* start, REFTIME* stop) override {
    if (!start || !stop) return E_POINTER;
    *start = mediaStart_;
    *stop = mediaStop_;
    return S_OK;
  }
  HRESULT SetMediaTimes2(REFTIME start, REFTIME stop) override {
    if (start < 0 || stop < start) return E_INVALIDARG;
    mediaStart_ = start;
    mediaStop_ = stop;
    return S_OK;
  }
  HRESULT GetMediaName(BSTR* name) override {
    if (!name) return E_POINTER;
    *name = SysAllocStringLen(name_.data(), UINT(name_.size()));
    return S_OK;
  }
  HRESULT SetMediaName(BSTR name) override {
    name_ = U16FromBstr(name);
    return S_OK;
  }
  HRESULT GetStretchMode(int* mode) override {
    if (!mode) return E_POINTER;
    *mode = stretch_;
    return S_OK;
  }
  HRESULT SetStretchMode(int mode) override {
    stretch_ = mode;
    return S_OK;
  }

 private:
  HRESULT Child(IAMTimelineObj** child, long index) {
    if (!child) return E_POINTER;
    *child = nullptr;
    if (index < 0 || size_t(index) >= children_.size()) return E_INVALIDARG;
    *child = children_[size_t(index)].Get();
    (*child)->AddRef();
    return S_OK;
  }

  const TIMELINE_MAJOR_TYPE type_;
  REFTIME start_ = 0, stop_ = 0;
  REFTIME mediaStart_ = 0, mediaStop_ = 0;
  MediaType groupType_;
  double fps_ = 15.0;
  int stretch_ = RESIZEF_STRETCH;
  std::u16string name_;
  std::vector<ComPtr<IAMTimelineObj>> children_;  // tracks of a group, clips of a track
};

// Every clip of every track of every group.
template <class Visit>
void ForEachClip(const std::vector<ComPtr<IAMTimelineObj>>& groups, Visit visit) {
  for (auto& group : groups)
    for (auto& clip : ClipsOfGroup(group.Get())) visit(clip.Get());
}

class Timeline final : public Object<IAMTimeline> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IAMTimeline) return Hand<IAMTimeline>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT CreateEmptyNode(IAMTimelineObj** node, TIMELINE_MAJOR_TYPE type) override {
    if (!node) return E_POINTER;
    *node = nullptr;
    switch (type) {
      case TIMELINE_MAJOR_TYPE_GROUP:
      case TIMELINE_MAJOR_TYPE_COMPOSITE:
      case TIMELINE_MAJOR_TYPE_TRACK:
      case TIMELINE_MAJOR_TYPE_SOURCE:
        return CreateAndQuery<Node>(IID_IAMTimelineObj, reinterpret_cast<void**>(node), type);
      default:
        return E_NOTIMPL;  // transitions and effects are not offered
    }
  }
  HRESULT AddGroup(IAMTimelineObj* group) override {
    if (!group) return E_POINTER;
    TIMELINE_MAJOR_TYPE type;
    if (FAILED(group->GetTimelineType(&type)) || type != TIMELINE_MAJOR_TYPE_GROUP) return E_INVALIDARG;
    ComPtr<IAMTimelineGroup> g;
    AM_MEDIA_TYPE mt{};
    // A group without a media type has no output to render.
    if (FAILED(group->QueryInterface(IID_IAMTimelineGroup, g.PutVoid())) || FAILED(g->GetMediaType(&mt)) ||
        (mt.majortype != MEDIATYPE_Video && mt.majortype != MEDIATYPE_Audio)) {
      FreeMediaType(mt);
      return E_INVALIDARG;
    }
    FreeMediaType(mt);
    for (auto& existing : groups_)
      if (existing.Get() == group) return E_INVALIDARG;
    groups_.emplace_back(group);
    return S_OK;
  }
  HRESULT GetGroupCount(long* count) override {
    if (!count) return E_POINTER;
    *count = long(groups_.size());
    return S_OK;
  }
  HRESULT GetGroup(IAMTimelineObj** group, long index) override {
    if (!group) return E_POINTER;
    *group = nullptr;
    if (index < 0 || size_t(index) >= groups_.size()) return E_INVALIDARG;
    *group = groups_[size_t(index)].Get();
    (*group)->AddRef();
    return S_OK;
  }
  HRESULT GetDuration2(REFTIME* duration) override {
    if (!duration) return E_POINTER;
    *duration = 0;
    ForEachClip(groups_, [&](IAMTimelineObj* clip) {
      REFTIME s = 0, e = 0;
      clip->GetStartStop2(&s, &e);
      *duration = std::max(*duration, e);
    });
    return S_OK;
  }
  HRESULT ValidateSourceNames(long, IMediaLocator*, LONG_PTR) override {
    // Nobody is asked to find moved media: a name is valid when its media opens.
    bool all = true;
    ForEachClip(groups_, [&](IAMTimelineObj* clip) {
      ComPtr<IAMTimelineSrc> src;
      if (FAILED(clip->QueryInterface(IID_IAMTimelineSrc, src.PutVoid()))) return;
      Bstr name;
      src->GetMediaName(name.Put());
      MediaFile file;
      if (FAILED(file.Open(name.Utf8()))) all = false;
    });
    return all ? S_OK : S_FALSE;
  }

 private:
  std::vector<ComPtr<IAMTimelineObj>> groups_;
};

}  // namespace

std::vector<ComPtr<IAMTimelineObj>> ClipsOfGroup(IAMTimelineObj* group) {
  std::vector<ComPtr<IAMTimelineObj>> clips;
  ComPtr<IAMTimelineComp> comp;
  if (!group || FAILED(group->QueryInterface(IID_IAMTimelineComp, comp.PutVoid()))) return clips;
  long tracks = 0;
  comp->VTrackGetCount(&tracks);
  for (long t = 0; t < tracks; ++t) {
    ComPtr<IAMTimelineObj> trackObj;
    ComPtr<IAMTimelineTrack> track;
    if (FAILED(comp->GetVTrack(trackObj.Put(), t)) || FAILED(trackObj.As(IID_IAMTimelineTrack, track))) continue;
    long count = 0;
    track->GetSourcesCount(&count);
    for (long c = 0; c < count; ++c) {
      ComPtr<IAMTimelineObj> clip;
      if (SUCCEEDED(track->GetSource(clip.Put(), c))) clips.push_back(clip);
    }
  }
  return clips;
}

HRESULT CreateTimeline(REFIID iid, void** object) { return CreateAndQuery<Timeline>(iid, object); }

}  // namespace vantrel::media
