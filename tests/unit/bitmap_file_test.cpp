// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/bitmap_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace vantrel {
namespace {

// A BMP as bytes, so a test can make it lie.
std::string Bmp(std::int32_t width, std::int32_t height, int bpp, std::uint32_t colours,
                const std::string& pixels, std::uint32_t offset = 0) {
  BITMAPINFOHEADER info = InfoHeader(width, height, bpp);
  info.biClrUsed = colours;
  std::string table(4 * (bpp <= 8 ? (colours ? colours : 1u << bpp) : 0), '\0');
  BITMAPFILEHEADER header;
  header.bfOffBits = offset ? offset : std::uint32_t(54 + table.size());
  header.bfSize = std::uint32_t(header.bfOffBits + pixels.size());
  std::string out(reinterpret_cast<const char*>(&header), 14);
  out.append(reinterpret_cast<const char*>(&info), 40);
  return out + table + pixels;
}

TEST(DibImageTest, RoundTripsAPictureThroughAFile) {
  RgbImage picture(3, 2);  // 9 bytes a row, padded to 12
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = std::uint8_t(i * 10);
  DibImage image;
  ASSERT_TRUE(image.Load(picture));
  std::stringstream file;
  ASSERT_TRUE(image.Write(file));
  std::string bytes = file.str();
  ASSERT_EQ(bytes.size(), 54u + 24u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  std::uint32_t offset;
  std::memcpy(&offset, bytes.data() + 10, 4);
  EXPECT_EQ(offset, 54u);
  // Bottom-up and blue first: the file's first pixel is the last row's first, reversed.
  EXPECT_EQ(std::uint8_t(bytes[54]), picture.Row(1)[2]);
  DibImage back;
  ASSERT_TRUE(back.Read(file)) << back.LastError();
  EXPECT_EQ(back.ToRgbImage().pixels, picture.pixels);
}

TEST(DibImageTest, ReadsPaletteImagesWithTheirColours) {
  // 4 x 1 pixels at 1 bit: 1010 -> 0xA0, padded to 4 bytes; colours black and red.
  std::string bytes = Bmp(4, 1, 1, 2, std::string("\xA0\0\0\0", 4));
  bytes[54 + 4 + 2] = '\xFF';  // second entry: blue 0, green 0, red 255
  std::stringstream in(bytes);
  DibImage image;
  ASSERT_TRUE(image.Read(in)) << image.LastError();
  ASSERT_EQ(image.Palette().size(), 2u);
  EXPECT_EQ(image.Palette()[1].red, 255);
  RgbImage rgb = image.ToRgbImage();
  EXPECT_EQ(rgb.Row(0)[0], 255);
  EXPECT_EQ(rgb.Row(0)[3], 0);
  EXPECT_EQ(rgb.Row(0)[6], 255);
}

TEST(DibImageTest, RefusesShortTruncatedAndLyingFilesWithoutReadingPastThem) {
  std::string good = Bmp(2, 2, 24, 0, std::string(16, '\x7f'));
  std::string os2 = good;
  os2[14] = 12;
  std::string huge = Bmp(100000, 100000, 24, 0, std::string(16, '\0'));
  std::string negativeWidth = Bmp(-5, 2, 24, 0, std::string(16, '\0'));
  std::string offsetPastEnd = Bmp(2, 2, 24, 0, std::string(16, '\0'), 5000);
  std::string offsetInHeader = Bmp(2, 2, 24, 0, std::string(16, '\0'), 20);
  std::string badDepth = Bmp(2, 2, 7, 0, std::string(16, '\0'));
  std::string manyColours = Bmp(2, 2, 8, 70000, std::string(8, '\0'), 54);
  std::string compressed = good;
  compressed[30] = 1;
  struct Case {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      {"empty", "", "Error:Unexpected file type, not a DIB\n"},
      {"not a bitmap", "GIF89a" + std::string(60, '\0'), "Error:Unexpected file type, not a DIB\n"},
      {"header only", good.substr(0, 20), "Error:truncated bitmap header\n"},
      {"OS/2 header", os2, "Error:OS2 PM BMP Format not supported\n"},
      {"pixels cut short", good.substr(0, good.size() - 1), "Error:truncated pixel data\n"},
      {"a huge claimed size", huge, "Error:bitmap size out of range\n"},
      {"a negative width", negativeWidth, "Error:bitmap size out of range\n"},
      {"pixel offset past the end", offsetPastEnd, "Error:bad pixel offset\n"},
      {"pixel offset inside the header", offsetInHeader, "Error:bad pixel offset\n"},
      {"7 bits per pixel", badDepth, "Error:unsupported bits per pixel\n"},
      {"70000 colours", manyColours, "Error:colour table too large\n"},
      {"compressed", compressed, "Error:compressed bitmaps not supported\n"},
  };
  for (const Case& c : cases) {
    std::stringstream in(c.bytes);
    DibImage image;
    EXPECT_FALSE(image.Read(in)) << c.name;
    EXPECT_EQ(image.LastError(), c.error) << c.name;
    EXPECT_TRUE(image.Empty()) << c.name;
  }
  std::stringstream in(good);
  DibImage image;
  EXPECT_TRUE(image.Read(in)) << image.LastError();
}

TEST(DibImageTest, StretchingAveragesTheSourcePixels) {
  RgbImage source(4, 2);
  for (int x = 0; x < 4; ++x) {
    std::uint8_t v = x < 2 ? 0 : 200;
    for (int y = 0; y < 2; ++y) source.Row(y)[x * 3] = source.Row(y)[x * 3 + 1] = source.Row(y)[x * 3 + 2] = v;
  }
  source.Row(0)[0] = 100;  // one red-ish pixel in the left half
  DibImage image;
  image.Load(source);
  RgbImage target(2, 1);
  image.DrawStretched(target, 0, 0, 2, 1);
  EXPECT_EQ(target.Row(0)[0], 25);  // (100 + 0 + 0 + 0) / 4
  EXPECT_EQ(target.Row(0)[3], 200);
  RgbImage small(1, 1);
  image.Draw(small, -2, 0);  // clipped: only source column 2 lands
  EXPECT_EQ(small.Row(0)[0], 200);
}

}  // namespace
}  // namespace vantrel
