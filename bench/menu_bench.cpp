// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the menu steps: milliseconds per rendered page for each of the four image
// kinds, and seconds per page for the menu stream chain, beside the reference tool doing
// the same still-plus-silence encode in one process (ffmpeg), as a ratio.
//   menu_bench [REPEATS]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "authoring/command_templates.h"
#include "authoring/menu_video_chain.h"
#include "authoring/run_status.h"
#include "authoring/shell_command.h"
#include "authoring/toolset.h"
#include "base/paths.h"
#include "menu/menu_model.h"
#include "menu/menu_renderer.h"
#include "menu/picture_loader.h"
#include "project/app_settings.h"
#include "project/title_list.h"

using namespace vantrel;
using Clock = std::chrono::steady_clock;

namespace {

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class AnswerNo : public RunQuestion {
 public:
  bool AskYesNo(const std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
  const int repeats = argc > 1 ? std::max(1, atoi(argv[1])) : 10;
  const std::string app = std::string(VANTREL_APP_BUILD_DIR) + "/";
  char pattern[] = "/tmp/vantrel bench XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const std::string folder = std::string(pattern) + "/";

  // 13 titles in the 6-button style: three pages, each with thumbnails and captions,
  // over a background picture that is decoded once and stretched on every page.
  const std::string background = folder + "background.png";
  if (!ShellCommand("ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=720x576 -frames:v 1 " +
                    ShellQuote(background))) {
    std::fputs("menu_bench: ffmpeg is needed for the background picture and the reference\n", stderr);
    return 1;
  }
  TitleList titles;
  for (int i = 0; i < 13; ++i) {
    auto r = std::make_unique<TitleRecord>();
    r->SourcePath = app + "bp.mpg";
    r->DisplayTitle = i % 2 ? "海边 日落" : "city lights";
    RgbImage thumb(80, 60);
    for (size_t p = 0; p < thumb.pixels.size(); ++p) thumb.pixels[p] = std::uint8_t(p * 7 + i * 31);
    titles.AppendTitle(std::move(r), titles.Thumbnails().Add(thumb));
  }
  MenuModel model(std::string(VANTREL_SOURCE_DIR) + "/data/layout.ini");
  model.Rebuild(titles, 0, false);
  model.Appearance().backgroundPicture = background;
  MenuRenderer renderer(model, titles.Thumbnails(), {false, true, true, folder});

  std::printf("menu pictures (%d pages, PAL, %d repeats)\n", model.PageCount(), repeats);
  const char* names[] = {"", "background JPEG", "normal buttons", "highlighted buttons", "selected buttons"};
  for (int kind = kMenuBackground; kind <= kMenuSelectedButtons; ++kind) {
    renderer.Render(kind);  // warm: fonts, picture
    auto start = Clock::now();
    for (int i = 0; i < repeats; ++i) renderer.Render(kind);
    std::printf("  %-20s %7.2f ms per page\n", names[kind], SecondsSince(start) * 1000 / (repeats * model.PageCount()));
  }

  const std::string tools = folder + "tools";
  ToolSet toolSet(tools);
  toolSet.Write();
  AppSettings settings(folder + "Settings.ini");
  RunStatus silent;
  AnswerNo no;
  auto start = Clock::now();
  MenuChainResult result = MenuVideoChain::Run(model, {folder, tools, app, TvStandard::Pal, ""}, settings, silent, no);
  const double chainPerPage = SecondsSince(start) / model.PageCount();
  toolSet.Remove();
  if (result != MenuChainResult::kMenusMade) {
    std::fputs("menu_bench: the chain did not make its streams\n", stderr);
    return 1;
  }
  start = Clock::now();
  for (int k = 1; k <= model.PageCount(); ++k) {
    const std::string jpeg = folder + MenuRenderer::ImageFileName(kMenuBackground, k);
    ShellCommand("ffmpeg -loglevel error -y -i " + ShellQuote(jpeg) + " -i " + ShellQuote(app + "silence.mp2") +
                 " -map 0:v -map 1:a -frames:v 1 -c:v mpeg2video -b:v 9000k -c:a copy -f dvd " +
                 ShellQuote(folder + "reference.mpg"));
  }
  const double referencePerPage = SecondsSince(start) / model.PageCount();
  std::printf("menu streams (jpeg2yuv | mpeg2enc, mplex, spumux per page)\n");
  std::printf("  chain                %7.3f s per page\n", chainPerPage);
  std::printf("  reference (ffmpeg)   %7.3f s per page (still + silence only, no buttons)\n", referencePerPage);
  std::printf("  ratio chain/reference %6.2f\n", chainPerPage / referencePerPage);
  DeleteFolderTree(pattern);
  return 0;
}
