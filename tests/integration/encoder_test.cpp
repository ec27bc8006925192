// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder and the conversion client on real clips made with ffmpeg at test time; every
// result is read back by libavformat, scanned for navigation packs and given to dvdauthor.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "convert/mpeg_encoder.h"
#include "support/captured_log.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

using test::FlashVideoInput;
using test::BeepAudioInput;
using test::MakeClip;
using test::MediaFacts;
using test::ReadBack;

// A hostile but legal file name part, on top of the blank and Chinese of the temp folder.
const std::string kOdd = "clip \"$HOME\" 'q' 视频";

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// Codec start-up delays that program streams cannot signal (AC-3 256 samples, MPEG audio
// 481, MP3 in AVI up to 1105): the most a beep may move against its timestamps.
constexpr double kAudioPriming = 0.025;

// Everything a DVD title made by the encoder from `source` must satisfy.
void ExpectDvdTitle(const std::string& path, bool ntsc, const std::string& source, bool checkSync,
                    const std::string& work) {
  SCOPED_TRACE(path);
  ASSERT_TRUE(FileExists(path));
  EXPECT_TRUE(HasDvdNavigationPacks(path));
  std::string log;
  EXPECT_TRUE(test::DvdauthorAccepts(path, work, ntsc, log)) << log;

  MediaFacts f = ReadBack(path);
  MediaFacts s = ReadBack(source);
  ASSERT_TRUE(f.opened);
  EXPECT_EQ(f.videoCodec, "mpeg2video");
  EXPECT_EQ(f.width, 720);
  EXPECT_EQ(f.height, ntsc ? 480 : 576);
  EXPECT_NEAR(f.frameRate, ntsc ? 30000.0 / 1001 : 25.0, 0.001);
  EXPECT_TRUE(f.audioCodec == "ac3" || f.audioCodec == "mp2") << f.audioCodec;
  EXPECT_EQ(f.sampleRate, 48000);
  const double frame = 1.0 / f.frameRate;
  EXPECT_NEAR(f.videoSeconds, s.videoSeconds, 2 * frame + 1e-6);
  if (checkSync) {
    ASSERT_GE(f.flashSeconds, 0) << "no flash found";
    ASSERT_GE(f.beepSeconds, 0) << "no beep found";
    EXPECT_NEAR(f.flashSeconds, s.flashSeconds, frame + 0.001);
    EXPECT_NEAR(f.beepSeconds, s.beepSeconds, kAudioPriming);
    // Pictures and sound moved together.
    EXPECT_NEAR(f.flashSeconds - f.beepSeconds, s.flashSeconds - s.beepSeconds, frame + kAudioPriming);
  }
}

std::string Checksum(const std::string& path) {
  std::string content;
  std::ifstream in(path, std::ios::binary);
  content.assign(std::istreambuf_iterator<char>(in), {});
  return std::to_string(std::hash<std::string>{}(content)) + ":" + std::to_string(content.size());
}

void ForDvd(MpegEncoder& encoder, const std::string& source, const std::string& output, TvStandard tv) {
  encoder.SetSource(source);
  encoder.SetOutput(output);
  encoder.SetPreset(PresetFor(FormatFamily::Dvd, tv));
}

TEST(EncoderConvert, Mpeg4AviBecomesPalDvdTitleInSyncUnderAnMpgName) {
  test::TempFolder temp;
  const std::string source = temp / (kOdd + ".avi");
  ASSERT_TRUE(MakeClip(FlashVideoInput(640, 480, "25", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v mpeg4 -q:v 3 -c:a libmp3lame -b:a 128k -f avi",
                       source));
  const std::string before = Checksum(source);

  std::string output = temp / "(TaliroFixedDVD)out.AVI";
  vantrel::test::StartLogCapture();
  std::string error;
  bool ok = ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error);
  std::string printed = vantrel::test::TakeLogCapture();
  ASSERT_TRUE(ok) << error;
  EXPECT_EQ(output, temp / "(TaliroFixedDVD)out.mpg");
  EXPECT_EQ(printed, "正在初始化转换...\n");
  ExpectDvdTitle(output, false, source, true, temp.Path());
  EXPECT_NEAR(ReadBack(output).displayAspect, 4.0 / 3, 0.01);
  EXPECT_EQ(Checksum(source), before);  // the user's file is untouched
  for (const std::string& name : FolderEntries(temp.Path()))
    EXPECT_EQ(name.find(".part-"), std::string::npos) << name;
}

TEST(EncoderConvert, WideWmvAt30BecomesSixteenNineNtscTitleInSync) {
  test::TempFolder temp;
  const std::string source = temp / (kOdd + ".wmv");
  ASSERT_TRUE(MakeClip(FlashVideoInput(640, 360, "30", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v wmv2 -b:v 1M -c:a wmav2 -b:a 128k",
                       source));
  std::string output = temp / "out.mpg";
  std::string error;
  ASSERT_TRUE(ConvertToDvdMpeg(source, output, TvStandard::Ntsc, {}, &error)) << error;
  ExpectDvdTitle(output, true, source, true, temp.Path());
  EXPECT_NEAR(ReadBack(output).displayAspect, 16.0 / 9, 0.01);
}

TEST(EncoderConvert, SoundStartingLateOrEarlyKeepsItsPlace) {
  test::TempFolder temp;
  // -itsoffset delays the input that follows it: first the sound, then the pictures.
  const std::string late = temp / "late sound.mkv";
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 2) + " -itsoffset 0.3 " + BeepAudioInput(48000, 2) +
                           " -c:v mpeg4 -c:a libmp3lame",
                       late));
  const std::string early = temp / "early sound.mkv";
  ASSERT_TRUE(MakeClip("-itsoffset 0.3 " + FlashVideoInput(320, 240, "25", 2) + " " + BeepAudioInput(48000, 2) +
                           " -c:v mpeg4 -c:a libmp3lame",
                       early));
  ASSERT_GT(ReadBack(late).beepSeconds, 1.25);
  ASSERT_LT(ReadBack(early).beepSeconds, 0.75);
  for (const std::string& source : {late, early}) {
    std::string output = source + ".mpg";
    std::string error;
    ASSERT_TRUE(ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error)) << error;
    ExpectDvdTitle(output, false, source, true, temp.Path());
  }
}

TEST(EncoderConvert, Mpeg1AndNtscSourcesAreEncodedForPal) {
  test::TempFolder temp;
  const std::string mpeg1 = temp / "vcd like.mpg";
  ASSERT_TRUE(MakeClip(FlashVideoInput(352, 288, "25", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v mpeg1video -b:v 1150k -c:a mp2 -b:a 224k -f mpeg",
                       mpeg1));
  const std::string ntscVob = temp / "ntsc.vob";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 480, "30000/1001", 2) + " " + BeepAudioInput(48000, 2) +
                           " -c:v mpeg2video -b:v 5M -aspect 4:3 -c:a ac3 -f vob",
                       ntscVob));
  for (const std::string& source : {mpeg1, ntscVob}) {
    const std::string output = source + ".dvd.mpg";
    MpegEncoder encoder;
    ForDvd(encoder, source, output, TvStandard::Pal);
    ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
    EXPECT_EQ(encoder.Mode(), EncodeMode::Encode);
    ExpectDvdTitle(output, false, source, true, temp.Path());
  }
}

TEST(EncoderConvert, DvdLegalProgramStreamsAreCopiedNotEncoded) {
  test::TempFolder temp;
  struct Case {
    const char* name;
    bool ntsc;
    std::string args;
  } cases[] = {
      {"pal.vob", false,
       FlashVideoInput(720, 576, "25", 2) + " " + BeepAudioInput(48000, 2) +
           " -c:v mpeg2video -b:v 5M -maxrate 8M -bufsize 1835k -aspect 4:3 -c:a mp2 -b:a 224k -f vob"},
      {"ntsc.mpeg", true,
       FlashVideoInput(720, 480, "30000/1001", 2) + " " + BeepAudioInput(48000, 2) +
           " -c:v mpeg2video -b:v 5M -maxrate 8M -bufsize 1835k -aspect 16:9 -c:a ac3 -b:a 192k -f vob"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = temp / c.name;
    ASSERT_TRUE(MakeClip(c.args, source));
    ASSERT_FALSE(HasDvdNavigationPacks(source));  // only the container is wrong
    const std::string output = temp / (std::string(c.name) + " fixed.mpg");
    MpegEncoder encoder;
    ForDvd(encoder, source, output, c.ntsc ? TvStandard::Ntsc : TvStandard::Pal);
    ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
    EXPECT_EQ(encoder.Mode(), EncodeMode::Remux);
    ExpectDvdTitle(output, c.ntsc, source, true, temp.Path());
    EXPECT_EQ(ReadBack(output).videoFrames, ReadBack(source).videoFrames);
    EXPECT_NEAR(encoder.Position100ns() / 1e7, encoder.Duration100ns() / 1e7, 0.1);
  }
}

// Video-packet bytes of a file in order: what a stream copy must leave unchanged.
std::string VideoPackets(const std::string& path) {
  std::string bytes;
  RunShell("ffmpeg -loglevel error -i " + ShellQuote(path) + " -map 0:v -c copy -f mpeg2video - > " +
           ShellQuote(path + ".m2v"));
  std::ifstream in(path + ".m2v", std::ios::binary);
  bytes.assign(std::istreambuf_iterator<char>(in), {});
  return bytes;
}

// A disc whose titles share one sound format: a DVD-legal title with other sound (or none)
// keeps its pictures bit for bit and gets the disc's sound; a title of the other shape is
// encoded into the disc's frame.
TEST(EncoderConvert, UniformSoundKeepsThePicturesAndConvertsOnlyTheSound) {
  test::TempFolder temp;
  const std::string mp2 = temp / "mp2 title.mpg", silent = temp / "silent.mpg";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 2) + " " + BeepAudioInput(48000, 2) +
                           " -target pal-dvd -aspect 4:3 -c:a mp2 -b:a 224k",
                       mp2));
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 2) + " -target pal-dvd -aspect 4:3 -an", silent));
  EncoderPreset uniform = PresetFor(FormatFamily::Dvd, TvStandard::Pal);
  uniform.uniformSound = true;
  for (const std::string& source : {mp2, silent}) {
    SCOPED_TRACE(source);
    const std::string output = source + " ac3.mpg";
    MpegEncoder encoder;
    encoder.SetSource(source);
    encoder.SetOutput(output);
    encoder.SetPreset(uniform);
    ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
    EXPECT_EQ(encoder.Mode(), EncodeMode::RemuxNewSound);
    ExpectDvdTitle(output, false, source, source == mp2, temp.Path());
    MediaFacts f = ReadBack(output);
    EXPECT_EQ(f.audioCodec, "ac3");
    EXPECT_NEAR(f.audioSeconds, f.videoSeconds, 0.1);
    const std::string pictures = VideoPackets(source);
    EXPECT_GT(pictures.size(), 10000u);
    EXPECT_TRUE(VideoPackets(output) == pictures);
  }
  // Without the wish for one format the MPEG sound is copied as it always was.
  MpegEncoder plain;
  ForDvd(plain, mp2, temp / "plain.mpg", TvStandard::Pal);
  ASSERT_TRUE(plain.Run()) << plain.ErrorText();
  EXPECT_EQ(plain.Mode(), EncodeMode::Remux);
  EXPECT_EQ(ReadBack(temp / "plain.mpg").audioCodec, "mp2");
  // MPEG sound asked for and present: copied.
  uniform.audio = AudioCodec::Mp2;
  MpegEncoder same;
  same.SetSource(mp2);
  same.SetOutput(temp / "same.mpg");
  same.SetPreset(uniform);
  ASSERT_TRUE(same.Run()) << same.ErrorText();
  EXPECT_EQ(same.Mode(), EncodeMode::Remux);
  // The disc is 16:9: the 4:3 title is encoded into a 16:9 frame.
  uniform.displayShape = 3;
  MpegEncoder wide;
  wide.SetSource(mp2);
  wide.SetOutput(temp / "wide.mpg");
  wide.SetPreset(uniform);
  ASSERT_TRUE(wide.Run()) << wide.ErrorText();
  EXPECT_EQ(wide.Mode(), EncodeMode::Encode);
  EXPECT_NEAR(ReadBack(temp / "wide.mpg").displayAspect, 16.0 / 9, 0.01);
}

// A stream copy of what a DVD tool wrote: around 11 s into this source its sound packets
// repeat a decoding time, which the muxer refuses unless the copy repairs it.
TEST(EncoderConvert, CopyRepairsRepeatedSoundTimes) {
  test::TempFolder temp;
  const std::string avi = temp / "source.avi";
  ASSERT_TRUE(MakeClip("-f lavfi -i testsrc2=s=640x480:r=25:d=12 -f lavfi -i sine=f=440:r=44100:d=12 "
                       "-c:v mpeg4 -q:v 4 -c:a libmp3lame -f avi",
                       avi));
  const std::string source = temp / "rip.vob";
  ASSERT_TRUE(MakeClip("-i " + ShellQuote(avi) + " -target pal-dvd -f vob", source));
  const std::string output = temp / "rip.mpg";
  MpegEncoder encoder;
  ForDvd(encoder, source, output, TvStandard::Pal);
  ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
  EXPECT_EQ(encoder.Mode(), EncodeMode::Remux);
  ExpectDvdTitle(output, false, source, false, temp.Path());
}

// Program streams joined end to end start their clock again in the middle; nothing after
// the join may be lost, whether the streams are copied or encoded.
TEST(EncoderConvert, JoinedProgramStreamsKeepBothHalves) {
  test::TempFolder temp;
  const std::string legal = temp / "part.vob";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 2) + " " + BeepAudioInput(48000, 2) +
                           " -c:v mpeg2video -b:v 4M -aspect 4:3 -c:a mp2 -f vob",
                       legal));
  const std::string mpeg1 = temp / "part.mpg";
  ASSERT_TRUE(MakeClip(FlashVideoInput(352, 288, "25", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v mpeg1video -c:a mp2 -f mpeg",
                       mpeg1));
  for (const auto& [part, mode] : {std::pair{legal, EncodeMode::Remux}, std::pair{mpeg1, EncodeMode::Encode}}) {
    SCOPED_TRACE(part);
    const std::string joined = part + ".joined";
    ASSERT_TRUE(ShellCommand("cat " + ShellQuote(part) + " " + ShellQuote(part) + " >" + ShellQuote(joined)));
    ASSERT_NEAR(ReadBack(joined).videoSeconds, 4.0, 0.01);
    const std::string output = joined + ".mpg";
    MpegEncoder encoder;
    ForDvd(encoder, joined, output, TvStandard::Pal);
    ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
    EXPECT_EQ(encoder.Mode(), mode);
    ExpectDvdTitle(output, false, joined, true, temp.Path());
  }
}

TEST(EncoderConvert, NearlyLegalStreamsAreEncoded) {
  test::TempFolder temp;
  const std::string wrongSound = temp / "44k.vob";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 1) + " " + BeepAudioInput(44100, 1) +
                           " -c:v mpeg2video -b:v 5M -aspect 4:3 -c:a mp2 -f vob",
                       wrongSound));
  const std::string wrongSize = temp / "704.vob";
  ASSERT_TRUE(MakeClip(FlashVideoInput(704, 576, "25", 1) + " " + BeepAudioInput(48000, 1) +
                           " -c:v mpeg2video -b:v 5M -aspect 4:3 -c:a mp2 -f vob",
                       wrongSize));
  for (const std::string& source : {wrongSound, wrongSize}) {
    MpegEncoder encoder;
    ForDvd(encoder, source, source + ".mpg", TvStandard::Pal);
    ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
    EXPECT_EQ(encoder.Mode(), EncodeMode::Encode) << source;
    ExpectDvdTitle(source + ".mpg", false, source, false, temp.Path());
  }
}

TEST(EncoderConvert, VideoWithoutSoundGetsASilentTrack) {
  test::TempFolder temp;
  const std::string source = temp / (kOdd + " mute.avi");
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 2) + " -an -c:v mpeg4 -f avi", source));
  std::string output = temp / "mute.mpg";
  std::string error;
  ASSERT_TRUE(ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error)) << error;
  ExpectDvdTitle(output, false, source, false, temp.Path());
  MediaFacts f = ReadBack(output);
  EXPECT_EQ(f.beepSeconds, -1);  // silence all through
  EXPECT_NEAR(f.flashSeconds, 1.0, 0.045);
}

TEST(EncoderConvert, UnusableSourcesFailAndLeaveNothing) {
  test::TempFolder temp;
  const std::string audioOnly = temp / "song.mp3";
  ASSERT_TRUE(MakeClip(BeepAudioInput(44100, 2) + " -c:a libmp3lame", audioOnly));
  const std::string empty = temp / "empty.avi";
  test::WriteText(empty, "");
  const std::string corrupt = temp / "corrupt $x.avi";
  std::string noise;
  for (int i = 0; i < 200000; ++i) noise.push_back(char((i * 2654435761u) >> 13));
  test::WriteText(corrupt, noise);
  const std::string missing = temp / "missing.avi";

  const std::vector<std::string> before = FolderEntries(temp.Path());
  for (const std::string& source : {audioOnly, empty, corrupt, missing}) {
    SCOPED_TRACE(source);
    std::string output = temp / "out.avi";
    std::string error;
    vantrel::test::StartLogCapture();
    bool ok = ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error);
    std::string printed = vantrel::test::TakeLogCapture();
    EXPECT_FALSE(ok);
    EXPECT_NE(printed.find("转换失败\n"), std::string::npos) << printed;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(FolderEntries(temp.Path()), before);  // no output, no temporary file
  }
  std::string output = temp / "out.mpg";
  std::string error;
  EXPECT_FALSE(ConvertToDvdMpeg(audioOnly, output, TvStandard::Pal, {}, &error));
  EXPECT_NE(error.find("only sound"), std::string::npos) << error;
}

TEST(EncoderConvert, OutputOverTheSourceIsRefused) {
  test::TempFolder temp;
  const std::string source = temp / "title.mpg";
  ASSERT_TRUE(MakeClip(FlashVideoInput(720, 576, "25", 1) + " " + BeepAudioInput(48000, 1) +
                           " -c:v mpeg2video -aspect 4:3 -c:a mp2 -f vob",
                       source));
  const std::string before = Checksum(source);
  std::string output = temp / "./title.mpg";
  std::string error;
  EXPECT_FALSE(ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error));
  EXPECT_NE(error.find("replace the source"), std::string::npos) << error;
  EXPECT_EQ(Checksum(source), before);
}

// A small file system of its own: read-only, or too small for the output.
class ScopedTmpfs {
 public:
  ScopedTmpfs(const std::string& folder, const std::string& options) : folder_(folder) {
    MakeFolder(folder);
    mounted_ = ShellCommand("mount -t tmpfs -o " + options + " tmpfs " + ShellQuote(folder));
  }
  ~ScopedTmpfs() {
    if (mounted_) ShellCommand("umount " + ShellQuote(folder_));
  }
  bool Mounted() const { return mounted_; }

 private:
  std::string folder_;
  bool mounted_ = false;
};

TEST(EncoderConvert, UnwritableOrFullOutputIsAFailureWithTheSystemsReason) {
  test::TempFolder temp;
  const std::string source = temp / "clip.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(640, 480, "25", 2) + " " + BeepAudioInput(44100, 2) +
                           " -c:v mpeg4 -c:a libmp3lame -f avi",
                       source));
  struct Case {
    const char* folder;
    const char* options;
    const char* reason;
  } cases[] = {{"read only", "ro,size=1m", "Read-only file system"},
               {"full", "size=96k", "No space left on device"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    ScopedTmpfs fs(temp / c.folder, c.options);
    ASSERT_TRUE(fs.Mounted()) << "mounting a tmpfs needs root";
    std::string output = JoinPath(temp / c.folder, "out.mpg");
    std::string error;
    vantrel::test::StartLogCapture();
    EXPECT_FALSE(ConvertToDvdMpeg(source, output, TvStandard::Pal, {}, &error));
    EXPECT_NE(vantrel::test::TakeLogCapture().find("转换失败"), std::string::npos);
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_TRUE(FolderEntries(temp / c.folder).empty());
  }
}

TEST(EncoderConvert, CancelledJobFailsAndLeavesNoOutput) {
  test::TempFolder temp;
  const std::string source = temp / "clip.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(640, 480, "25", 2) + " -an -c:v mpeg4 -f avi", source));
  MpegEncoder encoder;
    ForDvd(encoder, source, temp / "out.mpg", TvStandard::Pal);
  encoder.Cancel();
  ASSERT_TRUE(encoder.Start());
  EXPECT_TRUE(encoder.Wait(60000));
  EXPECT_FALSE(encoder.Succeeded());
  EXPECT_NE(encoder.ErrorText().find("cancelled"), std::string::npos);
  EXPECT_EQ(FolderEntries(temp.Path()), std::vector<std::string>{"clip.avi"});
}

// A PAL DVD encode fed `pictures` pictures of 25 a second, started.
void StartFedDvdEncode(MpegEncoder& encoder, int width, int height, int pictures, const std::string& output) {
  FedFormat format;
  format.video = true;
  format.width = width;
  format.height = height;
  format.frameRate = 25;
  format.duration100ns = std::int64_t(pictures) * 400000;
  encoder.SetFedSource(format);
  encoder.SetOutput(output);
  encoder.SetPreset(PresetFor(FormatFamily::Dvd, TvStandard::Pal));
  ASSERT_TRUE(encoder.Start()) << encoder.ErrorText();
}

// Pictures handed over with an owner are borrowed, not copied. While titles encode side by
// side every borrowed picture is memory of the sender's: the encode keeps the one waiting
// for it and the one it converts, and lets go of each once it is converted.
TEST(EncoderConvert, AFedEncodeHoldsFewOfTheSendersPicturesAtOnce) {
  test::TempFolder temp;
  constexpr int kWidth = 320, kHeight = 240, kPictures = 50;
  std::atomic<int> alive{0};  // outlives the encoder, which may still hold pictures when a check fails
  MpegEncoder encoder;
  ASSERT_NO_FATAL_FAILURE(StartFedDvdEncode(encoder, kWidth, kHeight, kPictures, temp / "fed.mpg"));
  int most = 0;
  const std::size_t bytes = std::size_t(kWidth) * kHeight * 3 / 2;
  for (int i = 0; i < kPictures; ++i) {
    auto picture = std::shared_ptr<std::vector<std::uint8_t>>(
        new std::vector<std::uint8_t>(bytes, std::uint8_t(16 + i * 4)), [&alive](std::vector<std::uint8_t>* p) {
          alive.fetch_sub(1);
          delete p;
        });
    most = std::max(most, alive.fetch_add(1) + 1);  // this one and those the encode still holds
    ASSERT_TRUE(encoder.PushPlanarPicture(picture->data(), bytes, kWidth, kHeight, i * 400000LL, (i + 1) * 400000LL,
                                          picture));
  }
  encoder.EndOfFrames();
  ASSERT_TRUE(encoder.Wait(60000));
  ASSERT_TRUE(encoder.Succeeded()) << encoder.ErrorText();
  EXPECT_EQ(alive.load(), 0);
  EXPECT_LE(most, 2) << "the one being handed over and the one being converted";
  const MediaFacts facts = ReadBack(temp / "fed.mpg");
  EXPECT_EQ(facts.width, 720);
  EXPECT_EQ(facts.videoFrames, kPictures);
}

// A decoder's pictures come with rows longer than the picture; lent plane by plane, they
// make the very stream their packed copies make, and nothing past a row's end shows.
TEST(EncoderConvert, PicturesLentPlaneByPlaneEncodeAsTheirPackedCopies) {
  test::TempFolder temp;
  constexpr int kWidth = 176, kHeight = 144, kPictures = 20;
  constexpr int kChroma = kWidth / 2, kStride = kWidth + 48, kChromaStride = kChroma + 40;
  auto encode = [&](const std::string& name, bool lent) {
    MpegEncoder encoder;
    ASSERT_NO_FATAL_FAILURE(StartFedDvdEncode(encoder, kWidth, kHeight, kPictures, temp / name));
    for (int i = 0; i < kPictures; ++i) {
      // A moving ramp, and bright noise in every row's padding.
      auto rows = std::make_shared<std::vector<std::uint8_t>>(std::size_t(kStride) * kHeight +
                                                              2 * std::size_t(kChromaStride) * (kHeight / 2), 0xFF);
      std::uint8_t* y = rows->data();
      std::uint8_t* u = y + std::size_t(kStride) * kHeight;
      std::uint8_t* v = u + std::size_t(kChromaStride) * (kHeight / 2);
      for (int r = 0; r < kHeight; ++r)
        for (int c = 0; c < kWidth; ++c) y[r * kStride + c] = std::uint8_t(16 + (r + c + 3 * i) % 200);
      for (int r = 0; r < kHeight / 2; ++r)
        for (int c = 0; c < kChroma; ++c) {
          u[r * kChromaStride + c] = std::uint8_t(128 + (c - r) % 40);
          v[r * kChromaStride + c] = std::uint8_t(100 + (r + i) % 50);
        }
      const std::uint8_t* planes[3] = {y, u, v};
      const std::int64_t start = i * 400000LL, end = (i + 1) * 400000LL;
      bool pushed;
      if (lent) {
        const int strides[3] = {kStride, kChromaStride, kChromaStride};
        pushed = encoder.PushPlanarPicture(planes, strides, kWidth, kHeight, start, end, rows);
      } else {
        auto packed = std::make_shared<std::vector<std::uint8_t>>();
        for (int p = 0; p < 3; ++p) {
          const int width = p ? kChroma : kWidth, height = p ? kHeight / 2 : kHeight;
          const int stride = p ? kChromaStride : kStride;
          for (int r = 0; r < height; ++r)
            packed->insert(packed->end(), planes[p] + r * stride, planes[p] + r * stride + width);
        }
        pushed = encoder.PushPlanarPicture(packed->data(), packed->size(), kWidth, kHeight, start, end, packed);
      }
      EXPECT_TRUE(pushed);
    }
    encoder.EndOfFrames();
    EXPECT_TRUE(encoder.Wait(60000));
    EXPECT_TRUE(encoder.Succeeded()) << encoder.ErrorText();
  };
  encode("packed.mpg", false);
  encode("lent.mpg", true);
  const std::string packed = test::ReadText(temp / "packed.mpg"), lent = test::ReadText(temp / "lent.mpg");
  ASSERT_GT(packed.size(), 10000u);
  EXPECT_TRUE(packed == lent) << "the lent pictures made another stream";
  EXPECT_EQ(ReadBack(temp / "lent.mpg").videoFrames, kPictures);
}

TEST(EncoderConvert, OtherFamiliesWriteTheirOwnStreams) {
  test::TempFolder temp;
  const std::string source = temp / "clip.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(640, 480, "25", 1) + " " + BeepAudioInput(44100, 1) +
                           " -c:v mpeg4 -c:a libmp3lame -f avi",
                       source));
  struct Case {
    FormatFamily family;
    const char* codec;
    int width, height, sampleRate;
  } cases[] = {{FormatFamily::Vcd, "mpeg1video", 352, 288, 44100},
               {FormatFamily::Svcd, "mpeg2video", 480, 576, 44100},
               {FormatFamily::Mpeg1, "mpeg1video", 640, 480, 48000}};
  for (const Case& c : cases) {
    SCOPED_TRACE(FormatFamilyName(c.family));
    MpegEncoder encoder;
    encoder.SetSource(source);
    encoder.SetOutput(temp / "out.mpg");
    encoder.SetPreset(PresetFor(c.family, c.family == FormatFamily::Mpeg1 ? TvStandard::None : TvStandard::Pal));
    ASSERT_TRUE(encoder.Run()) << encoder.ErrorText();
    MediaFacts f = ReadBack(temp / "out.mpg");
    EXPECT_EQ(f.videoCodec, c.codec);
    EXPECT_EQ(f.width, c.width);
    EXPECT_EQ(f.height, c.height);
    EXPECT_EQ(f.audioCodec, "mp2");
    EXPECT_EQ(f.sampleRate, c.sampleRate);
    EXPECT_NEAR(f.videoSeconds, 1.0, 0.081);
    EXPECT_EQ(encoder.FramesEncoded(), f.videoFrames);
  }
}

TEST(EncoderConvert, CommandLineReportsTheRewrittenOutput) {
  test::TempFolder temp;
  const std::string source = temp / (kOdd + ".avi");
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 1) + " " + BeepAudioInput(44100, 1) +
                           " -c:v mpeg4 -c:a libmp3lame -f avi",
                       source));
  const std::string tool = std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author";
  const std::string log = temp / "log.txt";
  ShellResult r = RunShell(ShellQuote(tool) + " convert " + ShellQuote(source) + " " +
                           ShellQuote(temp / "out $1.avi") + " --ntsc >" + ShellQuote(log) + " 2>&1");
  EXPECT_TRUE(r.Succeeded()) << test::ReadText(log);
  EXPECT_NE(test::ReadText(log).find("wrote " + temp / "out $1.mpg"), std::string::npos) << test::ReadText(log);
  EXPECT_EQ(ReadBack(temp / "out $1.mpg").height, 480);

  r = RunShell(ShellQuote(tool) + " convert " + ShellQuote(temp / "none.avi") + " " + ShellQuote(temp / "x.mpg") +
               " >" + ShellQuote(log) + " 2>&1");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(test::ReadText(log).find("转换失败"), std::string::npos) << test::ReadText(log);
  EXPECT_FALSE(FileExists(temp / "x.mpg"));
}

}  // namespace
}  // namespace vantrel
