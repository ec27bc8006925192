// SPDX-License-Identifier: GPL-3.0-or-later
// The editing timeline and its render engine: a timeline holds groups (one output stream
// each, of the group's media type), a group's composition holds tracks, a track holds source
// clips (a span of a media file placed on the timeline). The render engine turns a timeline
// into a filter graph whose group output pins carry the rendered streams. The interfaces
// hold the operations the program makes; times are seconds in the *2 calls, 100 ns units
// in the render range.
#pragma once

#include <vector>

#include "platform/media/interfaces.h"

namespace vantrel::media {

enum TIMELINE_MAJOR_TYPE {
  TIMELINE_MAJOR_TYPE_COMPOSITE = 1,
  TIMELINE_MAJOR_TYPE_TRACK = 2,
  TIMELINE_MAJOR_TYPE_SOURCE = 4,
  TIMELINE_MAJOR_TYPE_TRANSITION = 8,
  TIMELINE_MAJOR_TYPE_EFFECT = 16,
  TIMELINE_MAJOR_TYPE_GROUP = 128,
};

inline constexpr int RESIZEF_STRETCH = 0;
inline constexpr int RESIZEF_CROP = 1;
inline constexpr int RESIZEF_PRESERVEASPECTRATIO = 2;

inline constexpr LONG SFN_VALIDATEF_CHECK = 0x1;
inline constexpr LONG SFN_VALIDATEF_POPUP = 0x2;
inline constexpr LONG SFN_VALIDATEF_TELLME = 0x4;
inline constexpr LONG SFN_VALIDATEF_REPLACE = 0x8;

using REFTIME = double;

class IAMTimelineObj : public IUnknown {
 public:
  virtual HRESULT GetStartStop2(REFTIME* start, REFTIME* stop) = 0;
  virtual HRESULT SetStartStop2(REFTIME start, REFTIME stop) = 0;
  virtual HRESULT GetTimelineType(TIMELINE_MAJOR_TYPE* type) = 0;
};

class IAMTimelineGroup : public IUnknown {
 public:
  virtual HRESULT SetMediaType(AM_MEDIA_TYPE* mt) = 0;
  virtual HRESULT GetMediaType(AM_MEDIA_TYPE* mt) = 0;
  virtual HRESULT SetOutputFPS(double fps) = 0;
  virtual HRESULT GetOutputFPS(double* fps) = 0;
};

class IAMTimelineComp : public IUnknown {
 public:
  // priority -1 puts the track last.
  virtual HRESULT VTrackInsBefore(IAMTimelineObj* track, long priority) = 0;
  virtual HRESULT GetVTrack(IAMTimelineObj** track, long index) = 0;
  virtual HRESULT VTrackGetCount(long* count) = 0;
};

class IAMTimelineTrack : public IUnknown {
 public:
  virtual HRESULT SrcAdd(IAMTimelineObj* source) = 0;
  virtual HRESULT GetSourcesCount(long* count) = 0;
  virtual HRESULT GetSource(IAMTimelineObj** source, long index) = 0;
};

class IAMTimelineSrc : public IUnknown {
 public:
  virtual HRESULT GetMediaTimes2(REFTIME* start, REFTIME* stop) = 0;
  virtual HRESULT SetMediaTimes2(REFTIME start, REFTIME stop) = 0;
  virtual HRESULT GetMediaName(BSTR* name) = 0;
  virtual HRESULT SetMediaName(BSTR name) = 0;
  virtual HRESULT GetStretchMode(int* mode) = 0;
  virtual HRESULT SetStretchMode(int mode) = 0;
};

class IMediaLocator;  // finding moved media is not offered: names are checked only

class IAMTimeline : public IUnknown {
 public:
  virtual HRESULT CreateEmptyNode(IAMTimelineObj** node, TIMELINE_MAJOR_TYPE type) = 0;
  virtual HRESULT AddGroup(IAMTimelineObj* group) = 0;
  virtual HRESULT GetGroupCount(long* count) = 0;
  virtual HRESULT GetGroup(IAMTimelineObj** group, long index) = 0;
  // The end of the last clip, in seconds.
  virtual HRESULT GetDuration2(REFTIME* duration) = 0;
  // S_OK when every source's media can be opened, S_FALSE when some cannot.
  virtual HRESULT ValidateSourceNames(long flags, IMediaLocator* locator, LONG_PTR reserved) = 0;
};

class IRenderEngine : public IUnknown {
 public:
  virtual HRESULT SetTimelineObject(IAMTimeline* timeline) = 0;
  virtual HRESULT GetTimelineObject(IAMTimeline** timeline) = 0;
  // A stop of 0 (or one past the timeline) renders to the end of the timeline.
  virtual HRESULT SetRenderRange(REFERENCE_TIME start, REFERENCE_TIME stop) = 0;
  virtual HRESULT ConnectFrontEnd() = 0;
  virtual HRESULT GetFilterGraph(IGraphBuilder** graph) = 0;
  virtual HRESULT GetGroupOutputPin(long group, IPin** pin) = 0;
  virtual HRESULT ScrapIt() = 0;
};

// The source clips of a group, track by track, each track's in timeline order.
std::vector<ComPtr<IAMTimelineObj>> ClipsOfGroup(IAMTimelineObj* group);

inline constexpr IID IID_IAMTimeline = MakeGuid("78530B74-61F9-11D2-8CAD-00A024580902");
inline constexpr IID IID_IAMTimelineObj = MakeGuid("78530B77-61F9-11D2-8CAD-00A024580902");
inline constexpr IID IID_IAMTimelineGroup = MakeGuid("9EED4F00-B8A6-11D2-8023-00C0DF10D434");
inline constexpr IID IID_IAMTimelineComp = MakeGuid("EAE58536-622E-11D2-8CAD-00A024580902");
inline constexpr IID IID_IAMTimelineTrack = MakeGuid("EAE58538-622E-11D2-8CAD-00A024580902");
inline constexpr IID IID_IAMTimelineSrc = MakeGuid("78530B79-61F9-11D2-8CAD-00A024580902");
inline constexpr IID IID_IRenderEngine = MakeGuid("6BEE3A81-66C9-11D2-918F-00C0DF10D434");
inline constexpr CLSID CLSID_AMTimeline = MakeGuid("78530B75-61F9-11D2-8CAD-00A024580902");
inline constexpr CLSID CLSID_RenderEngine = MakeGuid("64D8A8E0-80A2-11D2-8CF3-00A0C9441E20");

}  // namespace vantrel::media
