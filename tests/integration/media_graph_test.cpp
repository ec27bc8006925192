// SPDX-License-Identifier: GPL-3.0-or-later
// The media layer on clips that ffmpeg makes: graphs built the way the program builds
// them, run on their own threads, and the media detector's facts and pictures.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/media/filter_base.h"
#include "platform/media/interfaces.h"
#include "platform/media/media_type.h"
#include "platform/window/window.h"
#include "support/clips.h"
#include "support/temp_folder.h"

namespace vantrel::media {
namespace {

using test::TempFolder;

// Counts frames and keeps the centre pixel (B, G, R) and time of each.
class FrameCatcher : public Object<ISampleGrabberCB> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_ISampleGrabberCB) return Hand<ISampleGrabberCB>(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT SampleCB(double, IMediaSample*) override { return S_OK; }
  HRESULT BufferCB(double time, BYTE* buffer, LONG length) override {
    std::lock_guard lock(m);
    times.push_back(time);
    lengths.push_back(length);
    size_t stride = size_t((width * 3 + 3) / 4 * 4);
    const BYTE* p = buffer + stride * size_t(height / 2) + size_t(width / 2) * 3;
    centres.push_back({p[0], p[1], p[2]});
    return S_OK;
  }
  int width = 0, height = 0;
  std::mutex m;
  std::vector<double> times;
  std::vector<LONG> lengths;
  std::vector<std::array<BYTE, 3>> centres;
};

// Which of red, green, blue a B, G, R pixel is.
char Colour(const std::array<BYTE, 3>& bgr) {
  if (bgr[2] > 180 && bgr[1] < 80 && bgr[0] < 80) return 'r';
  if (bgr[1] > 180 && bgr[2] < 80 && bgr[0] < 80) return 'g';
  if (bgr[0] > 180 && bgr[2] < 80 && bgr[1] < 80) return 'b';
  return '?';
}

IPin* FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
  ComPtr<IEnumPins> e;
  filter->EnumPins(e.Put());
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION d;
    pin->QueryDirection(&d);
    if (d == direction) return pin;  // caller owns
    pin->Release();
  }
  return nullptr;
}

class MediaGraphTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new TempFolder;
    clip_ = *folder_ / "colours $'\" 视频.mpg";
    test::MakeColourClip(clip_, "-c:v mpeg2video -q:v 2 -c:a mp2 -f mpeg");
  }
  static void TearDownTestSuite() { delete folder_; }
  void SetUp() override { CoInitialize(); }
  void TearDown() override { CoUninitialize(); }

  // Source -> grabber (RGB24) -> null renderer, seeked to `seconds`, run to the end.
  void Grab(double seconds, bool oneShot, FrameCatcher* catcher, window::HWND notify = 0) {
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                               graph.PutVoid()), S_OK);
    ComPtr<IBaseFilter> source, grabberFilter;
    ASSERT_EQ(CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               source.PutVoid()), S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               grabberFilter.PutVoid()), S_OK);
    ASSERT_EQ(graph->AddFilter(source.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph->AddFilter(grabberFilter.Get(), u"Grabber"), S_OK);
    ComPtr<IFileSourceFilter> loader;
    ASSERT_EQ(source.As(IID_IFileSourceFilter, loader), S_OK);
    ASSERT_EQ(loader->Load(Bstr(clip_).Get(), nullptr), S_OK);
    ComPtr<ISampleGrabber> grabber;
    ASSERT_EQ(grabberFilter.As(IID_ISampleGrabber, grabber), S_OK);
    AM_MEDIA_TYPE wanted{};
    wanted.majortype = MEDIATYPE_Video;
    wanted.subtype = MEDIASUBTYPE_RGB24;
    grabber->SetMediaType(&wanted);
    auto out = ComPtr<IPin>::Attach(FirstPin(source.Get(), PINDIR_OUTPUT));
    auto in = ComPtr<IPin>::Attach(FirstPin(grabberFilter.Get(), PINDIR_INPUT));
    ASSERT_EQ(graph->Connect(out.Get(), in.Get()), S_OK);
    MediaType connected;
    ASSERT_EQ(grabber->GetConnectedMediaType(&connected), S_OK);
    ASSERT_NE(connected.VideoInfo(), nullptr);
    catcher->width = connected.VideoInfo()->bmiHeader.biWidth;
    catcher->height = connected.VideoInfo()->bmiHeader.biHeight;
    auto grabberOut = ComPtr<IPin>::Attach(FirstPin(grabberFilter.Get(), PINDIR_OUTPUT));
    ASSERT_EQ(graph->Render(grabberOut.Get()), S_OK);
    grabber->SetBufferSamples(FALSE);
    grabber->SetOneShot(oneShot);
    grabber->SetCallback(catcher, 1);
    ComPtr<IVideoWindow> window;
    ASSERT_EQ(graph.As(IID_IVideoWindow, window), S_OK);
    window->put_AutoShow(0);
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(graph.As(IID_IMediaSeeking, seeking), S_OK);
    LONGLONG start = LONGLONG(seconds * 10000000);
    ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr,
                                    AM_SEEKING_NoPositioning), S_OK);
    ComPtr<IMediaEventEx> events;
    ComPtr<IMediaControl> control;
    ASSERT_EQ(graph.As(IID_IMediaEventEx, events), S_OK);
    ASSERT_EQ(graph.As(IID_IMediaControl, control), S_OK);
    if (notify) events->SetNotifyWindow(OAHWND(notify), LONG(window::WM_APP + 1), 77);
    ASSERT_EQ(control->Run(), S_OK);
    LONG code = 0;
    ASSERT_EQ(events->WaitForCompletion(INFINITE, &code), S_OK);
    EXPECT_EQ(code, EC_COMPLETE);
    control->Stop();
  }

  static TempFolder* folder_;
  static std::string clip_;
};

TempFolder* MediaGraphTest::folder_ = nullptr;
std::string MediaGraphTest::clip_;

TEST_F(MediaGraphTest, OneShotGrabLandsOnTheFrameShownAtTheSeekTime) {
  for (auto [seconds, colour] : {std::pair{0.0, 'r'}, {0.5, 'r'}, {1.5, 'g'}, {2.2, 'b'}, {2.96, 'b'}}) {
    auto* catcher = new FrameCatcher;
    Grab(seconds, true, catcher);
    ASSERT_EQ(catcher->centres.size(), 1u) << seconds;
    EXPECT_EQ(Colour(catcher->centres[0]), colour) << "at " << seconds << " s";
    EXPECT_EQ(catcher->lengths[0], 320 * 240 * 3);
    catcher->Release();
  }
}

TEST_F(MediaGraphTest, AFullRunDeliversEveryFrameFromTheSeekPositionAndPostsCompletion) {
  std::vector<std::pair<window::UINT, window::LPARAM>> posted;
  window::HWND hwnd = window::CreateNotifyWindow(
      [&](window::HWND, window::UINT m, window::WPARAM, window::LPARAM l) -> window::LRESULT {
        posted.emplace_back(m, l);
        return 0;
      });
  auto* catcher = new FrameCatcher;
  Grab(2.0, false, catcher, hwnd);
  window::PumpPendingMessages();
  EXPECT_EQ(posted, (std::vector<std::pair<window::UINT, window::LPARAM>>{{window::WM_APP + 1, 77}}));
  ASSERT_GE(catcher->centres.size(), 24u);
  ASSERT_LE(catcher->centres.size(), 26u);
  EXPECT_EQ(Colour(catcher->centres.front()), 'b');
  EXPECT_NEAR(catcher->times.front(), 0.0, 0.001);  // times count from the seek position
  for (size_t i = 1; i < catcher->times.size(); ++i) EXPECT_GT(catcher->times[i], catcher->times[i - 1]);
  catcher->Release();
  window::DestroyWindow(hwnd);
}

TEST_F(MediaGraphTest, BadSourcesFailToLoadOrConnectWithoutHanging) {
  TempFolder folder;
  test::WriteText(folder / "empty.mpg", "");
  test::WriteText(folder / "corrupt.avi", std::string(5000, '\x5a'));
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                             graph.PutVoid()), S_OK);
  for (const char* name : {"missing.mpg", "empty.mpg", "corrupt.avi"}) {
    ComPtr<IBaseFilter> source;
    EXPECT_TRUE(FAILED(graph->AddSourceFilter(Bstr(folder / name).Get(), nullptr, source.Put()))) << name;
    EXPECT_FALSE(source);
  }
  // Through a file source: the load takes any existing file, the connection then fails.
  ComPtr<IBaseFilter> reader, grabber;
  CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reader.PutVoid());
  CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, grabber.PutVoid());
  graph->AddFilter(reader.Get(), u"Source");
  graph->AddFilter(grabber.Get(), u"Grabber");
  ComPtr<IFileSourceFilter> loader;
  reader.As(IID_IFileSourceFilter, loader);
  EXPECT_EQ(loader->Load(Bstr(folder / "missing.mpg").Get(), nullptr), Code(0x80070002));
  ASSERT_EQ(loader->Load(Bstr(folder / "corrupt.avi").Get(), nullptr), S_OK);
  auto out = ComPtr<IPin>::Attach(FirstPin(reader.Get(), PINDIR_OUTPUT));
  auto in = ComPtr<IPin>::Attach(FirstPin(grabber.Get(), PINDIR_INPUT));
  EXPECT_TRUE(FAILED(graph->Connect(out.Get(), in.Get())));
  // A graph that never ran does not wait for ever.
  ComPtr<IMediaEventEx> events;
  graph.As(IID_IMediaEventEx, events);
  LONG code = -1;
  EXPECT_EQ(events->WaitForCompletion(INFINITE, &code), VFW_E_WRONG_STATE);
}

TEST_F(MediaGraphTest, CaptureGraphBuilderWiresVideoThenAudioFromADecodingSource) {
  ComPtr<IGraphBuilder> graph;
  ComPtr<ICaptureGraphBuilder2> builder;
  CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid());
  ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                             IID_ICaptureGraphBuilder2, builder.PutVoid()), S_OK);
  ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
  ComPtr<IBaseFilter> source;
  ASSERT_EQ(graph->AddSourceFilter(Bstr(clip_).Get(), nullptr, source.Put()), S_OK);
  ComPtr<IBaseFilter> videoSink, audioSink;
  CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, videoSink.PutVoid());
  CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, audioSink.PutVoid());
  graph->AddFilter(videoSink.Get(), u"V");
  graph->AddFilter(audioSink.Get(), u"A");
  EXPECT_EQ(builder->RenderStream(nullptr, nullptr, source.Get(), nullptr, videoSink.Get()), S_OK);
  EXPECT_EQ(builder->RenderStream(nullptr, &MEDIATYPE_Audio, source.Get(), nullptr, audioSink.Get()), S_OK);
  auto videoIn = ComPtr<IPin>::Attach(FirstPin(videoSink.Get(), PINDIR_INPUT));
  auto audioIn = ComPtr<IPin>::Attach(FirstPin(audioSink.Get(), PINDIR_INPUT));
  MediaType v, a;
  videoIn->ConnectionMediaType(&v);
  audioIn->ConnectionMediaType(&a);
  EXPECT_EQ(v.majortype, MEDIATYPE_Video);
  ASSERT_NE(a.WaveFormat(), nullptr);
  EXPECT_EQ(a.WaveFormat()->nSamplesPerSec, 44100u);
  ComPtr<IPin> found;
  EXPECT_EQ(builder->FindPin(source.Get(), PINDIR_OUTPUT, nullptr, &MEDIATYPE_Audio, FALSE, 0, found.Put()), S_OK);
  EXPECT_EQ(builder->FindPin(source.Get(), PINDIR_OUTPUT, nullptr, nullptr, TRUE, 0, found.Put()), E_FAIL);

  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  graph.As(IID_IMediaControl, control);
  graph.As(IID_IMediaEventEx, events);
  ASSERT_EQ(control->Run(), S_OK);
  LONG code = 0;
  ASSERT_EQ(events->WaitForCompletion(INFINITE, &code), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);  // both renderers ended
  LONG_PTR p1, p2;
  ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 0), S_OK);
  EXPECT_EQ(code, EC_COMPLETE);
  EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 0), E_ABORT);  // one completion, not two
  control->Stop();
  EXPECT_EQ(graph->RemoveFilter(source.Get()), S_OK);
  EXPECT_FALSE(SUCCEEDED(videoIn->ConnectedTo(found.Put())));
}

TEST_F(MediaGraphTest, MediaDetectorReportsStreamsAndPictures) {
  ComPtr<IMediaDet> det;
  ASSERT_EQ(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet, det.PutVoid()), S_OK);
  ASSERT_EQ(det->put_Filename(Bstr(clip_).Get()), S_OK);
  LONG streams = 0;
  det->get_OutputStreams(&streams);
  ASSERT_EQ(streams, 2);
  bool sawVideo = false;
  for (LONG i = 0; i < streams; ++i) {
    ASSERT_EQ(det->put_CurrentStream(i), S_OK);
    GUID type;
    det->get_StreamType(&type);
    double length = 0;
    det->get_StreamLength(&length);
    // libavformat estimates an MPEG program stream's video length from its last time
    // stamps (ffprobe says 2.64 s for this clip too).
    EXPECT_NEAR(length, 3.0, 0.4);
    if (type != MEDIATYPE_Video) continue;
    sawVideo = true;
    double rate = 0;
    det->get_FrameRate(&rate);
    EXPECT_DOUBLE_EQ(rate, 25.0);
    MediaType mt;
    ASSERT_EQ(det->get_StreamMediaType(&mt), S_OK);
    EXPECT_EQ(mt.formattype, FORMAT_VideoInfo);
    EXPECT_EQ(mt.cbFormat, 88u);
    ASSERT_NE(mt.VideoInfo(), nullptr);
    EXPECT_EQ(mt.VideoInfo()->bmiHeader.biWidth, 320);
    EXPECT_EQ(mt.VideoInfo()->bmiHeader.biHeight, 240);
  }
  EXPECT_TRUE(sawVideo);
  EXPECT_EQ(det->put_CurrentStream(2), E_INVALIDARG);
  LONG size = 0;
  ASSERT_EQ(det->GetBitmapBits(0, &size, nullptr, 80, 60), S_OK);
  EXPECT_EQ(size, 40 + 80 * 60 * 3);
  std::vector<char> buffer(static_cast<size_t>(size));
  ASSERT_EQ(det->GetBitmapBits(1.5, &size, buffer.data(), 80, 60), S_OK);
  BITMAPINFOHEADER header;
  std::memcpy(&header, buffer.data(), 40);
  EXPECT_EQ(header.biWidth, 80);
  EXPECT_EQ(header.biBitCount, 24);
  const BYTE* centre = reinterpret_cast<const BYTE*>(buffer.data()) + 40 + (30 * 80 + 40) * 3;
  EXPECT_EQ(Colour({centre[0], centre[1], centre[2]}), 'g');
  EXPECT_EQ(det->GetBitmapBits(0, &size, nullptr, 100000, 60), E_INVALIDARG);

  TempFolder out;
  ASSERT_EQ(det->WriteBitmapBits(2.5, 163, 112, Bstr(out / "poster.bmp").Get()), S_OK);
  std::string bmp = test::ReadText(out / "poster.bmp");
  EXPECT_EQ(bmp.size(), 54u + 492u * 112u);  // rows of 163 x 3 bytes padded to 492
  EXPECT_EQ(bmp.substr(0, 2), "BM");

  ComPtr<IMediaDet> bad;
  CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet, bad.PutVoid());
  EXPECT_TRUE(FAILED(bad->put_Filename(Bstr(out / "nothing.mpg").Get())));
  EXPECT_EQ(bad->get_OutputStreams(&streams), E_INVALIDARG);
}

}  // namespace
// A picture's buffer goes back to its sender's pool only when the sample's last holder lets
// go: a receiver that queues samples never sees one overwritten by a later picture.
TEST(SampleBufferPool, ABufferIsLentAgainOnlyAfterItsSampleIsGone) {
  auto pool = std::make_shared<SampleBufferPool>(2);
  auto* first = new MediaSample(1000, pool);
  auto* second = new MediaSample(1000, pool);
  BYTE *a = nullptr, *b = nullptr;
  first->GetPointer(&a);
  second->GetPointer(&b);
  EXPECT_NE(a, b);
  EXPECT_EQ(first->GetSize(), 1000);
  std::memset(a, 7, 1000);
  first->AddRef();  // a receiver keeps it past the sender's release
  first->Release();
  auto* third = new MediaSample(1000, pool);
  BYTE* c = nullptr;
  third->GetPointer(&c);
  EXPECT_NE(c, a);
  EXPECT_NE(c, b);
  EXPECT_EQ(a[999], 7);
  first->Release();  // now gone: its buffer is lent to the next sample
  auto* fourth = new MediaSample(1000, pool);
  BYTE* d = nullptr;
  fourth->GetPointer(&d);
  EXPECT_EQ(d, a);
  // A new picture size lets go of the kept buffers of the old one.
  second->Release();
  third->Release();
  auto* larger = new MediaSample(4000, pool);
  EXPECT_EQ(larger->GetSize(), 4000);
  larger->Release();
  fourth->Release();
  auto* again = new MediaSample(4000, pool);
  EXPECT_EQ(again->GetSize(), 4000);
  again->Release();
}

// A decoder's picture lent plane by plane: a consumer that reads planes gets them as they
// are, one that asks for the pointer gets them packed as I420; the owner lives as long as
// the sample.
TEST(LentPlanes, ReachPlaneReadersAsTheyAreAndOthersPacked) {
  constexpr int kWidth = 5, kHeight = 3, kStride = 8, kChromaStride = 4;  // odd sizes round up
  auto rows = std::make_shared<std::array<BYTE, kStride * kHeight + 2 * kChromaStride * 2>>();
  rows->fill(0xEE);  // what lies past each row's end must not reach a packed picture
  BYTE* y = rows->data();
  BYTE* u = y + kStride * kHeight;
  BYTE* v = u + kChromaStride * 2;
  for (int r = 0; r < kHeight; ++r)
    for (int c = 0; c < kWidth; ++c) y[r * kStride + c] = BYTE(10 * r + c);
  for (int r = 0; r < 2; ++r)
    for (int c = 0; c < 3; ++c) u[r * kChromaStride + c] = BYTE(100 + 10 * r + c), v[r * kChromaStride + c] = BYTE(200 + 10 * r + c);
  std::weak_ptr<const void> owner;
  {
    LentPlanes picture;
    picture.owner = rows;
    owner = rows;
    picture.planes[0] = y, picture.planes[1] = u, picture.planes[2] = v;
    picture.strides[0] = kStride, picture.strides[1] = picture.strides[2] = kChromaStride;
    picture.width = kWidth;
    picture.height = kHeight;
    rows.reset();
    auto* sample = new MediaSample(std::move(picture));
    const LONG packedSize = kWidth * kHeight + 2 * 3 * 2;
    EXPECT_EQ(sample->GetSize(), packedSize);
    EXPECT_EQ(sample->SetActualDataLength(packedSize), S_OK);
    EXPECT_EQ(sample->SetActualDataLength(packedSize + 1), E_INVALIDARG);

    ComPtr<IPlanarSample> planar;
    ASSERT_EQ(sample->QueryInterface(IID_IPlanarSample, planar.PutVoid()), S_OK);
    const BYTE* planes[3] = {};
    LONG strides[3] = {};
    ASSERT_EQ(planar->GetPlanes(planes, strides), S_OK);
    EXPECT_EQ(planes[0], y);
    EXPECT_EQ(planes[2], v);
    EXPECT_EQ(strides[0], kStride);
    EXPECT_EQ(strides[1], kChromaStride);

    BYTE* packed = nullptr;
    ASSERT_EQ(sample->GetPointer(&packed), S_OK);
    const std::vector<BYTE> got(packed, packed + packedSize);
    const std::vector<BYTE> want{0,   1,   2,   3,   4,   10,  11,  12,  13,  14,  20,  21,  22,  23,  24,
                                 100, 101, 102, 110, 111, 112, 200, 201, 202, 210, 211, 212};
    EXPECT_EQ(got, want);
    planar.Reset();
    EXPECT_FALSE(owner.expired());
    sample->Release();
  }
  EXPECT_TRUE(owner.expired()) << "the decoder's picture goes back once the sample is gone";

  // A sample with a buffer of its own has no planes to lend.
  auto* plain = new MediaSample(16);
  ComPtr<IPlanarSample> none;
  EXPECT_EQ(plain->QueryInterface(IID_IPlanarSample, none.PutVoid()), E_NOINTERFACE);
  plain->Release();
}

}  // namespace vantrel::media
