// SPDX-License-Identifier: GPL-3.0-or-later
// Discs whose titles differ in sound and picture shape, authored through vantrel-author
// and read the way a player reads them: the title set's declarations through libdvdread,
// each title's own sectors through libavformat.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/title_playback.h"

namespace vantrel {
namespace {

using test::DiscPlayback;

// A DVD-ready title (navigation packs, DVD size and rate) of two seconds.
std::string DvdReady(const test::TempFolder& temp, const std::string& name, bool ntsc, const std::string& shape,
                     const std::string& sound) {
  const std::string path = temp / name;
  const std::string size = ntsc ? "720x480" : "720x576", rate = ntsc ? "30000/1001" : "25";
  std::string audio = sound == "none" ? " -an" : " -c:a " + sound + " -b:a 192k";
  // Grey to the edges, so that any black seen on the disc is a bar.
  std::string input = "-f lavfi -i color=c=gray:size=" + size + ":rate=" + rate;
  if (sound != "none") input += " -f lavfi -i sine=frequency=440:sample_rate=48000";
  EXPECT_TRUE(test::Ffmpeg(input + " -t 2 -target " + (ntsc ? "ntsc-dvd" : "pal-dvd") + " -aspect " + shape +
                           audio + " " + ShellQuote(path)));
  return path;
}

// An AVI that needs repair: MPEG-4 pictures of `size` with pixels shaped `sar`.
std::string Avi(const test::TempFolder& temp, const std::string& name, const std::string& size,
                const std::string& sar, bool sound) {
  const std::string path = temp / name;
  std::string input = "-f lavfi -i color=c=gray:size=" + size + ":rate=25";
  if (sound) input += " -f lavfi -i sine=frequency=660:sample_rate=44100";
  EXPECT_TRUE(test::Ffmpeg(input + " -t 2 -vf setsar=" + sar + " -c:v mpeg4 -q:v 4" +
                           (sound ? " -c:a libmp3lame" : " -an") + " " + ShellQuote(path)));
  return path;
}

struct Authored {
  bool ok = false;
  std::string out;       // the event log as the command printed it
  std::string toolsLog;  // what the authoring tools said
  std::string xml;       // dvd.xml
  DiscPlayback disc;
};

Authored Author(const test::TempFolder& temp, const std::string& options, const std::vector<std::string>& titles) {
  const std::string work = temp / "work";
  std::string command = ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") +
                        " author --yes --work " + ShellQuote(work) + " " + options;
  for (const std::string& t : titles) command += " " + ShellQuote(t);
  Authored a;
  a.ok = RunShell(command + " > " + ShellQuote(temp / "out.txt") + " 2>&1").Succeeded();
  a.out = test::ReadText(temp / "out.txt");
  a.toolsLog = test::ReadText(work + "/TEMP/tools.log");
  a.xml = test::ReadText(work + "/TEMP/dvd.xml");
  MakeFolder(temp / "dumps");
  a.disc = test::ReadDiscPlayback(work + "/DVD", temp / "dumps");
  return a;
}

// Each title is seen in its source's shape: letterboxed or pillarboxed, never squeezed.
void ExpectShapes(const DiscPlayback& disc, const std::vector<double>& sources) {
  ASSERT_EQ(disc.titles.size(), sources.size());
  for (std::size_t i = 0; i < sources.size(); ++i)
    EXPECT_NEAR(disc.titles[i].shownAspect, sources[i], 0.03) << "title " << i + 1;
}

// The files the run wrote for titles: each converted title has one, under its one name.
int ConvertedFiles(const test::TempFolder& temp) {
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(temp / "work"))
    n += e.path().filename().string().rfind("(TaliroFixedDVD)", 0) == 0;
  return n;
}

TEST(DiscHarmony, MixedSoundAndShapesPalWide) {
  test::TempFolder temp;
  const std::string standardMp2 = DvdReady(temp, "standard mp2.mpg", false, "4:3", "mp2");
  const std::string wideAc3 = DvdReady(temp, "wide ac3.mpg", false, "16:9", "ac3");
  const std::string avi = Avi(temp, "home 'video'.avi", "640x480", "1", true);
  Authored a = Author(temp, "--pal --no-menu --shape 16:9 --sound ac3", {standardMp2, wideAc3, avi});
  ASSERT_TRUE(a.ok) << a.out;
  ASSERT_EQ(a.disc.titles.size(), 3u);
  EXPECT_EQ(a.disc.setAspectCode, 3);
  EXPECT_EQ(a.disc.setAudio, std::vector<std::string>{"ac3"});  // the repaired title's sound
  EXPECT_EQ(test::PlaybackFaults(a.disc), "") << a.out;
  ExpectShapes(a.disc, {4.0 / 3, 16.0 / 9, 4.0 / 3});
  EXPECT_EQ(a.toolsLog.find("aspect ratio"), std::string::npos) << a.toolsLog;
  // The wide AC-3 title is left as it is; the other two are each converted once.
  EXPECT_NE(a.xml.find("\"" + wideAc3 + "\""), std::string::npos);
  EXPECT_EQ(a.xml.find("\"" + standardMp2 + "\""), std::string::npos);
  EXPECT_EQ(ConvertedFiles(temp), 2);
  EXPECT_NE(a.out.find("标题的画面比例不同，统一为 16:9"), std::string::npos) << a.out;
  EXPECT_NE(a.out.find("标题的声音格式不同"), std::string::npos) << a.out;
}

TEST(DiscHarmony, NtscStandardShapeWithMenuAndATitleWithoutSound) {
  test::TempFolder temp;
  const std::string wideAc3 = DvdReady(temp, "wide.mpg", true, "16:9", "ac3");
  const std::string standardMp2 = DvdReady(temp, "standard.mpg", true, "4:3", "mp2");
  const std::string silent = DvdReady(temp, "silent.mpg", true, "4:3", "none");
  Authored a = Author(temp, "--ntsc --menu --shape 4:3 --sound ac3", {wideAc3, standardMp2, silent});
  ASSERT_TRUE(a.ok) << a.out;
  ASSERT_EQ(a.disc.titles.size(), 3u);
  EXPECT_EQ(a.disc.setAspectCode, 2);
  EXPECT_EQ(a.disc.setAudio, std::vector<std::string>{"ac3"});  // no repair: the first title's
  EXPECT_EQ(test::PlaybackFaults(a.disc), "") << a.out;
  ExpectShapes(a.disc, {16.0 / 9, 4.0 / 3, 4.0 / 3});
  // Menus: a DVD aspect code and buttons on even lines, so the tools have nothing to say.
  EXPECT_EQ(a.toolsLog.find("unknown mpeg2 aspect"), std::string::npos) << a.toolsLog;
  EXPECT_EQ(a.toolsLog.find("coordinates are odd"), std::string::npos) << a.toolsLog;
  EXPECT_NE(a.toolsLog.find("Aspect ratio code: 2"), std::string::npos) << a.toolsLog;
}

TEST(DiscHarmony, RepairedTitleLeadsTheSoundAndTakesTheDiscShapeDirectly) {
  test::TempFolder temp;
  const std::string standardMp2 = DvdReady(temp, "standard.mpg", false, "4:3", "mp2");
  const std::string wideAvi = Avi(temp, "wide silent.avi", "1024x576", "1", false);
  Authored a = Author(temp, "--pal --no-menu --shape 4:3 --sound ac3", {standardMp2, wideAvi});
  ASSERT_TRUE(a.ok) << a.out;
  ASSERT_EQ(a.disc.titles.size(), 2u);
  EXPECT_EQ(a.disc.setAspectCode, 2);
  EXPECT_EQ(a.disc.setAudio, std::vector<std::string>{"ac3"});
  EXPECT_EQ(test::PlaybackFaults(a.disc), "") << a.out;
  ExpectShapes(a.disc, {4.0 / 3, 16.0 / 9});
  // The AVI is repaired straight into the 4:3 frame: one file each, nothing converted twice.
  EXPECT_EQ(ConvertedFiles(temp), 2);
  EXPECT_NE(a.out.find("统一 wide silent.avi: 画面 4:3"), std::string::npos) << a.out;
}

TEST(DiscHarmony, TitlesThatAgreeAreAuthoredAsTheyAre) {
  test::TempFolder temp;
  const std::string a1 = DvdReady(temp, "one.mpg", false, "4:3", "mp2");
  const std::string a2 = DvdReady(temp, "two.mpg", false, "4:3", "mp2");
  const auto before = FileSize(a1);
  Authored a = Author(temp, "--pal --no-menu --shape 16:9", {a1, a2});
  ASSERT_TRUE(a.ok) << a.out;
  EXPECT_EQ(a.disc.setAspectCode, 2);  // the titles' own shape: nothing imposed
  EXPECT_EQ(a.disc.setAudio, std::vector<std::string>{"mpeg1"});
  EXPECT_EQ(test::PlaybackFaults(a.disc), "");
  ExpectShapes(a.disc, {4.0 / 3, 4.0 / 3});
  EXPECT_EQ(ConvertedFiles(temp), 0);
  EXPECT_EQ(a.xml.find("TaliroFixedDVD"), std::string::npos);
  EXPECT_EQ(FileSize(a1), before);
}

// The reader itself: titles authored by dvdauthor straight from mixed files show the
// faults a player has with them.
TEST(DiscHarmony, TheReaderSeesWhatAPlayerGetsWrong) {
  test::TempFolder temp;
  const std::string standardMp2 = DvdReady(temp, "standard.mpg", false, "4:3", "mp2");
  const std::string wideAc3 = DvdReady(temp, "wide.mpg", false, "16:9", "ac3");
  const std::string xml = temp / "dvd.xml";
  std::FILE* f = std::fopen(xml.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fprintf(f, "<dvdauthor><vmgm/><titleset><titles><pgc><vob file=\"%s\"/></pgc><pgc><vob file=\"%s\"/>"
               "</pgc></titles></titleset></dvdauthor>", wideAc3.c_str(), standardMp2.c_str());
  std::fclose(f);
  ASSERT_TRUE(RunShell("VIDEO_FORMAT=PAL dvdauthor -o " + ShellQuote(temp / "DVD") + " -x " + ShellQuote(xml) +
                       " >/dev/null 2>&1").Succeeded());
  MakeFolder(temp / "dumps");
  DiscPlayback disc = test::ReadDiscPlayback(temp / "DVD", temp / "dumps");
  ASSERT_TRUE(disc.opened);
  const std::string faults = test::PlaybackFaults(disc);
  EXPECT_EQ(faults, "title 2: no sound in the title set's audio stream 1 (ac3)\n");
  // The authoring tool flags the 4:3 title 16:9 like its set: it is shown squeezed.
  ASSERT_EQ(disc.titles.size(), 2u);
  EXPECT_NEAR(disc.titles[0].shownAspect, 16.0 / 9, 0.03);
  EXPECT_NEAR(disc.titles[1].shownAspect, 16.0 / 9, 0.03);  // its source is 4:3
}

}  // namespace
}  // namespace vantrel
