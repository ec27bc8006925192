// SPDX-License-Identifier: GPL-3.0-or-later
// Menu pages through the real tools: rendered pictures and button images, jpeg2yuv |
// mpeg2enc, mplex and spumux through the tool set, then dvdauthor over the streams. The
// results are read back with libavformat and by scanning their packs.
#include "authoring/menu_video_chain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "authoring/command_templates.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/run_status.h"
#include "authoring/shell_command.h"
#include "authoring/tool_environment.h"
#include "authoring/toolset.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "project/app_settings.h"
#include "project/title_list.h"
#include "support/pictures.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

const std::string kAppFolder = std::string(VANTREL_APP_BUILD_DIR) + "/";

struct Report {
  std::string text;
  int position, mode, kind;
  bool operator==(const Report&) const = default;
};

class RecordingStatus : public RunStatus {
 public:
  void ShowStatus(const std::string& text, int position, int mode, int kind) override {
    reports.push_back({text, position, mode, kind});
  }
  std::vector<Report> reports;
};

class ScriptedQuestion : public RunQuestion {
 public:
  explicit ScriptedQuestion(bool answer) : answer_(answer) {}
  bool AskYesNo(const std::string& text) override {
    asked.push_back(text);
    return answer_;
  }
  std::vector<std::string> asked;

 private:
  bool answer_;
};

// One run's folders, in a work folder whose name needs quoting in every context.
class ChainRun {
 public:
  ChainRun(int titleCount, bool ntsc)
      : ntsc_(ntsc), model(std::string(VANTREL_SOURCE_DIR) + "/data/layout.ini"),
        settings(temp / "Settings.ini") {
    work = temp / "work 'q' $x \"y\"";
    intermediate = work + "/TEMP/";
    tools = temp / "tools";
    EXPECT_TRUE(MakeFolder(intermediate));
    EXPECT_TRUE(ToolSet(tools).Write());
    const std::string clip = kAppFolder + (ntsc ? "bn.mpg" : "bp.mpg");
    for (int i = 0; i < titleCount; ++i) {
      auto r = std::make_unique<TitleRecord>();
      r->SourcePath = temp / ("片 " + std::to_string(i + 1) + " 'a'.mpg");
      std::filesystem::copy_file(clip, r->SourcePath);
      r->DisplayTitle = i % 2 ? "海边 日落" : "city lights";
      titles.AppendTitle(std::move(r), titles.Thumbnails().Add(test::GradientThumbnail(i)));
    }
    model.Rebuild(titles, 0, ntsc);
  }

  bool Render() {
    MenuRenderer renderer(model, titles.Thumbnails(), {ntsc_, true, true, intermediate});
    bool ok = true;
    for (int kind = kMenuBackground; kind <= kMenuSelectedButtons; ++kind) ok = renderer.Render(kind) && ok;
    return ok;
  }
  MenuChainResult Chain(RunStatus& status, RunQuestion& question) {
    return MenuVideoChain::Run(model, {intermediate, tools, kAppFolder, StandardOfNtscFlag(ntsc_), ""}, settings, status, question);
  }
  // dvd.xml from the writer, then dvdauthor through the tool set.
  bool Author() {
    if (!DvdScriptWriter::Write(model, {settings.createmenu, StandardOfNtscFlag(ntsc_), intermediate, kAppFolder})) return false;
    return ShellCommand(AuthorCommand(work + "/DVD", DvdScriptWriter::ScriptPath(intermediate)) + " 2>&1 | tail -3",
                        ToolShellContext(tools, StandardOfNtscFlag(ntsc_)));
  }
  std::string VideoTs(const char* name) const { return work + "/DVD/VIDEO_TS/" + name; }

  test::TempFolder temp;
  std::string work, intermediate, tools;
  bool ntsc_;
  TitleList titles;
  MenuModel model;
  AppSettings settings;
};

TEST(MenuChain, ThirteenTitlesBecomeThreeMenuStreamsThatDvdauthorTakes) {
  for (bool ntsc : {false, true}) {
    SCOPED_TRACE(ntsc ? "NTSC" : "PAL");
    ChainRun run(13, ntsc);
    ASSERT_EQ(run.model.PageCount(), 3);
    // spumux must cope with highlight and select images whose shapes differ.
    MenuAppearance& look = run.model.Appearance();
    look.highlightFont = LogicalFont{"Arial", 26, 700, true, 1};
    look.selectFont = LogicalFont{"Liberation Serif", 20, 400, false, 134};
    ASSERT_TRUE(run.Render());

    RecordingStatus status;
    ScriptedQuestion question(false);
    const char* formatBefore = getenv("VIDEO_FORMAT");
    const std::string before = formatBefore ? formatBefore : "(unset)";
    ASSERT_EQ(run.Chain(status, question), MenuChainResult::kMenusMade);
    EXPECT_TRUE(question.asked.empty());
    std::vector<Report> expected{{"生成菜单...", 0, 1, 1}};
    for (int percent : {16, 33, 50, 66, 83, 100}) expected.push_back({"生成菜单...", percent, 2, 1});
    EXPECT_EQ(status.reports, expected);

    for (int k = 1; k <= 3; ++k) {
      SCOPED_TRACE(k);
      const std::string stream = MenuVideoChain::MenuStreamPath(run.intermediate, k);
      EXPECT_GT(FileSize(stream), MenuVideoChain::kMinimumStreamBytes);
      EXPECT_GT(test::CountSubpicturePackets(stream), 0);
      test::StreamFacts facts = test::ProbeStream(stream);
      ASSERT_TRUE(facts.opened);
      EXPECT_EQ(facts.videoCodec, "mpeg2video");
      EXPECT_EQ(facts.videoWidth, 720);
      EXPECT_EQ(facts.videoHeight, ntsc ? 480 : 576);
      EXPECT_NEAR(facts.frameRate, ntsc ? 29.97 : 25, 0.01);
      EXPECT_EQ(facts.audioCodec, "mp2");
      EXPECT_TRUE(facts.hasSubpicture);
    }
    const char* formatAfter = getenv("VIDEO_FORMAT");  // the tools' environment is put back
    EXPECT_EQ(formatAfter ? std::string(formatAfter) : "(unset)", before);

    ASSERT_TRUE(run.Author());
    for (const char* name : {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VIDEO_TS.VOB", "VTS_01_0.IFO", "VTS_01_0.BUP", "VTS_01_1.VOB"})
      EXPECT_TRUE(FileExists(run.VideoTs(name))) << name;
    // The menus made it onto the disc with their buttons.
    EXPECT_GT(test::CountSubpicturePackets(run.VideoTs("VIDEO_TS.VOB")), 2);
    EXPECT_EQ(test::ProbeStream(run.VideoTs("VIDEO_TS.VOB")).videoHeight, ntsc ? 480 : 576);
  }
}

// A page whose still cannot be encoded: the remaining tools still run, the stream is
// missing or short, and the user decides. An old stream of the same name does not count.
TEST(MenuChain, FailedStreamAsksAndFollowsTheAnswer) {
  for (bool answer : {false, true}) {
    SCOPED_TRACE(answer ? "Yes" : "No");
    ChainRun run(3, false);
    ASSERT_TRUE(run.Render());
    test::WriteText(run.intermediate + "menu_background01.jpg", "no JPEG here");
    test::WriteText(MenuVideoChain::MenuStreamPath(run.intermediate, 1), std::string(200000, 'x'));
    RecordingStatus status;
    ScriptedQuestion question(answer);
    MenuChainResult result = run.Chain(status, question);
    EXPECT_EQ(question.asked, std::vector<std::string>{"创建菜单失败，您想要继续吗？"});
    EXPECT_FALSE(MenuVideoChain::StreamIsGood(MenuVideoChain::MenuStreamPath(run.intermediate, 1)));
    EXPECT_EQ(status.reports.size(), 3u);  // 0, 50, 100
    if (!answer) {
      EXPECT_EQ(result, MenuChainResult::kStopRun);
      EXPECT_TRUE(run.settings.createmenu);
      continue;
    }
    EXPECT_EQ(result, MenuChainResult::kContinueWithoutMenu);
    EXPECT_FALSE(run.settings.createmenu);
    // The run goes on as a disc without menu: the black clip, which dvdauthor takes.
    ASSERT_TRUE(run.Author());
    EXPECT_TRUE(FileExists(run.VideoTs("VTS_01_1.VOB")));
    EXPECT_EQ(test::CountSubpicturePackets(run.VideoTs("VIDEO_TS.VOB")), 0);
  }
}

TEST(MenuChain, ShippedMediaFiles) {
  test::StreamFacts silence = test::ProbeStream(kAppFolder + "silence.mp2");
  EXPECT_EQ(silence.audioCodec, "mp2");
  EXPECT_EQ(silence.audioRate, 48000);
  EXPECT_EQ(silence.audioChannels, 2);
  EXPECT_GE(silence.durationSeconds, 4.5);
  for (bool ntsc : {false, true}) {
    SCOPED_TRACE(ntsc ? "bn.mpg" : "bp.mpg");
    const std::string clip = kAppFolder + (ntsc ? "bn.mpg" : "bp.mpg");
    test::StreamFacts facts = test::ProbeStream(clip);
    EXPECT_EQ(facts.videoCodec, "mpeg2video");
    EXPECT_EQ(facts.videoWidth, 720);
    EXPECT_EQ(facts.videoHeight, ntsc ? 480 : 576);
    EXPECT_NEAR(facts.frameRate, ntsc ? 29.97 : 25, 0.01);
    EXPECT_FALSE(facts.audioCodec.empty());
    EXPECT_GE(test::CountNavigationPacks(clip), 2);  // DVD navigation packs
    // Authored as the menu of a disc without menu, and as its titles.
    ChainRun run(2, ntsc);
    run.settings.createmenu = false;
    ASSERT_TRUE(run.Author());
    EXPECT_TRUE(FileExists(run.VideoTs("VIDEO_TS.VOB")));
    EXPECT_TRUE(FileExists(run.VideoTs("VTS_01_1.VOB")));
  }
}

TEST(MenuChain, CommandLineMakesTheMenuStreams) {
  test::TempFolder temp;
  std::string videos;
  for (int i = 0; i < 7; ++i) {
    std::string name = temp / ("片 " + std::to_string(i) + " & 'x'.mpg");
    std::filesystem::copy_file(kAppFolder + "bp.mpg", name);
    videos += " " + ShellQuote(name);
  }
  ASSERT_TRUE(test::WriteTwoColourPicture(temp / "背景 $1.png", PictureFormat::kPng, 0x203040, 0x405060));
  const std::string author = ShellQuote(kAppFolder + "vantrel-author");
  const std::string work = temp / "work \"$HOME\"";
  ShellResult made = RunShell("VANTREL_APPDIR=" + ShellQuote(kAppFolder) + " " + author +
                              " menu --pal --layout 0 --yes --background " + ShellQuote(temp / "背景 $1.png") +
                              " --work " + ShellQuote(work) + videos + " > " + ShellQuote(temp / "out.txt") + " 2>&1");
  EXPECT_EQ(made.exitCode, 0) << test::ReadText(temp / "out.txt");
  for (const char* name : {"menu01.mpg", "menu02.mpg"})
    EXPECT_TRUE(MenuVideoChain::StreamIsGood(work + "/TEMP/" + name)) << name;
  EXPECT_FALSE(FileExists(work + "/TEMP/menu03.mpg"));
  // The command's own lines only (pages rendered, the chain's step, two streams written);
  // the tools' chatter is in the log beside them.
  const std::string out = test::ReadText(temp / "out.txt");
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4) << out;
  EXPECT_NE(test::ReadText(work + "/TEMP/tools.log").find("spumux"), std::string::npos);

  // A background picture that is not there is named, and nothing is made.
  ShellResult missing = RunShell(author + " menu --work " + ShellQuote(temp / "w2") + " --background " +
                                 ShellQuote(temp / "none.png") + videos + " 2>/dev/null");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(FolderExists(temp / "w2"));
}

}  // namespace
}  // namespace vantrel
