// SPDX-License-Identifier: GPL-3.0-or-later
// Running graphs under control: pause and resume, a stop position, notification flags,
// the detach of a filter, and the video editing control called by dispatch id.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/media/media_type.h"
#include "platform/videoedit/video_edit.h"
#include "platform/window/window.h"
#include "support/clips.h"
#include "support/temp_folder.h"

namespace vantrel::media {
namespace {

class Counter : public Object<ISampleGrabberCB> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) return Hand<ISampleGrabberCB>(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT SampleCB(double time, IMediaSample* sample) override {
    REFERENCE_TIME t0, t1;
    EXPECT_EQ(sample->GetTime(&t0, &t1), S_OK);
    last = time;
    ++samples;
    return S_OK;
  }
  HRESULT BufferCB(double, BYTE*, LONG) override { return S_OK; }
  std::atomic<int> samples{0};
  std::atomic<double> last{-1};
};

struct Graph {
  ComPtr<IGraphBuilder> graph;
  ComPtr<IBaseFilter> source, grabberFilter;
  ComPtr<ISampleGrabber> grabber;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  ComPtr<IMediaSeeking> seeking;
};

// Decoding source (by AddSourceFilter) -> grabber on the video pin, audio rendered.
Graph Build(const std::string& clip, Counter* counter) {
  Graph g;
  CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, g.graph.PutVoid());
  EXPECT_EQ(g.graph->AddSourceFilter(Bstr(clip).Get(), u"Clip", g.source.Put()), S_OK);
  CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, g.grabberFilter.PutVoid());
  g.grabberFilter.As(IID_ISampleGrabber, g.grabber);
  g.graph->AddFilter(g.grabberFilter.Get(), u"Grabber");
  ComPtr<IPin> video, audio, in;
  g.source->FindPin(u"Video", video.Put());
  g.source->FindPin(u"Audio", audio.Put());
  g.grabberFilter->FindPin(u"In", in.Put());
  EXPECT_EQ(g.graph->Connect(video.Get(), in.Get()), S_OK);
  EXPECT_EQ(g.graph->Render(audio.Get()), S_OK);
  g.grabber->SetCallback(counter, 0);
  g.graph.As(IID_IMediaControl, g.control);
  g.graph.As(IID_IMediaEventEx, g.events);
  g.graph.As(IID_IMediaSeeking, g.seeking);
  return g;
}

class MediaControlTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new test::TempFolder;
    clip_ = *folder_ / "pattern.mpg";
    test::MakePatternClip(clip_, "-c:v mpeg2video -c:a mp2 -f mpeg", "320x240", "25", 4);
  }
  static void TearDownTestSuite() { delete folder_; }
  void SetUp() override { CoInitialize(); }
  void TearDown() override { CoUninitialize(); }
  static test::TempFolder* folder_;
  static std::string clip_;
};
test::TempFolder* MediaControlTest::folder_ = nullptr;
std::string MediaControlTest::clip_;

TEST_F(MediaControlTest, AStopPositionEndsTheStreamThere) {
  auto* counter = new Counter;
  Graph g = Build(clip_, counter);
  LONGLONG duration = 0;
  ASSERT_EQ(g.seeking->GetDuration(&duration), S_OK);
  EXPECT_NEAR(double(duration) / 1e7, 4.0, 0.2);
  LONGLONG start = 10000000, stop = 25000000;  // 1 s to 2.5 s
  ASSERT_EQ(g.seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, &stop,
                                    AM_SEEKING_AbsolutePositioning), S_OK);
  ASSERT_EQ(g.control->Run(), S_OK);
  LONG code = 0;
  ASSERT_EQ(g.events->WaitForCompletion(INFINITE, &code), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_GE(counter->samples, 37);  // 1.5 s at 25 frames/s
  EXPECT_LE(counter->samples, 38);
  EXPECT_LT(counter->last, 1.5);
  g.control->Stop();
  counter->Release();
}

TEST_F(MediaControlTest, PauseHoldsTheStreamAndRunResumesIt) {
  auto* counter = new Counter;
  Graph g = Build(clip_, counter);
  ASSERT_EQ(g.control->Pause(), S_OK);
  OAFilterState state = -1;
  g.control->GetState(0, &state);
  EXPECT_EQ(state, State_Paused);
  LONG code = 0;
  EXPECT_EQ(g.events->WaitForCompletion(50, &code), E_ABORT);
  EXPECT_EQ(counter->samples, 0);  // nothing flows before the first run
  ASSERT_EQ(g.control->Run(), S_OK);
  ASSERT_EQ(g.control->Pause(), S_OK);
  int held = counter->samples;
  EXPECT_EQ(g.events->WaitForCompletion(100, &code), E_ABORT) << code;
  EXPECT_LE(counter->samples, held + 1);  // at most the sample already on its way
  ASSERT_EQ(g.control->Run(), S_OK);
  ASSERT_EQ(g.events->WaitForCompletion(INFINITE, &code), S_OK);
  EXPECT_EQ(counter->samples, 100);
  g.control->Stop();
  g.control->GetState(0, &state);
  EXPECT_EQ(state, State_Stopped);
  counter->Release();
}

TEST_F(MediaControlTest, NoNotifyFlagKeepsEventsInTheQueueOnly) {
  int posted = 0;
  window::HWND hwnd = window::CreateNotifyWindow(
      [&](window::HWND, window::UINT, window::WPARAM, window::LPARAM) -> window::LRESULT {
        ++posted;
        return 0;
      });
  auto* counter = new Counter;
  Graph g = Build(clip_, counter);
  g.events->SetNotifyWindow(OAHWND(hwnd), 0x8001, 0);
  g.events->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY);
  LONG flags = 0;
  g.events->GetNotifyFlags(&flags);
  EXPECT_EQ(flags, AM_MEDIAEVENT_NONOTIFY);
  g.control->Run();
  LONG code;
  g.events->WaitForCompletion(INFINITE, &code);
  window::PumpPendingMessages();
  EXPECT_EQ(posted, 0);
  LONG_PTR p1, p2;
  EXPECT_EQ(g.events->GetEvent(&code, &p1, &p2, 0), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(g.events->FreeEventParams(code, p1, p2), S_OK);
  g.control->Stop();
  // Removing the source disconnects both sides and the graph can connect again.
  EXPECT_EQ(g.graph->RemoveFilter(g.source.Get()), S_OK);
  EXPECT_EQ(g.graph->RemoveFilter(g.source.Get()), VFW_E_NOT_IN_GRAPH);
  AM_MEDIA_TYPE mt;
  EXPECT_EQ(g.grabber->GetConnectedMediaType(&mt), VFW_E_NOT_CONNECTED);
  counter->Release();
  window::DestroyWindow(hwnd);
}

TEST_F(MediaControlTest, TheVideoEditControlAnswersByDispatchIdAndRefusesBadCalls) {
  ComPtr<IDispatch> control;
  ASSERT_EQ(videoedit::CreateControl(IID_IDispatch, control.Put()), S_OK);
  VARIANT path = MakeVariant(clip_), result;
  ASSERT_EQ(InvokeMethod(control.Get(), videoedit::kQueryFrameWidth, {path}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I2);
  EXPECT_EQ(result.iVal, 320);
  ASSERT_EQ(InvokeMethod(control.Get(), videoedit::kQueryDuration, {path}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_R8);
  EXPECT_NEAR(result.dblVal, 4.0, 0.1);
  EXPECT_EQ(InvokeMethod(control.Get(), videoedit::kQueryFrameRate, {}, &result), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeMethod(control.Get(), 99, {path}, &result), DISP_E_MEMBERNOTFOUND);
  VARIANT time = MakeVariant(std::string("soon"));
  VARIANT out = MakeVariant(*folder_ / "x.bmp");
  EXPECT_EQ(InvokeMethod(control.Get(), videoedit::kExportFrame, {path, time, out}, &result),
            DISP_E_TYPEMISMATCH);
  VariantClear(&time);
  time = MakeVariant(1.0);
  ASSERT_EQ(InvokeMethod(control.Get(), videoedit::kExportFrame, {path, time, out}, &result), S_OK);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);
  EXPECT_EQ(test::ReadText(*folder_ / "x.bmp").size(), 54u + 320u * 240u * 3u);  // native size
  VariantClear(&path);
  VariantClear(&out);
}

}  // namespace
}  // namespace vantrel::media
