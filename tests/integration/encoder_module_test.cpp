// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder module as the program and the conversion component use it: built on its own,
// registered with regsvr32, created by class id, its slots called by position, and real
// conversions through the filter graph read back with libavformat and given to dvdauthor.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <thread>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "convert/encoder_interfaces.h"
#include "convert/mpeg_encoder.h"
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/media/filter_base.h"
#include "platform/media/media_type.h"
#include "platform/registry/registry.h"
#include "support/captured_log.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

using namespace media;

const std::string kModule = std::string(VANTREL_APP_BUILD_DIR) + "/mpgfiltr.so";
const std::string kRegsvr32 = std::string(VANTREL_APP_BUILD_DIR) + "/regsvr32";

int RunRegsvr32(const std::string& arguments) {
  int status = std::system((ShellQuote(kRegsvr32) + " " + arguments + " >/dev/null").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Every integration test of this program converts through the module, so the process gets
// a registry of its own with the module registered, as start-up registers it.
class RegisteredEncoderModule : public testing::Environment {
 public:
  void SetUp() override {
    folder_ = std::make_unique<TempFolder>();
    setenv("VANTREL_REGISTRY_DIR", (*folder_ / "registry").c_str(), 1);
    ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);
  }
  void TearDown() override { folder_.reset(); }

 private:
  std::unique_ptr<TempFolder> folder_;
};
[[maybe_unused]] testing::Environment* const gModuleEnvironment =
    testing::AddGlobalTestEnvironment(new RegisteredEncoderModule);

bool ModuleLoaded() {
  auto modules = LoadedModules();
  return std::find(modules.begin(), modules.end(), kModule) != modules.end();
}

// Calls slot `slot` of an interface by its position in the table, as a caller compiled
// against the other platform's layout would.
template <class... Args>
HRESULT CallSlot(void* object, int slot, Args... args) {
  using Fn = HRESULT (*)(void*, Args...);
  void** table = *static_cast<void***>(object);
  return reinterpret_cast<Fn>(table[slot])(object, args...);
}

std::vector<std::string> PinNames(IBaseFilter* filter) {
  std::vector<std::string> names;
  ComPtr<IEnumPins> pins;
  filter->EnumPins(pins.Put());
  IPin* pin = nullptr;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_INFO info;
    pin->QueryPinInfo(&info);
    PIN_DIRECTION direction;
    pin->QueryDirection(&direction);
    names.push_back(Utf8FromBstr(info.achName) + (direction == PINDIR_INPUT ? " in" : " out"));
    info.pFilter->Release();
    pin->Release();
  }
  return names;
}

TEST(EncoderModule, RegisteredByRegsvr32CreatedByClassIdAndUnloadedWhenUnused) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  const std::string classKey = "CLSID\\" + GuidToString(CLSID_MpegEncoderFilter);
  ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);
  EXPECT_EQ(registry::GetString(registry::Root::ClassesRoot, classKey + "\\InprocServer32", ""), kModule);

  CoInitialize();
  {
    ComPtr<IBaseFilter> encoder;
    ASSERT_EQ(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               encoder.PutVoid()),
              S_OK);
    EXPECT_TRUE(ModuleLoaded());
    EXPECT_EQ(PinNames(encoder.Get()), (std::vector<std::string>{"Video in", "Audio in"}));
    for (const IID& iid : {IID_IFileSinkFilter, IID_IMediaSeeking, IID_IEncoderControl, IID_IEncoderStatistics}) {
      ComPtr<IUnknown> face;
      EXPECT_EQ(encoder->QueryInterface(iid, face.PutVoid()), S_OK) << GuidToString(iid);
    }
    CLSID clsid{};
    encoder->GetClassID(&clsid);
    EXPECT_EQ(clsid, CLSID_MpegEncoderFilter);
    // A settings object outlives the filter and keeps the module loaded on its own.
    ComPtr<IEncoderControl> control;
    encoder.As(IID_IEncoderControl, control);
    ComPtr<IEncoderSettings> settings;
    ASSERT_EQ(control->GetSettings(settings.Put()), S_OK);
    encoder.Reset();
    control.Reset();
    CoFreeUnusedLibraries();
    EXPECT_TRUE(ModuleLoaded()) << "unloaded while an object lives";
  }
  CoFreeUnusedLibraries();
  EXPECT_FALSE(ModuleLoaded());
  CoUninitialize();

  ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /u /s"), 0);
  EXPECT_FALSE(registry::KeyExists(registry::Root::ClassesRoot, classKey));
}

TEST(EncoderModule, ControlAndSettingsSlotsByPosition) {
  ScopedCoInitialize com;
  ComPtr<IBaseFilter> encoder;
  ASSERT_EQ(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                             encoder.PutVoid()),
            S_OK);
  ComPtr<IEncoderControl> control;
  ASSERT_EQ(encoder.As(IID_IEncoderControl, control), S_OK);
  void* c = control.Get();

  // 6 set format, 4 get settings: VCD NTSC, then sizes and rates read back by slot.
  ASSERT_EQ(CallSlot(c, 6, LONG(3), LONG(1)), S_OK);
  IEncoderSettings* raw = nullptr;
  ASSERT_EQ(CallSlot(c, 4, &raw), S_OK);
  auto vcd = ComPtr<IEncoderSettings>::Attach(raw);
  void* s = vcd.Get();
  LONG width = 0, height = 0, rate = 0, mode = -1;
  double fps = 0;
  CallSlot(s, 12, &width);
  CallSlot(s, 7, &height);
  CallSlot(s, 10, &fps);
  EXPECT_EQ(width, 352);
  EXPECT_EQ(height, 240);
  EXPECT_NEAR(fps, 29.97, 0.01);
  CallSlot(s, 28, &mode);
  EXPECT_EQ(mode, 0);  // VCD players expect a constant rate

  // Setters change this settings object: size, rates, quality, modes.
  EXPECT_EQ(CallSlot(s, 11, LONG(480)), S_OK);
  EXPECT_EQ(CallSlot(s, 8, LONG(576)), S_OK);
  EXPECT_EQ(CallSlot(s, 9, 25.0), S_OK);
  EXPECT_EQ(CallSlot(s, 13, LONG(2000000)), S_OK);
  EXPECT_EQ(CallSlot(s, 23, LONG(192000)), S_OK);
  EXPECT_EQ(CallSlot(s, 25, LONG(90)), S_OK);
  EXPECT_EQ(CallSlot(s, 27, LONG(2)), S_OK);
  EXPECT_EQ(CallSlot(s, 17, BYTE(1)), S_OK);
  EXPECT_EQ(CallSlot(s, 35, LONG(48000)), S_OK);
  EXPECT_EQ(CallSlot(s, 42, LONG(3)), S_OK);
  EXPECT_EQ(CallSlot(s, 44, LONG(2)), S_OK);
  BYTE autoSize = 0, autoRate = 1;
  CallSlot(s, 12, &width);
  CallSlot(s, 7, &height);
  CallSlot(s, 10, &fps);
  CallSlot(s, 14, &rate);
  EXPECT_EQ(width, 480);
  EXPECT_EQ(height, 576);
  EXPECT_EQ(fps, 25.0);
  EXPECT_EQ(rate, 2000000);
  CallSlot(s, 24, &rate);
  EXPECT_EQ(rate, 192000);
  CallSlot(s, 26, &rate);
  EXPECT_EQ(rate, 90);
  CallSlot(s, 28, &mode);
  EXPECT_NE(mode, 0);
  CallSlot(s, 18, &autoSize);
  CallSlot(s, 16, &autoRate);
  EXPECT_EQ(autoSize, 1);
  EXPECT_EQ(autoRate, 0);  // a rate set by hand is no longer automatic

  // Values a stream cannot carry are refused and change nothing.
  EXPECT_EQ(CallSlot(s, 11, LONG(0)), E_INVALIDARG);
  EXPECT_EQ(CallSlot(s, 35, LONG(22050)), E_INVALIDARG);
  EXPECT_EQ(CallSlot(s, 25, LONG(101)), E_INVALIDARG);
  EXPECT_EQ(CallSlot(s, 44, LONG(3)), E_INVALIDARG);
  CallSlot(s, 12, &width);
  EXPECT_EQ(width, 480);
  // Slots the callers do not name exist and answer "not implemented".
  for (int slot : {3, 4, 5, 6, 19, 22, 32, 34, 36, 41, 43}) EXPECT_EQ(CallSlot(s, slot), E_NOTIMPL) << slot;
  // The disc's shape (29, read back through 30) and its one sound format (31).
  LONG shape = -1;
  EXPECT_EQ(CallSlot(s, 29, LONG(1)), E_INVALIDARG);  // square pixels are no disc shape
  ASSERT_EQ(CallSlot(s, 29, LONG(3)), S_OK);
  ASSERT_EQ(CallSlot(s, 30, &shape), S_OK);
  EXPECT_EQ(shape, 3);
  EXPECT_EQ(CallSlot(s, 31, LONG(1)), S_OK);
  for (int slot : {3, 5, 7, 10, 11, 12}) EXPECT_EQ(CallSlot(c, slot), E_NOTIMPL) << slot;

  // A new format gives a new settings object; the old one keeps what it had.
  EXPECT_EQ(CallSlot(c, 6, LONG(6), LONG(3)), E_INVALIDARG);
  EXPECT_EQ(CallSlot(c, 6, LONG(5), LONG(2)), E_INVALIDARG);  // PAL is 3, not 2
  ASSERT_EQ(CallSlot(c, 6, LONG(5), LONG(3)), S_OK);
  ASSERT_EQ(CallSlot(c, 4, &raw), S_OK);
  auto dvd = ComPtr<IEncoderSettings>::Attach(raw);
  EXPECT_NE(dvd.Get(), vcd.Get());
  dvd->GetWidth(&width);
  dvd->GetHeight(&height);
  EXPECT_EQ(width, 720);
  EXPECT_EQ(height, 576);
  vcd->GetWidth(&width);
  EXPECT_EQ(width, 480);

  // 13 suggests a rate the format can carry.
  double suggested = 0;
  EXPECT_EQ(CallSlot(c, 13, 29.97, &suggested), S_OK);
  EXPECT_EQ(suggested, 25.0);
  ASSERT_EQ(control->SetFormat(2, 0), S_OK);  // plain MPEG-2 keeps the source's rate
  EXPECT_EQ(CallSlot(c, 13, 23.976, &suggested), S_OK);
  EXPECT_NEAR(suggested, 24000.0 / 1001, 1e-9);
  EXPECT_EQ(CallSlot(c, 13, 12.5, &suggested), S_OK);
  EXPECT_NEAR(suggested, 24000.0 / 1001, 1e-9);  // the lowest rate MPEG can name

  // Statistics slot 3 and the seeking positions before anything was fed.
  ComPtr<IEncoderStatistics> statistics;
  ASSERT_EQ(encoder.As(IID_IEncoderStatistics, statistics), S_OK);
  LONG frames = -1;
  EXPECT_EQ(CallSlot(statistics.Get(), 3, &frames), S_OK);
  EXPECT_EQ(frames, 0);
  ComPtr<IMediaSeeking> seeking;
  ASSERT_EQ(encoder.As(IID_IMediaSeeking, seeking), S_OK);
  LONGLONG duration = -1, position = -1;
  EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_EQ(seeking->GetCurrentPosition(&position), S_OK);
  EXPECT_EQ(duration, 0);
  EXPECT_EQ(position, 0);
}

TEST(EncoderModule, SettingsAreSavedToAndLoadedFromTheRegistryKeyGiven) {
  TempFolder folder;
  ScopedEnv registryDir("VANTREL_REGISTRY_DIR", folder.Path());
  ASSERT_EQ(RunRegsvr32(ShellQuote(kModule) + " /s"), 0);
  ScopedCoInitialize com;
  ComPtr<IBaseFilter> encoder;
  ASSERT_EQ(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                             encoder.PutVoid()),
            S_OK);
  ComPtr<IEncoderControl> control;
  encoder.As(IID_IEncoderControl, control);
  control->SetFormat(4, 3);  // SVCD PAL
  ComPtr<IEncoderSettings> settings;
  control->GetSettings(settings.Put());
  settings->SetVideoBitRate(2200000);
  settings->SetBitRateMode(0);

  const std::string key = "Software\\Vantrel\\Encoder \"test\" 设置";
  Bstr keyText(key);
  ASSERT_EQ(CallSlot(control.Get(), 8, keyText.Get()), S_OK);
  EXPECT_TRUE(registry::KeyExists(registry::Root::CurrentUser, key));

  control->SetFormat(5, 1);  // DVD NTSC, then back through slot 9
  ASSERT_EQ(CallSlot(control.Get(), 9, keyText.Get()), S_OK);
  control->GetSettings(settings.Put());
  LONG width = 0, height = 0, rate = 0, mode = -1;
  settings->GetWidth(&width);
  settings->GetHeight(&height);
  settings->GetVideoBitRate(&rate);
  settings->GetBitRateMode(&mode);
  EXPECT_EQ(width, 480);
  EXPECT_EQ(height, 576);
  EXPECT_EQ(rate, 2200000);
  EXPECT_EQ(mode, 0);

  // A key with nothing saved, or no key, is an error and the settings stay as they are.
  Bstr missing("Software\\Vantrel\\Nothing here");
  EXPECT_TRUE(com::FAILED(control->LoadSettings(missing.Get())));
  EXPECT_EQ(control->LoadSettings(nullptr), E_INVALIDARG);
  EXPECT_EQ(control->SaveSettings(nullptr), E_INVALIDARG);
  ComPtr<IEncoderSettings> still;
  control->GetSettings(still.Put());
  EXPECT_EQ(still.Get(), settings.Get());
}

// A graph the way the conversion client builds it, run to its end.
struct EncoderGraph {
  ComPtr<IGraphBuilder> graph;
  ComPtr<ICaptureGraphBuilder2> builder;
  ComPtr<IBaseFilter> source;
  ComPtr<IBaseFilter> encoder;
  ComPtr<IMediaSeeking> seeking;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;

  void Build(const std::string& input, const std::string& output, LONG tv, bool sound = true,
             const GUID* pictureType = nullptr) {
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                               IID_ICaptureGraphBuilder2, builder.PutVoid()),
              S_OK);
    builder->SetFiltergraph(graph.Get());
    ASSERT_EQ(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               encoder.PutVoid()),
              S_OK);
    ComPtr<IEncoderControl> encoderControl;
    encoder.As(IID_IEncoderControl, encoderControl);
    encoderControl->SetFormat(5, tv);
    ComPtr<IFileSinkFilter> sink;
    encoder.As(IID_IFileSinkFilter, sink);
    ASSERT_EQ(sink->SetFileName(Bstr(output).Get(), nullptr), S_OK);
    ASSERT_EQ(graph->AddSourceFilter(Bstr(input).Get(), nullptr, source.Put()), S_OK);
    ASSERT_EQ(graph->AddFilter(encoder.Get(), u"MPEG Mux Filter"), S_OK);
    encoder.As(IID_IMediaSeeking, seeking);
    if (pictureType) {
      // Pictures of one type only, as a sender that offers nothing else.
      ComPtr<IPin> out, in;
      ASSERT_EQ(source->FindPin(u"Video", out.Put()), S_OK);
      ASSERT_EQ(encoder->FindPin(u"Video", in.Put()), S_OK);
      AM_MEDIA_TYPE only{};
      only.majortype = MEDIATYPE_Video;
      only.subtype = *pictureType;
      ASSERT_EQ(graph->ConnectDirect(out.Get(), in.Get(), &only), S_OK);
    } else {
      ASSERT_EQ(builder->RenderStream(nullptr, nullptr, source.Get(), nullptr, encoder.Get()), S_OK);
    }
    HRESULT audio = builder->RenderStream(nullptr, &MEDIATYPE_Audio, source.Get(), nullptr, encoder.Get());
    ASSERT_EQ(audio, sound ? S_OK : VFW_E_CANNOT_CONNECT);
    graph.As(IID_IMediaControl, control);
    graph.As(IID_IMediaEventEx, events);
  }
  LONG RunToEnd() {
    EXPECT_EQ(control->Run(), S_OK);
    LONG code = 0;
    events->WaitForCompletion(INFINITE, &code);
    control->Stop();
    return code;
  }
};

TEST(EncoderModule, ConvertsAnAviThroughTheGraphAndReportsWhatItWasFedAndWrote) {
  TempFolder temp;
  const std::string source = temp / "clip 视频.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(640, 480, "25", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v mpeg4 -q:v 3 -c:a libmp3lame -b:a 128k -f avi",
                       source));
  const std::string output = temp / "title.mpg";
  ScopedCoInitialize com;
  EncoderGraph g;
  ASSERT_NO_FATAL_FAILURE(g.Build(source, output, 3));
  LONGLONG fed = 0;
  g.seeking->GetDuration(&fed);
  EXPECT_NEAR(fed / 1e7, 2.0, 0.05);  // known from the source before the run
  ASSERT_EQ(g.RunToEnd(), EC_COMPLETE);

  LONGLONG duration = 0, position = 0;
  g.seeking->GetDuration(&duration);
  g.seeking->GetCurrentPosition(&position);
  EXPECT_NEAR(position / 1e7, duration / 1e7, 0.04 + 1e-6);
  ComPtr<IEncoderStatistics> statistics;
  g.encoder.As(IID_IEncoderStatistics, statistics);
  LONG frames = 0;
  statistics->GetFramesEncoded(&frames);

  EXPECT_TRUE(HasDvdNavigationPacks(output));
  std::string log;
  EXPECT_TRUE(DvdauthorAccepts(output, temp.Path(), false, log)) << log;
  MediaFacts f = ReadBack(output), s = ReadBack(source);
  EXPECT_EQ(frames, f.videoFrames);  // the statistics count what was written
  EXPECT_EQ(f.videoCodec, "mpeg2video");
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.height, 576);
  EXPECT_NEAR(f.frameRate, 25.0, 0.001);
  EXPECT_EQ(f.audioCodec, "ac3");
  EXPECT_EQ(f.sampleRate, 48000);
  EXPECT_NEAR(f.videoSeconds, s.videoSeconds, 0.08 + 1e-6);
  EXPECT_NEAR(f.flashSeconds, s.flashSeconds, 0.041);
  EXPECT_NEAR(f.flashSeconds - f.beepSeconds, s.flashSeconds - s.beepSeconds, 0.04 + 0.025);
}

GUID PictureTypeOf(IBaseFilter* encoder) {
  ComPtr<IPin> in;
  encoder->FindPin(u"Video", in.Put());
  AM_MEDIA_TYPE mt{};
  in->ConnectionMediaType(&mt);
  GUID subtype = mt.subtype;
  FreeMediaType(mt);
  return subtype;
}

TEST(EncoderModule, PlanarOrRgbPicturesBothKeepTheSourcesShapeAndTiming) {
  TempFolder temp;
  // Wide pictures in a 720 x 576 frame (non-square pixels); the sound rules out a copy.
  const std::string source = temp / "wide.mkv";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v mpeg2video -b:v 4M -aspect 16:9 -c:a libmp3lame",
                       source));
  const MediaFacts s = ReadBack(source);
  ASSERT_NEAR(s.displayAspect, 16.0 / 9, 0.01);
  ScopedCoInitialize com;
  for (const GUID* type : {static_cast<const GUID*>(nullptr), &MEDIASUBTYPE_RGB24, &MEDIASUBTYPE_RGB32}) {
    const std::string output = temp / (type ? GuidToString(*type) : std::string("default")) + ".mpg";
    SCOPED_TRACE(output);
    EncoderGraph g;
    ASSERT_NO_FATAL_FAILURE(g.Build(source, output, 3, true, type));
    // Left to choose, the module takes the decoder's planar pictures.
    EXPECT_EQ(PictureTypeOf(g.encoder.Get()), type ? *type : MEDIASUBTYPE_I420);
    ASSERT_EQ(g.RunToEnd(), EC_COMPLETE);
    MediaFacts f = ReadBack(output);
    EXPECT_EQ(f.width, 720);
    EXPECT_EQ(f.height, 576);
    EXPECT_NEAR(f.displayAspect, 16.0 / 9, 0.01);
    EXPECT_NEAR(f.videoSeconds, s.videoSeconds, 0.08 + 1e-6);
    EXPECT_NEAR(f.flashSeconds, s.flashSeconds, 0.041);
    EXPECT_NEAR(f.flashSeconds - f.beepSeconds, s.flashSeconds - s.beepSeconds, 0.04 + 0.025);
  }
}

TEST(EncoderModule, AWholeLegalFileIsCopiedAPartOfItIsEncoded) {
  TempFolder temp;
  const std::string source = temp / "pal.vob";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 2) + " " + BeepAudioInput(48000, 2) +
                           " -c:v mpeg2video -b:v 5M -maxrate 8M -bufsize 1835k -aspect 4:3 -c:a mp2 -b:a 224k -f vob",
                       source));
  // The whole file: its MPEG audio is kept as it is, which only a copy does (an encode
  // writes AC-3 for the program).
  std::string whole = temp / "whole.mpg";
  std::string error;
  ASSERT_TRUE(ConvertToDvdMpeg(source, whole, TvStandard::Pal, {}, &error)) << error;
  EXPECT_EQ(ReadBack(whole).audioCodec, "mp2");
  EXPECT_EQ(ReadBack(whole).videoFrames, ReadBack(source).videoFrames);
  EXPECT_TRUE(HasDvdNavigationPacks(whole));

  // From half a second on: what is fed is encoded, and its length is what was fed.
  const std::string part = temp / "part.mpg";
  ScopedCoInitialize com;
  EncoderGraph g;
  ASSERT_NO_FATAL_FAILURE(g.Build(source, part, 3));
  ComPtr<IMediaSeeking> graphSeeking;
  g.graph.As(IID_IMediaSeeking, graphSeeking);
  LONGLONG from = 5000000;
  ASSERT_EQ(graphSeeking->SetPositions(&from, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
            S_OK);
  LONGLONG fed = 0;
  g.seeking->GetDuration(&fed);
  EXPECT_NEAR(fed / 1e7, 1.5, 0.05);
  ASSERT_EQ(g.RunToEnd(), EC_COMPLETE);
  MediaFacts f = ReadBack(part);
  EXPECT_EQ(f.audioCodec, "ac3");
  EXPECT_NEAR(f.videoSeconds, 1.5, 0.08 + 1e-6);
  std::string log;
  EXPECT_TRUE(DvdauthorAccepts(part, temp.Path(), false, log)) << log;
}

// Pictures that count how many of them are alive at once.
std::atomic<int> gLiveSamples{0}, gMostLiveSamples{0};
class CountedSample : public MediaSample {
 public:
  explicit CountedSample(size_t size) : MediaSample(size) {
    int live = ++gLiveSamples;
    int most = gMostLiveSamples;
    while (live > most && !gMostLiveSamples.compare_exchange_weak(most, live)) {
    }
  }
  ~CountedSample() override { --gLiveSamples; }
};

// A source that sends small grey pictures as fast as the receiver takes them.
class FastSource : public FilterBase {
 public:
  static constexpr int kWidth = 64, kHeight = 48;
  explicit FastSource(int pictures) : FilterBase(GUID{}), pictures_(pictures) { AddPin(new Out(this)); }
  ~FastSource() override { OnStop(); }

 protected:
  HRESULT OnRun() override {
    if (!thread_.joinable()) thread_ = std::thread([this] { Send(); });
    return S_OK;
  }
  void OnStop() override {
    if (thread_.joinable()) thread_.join();
  }

 private:
  class Out : public PinBase {
   public:
    explicit Out(FilterBase* owner) : PinBase(owner, PINDIR_OUTPUT, u"Video") {}
   protected:
    std::vector<MediaType> ProposedTypes() override { return {RgbVideoType(kWidth, kHeight, 24, 25)}; }
  };
  void Send() {
    PinBase* out = Pins()[0];
    const size_t size = out->Type().lSampleSize;
    for (int i = 0; i < pictures_; ++i) {
      auto sample = ComPtr<CountedSample>::Attach(new CountedSample(size));
      std::fill(sample->Data().begin(), sample->Data().end(), BYTE(i % 200 + 20));
      sample->SetActualDataLength(LONG(size));
      REFERENCE_TIME start = REFERENCE_TIME(i) * 400000, end = start + 400000;
      sample->SetTime(&start, &end);
      if (out->Deliver(sample.Get()) != S_OK) return;
    }
    out->DeliverEndOfStream();
  }
  int pictures_;
  std::thread thread_;
};

TEST(EncoderModule, AFastSenderIsHeldBackSoFewPicturesAreAliveAtOnce) {
  TempFolder temp;
  const std::string output = temp / "fed.mpg";
  ScopedCoInitialize com;
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.PutVoid()),
            S_OK);
  auto source = ComPtr<FastSource>::Attach(new FastSource(150));
  ComPtr<IBaseFilter> encoder;
  ASSERT_EQ(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                             encoder.PutVoid()),
            S_OK);
  ComPtr<IFileSinkFilter> sink;
  encoder.As(IID_IFileSinkFilter, sink);
  sink->SetFileName(Bstr(output).Get(), nullptr);
  graph->AddFilter(source.Get(), u"Fast");
  graph->AddFilter(encoder.Get(), u"MPEG Mux Filter");
  ComPtr<IPin> out, in;
  source->FindPin(u"Video", out.Put());
  encoder->FindPin(u"Video", in.Put());
  ASSERT_EQ(graph->ConnectDirect(out.Get(), in.Get(), nullptr), S_OK);
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  graph.As(IID_IMediaControl, control);
  graph.As(IID_IMediaEventEx, events);
  gMostLiveSamples = 0;
  ASSERT_EQ(control->Run(), S_OK);
  LONG code = 0;
  events->WaitForCompletion(INFINITE, &code);
  control->Stop();
  EXPECT_EQ(code, EC_COMPLETE);
  // The queue holds two dozen; the encoder's held picture and the one being handed over
  // come on top. Without the bound, all 150 would be alive.
  EXPECT_LE(gMostLiveSamples.load(), 30);
  EXPECT_GT(gMostLiveSamples.load(), 1);
  MediaFacts f = ReadBack(output);
  EXPECT_EQ(f.videoFrames, 150);
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.sampleRate, 48000);  // no sound was fed: a silent track
  EXPECT_TRUE(HasDvdNavigationPacks(output));
}

TEST(EncoderModule, AStoppedRunLeavesNoFile) {
  TempFolder temp;
  const std::string source = temp / "long.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 30) + " -an -c:v mpeg4 -f avi", source));
  const std::string output = temp / "out.mpg";
  ScopedCoInitialize com;
  EncoderGraph g;
  ASSERT_NO_FATAL_FAILURE(g.Build(source, output, 3, false));
  ASSERT_EQ(g.control->Run(), S_OK);
  LONG code = 0;
  ASSERT_EQ(g.events->WaitForCompletion(0, &code), E_ABORT) << "thirty seconds were encoded at once";
  g.control->Stop();
  g.graph->RemoveFilter(g.encoder.Get());
  EXPECT_EQ(g.events->WaitForCompletion(0, &code), VFW_E_WRONG_STATE);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(temp.Path())) names.push_back(e.path().filename());
  EXPECT_EQ(names, std::vector<std::string>{"long.avi"});
}

TEST(EncoderModule, ConversionRegistersTheModuleBesideTheProgramOnAFreshMachine) {
  TempFolder temp;
  const std::string source = temp / "clip.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 1) + " " + BeepAudioInput(44100, 1) +
                           " -c:v mpeg4 -c:a libmp3lame -f avi",
                       source));
  const std::string classKey = "CLSID\\" + GuidToString(CLSID_MpegEncoderFilter);
  {
    ScopedEnv registryDir("VANTREL_REGISTRY_DIR", temp / "fresh registry");
    ScopedEnv appDir("VANTREL_APPDIR", VANTREL_APP_BUILD_DIR);
    std::string output = temp / "out.avi";
    std::string error;
    vantrel::test::StartLogCapture();
    ASSERT_TRUE(ConvertToDvdMpeg(source, output, TvStandard::Ntsc, {}, &error)) << error;
    EXPECT_EQ(vantrel::test::TakeLogCapture(), "正在初始化转换...\n");
    EXPECT_EQ(output, temp / "out.mpg");
    EXPECT_EQ(ReadBack(output).height, 480);
    EXPECT_TRUE(registry::KeyExists(registry::Root::ClassesRoot, classKey));
  }
  {
    // No module beside the program: a clear failure, no file.
    ScopedEnv registryDir("VANTREL_REGISTRY_DIR", temp / "empty registry");
    ScopedEnv appDir("VANTREL_APPDIR", temp / "no app");
    std::string output = temp / "none.mpg";
    std::string error;
    vantrel::test::StartLogCapture();
    EXPECT_FALSE(ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error));
    EXPECT_NE(vantrel::test::TakeLogCapture().find("转换失败\n"), std::string::npos);
    EXPECT_NE(error.find("mpgfiltr.so"), std::string::npos) << error;
    EXPECT_FALSE(FileExists(output));
  }
}

}  // namespace
}  // namespace vantrel::test
