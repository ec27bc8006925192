// SPDX-License-Identifier: GPL-3.0-or-later
// The timeline and its render engine on a real clip: what the front end is built from, where
// its source is positioned, and the timelines it refuses. Also the process's running-object
// table and the message box without a display, which the network conversion uses.
#include <gtest/gtest.h>

#include "authoring/command_templates.h"
#include "platform/com/bstr.h"
#include "platform/com/running_objects.h"
#include "platform/media/filters.h"
#include "platform/media/media_type.h"
#include "platform/media/timeline.h"
#include "platform/window/message_box.h"
#include "support/captured_log.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

using namespace media;

ComPtr<IAMTimelineObj> AddGroupWithClip(IAMTimeline* timeline, const GUID& major, const std::string& file,
                                        double start, double stop) {
  ComPtr<IAMTimelineObj> group, track, clip;
  EXPECT_EQ(timeline->CreateEmptyNode(group.Put(), TIMELINE_MAJOR_TYPE_GROUP), S_OK);
  ComPtr<IAMTimelineGroup> info;
  group.As(IID_IAMTimelineGroup, info);
  MediaType type;
  type.majortype = major;
  if (major == MEDIATYPE_Video) {
    VIDEOINFOHEADER vih{};
    vih.bmiHeader.biWidth = 320;
    vih.bmiHeader.biHeight = 240;
    vih.bmiHeader.biBitCount = 24;
    type.formattype = FORMAT_VideoInfo;
    type.SetFormat(&vih, sizeof vih);
  }
  EXPECT_EQ(info->SetMediaType(&type), S_OK);
  EXPECT_EQ(timeline->AddGroup(group.Get()), S_OK);
  timeline->CreateEmptyNode(track.Put(), TIMELINE_MAJOR_TYPE_TRACK);
  ComPtr<IAMTimelineComp> comp;
  group.As(IID_IAMTimelineComp, comp);
  EXPECT_EQ(comp->VTrackInsBefore(track.Get(), -1), S_OK);
  timeline->CreateEmptyNode(clip.Put(), TIMELINE_MAJOR_TYPE_SOURCE);
  ComPtr<IAMTimelineSrc> src;
  clip.As(IID_IAMTimelineSrc, src);
  clip->SetStartStop2(start, stop);
  src->SetMediaTimes2(start, stop);
  Bstr name(file);
  src->SetMediaName(name.Get());
  ComPtr<IAMTimelineTrack> t;
  track.As(IID_IAMTimelineTrack, t);
  EXPECT_EQ(t->SrcAdd(clip.Get()), S_OK);
  return group;
}

ComPtr<IMediaSeeking> SeekingBehind(IPin* pin) {
  PIN_INFO info;
  pin->QueryPinInfo(&info);
  auto filter = ComPtr<IBaseFilter>::Attach(info.pFilter);
  ComPtr<IMediaSeeking> seeking;
  filter.As(IID_IMediaSeeking, seeking);
  return seeking;
}

TEST(TimelineTest, TheRenderRangeSeeksTheSourceAndAStopOfZeroMeansTheEnd) {
  TempFolder folder;
  const std::string clip = folder / "clip.avi";
  ASSERT_TRUE(MakeClip("-f lavfi -i testsrc=s=320x240:r=25:d=4 -f lavfi -i sine=d=4 -c:v mpeg4 -c:a mp3 " +
                           ShellQuote(clip),
                       clip));
  ComPtr<IAMTimeline> timeline;
  ASSERT_EQ(CreateTimeline(IID_IAMTimeline, timeline.PutVoid()), S_OK);
  AddGroupWithClip(timeline.Get(), MEDIATYPE_Video, clip, 0, 4);
  AddGroupWithClip(timeline.Get(), MEDIATYPE_Audio, clip, 0, 4);
  EXPECT_EQ(timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK, nullptr, 0), S_OK);

  ComPtr<IRenderEngine> engine;
  ASSERT_EQ(CreateRenderEngine(IID_IRenderEngine, engine.PutVoid()), S_OK);
  ASSERT_EQ(engine->SetTimelineObject(timeline.Get()), S_OK);
  ASSERT_EQ(engine->SetRenderRange(25000000, 0), S_OK);
  ASSERT_EQ(engine->ConnectFrontEnd(), S_OK);
  ComPtr<IPin> video, audio, none;
  ASSERT_EQ(engine->GetGroupOutputPin(0, video.Put()), S_OK);
  ASSERT_EQ(engine->GetGroupOutputPin(1, audio.Put()), S_OK);
  EXPECT_EQ(engine->GetGroupOutputPin(2, none.Put()), E_INVALIDARG);
  // Both groups come from one source, positioned at 2.5 s and playing to the end.
  EXPECT_EQ(SeekingBehind(video.Get()).Get(), SeekingBehind(audio.Get()).Get());
  LONGLONG current = 0, stop = 0;
  ASSERT_EQ(SeekingBehind(video.Get())->GetPositions(&current, &stop), S_OK);
  EXPECT_EQ(current, 25000000);
  EXPECT_EQ(stop, 40000000);
  ComPtr<IGraphBuilder> graph;
  EXPECT_EQ(engine->GetFilterGraph(graph.Put()), S_OK);
  EXPECT_EQ(engine->ScrapIt(), S_OK);
  EXPECT_EQ(engine->GetGroupOutputPin(0, video.Put()), E_INVALIDARG);

  // A start past the end renders nothing: refused rather than an empty stream.
  engine->SetRenderRange(50000000, 0);
  EXPECT_EQ(engine->ConnectFrontEnd(), E_INVALIDARG);
  EXPECT_EQ(engine->SetRenderRange(30000000, 20000000), E_INVALIDARG);
}

TEST(TimelineTest, RefusesWhatCannotBeRendered) {
  TempFolder folder;
  const std::string clip = folder / "bild.avi";
  ASSERT_TRUE(MakeClip("-f lavfi -i testsrc=s=320x240:r=25:d=2 -c:v mpeg4 " + ShellQuote(clip), clip));
  ComPtr<IAMTimeline> timeline;
  ASSERT_EQ(CreateTimeline(IID_IAMTimeline, timeline.PutVoid()), S_OK);
  // A group without a media type, and clips that overlap on one track.
  ComPtr<IAMTimelineObj> bare, track, first, second;
  timeline->CreateEmptyNode(bare.Put(), TIMELINE_MAJOR_TYPE_GROUP);
  EXPECT_EQ(timeline->AddGroup(bare.Get()), E_INVALIDARG);
  timeline->CreateEmptyNode(track.Put(), TIMELINE_MAJOR_TYPE_TRACK);
  timeline->CreateEmptyNode(first.Put(), TIMELINE_MAJOR_TYPE_SOURCE);
  timeline->CreateEmptyNode(second.Put(), TIMELINE_MAJOR_TYPE_SOURCE);
  first->SetStartStop2(0, 2);
  second->SetStartStop2(1, 3);
  ComPtr<IAMTimelineTrack> t;
  track.As(IID_IAMTimelineTrack, t);
  EXPECT_EQ(t->SrcAdd(first.Get()), S_OK);
  EXPECT_EQ(t->SrcAdd(second.Get()), E_INVALIDARG);
  EXPECT_EQ(t->SrcAdd(track.Get()), E_INVALIDARG);

  // Sound asked of a file that has none; a name that does not open.
  AddGroupWithClip(timeline.Get(), MEDIATYPE_Audio, clip, 0, 2);
  ComPtr<IRenderEngine> engine;
  CreateRenderEngine(IID_IRenderEngine, engine.PutVoid());
  engine->SetTimelineObject(timeline.Get());
  EXPECT_EQ(engine->ConnectFrontEnd(), VFW_E_CANNOT_RENDER);
  ComPtr<IAMTimeline> missing;
  CreateTimeline(IID_IAMTimeline, missing.PutVoid());
  AddGroupWithClip(missing.Get(), MEDIATYPE_Video, folder / "gibt es nicht.avi", 0, 2);
  EXPECT_EQ(missing->ValidateSourceNames(SFN_VALIDATEF_CHECK, nullptr, 0), S_FALSE);
}

TEST(TimelineTest, RunningObjectsAndTheMessageBoxWithoutADisplay) {
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(CreateFilterGraph(IID_IGraphBuilder, graph.PutVoid()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(RegisterRunningObject("!FilterGraph test", graph.Get(), &cookie), S_OK);
  ComPtr<IUnknown> found;
  EXPECT_EQ(GetRunningObject("!FilterGraph test", found.Put()), S_OK);
  EXPECT_EQ(RevokeRunningObject(cookie), S_OK);
  EXPECT_EQ(RevokeRunningObject(cookie), E_INVALIDARG);
  EXPECT_EQ(GetRunningObject("!FilterGraph test", found.Put()), MK_E_UNAVAILABLE);

  std::string shown;
  auto previous = window::SetMessageBoxHandler([&](window::HWND, const std::string& text, const std::string& caption,
                                                   window::UINT) {
    shown = caption + "|" + text;
    return 7;
  });
  EXPECT_EQ(window::MessageBox(0, "text", "caption", window::MB_OK), 7);
  EXPECT_EQ(shown, "caption|text");
  window::SetMessageBoxHandler(previous);
  vantrel::test::StartLogCapture();
  EXPECT_EQ(window::MessageBox(0, "no display", "Info", window::MB_OK), window::IDOK);
  EXPECT_EQ(vantrel::test::TakeLogCapture(), "Info: no display\n");
}

}  // namespace
}  // namespace vantrel::test
