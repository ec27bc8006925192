// SPDX-License-Identifier: GPL-3.0-or-later
// The three ways of the frame grabber on clips ffmpeg makes, with the layer's classes
// replaced by doubles (through the built-in class table) where a way must fail on demand.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>

#include "base/paths.h"
#include "media/bitmap_file.h"
#include "media/frame_grabber.h"
#include "media/regrab.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/media/media_type.h"
#include "platform/videoedit/video_edit.h"
#include "support/captured_log.h"
#include "support/clips.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

using namespace com;
using namespace media;

// Puts a creator in place of a built-in class for the life of the object.
class ScopedClass {
 public:
  ScopedClass(REFCLSID clsid, ClassCreator creator)
      : clsid_(clsid), previous_(RegisterBuiltinClass(clsid, creator)) {}
  ~ScopedClass() { RegisterBuiltinClass(clsid_, previous_); }

 private:
  CLSID clsid_;
  ClassCreator previous_;
};

HRESULT Unavailable(REFIID, void** object) {
  *object = nullptr;
  return REGDB_E_CLASSNOTREG;
}

// A detector whose one video stream has a format block of a chosen size and type.
GUID gFormatType;
ULONG gFormatBytes = 0;

class OddDetector : public Object<IMediaDet> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IMediaDet) return Hand<IMediaDet>(this, object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT get_Filter(IUnknown**) override { return E_NOTIMPL; }
  HRESULT put_Filter(IUnknown*) override { return E_NOTIMPL; }
  HRESULT get_OutputStreams(LONG* n) override { *n = 1; return S_OK; }
  HRESULT get_CurrentStream(LONG* i) override { *i = 0; return S_OK; }
  HRESULT put_CurrentStream(LONG) override { return S_OK; }
  HRESULT get_StreamType(GUID* type) override { *type = MEDIATYPE_Video; return S_OK; }
  HRESULT get_StreamTypeB(BSTR*) override { return E_NOTIMPL; }
  HRESULT get_StreamLength(double* s) override { *s = 3; return S_OK; }
  HRESULT get_Filename(BSTR*) override { return E_NOTIMPL; }
  HRESULT put_Filename(BSTR) override { return S_OK; }
  HRESULT GetBitmapBits(double, LONG* size, char* buffer, LONG w, LONG h) override {
    requested = {w, h};
    if (!buffer) *size = 40 + 16 * 16 * 3;
    else std::memset(buffer, 0, 40 + 16 * 16 * 3);
    return S_OK;
  }
  HRESULT WriteBitmapBits(double, LONG, LONG, BSTR) override { return E_NOTIMPL; }
  HRESULT get_StreamMediaType(AM_MEDIA_TYPE* mt) override {
    MediaType type;
    type.majortype = MEDIATYPE_Video;
    type.formattype = gFormatType;
    std::vector<BYTE> block(gFormatBytes, 0);
    if (gFormatBytes) type.SetFormat(block.data(), gFormatBytes);
    return CopyMediaType(mt, &type);
  }
  HRESULT GetSampleGrabber(ISampleGrabber**) override { return E_NOTIMPL; }
  HRESULT get_FrameRate(double* r) override { *r = 25; return S_OK; }
  HRESULT EnterBitmapGrabMode(double) override { return S_OK; }
  static inline std::pair<LONG, LONG> requested;
};

HRESULT MakeOddDetector(REFIID iid, void** object) { return CreateAndQuery<OddDetector>(iid, object); }

// The colour of the centre pixel of a 24-bit BMP file: 'r', 'g', 'b' or '?'.
char CentreColour(const std::string& path, int* width = nullptr, int* height = nullptr, int* bpp = nullptr) {
  DibImage image;
  if (!image.ReadFile(path)) return 0;
  if (width) *width = image.Width();
  if (height) *height = image.Height();
  if (bpp) *bpp = image.BitsPerPixel();
  RgbImage rgb = image.ToRgbImage();
  const std::uint8_t* p = rgb.Row(rgb.height / 2) + (rgb.width / 2) * 3;
  if (p[0] > 180 && p[1] < 80 && p[2] < 80) return 'r';
  if (p[1] > 180 && p[0] < 80 && p[2] < 80) return 'g';
  if (p[2] > 180 && p[0] < 80 && p[1] < 80) return 'b';
  return '?';
}

class FrameGrabberTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    clips_ = new test::TempFolder;
    mpeg_ = *clips_ / "colours 彩色 $1.mpg";
    avi_ = *clips_ / "colours.avi";
    wmv_ = *clips_ / "colours.wmv";
    test::MakeColourClip(mpeg_, "-c:v mpeg2video -q:v 2 -c:a mp2 -f mpeg");
    test::MakeColourClip(avi_, "-c:v mpeg4 -q:v 2 -c:a libmp3lame");
    test::MakeColourClip(wmv_, "-c:v wmv2 -q:v 2 -c:a wmav2");
  }
  static void TearDownTestSuite() { delete clips_; }
  void SetUp() override { CoInitialize(); }
  void TearDown() override { CoUninitialize(); }

  std::string AppFile(const std::string& name) { return app_ / name; }

  unsigned char Grab(const std::string& source, double time, const std::string& out) {
    ThumbnailHost host;
    ThumbnailGrabJob job{source, out, time, &host};
    return RunThumbnailGrab(job);
  }

  test::TempFolder app_;
  test::ScopedEnv appDir_{"VANTREL_APPDIR", app_.Path()};
  static test::TempFolder* clips_;
  static std::string mpeg_, avi_, wmv_;
};

test::TempFolder* FrameGrabberTest::clips_ = nullptr;
std::string FrameGrabberTest::mpeg_, FrameGrabberTest::avi_, FrameGrabberTest::wmv_;

TEST_F(FrameGrabberTest, TheControlsExportIsTakenFirstAndNoGraphIsBuilt) {
  std::string out = app_ / "thumb 缩略图.bmp";
  vantrel::test::StartLogCapture();
  EXPECT_EQ(Grab(mpeg_, 1.5, out), 1);
  std::string traced = vantrel::test::TakeLogCapture();
  EXPECT_EQ(traced, "");  // the sample grabber never ran
  int w, h, bpp;
  EXPECT_EQ(CentreColour(out, &w, &h, &bpp), 'g');
  EXPECT_EQ(w, 80);
  EXPECT_EQ(h, 60);
  EXPECT_EQ(bpp, 24);
  EXPECT_EQ(FileSize(out), 54u + 80u * 60u * 3u);
  EXPECT_FALSE(FileExists(GrabberBitmapPath()));
  EXPECT_FALSE(FileExists(out + "_32.bmp"));
}

TEST_F(FrameGrabberTest, WhenTheControlFailsTheSampleGrabberGivesTheFrame) {
  ScopedClass noControl(CLSID_VideoEdit, &Unavailable);
  for (auto [source, time, colour] : {std::tuple{mpeg_, 0.2, 'r'}, {avi_, 1.5, 'g'}, {wmv_, 2.5, 'b'}}) {
    std::string out = app_ / "thumb.bmp";
    vantrel::test::StartLogCapture();
    EXPECT_EQ(Grab(source, time, out), 1) << source;
    std::string traced = vantrel::test::TakeLogCapture();
    EXPECT_EQ(traced.find("Grabbing bitmaps from " + source + ".\n"), 0u) << traced;
    EXPECT_NE(traced.find("Found a sample at time 0 ms\t[" + GrabberBitmapPath() + "]\n"),
              std::string::npos) << traced;
    EXPECT_NE(traced.find("Sample grabbing complete.\n"), std::string::npos);
    int w, h;
    EXPECT_EQ(CentreColour(out, &w, &h), colour) << source << " at " << time;
    EXPECT_EQ(w, 80);
    EXPECT_FALSE(FileExists(GrabberBitmapPath()));
  }
}

TEST_F(FrameGrabberTest, WhenBothFailTheMediaDetectorGivesTheFrame) {
  ScopedClass noControl(CLSID_VideoEdit, &Unavailable);
  ScopedClass noGrabber(CLSID_SampleGrabber, &Unavailable);
  std::string out = app_ / "thumb.bmp";
  vantrel::test::StartLogCapture();
  EXPECT_EQ(Grab(avi_, 2.5, out), 1);
  std::string traced = vantrel::test::TakeLogCapture();
  EXPECT_NE(traced.find("Could not create CLSID_SampleGrabber\n"), std::string::npos);
  int w, h, bpp;
  EXPECT_EQ(CentreColour(out, &w, &h, &bpp), 'b');
  EXPECT_EQ(w, 80);
  EXPECT_EQ(h, 60);
  EXPECT_EQ(bpp, 24);
}

TEST_F(FrameGrabberTest, NothingToGrabLeavesTheFlagAtZeroAndNoFile) {
  ScopedClass noControl(CLSID_VideoEdit, &Unavailable);
  std::string audio = app_ / "song.mp3";
  test::MakeAudioOnlyClip(audio);
  test::WriteText(app_ / "corrupt.mpg", std::string(3000, '\x42'));
  struct Case {
    std::string source, trace;
  } cases[] = {{audio, "Could not connect source filter to grabber\n"},
               {app_ / "corrupt.mpg", "Could not connect source filter to grabber\n"},
               {app_ / "missing.mpg", "Could not load the media file\n"},
               {app_ / "empty.mpg", "Could not connect source filter to grabber\n"}};
  test::WriteText(app_ / "empty.mpg", "");
  for (const Case& c : cases) {
    std::string out = app_ / "thumb.bmp";
    vantrel::test::StartLogCapture();
    EXPECT_EQ(Grab(c.source, 1.0, out), 0) << c.source;
    std::string traced = vantrel::test::TakeLogCapture();
    EXPECT_NE(traced.find(c.trace), std::string::npos) << c.source << ": " << traced;
    EXPECT_FALSE(FileExists(out)) << c.source;
  }
}

TEST_F(FrameGrabberTest, ACutFileEndsTheGrabWithoutHangingAndPastTheEndGivesTheLastFrame) {
  std::string cut = app_ / "cut.mpg";
  std::string whole = test::ReadText(mpeg_);
  test::WriteText(cut, whole.substr(0, whole.size() / 2));
  for (bool control : {true, false}) {
    std::unique_ptr<ScopedClass> noControl;
    if (!control) noControl = std::make_unique<ScopedClass>(CLSID_VideoEdit, &Unavailable);
    std::string out = app_ / "cut.bmp";
    vantrel::test::StartLogCapture();
    unsigned char result = Grab(cut, 2.9, out);  // beyond what is left of the file
    vantrel::test::TakeLogCapture();
    ASSERT_EQ(result, 1);
    int w, h;
    EXPECT_NE(CentreColour(out, &w, &h), 0);
    EXPECT_EQ(w, 80);
    EXPECT_EQ(h, 60);
    std::remove(out.c_str());
  }
  EXPECT_EQ(test::ReadText(cut).size(), whole.size() / 2);
}

TEST_F(FrameGrabberTest, TheMediaDetectorsFormatBlockDecidesTheRequestedSize) {
  ScopedClass odd(CLSID_MediaDet, &MakeOddDetector);
  std::unique_ptr<char[]> buffer;
  long size = 0;
  gFormatType = FORMAT_VideoInfo;
  gFormatBytes = 87;
  EXPECT_EQ(GetBitmap("any", 1, buffer, size), VFW_E_INVALIDMEDIATYPE);
  EXPECT_FALSE(SampGrab("any", 1, app_ / "x.bmp"));
  EXPECT_FALSE(FileExists(app_ / "x.bmp"));
  gFormatBytes = 88;
  EXPECT_EQ(GetBitmap("any", 1, buffer, size), S_OK);
  EXPECT_EQ(OddDetector::requested, (std::pair<LONG, LONG>{80, 60}));
  EXPECT_EQ(size, 40 + 16 * 16 * 3);
  gFormatType = FORMAT_VideoInfo2;
  gFormatBytes = 112;
  EXPECT_EQ(GetBitmap("any", 1, buffer, size), S_OK);
  EXPECT_EQ(OddDetector::requested, (std::pair<LONG, LONG>{0, 0}));
  gFormatType = FORMAT_MPEGVideo;
  EXPECT_EQ(GetBitmap("any", 1, buffer, size), VFW_E_INVALIDMEDIATYPE);
  ASSERT_TRUE(SampGrab(mpeg_, 1, app_ / "y.bmp") == false);  // still the double
}

TEST_F(FrameGrabberTest, SampGrabWritesTheDetectorsPictureAsAFile) {
  std::string out = app_ / "direct.bmp";
  ASSERT_TRUE(SampGrab(wmv_, 1.5, out));
  int w, h;
  EXPECT_EQ(CentreColour(out, &w, &h), 'g');
  EXPECT_EQ(w, 80);
  EXPECT_EQ(h, 60);
  EXPECT_FALSE(SampGrab(wmv_, 1.5, app_ / "no such folder/x.bmp"));
}

class RecordingView : public RegrabView {
 public:
  void ShowDecoderNotice() override { ++notices; }
  void SetListColumn3(int row, const std::string& text) override { column3 = {row, text}; }
  int notices = 0;
  std::pair<int, std::string> column3;
};

TEST_F(FrameGrabberTest, RegrabReplacesTheTitlesImageOrShowsTheNotice) {
  EXPECT_EQ(ModuleRegistrationCommand("Mpeg2Parser.ax", false),
            "regsvr32 \"" + app_.Path() + "/Mpeg2Parser.ax\" /s");
  EXPECT_EQ(ModuleRegistrationCommand("Mpeg2Decoder.ax", true),
            "regsvr32 \"" + app_.Path() + "/Mpeg2Decoder.ax\" /s /u");
  test::TempFolder work;
  ThumbnailHost host;
  RecordingView view;
  ThumbnailImageList images;
  images.Add(RgbImage(80, 60));
  TitleRecord title;
  title.SourcePath = avi_;
  title.DisplayTitle = "颜色";
  title.ThumbnailTime = 2.5;
  title.ImageIndex = 0;
  EXPECT_TRUE(RegrabThumbnail(host, view, title, 3, images, work.Path()));
  EXPECT_EQ(view.notices, 0);
  EXPECT_EQ(title.ImageIndex, 1);
  const RgbImage& image = images.At(1);
  EXPECT_GT(image.Row(30)[40 * 3 + 2], 180);  // blue
  EXPECT_EQ(view.column3, (std::pair<int, std::string>{3, "颜色"}));
  EXPECT_FALSE(FileExists(work / "TEMP/TEMPBITMAP0003.bmp"));

  title.SourcePath = app_ / "missing.avi";
  vantrel::test::StartLogCapture();
  EXPECT_FALSE(RegrabThumbnail(host, view, title, 3, images, work.Path()));
  vantrel::test::TakeLogCapture();
  EXPECT_EQ(view.notices, 1);
  EXPECT_EQ(title.ImageIndex, 1);  // kept
}

}  // namespace
}  // namespace vantrel
