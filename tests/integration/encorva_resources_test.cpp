// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion module's resources as a host reads them, without creating the control:
// names and version as text, the registration script, and the icon and toolbox bitmap
// decoded by ffmpeg, an independent reader of icon and bitmap files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "authoring/command_templates.h"
#include "encorva/control_icon.h"
#include "platform/com/module_resources.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

using com::LoadModuleResource;

const std::string kModule = std::string(VANTREL_APP_BUILD_DIR) + "/Encorva.so";

// The picture in `file` as 32-bit BGRA rows, top first, as ffmpeg decodes it.
std::string DecodeToBgra(const TempFolder& folder, const std::string& file, const std::string& bytes) {
  const std::string in = folder / file, out = folder / (file + ".raw");
  std::ofstream(in, std::ios::binary) << bytes;
  std::string command = "ffmpeg -v error -y -i " + ShellQuote(in) + " -f rawvideo -pix_fmt bgra " + ShellQuote(out);
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream raw(out, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(raw), {});
}

std::uint32_t WordAt(const std::string& bgra, std::size_t pixel) {
  std::uint32_t w = 0;
  for (int i = 3; i >= 0; --i) w = (w << 8) | std::uint8_t(bgra[pixel * 4 + std::size_t(i)]);
  return w;
}

TEST(EncorvaResourcesTest, NamesVersionAndRegistrationScriptAsText) {
  std::string bytes;
  ASSERT_TRUE(LoadModuleResource(kModule, "STRING", 100, bytes));
  EXPECT_EQ(bytes, "Encorva");
  ASSERT_TRUE(LoadModuleResource(kModule, "VERSION", 1, bytes));
  for (const char* line : {"FileDescription=Encorva Module\n", "FileVersion=1, 0, 0, 1\n", "InternalName=Encorva\n",
                           "ProductName=Encorva Module\n", "ProductVersion=1, 0, 0, 1\n", "OLESelfRegister=\n",
                           "Translation=0x0409 0x04b0\n"})
    EXPECT_NE(bytes.find(line), std::string::npos) << line;
  ASSERT_TRUE(LoadModuleResource(kModule, "REGISTRY", 102, bytes));
  EXPECT_NE(bytes.find("ForceRemove 'ToolboxBitmap32' = s '%MODULE%, 101'"), std::string::npos);

  std::string error;
  EXPECT_FALSE(LoadModuleResource(kModule, "STRING", 101, bytes, &error));
  EXPECT_NE(error.find("no resource STRING 101"), std::string::npos) << error;
  EXPECT_FALSE(LoadModuleResource(kModule, "string", 100, bytes));  // types are exact
  EXPECT_FALSE(LoadModuleResource(std::string(VANTREL_APP_BUILD_DIR) + "/no such module.so", "STRING", 100, bytes,
                                  &error));
  EXPECT_FALSE(error.empty());
}

TEST(EncorvaResourcesTest, IconAndToolboxBitmapAreFilesOtherReadersDecode) {
  TempFolder folder;
  std::string icon;
  ASSERT_TRUE(LoadModuleResource(kModule, "ICON", 201, icon));
  const std::string bgra = DecodeToBgra(folder, "control.ico", icon);
  const auto& pixels = encorva::ControlIconPixels();
  ASSERT_EQ(bgra.size(), pixels.size() * 4);
  int opaque = 0;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    // Transparent pixels may keep any colour; only their alpha matters.
    if ((pixels[i] >> 24) == 0) {
      EXPECT_EQ(WordAt(bgra, i) >> 24, 0u) << i;
    } else {
      ++opaque;
      EXPECT_EQ(WordAt(bgra, i), pixels[i]) << i;
    }
  }
  EXPECT_GT(opaque, 200);

  std::string bitmap;
  ASSERT_TRUE(LoadModuleResource(kModule, "BITMAP", 101, bitmap));
  const std::string small = DecodeToBgra(folder, "toolbox.bmp", bitmap);
  ASSERT_EQ(small.size(), 16u * 16u * 4u);
  EXPECT_EQ(WordAt(small, 0) & 0xFFFFFF, 0xC0C0C0u);  // the corner is background
  int drawn = 0;
  for (std::size_t i = 0; i < 16 * 16; ++i) drawn += (WordAt(small, i) & 0xFFFFFF) != 0xC0C0C0u;
  EXPECT_GT(drawn, 100);  // the disc fills most of it
}

}  // namespace
}  // namespace vantrel::test
