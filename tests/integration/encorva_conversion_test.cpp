// SPDX-License-Identifier: GPL-3.0-or-later
// Real conversions through the conversion component and its encoder module: clips made with
// ffmpeg at test time, the output read back with libavformat, and the events in the order a
// client sees them while it pumps messages.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "authoring/command_templates.h"
#include "encorva/encorva_interfaces.h"
#include "platform/com/bstr.h"
#include "platform/com/connection_point.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/window/window.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

using namespace com;
using namespace encorva;

const std::string kApp = VANTREL_APP_BUILD_DIR;

void RegisterModules() {
  for (const char* module : {"mpgfiltr.so", "Encorva.so"})
    ASSERT_EQ(std::system((ShellQuote(kApp + "/regsvr32") + " " + ShellQuote(kApp + "/" + module) + " /s").c_str()),
              0);
}

// Writes each event as text: "AboutToRun", "Complete", "Status 1 Stopped", "Error 0x80004005 text".
class EventLog final : public Object<IDispatch> {
 public:
  std::vector<std::string> entries;
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__IEncorvaObjEvents)
      return Hand<IDispatch>(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
    const VARIANT* last = params->rgvarg;  // reverse order: rgvarg[cArgs-1] is the first argument
    char code[16];
    switch (id) {
      case 1: entries.push_back("AboutToRun"); break;
      case 2: entries.push_back("Complete"); break;
      case 3: entries.push_back("Status " + std::to_string(last[1].lVal) + " " + Utf8FromBstr(last[0].bstrVal)); break;
      case 4:
        std::snprintf(code, sizeof code, "0x%08x", unsigned(last[1].lVal));
        entries.push_back(std::string("Error ") + code + " " + Utf8FromBstr(last[0].bstrVal));
        break;
      default: entries.push_back("?" + std::to_string(id));
    }
    return S_OK;
  }
  bool Completed() const {
    for (auto& e : entries)
      if (e == "Complete") return true;
    return false;
  }
};

class EncorvaConversionTest : public testing::Test {
 protected:
  void SetUp() override {
    RegisterModules();
    ASSERT_EQ(CoCreateInstance(CLSID_Encorva, nullptr, CLSCTX_INPROC_SERVER, IID_IEncorvaObj, control_.PutVoid()),
              S_OK);
    ComPtr<IConnectionPointContainer> container;
    ASSERT_TRUE(SUCCEEDED(control_.As(IID_IConnectionPointContainer, container)));
    ASSERT_EQ(container->FindConnectionPoint(DIID__IEncorvaObjEvents, point_.Put()), S_OK);
    ASSERT_EQ(point_->Advise(static_cast<IDispatch*>(log_.Get()), &cookie_), S_OK);
  }
  void TearDown() override {
    if (point_) point_->Unadvise(cookie_);
  }

  void Set(const std::string& source, const std::string& output, EnumMPEGVideoFormat format = formatMPEG2_DVD_PAL) {
    control_->put_OutputVideoFormat(format);
    Bstr s(source), o(output);
    control_->put_SourceFile(s.Get());
    control_->put_OutputFile(o.Get());
  }
  bool Start() {
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(control_->StartConversion(&result), S_OK);
    return result == VARIANT_TRUE;
  }
  // Pumps this thread's messages, as the owner of the control must, until Complete.
  bool WaitForComplete(int seconds = 120) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!log_->Completed() && std::chrono::steady_clock::now() < until) {
      window::WaitMessage(100);
      window::PumpPendingMessages();
    }
    return log_->Completed();
  }
  std::vector<std::string>& Events() { return log_->entries; }

  ScopedCoInitialize com_;
  TempFolder folder_;
  ComPtr<IEncorvaObj> control_;
  ComPtr<EventLog> log_ = ComPtr<EventLog>::Attach(new EventLog);
  ComPtr<IConnectionPoint> point_;
  DWORD cookie_ = 0;
};

const std::vector<std::string> kSuccess = {"AboutToRun", "Status 1 Stopped", "Complete"};

std::string MakeSource(const TempFolder& folder, const std::string& name, double seconds, bool video = true,
                       bool audio = true) {
  std::string path = folder / name;
  std::string args;
  if (video) args += FlashVideoInput(640, 480, "25", seconds) + " ";
  if (audio) args += BeepAudioInput(44100, seconds) + " ";
  args += video ? "-c:v mpeg4 -q:v 4 " : "";
  args += audio ? "-c:a mp3 " : "";
  args += "-t " + std::to_string(seconds) + " ";
  EXPECT_TRUE(MakeClip(args + ShellQuote(path), path));
  return path;
}

TEST_F(EncorvaConversionTest, EveryFormatFamilyAndStandardGivesItsStream) {
  const std::string source = MakeSource(folder_, "quelle 源.avi", 3);
  struct Case {
    EnumMPEGVideoFormat format;
    const char* codec;
    int width, height;
    double rate;
  } cases[] = {
      {formatMPEG2_DVD_PAL, "mpeg2video", 720, 576, 25},
      {formatMPEG2_DVD_NTSC, "mpeg2video", 720, 480, 30000.0 / 1001},
      {formatMPEG2_SVCD_PAL, "mpeg2video", 480, 576, 25},
      {formatMPEG2_SVCD_NTSC, "mpeg2video", 480, 480, 30000.0 / 1001},
      {formatMPEG1_VCD_PAL, "mpeg1video", 352, 288, 25},
      {formatMPEG1_VCD_NTSC, "mpeg1video", 352, 240, 30000.0 / 1001},
      {formatMPEG1_Standard, "mpeg1video", 640, 480, 25},
      {formatMPEG2_Standard, "mpeg2video", 640, 480, 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.format));
    Events().clear();
    const std::string output = folder_ / ("out " + std::to_string(int(c.format)) + ".mpg");
    Set(source, output, c.format);
    ASSERT_TRUE(Start());
    BSTR status = nullptr;
    control_->get_CurrentStatus(&status);
    EXPECT_EQ(Utf8FromBstr(status), "About to run");
    SysFreeString(status);
    ASSERT_TRUE(WaitForComplete());
    EXPECT_EQ(Events(), kSuccess);
    MediaFacts facts = ReadBack(output);
    ASSERT_TRUE(facts.opened);
    EXPECT_EQ(facts.videoCodec, c.codec);
    EXPECT_EQ(facts.width, c.width);
    EXPECT_EQ(facts.height, c.height);
    EXPECT_NEAR(facts.frameRate, c.rate, 0.01);
    // NTSC rates do not divide 3 s: the last picture may run over by one more frame.
    EXPECT_NEAR(facts.videoSeconds, 3.0, 2.0 / c.rate + 1e-6);
    EXPECT_FALSE(facts.audioCodec.empty());
  }
  // The encoder counted pictures: the first reading gives them, the next one nothing new.
  LONG frames = -1;
  control_->get_EncodeFramerate(&frames);
  EXPECT_GT(frames, 0);
  control_->get_EncodeFramerate(&frames);
  EXPECT_EQ(frames, 0);
}

TEST_F(EncorvaConversionTest, StartAndStopTimesCutTheSourceWhereAsked) {
  const std::string source = MakeSource(folder_, "lang.avi", 14);
  // From 10 s to the end: a seek, so the flash at 1 s is not in it and 4 s remain.
  const std::string tail = folder_ / "tail.mpg";
  Set(source, tail, formatMPEG2_Standard);
  control_->put_StartTime(10);
  control_->put_StopTime(0);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  MediaFacts facts = ReadBack(tail);
  EXPECT_NEAR(facts.videoSeconds, 4.0, 0.04 + 1e-6);
  EXPECT_EQ(facts.flashSeconds, -1);

  // From 0.52 s to 3 s: the flash and the beep move 0.52 s earlier and stay together.
  Events().clear();
  const std::string whole = folder_ / "whole.mpg";
  Set(source, whole, formatMPEG2_Standard);
  control_->put_StartTime(0);
  control_->put_StopTime(0);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  const MediaFacts uncut = ReadBack(whole);
  ASSERT_GT(uncut.flashSeconds, 0.9);
  Events().clear();
  const std::string cut = folder_ / "cut.mpg";
  Set(source, cut, formatMPEG2_Standard);
  control_->put_StartTime(0.52);
  control_->put_StopTime(3);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  EXPECT_EQ(Events(), kSuccess);
  facts = ReadBack(cut);
  EXPECT_NEAR(facts.videoSeconds, 2.48, 0.04 + 1e-6);
  EXPECT_NEAR(facts.flashSeconds, uncut.flashSeconds - 0.52, 0.041);
  EXPECT_NEAR(facts.beepSeconds, uncut.beepSeconds - 0.52, 0.041);

  // Cuts half-way between two pictures (0.50 and 1.02 s at 25 pictures a second) put every
  // picture on a rounding tie: the one-picture flash must still be there, one picture late
  // at most, and every picture kept.
  for (double start : {0.50, 1.02}) {
    Events().clear();
    const std::string half = folder_ / ("half" + std::to_string(start) + ".mpg");
    Set(source, half, formatMPEG2_Standard);
    control_->put_StartTime(start);
    control_->put_StopTime(0);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(WaitForComplete());
    facts = ReadBack(half);
    EXPECT_GE(facts.flashSeconds, uncut.flashSeconds - start - 0.001) << start;
    EXPECT_LE(facts.flashSeconds, uncut.flashSeconds - start + 0.041) << start;
    EXPECT_NEAR(facts.videoSeconds, uncut.videoSeconds - start, 0.04 + 1e-6) << start;
  }
}

TEST_F(EncorvaConversionTest, ASourceWithoutSoundIsConvertedFromItsPicturesAlone) {
  const std::string source = MakeSource(folder_, "stumm.avi", 2, true, false);
  const std::string output = folder_ / "stumm.mpg";
  Set(source, output, formatMPEG1_Standard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  EXPECT_EQ(Events(), kSuccess);
  MediaFacts facts = ReadBack(output);
  EXPECT_EQ(facts.videoCodec, "mpeg1video");
  EXPECT_NEAR(facts.videoSeconds, 2.0, 0.04 + 1e-6);
  EXPECT_EQ(facts.audioCodec, "");  // the plain formats carry only what the source has

  // A disc format always carries sound: silence for as long as the pictures.
  Events().clear();
  const std::string dvd = folder_ / "stumm-dvd.mpg";
  Set(source, dvd, formatMPEG2_DVD_PAL);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  EXPECT_EQ(Events(), kSuccess);
  facts = ReadBack(dvd);
  EXPECT_EQ(facts.videoCodec, "mpeg2video");
  EXPECT_EQ(facts.sampleRate, 48000);
  EXPECT_NEAR(facts.audioSeconds, 2.0, 0.04);
  EXPECT_LT(facts.beepSeconds, 0);
}

TEST_F(EncorvaConversionTest, ASoundOnlySourceGivesSoundInThePlainFormatsAndIsRefusedForDiscs) {
  const std::string source = MakeSource(folder_, "ton.mp3", 3, false, true);
  const std::string output = folder_ / "ton.mpg";
  Set(source, output, formatMPEG1_Standard);
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  EXPECT_EQ(Events(), kSuccess);
  MediaFacts facts = ReadBack(output);
  EXPECT_EQ(facts.videoCodec, "");
  EXPECT_EQ(facts.audioCodec, "mp2");
  EXPECT_NEAR(facts.audioSeconds, 3.0, 0.06);
  EXPECT_NEAR(facts.beepSeconds, 1.0, 0.03);

  Events().clear();
  Set(source, folder_ / "ton-dvd.mpg", formatMPEG2_DVD_PAL);
  EXPECT_FALSE(Start());
  ASSERT_EQ(Events().size(), 4u);
  EXPECT_EQ(Events()[0], "AboutToRun");
  EXPECT_EQ(Events()[3].rfind("Error 0x80004005 Everything was initialized okay", 0), 0u) << Events()[3];
  EXPECT_FALSE(std::filesystem::exists(folder_ / "ton-dvd.mpg"));
}

TEST_F(EncorvaConversionTest, FailedStartsReportInTheirOrder) {
  const std::string source = MakeSource(folder_, "clip.avi", 2);
  auto failure = [&](const std::string& src, const std::string& out, const std::string& message) {
    Events().clear();
    Set(src, out);
    EXPECT_FALSE(Start());
    return Events() == std::vector<std::string>{"Status 1 Stopped", "Complete", "Error 0x80004005 " + message};
  };
  const std::string fresh = folder_ / "never.mpg";
  EXPECT_TRUE(failure(source, source, "The source and target files are the same."));
  // Differing only in case is another file here: the run starts.
  Events().clear();
  Set(source, folder_ / "CLIP.avi");
  EXPECT_TRUE(Start());
  control_->StopConversion();

  std::string junk = folder_ / "junk.avi";
  WriteText(junk, std::string(5000, 'x'));
  EXPECT_TRUE(failure(junk, fresh, "The source file could not be read. The conversion cannot proceed"));
  WriteText(folder_ / "empty.avi", "");
  EXPECT_TRUE(failure(folder_ / "empty.avi", fresh, "The source file could not be read. The conversion cannot proceed"));
  EXPECT_TRUE(failure(folder_ / "missing.avi", fresh, "The source file could not be read. The conversion cannot proceed"));

  // A WAV header with no samples: readable, but 0 seconds long.
  const char wav[] = "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x88\x58\x01\0\x02\0\x10\0data\0\0\0\0";
  std::ofstream(folder_ / "leer.wav", std::ios::binary).write(wav, sizeof wav - 1);
  EXPECT_TRUE(failure(folder_ / "leer.wav", fresh,
                      "The source file had a duration of 0 seconds. The conversion cannot proceed"));

  // A video stream no decoder knows (its four-character code rewritten): no usable size.
  std::string bytes = ReadText(source);
  const size_t movi = bytes.find("movi");
  for (const char* tag : {"FMP4", "XVID", "DIVX"})
    for (size_t at = bytes.find(tag); at != std::string::npos && at < movi; at = bytes.find(tag, at + 1))
      bytes.replace(at, 4, "ABCD");
  WriteText(folder_ / "fremd.avi", bytes);
  EXPECT_TRUE(failure(folder_ / "fremd.avi", fresh,
                      "The source video could not be read. The conversion cannot proceed"));

  // An output nobody can write: the graph is built and announced, but does not start; the
  // encoder's reason follows the component's text on a line of its own.
  Events().clear();
  Set(source, folder_ / "no such folder/out.mpg");
  EXPECT_FALSE(Start());
  EXPECT_EQ(Events(), (std::vector<std::string>{
                          "AboutToRun", "Status 1 Stopped", "Complete",
                          "Error 0x80004005 Everything was initialized okay, but the actual conversion could not "
                          "start. Please check that you can write to the output file.\ncannot write " +
                              folder_ / "no such folder/out.mpg" + ": No such file or directory"}));
  EXPECT_FALSE(std::filesystem::exists(fresh));
}

// A disk that fills up during the run: the reason reaches the client, then the run ends as
// every run does, and neither the output nor a part of it stays behind. Needs a small file
// system of its own, so it runs only where this process may mount one.
TEST_F(EncorvaConversionTest, AFullDiskEndsTheRunWithTheReasonAndLeavesNoFile) {
  const std::string small = folder_ / "klein";
  SmallFileSystem disk(small, "1m");
  if (!disk.Mounted()) GTEST_SKIP() << "no permission to mount a small file system";
  const std::string path = folder_ / "busy.avi";
  ASSERT_TRUE(MakeClip("-f lavfi -i testsrc2=s=640x480:r=25:d=6 -c:v mpeg4 -q:v 2 " + ShellQuote(path), path));
  Set(path, small + "/voll.mpg");
  ASSERT_TRUE(Start());
  ASSERT_TRUE(WaitForComplete());
  ASSERT_EQ(Events().size(), 4u);
  EXPECT_EQ(Events()[0], "AboutToRun");
  EXPECT_NE(Events()[1].find("No space left on device"), std::string::npos) << Events()[1];
  EXPECT_EQ(Events()[2], "Status 1 Stopped");
  EXPECT_EQ(Events()[3], "Complete");
  EXPECT_TRUE(std::filesystem::is_empty(small));
}

TEST_F(EncorvaConversionTest, StoppingRestartingAndPausingARun) {
  const std::string source = MakeSource(folder_, "lang.avi", 40);
  const std::string output = folder_ / "out.mpg";
  double reading = -1;
  control_->get_TimeElapsed(&reading);
  EXPECT_EQ(reading, 0.0);
  Set(source, output);
  ASSERT_TRUE(Start());
  control_->get_Duration(&reading);
  EXPECT_NEAR(reading, 40.0, 0.1);

  // Pausing: only VARIANT_TRUE pauses; any other value runs again.
  VARIANT_BOOL paused = VARIANT_FALSE;
  control_->put_Pause(VARIANT_TRUE);
  control_->get_Pause(&paused);
  EXPECT_EQ(paused, VARIANT_TRUE);
  control_->put_Pause(1);
  control_->get_Pause(&paused);
  EXPECT_EQ(paused, VARIANT_FALSE);

  // A second start ends the first run first.
  ASSERT_TRUE(Start());
  EXPECT_EQ(Events(), (std::vector<std::string>{"AboutToRun", "Status 1 Stopped", "Complete", "AboutToRun"}));
  Events().clear();
  EXPECT_EQ(control_->StopConversion(), S_OK);
  EXPECT_EQ(Events(), (std::vector<std::string>{"Status 1 Stopped", "Complete"}));
  EXPECT_FALSE(std::filesystem::exists(output));  // a stopped run leaves no half file
  control_->get_Progress(&reading);
  EXPECT_EQ(reading, 0.0);
  Events().clear();
  control_->StopConversion();
  EXPECT_TRUE(Events().empty());
}

TEST_F(EncorvaConversionTest, FileInformationAndPosterFrame) {
  ScopedEnv tmp("TMPDIR", folder_.Path());
  // Pictures only, so the flash sits exactly at 1 s.
  const std::string source = MakeSource(folder_, "clip.avi", 3, true, false);
  double rate = 0, duration = 0;
  VARIANT_BOOL video = VARIANT_FALSE, audio = VARIANT_FALSE;
  LONG width = 0, height = 0, bitrate = -5;
  BSTR path = nullptr;
  Bstr name(source);
  ASSERT_EQ(control_->GetFileInfo(name.Get(), &rate, &duration, &video, &audio, &width, &height, &bitrate, &path), S_OK);
  EXPECT_EQ(video, VARIANT_TRUE);
  EXPECT_EQ(audio, VARIANT_FALSE);
  EXPECT_NEAR(rate, 25, 1e-6);
  EXPECT_NEAR(duration, 3, 0.1);
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  const double size = double(std::filesystem::file_size(source));
  EXPECT_EQ(bitrate, LONG(size / duration) * 8);
  const std::string poster = Utf8FromBstr(path);
  SysFreeString(path);
  // A name of this process alone in the temporary folder.
  EXPECT_EQ(poster.rfind(folder_ / ("erdposter-" + std::to_string(getpid()) + "-"), 0), 0u) << poster;
  std::string bmp = ReadText(poster);
  ASSERT_GT(bmp.size(), 54u);
  EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 18), 163);
  EXPECT_EQ(*reinterpret_cast<const int32_t*>(bmp.data() + 22), 112);
  // The flash is at 1 s: an ordinary file's poster shows it, a Windows Media file's (taken
  // at 0 s) does not.
  auto brightness = [](const std::string& b) {
    double sum = 0;
    for (size_t i = 54; i < b.size(); ++i) sum += static_cast<unsigned char>(b[i]);
    return sum / double(b.size() - 54);
  };
  EXPECT_GT(brightness(bmp), 200);
  const std::string wmv = folder_ / "clip.wmv";
  ASSERT_TRUE(MakeClip("-i " + ShellQuote(source) + " -c:v wmv2 " + ShellQuote(wmv), wmv));
  Bstr wmvName(wmv);
  path = nullptr;
  control_->GetFileInfo(wmvName.Get(), &rate, &duration, &video, &audio, &width, &height, &bitrate, &path);
  SysFreeString(path);
  EXPECT_LT(brightness(ReadText(poster)), 30);

  // Sound only: no pictures, no poster; the caller's flags and path stay as they were.
  const std::string wav = folder_ / "ton.wav";
  ASSERT_TRUE(MakeClip("-f lavfi -i sine=d=2.5 " + ShellQuote(wav), wav));
  std::filesystem::remove(poster);
  video = 7;
  path = SysAllocString(u"unchanged");
  Bstr wavName(wav);
  control_->GetFileInfo(wavName.Get(), &rate, &duration, &video, &audio, &width, &height, &bitrate, &path);
  EXPECT_EQ(video, 7);
  EXPECT_EQ(audio, VARIANT_TRUE);
  EXPECT_NEAR(duration, 2.5, 0.05);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(Utf8FromBstr(path), "unchanged");
  EXPECT_FALSE(std::filesystem::exists(poster));

  // An empty file: zeros, the bit rate untouched, and still S_OK.
  WriteText(folder_ / "leer.avi", "");
  Bstr emptyName(folder_ / "leer.avi");
  rate = duration = 9;
  bitrate = 1234;
  EXPECT_EQ(control_->GetFileInfo(emptyName.Get(), &rate, &duration, &video, &audio, &width, &height, &bitrate, &path),
            S_OK);
  EXPECT_EQ(rate, 0);
  EXPECT_EQ(duration, 0);
  EXPECT_EQ(bitrate, 1234);
  SysFreeString(path);

  LONG version = 0;
  control_->get_DXVersion(&version);
  EXPECT_EQ(version, 81);
}

}  // namespace
}  // namespace vantrel::test
