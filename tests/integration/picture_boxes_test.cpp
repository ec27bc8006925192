// SPDX-License-Identifier: GPL-3.0-or-later
// Repaired pictures keep their shape inside the DVD frame: sources of several shapes, with
// square and with non-square pixels, converted as the authoring run repairs them and the
// first picture decoded with libavcodec.
#include <gtest/gtest.h>

#include <cmath>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "convert/convert_to_dvd_mpeg.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/title_playback.h"

namespace vantrel {
namespace {

struct Source {
  const char* name;
  const char* size;
  const char* sar;  // pixel shape the file states ("container D": display shape D in the container only)
  double shape;     // display shape of the source
};

// Where the picture lies in the decoded frame, judged from the middle row and column.
struct Placement {
  int left = 0, right = 0, top = 0, bottom = 0;  // bar sizes
};

constexpr int kBlackMax = 24;    // bars: black (16) with the encoder's slight ringing
constexpr int kPictureMin = 200;  // the source is white (235)

Placement Measure(const test::LumaPicture& p) {
  Placement m;
  const int row = p.height / 2, column = p.width / 2;
  while (m.left < p.width && p.At(m.left, row) <= kBlackMax) ++m.left;
  while (m.right < p.width && p.At(p.width - 1 - m.right, row) <= kBlackMax) ++m.right;
  while (m.top < p.height && p.At(column, m.top) <= kBlackMax) ++m.top;
  while (m.bottom < p.height && p.At(column, p.height - 1 - m.bottom) <= kBlackMax) ++m.bottom;
  return m;
}

TEST(PictureBoxes, BarsAreCentredBlackAndThePictureCleanToItsEdge) {
  const Source sources[] = {
      {"square 4x3.avi", "640x480", "1", 4.0 / 3},    {"wide pixels 4x3.avi", "720x576", "16/15", 4.0 / 3},
      {"square 5x4.avi", "720x576", "1", 5.0 / 4},    {"tall pixels 5x4.avi", "360x360", "5/4", 5.0 / 4},
      {"square scope.avi", "940x400", "1", 2.35},     {"wide pixels scope.avi", "720x576", "47/25", 2.35},
      // The pixel shape stated by the container alone, the pictures' own headers square.
      {"container wide pixels 4x3.mkv", "720x576", "container 4:3", 4.0 / 3},
  };
  test::TempFolder temp;
  for (bool ntsc : {false, true})
    for (const Source& s : sources) {
      SCOPED_TRACE(std::string(s.name) + (ntsc ? " NTSC" : " PAL"));
      const std::string source = temp / s.name;
      const std::string sar = s.sar;
      const bool container = sar.rfind("container ", 0) == 0;
      const std::string made = container ? source + ".avi" : source;
      ASSERT_TRUE(test::Ffmpeg(std::string("-f lavfi -i color=c=white:size=") + s.size + ":rate=25 -t 0.5 -vf setsar=" +
                               (container ? std::string("1") : sar) + " -c:v mpeg4 -q:v 2 " + ShellQuote(made)));
      if (container) {
        ASSERT_TRUE(test::Ffmpeg("-i " + ShellQuote(made) + " -c copy -aspect " + sar.substr(10) + " " +
                                 ShellQuote(source)));
      }
      std::string output = temp / (std::string(ntsc ? "n " : "p ") + s.name);
      std::string error;
      ASSERT_TRUE(ConvertToDvdMpeg(source, output, StandardOfNtscFlag(ntsc), {}, &error)) << error;
      test::LumaPicture p = test::FirstPicture(output);
      ASSERT_EQ(p.height, ntsc ? 480 : 576);
      const double frame = s.shape > 1.54 ? 16.0 / 9 : 4.0 / 3;
      EXPECT_NEAR(p.displayAspect, frame, 0.01);
      Placement m = Measure(p);
      // Centred to within a pixel, bars only where the shapes differ.
      EXPECT_LE(std::abs(m.left - m.right), 1);
      EXPECT_LE(std::abs(m.top - m.bottom), 1);
      if (std::fabs(s.shape / frame - 1) < 0.01) {
        EXPECT_EQ(m.left + m.right + m.top + m.bottom, 0);
      } else if (s.shape > frame) {
        EXPECT_EQ(m.left + m.right, 0);  // letterbox: the picture fills the width
      } else {
        EXPECT_EQ(m.top + m.bottom, 0);  // pillarbox: it fills the height
      }
      const int pictureWidth = p.width - m.left - m.right, pictureHeight = p.height - m.top - m.bottom;
      const double shown = double(pictureWidth) / p.width * frame / (double(pictureHeight) / p.height);
      EXPECT_NEAR(shown, s.shape, s.shape * 0.01);
      // Every pixel of the bars black, every pixel of the picture white to its edge.
      int grey = 0;
      for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x) {
          const bool inside = x >= m.left && x < p.width - m.right && y >= m.top && y < p.height - m.bottom;
          const int v = p.At(x, y);
          grey += inside ? v < kPictureMin : v > kBlackMax;
        }
      EXPECT_EQ(grey, 0);
    }
}

}  // namespace
}  // namespace vantrel
