// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foximager/image_builder.h"

#include "authoring/command_templates.h"
#include "authoring/dvd_script_writer.h"
#include "authoring/shell_command.h"
#include "authoring/spumux_script_writer.h"
#include "base/app_folder.h"
#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "convert/mpeg_encoder.h"
#include "menu/image_files.h"

namespace vantrel {
namespace {

constexpr int kFrameWidth = 720;
constexpr int kOutline = 3;  // pixels of a button's frame

// An image of the whole frame, transparent (palette entry 0, black) but for the outlines
// of the buttons in `colour`.
PalettedImage ButtonImage(const ImageBuilderInput& input, int height, PaletteColour colour,
                          bool outlines) {
  PalettedImage image;
  image.width = kFrameWidth;
  image.height = height;
  image.palette[1] = colour;
  image.usedColours = 2;
  image.indices.assign(size_t(kFrameWidth) * size_t(height), 0);
  if (!outlines) return image;
  for (const ImageBuilderTitle& title : input.titles) {
    const Rect& r = title.button;
    for (int y = std::max(r.top, 0); y < std::min(r.Bottom(), height); ++y)
      for (int x = std::max(r.left, 0); x < std::min(r.Right(), kFrameWidth); ++x) {
        const bool edge = x < r.left + kOutline || x >= r.Right() - kOutline ||
                          y < r.top + kOutline || y >= r.Bottom() - kOutline;
        if (edge) image.indices[size_t(y) * kFrameWidth + size_t(x)] = 1;
      }
  }
  return image;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

ImageBuilder::ImageBuilder(ImageBuilderInput input, std::string workFolder, TvStandard standard, Progress progress)
    : input_(std::move(input)), workFolder_(std::move(workFolder)), standard_(standard),
      progress_(std::move(progress)) {}

bool ImageBuilder::Fail(std::string why) {
  error_ = std::move(why);
  return false;
}

bool ImageBuilder::CreateMenuImages() {
  const std::string folder = Folder();
  if (!MakeFolder(folder)) return Fail("cannot create " + folder);
  const int height = IsNtsc(standard_) ? 480 : 576;
  const int n = int(input_.titles.size());
  bool ok = WritePalettePng(folder + "normal.png", ButtonImage(input_, height, {0, 0, 0}, false)) &&
            WritePalettePng(folder + "highlight.png", ButtonImage(input_, height, {255, 220, 0}, true)) &&
            WritePalettePng(folder + "select.png", ButtonImage(input_, height, {255, 64, 64}, true));
  if (!ok) return Fail("cannot write the button images in " + folder);

  std::vector<SpumuxButton> buttons;
  for (int i = 0; i < n; ++i) {
    const Rect& r = input_.titles[size_t(i)].button;
    // Sub-picture rows come in field pairs: even top, odd bottom.
    const int x0 = Clamp(r.left, 0, kFrameWidth - 2), x1 = Clamp(r.Right(), x0 + 1, kFrameWidth - 1);
    const int y0 = Clamp(r.top, 0, height - 2) & ~1, y1 = Clamp(r.Bottom(), y0 + 1, height - 1) | 1;
    SpumuxButton button{Format("b%d", i), x0, y0, x1, y1, {}};
    if (i > 0) button.links = {{"left", Format("b%d", i - 1)}, {"up", Format("b%d", i - 1)}};
    if (i + 1 < n) {
      button.links.emplace_back("right", Format("b%d", i + 1));
      button.links.emplace_back("down", Format("b%d", i + 1));
    }
    buttons.push_back(std::move(button));
  }
  const std::string script = SpumuxScriptWriter::ComposeButtons(
      {folder + "normal.png", folder + "highlight.png", folder + "select.png"}, buttons);
  if (!WriteFileAtomically(folder + "menu_spumux.xml", script)) return Fail("cannot write the menu script");
  imagesMade_ = true;
  return true;
}

bool ImageBuilder::ConvertTitles(int steps) {
  vobs_.clear();
  for (size_t i = 0; i < input_.titles.size(); ++i) {
    const std::string output = Folder() + Format("title%02d.mpg", int(i) + 1);
    MpegEncoder encoder;
    encoder.SetSource(input_.titles[i].file);
    encoder.SetOutput(output);
    encoder.SetPreset(PresetFor(FormatFamily::Dvd, standard_));
    if (!encoder.Start()) return Fail(input_.titles[i].file + ": " + encoder.ErrorText());
    while (!encoder.Wait(500)) {
      if (CancelRequested()) encoder.Cancel();
      const auto duration = encoder.Duration100ns();
      const float percent = duration > 0 ? float(100.0 * double(encoder.Position100ns()) / double(duration)) : 0;
      if (progress_) progress_(std::min(percent, 100.0f), int(i), steps);
    }
    if (!encoder.Succeeded()) return Fail(input_.titles[i].file + ": " + encoder.ErrorText());
    if (CancelRequested()) return Fail("cancelled");
    if (progress_) progress_(100, int(i), steps);
    vobs_.push_back(output);
  }
  return true;
}

bool ImageBuilder::MakeMenuStream(int step, int steps) {
  if (progress_) progress_(0, step, steps);
  // Without the background movie the black clip carries the buttons.
  std::string movie = input_.menuMovie;
  if (!FileExists(movie)) movie = ApplicationFolder() + (IsNtsc(standard_) ? "bn.mpg" : "bp.mpg");
  const std::string menu = Folder() + "menu.mpg";
  DeleteFolderTree(menu);
  const std::string command = "VIDEO_FORMAT=" + std::string(VideoFormatName(standard_)) + " spumux " +
                              ShellQuote(Folder() + "menu_spumux.xml") + " < " + ShellQuote(movie) +
                              " > " + ShellQuote(menu);
  if (!ShellCommand(command) || FileSize(menu) == 0) return Fail("spumux could not add the buttons to " + movie);
  if (progress_) progress_(100, step, steps);
  return true;
}

bool ImageBuilder::Author(int step, int steps) {
  if (progress_) progress_(0, step, steps);
  DvdMenuChain menu{Folder() + "menu.mpg", {}};
  std::vector<DvdTitleChain> titles;
  for (size_t i = 0; i < vobs_.size(); ++i) {
    menu.buttons.emplace_back(Format("b%d", int(i)), Format("jump title %d;", int(i) + 1));
    titles.push_back({vobs_[i], "call vmgm menu 1;"});
  }
  const std::string xml = DvdScriptWriter::ComposeWithMenus({menu}, titles);
  const std::string script = Folder() + "dvd.xml";
  if (!WriteFileAtomically(script, xml)) return Fail("cannot write " + script);
  const std::string output = workFolder_ + "/DVD";
  DeleteFolderTree(output + "/VIDEO_TS");
  DeleteFolderTree(output + "/AUDIO_TS");
  const std::string command = "VIDEO_FORMAT=" + std::string(VideoFormatName(standard_)) +
                              " dvdauthor -o " + ShellQuote(output) + " -x " + ShellQuote(script) +
                              " >> " + ShellQuote(Folder() + "dvdauthor.log") + " 2>&1";
  if (!ShellCommand(command))
    return Fail("dvdauthor failed: " + LastLinesOf(Folder() + "dvdauthor.log", 2) + " (see " + Folder() +
                "dvdauthor.log)");
  if (progress_) progress_(100, step, steps);
  return true;
}

bool ImageBuilder::BuildDvd() {
  if (!imagesMade_ && !CreateMenuImages()) return false;
  const int steps = int(input_.titles.size()) + 2;
  // The tools stop on a cancel of their own; between the steps it is looked at here.
  auto going = [this] { return !CancelRequested() || Fail("cancelled"); };
  return ConvertTitles(steps) && going() && MakeMenuStream(steps - 2, steps) && going() && Author(steps - 1, steps);
}

}  // namespace vantrel
