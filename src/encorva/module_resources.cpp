// SPDX-License-Identifier: GPL-3.0-or-later
// The module's resources, handed out by its `ModuleResource` export: the registration
// script (REGISTRY 102), the control's icon (ICON 201, an icon file), the toolbox bitmap the
// registration names as "%MODULE%, 101" (BITMAP 101, a bitmap file), the project name
// (STRING 100) and the version block (VERSION 1, "Key=Value" lines in UTF-8). The type
// information has no resource here: the control's type-information objects serve it.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "encorva/control_icon.h"
#include "encorva/registration_script.h"
#include "platform/com/module_resources.h"

using namespace vantrel;
using namespace vantrel::com;
using namespace vantrel::encorva;

namespace {

constexpr int kProjectNameId = 100;
constexpr int kToolboxBitmapId = 101;
constexpr int kVersionId = 1;
constexpr int kToolboxSize = 16;
constexpr std::uint32_t kToolboxBackground = 0xC0C0C0;  // the grey of a toolbox button

constexpr const char* kVersionBlock =
    "FileDescription=Encorva Module\n"
    "FileVersion=1, 0, 0, 1\n"
    "InternalName=Encorva\n"
    "OriginalFilename=Encorva.so\n"
    "ProductName=Encorva Module\n"
    "ProductVersion=1, 0, 0, 1\n"
    "OLESelfRegister=\n"
    "Translation=0x0409 0x04b0\n";

void Put16(std::string& out, std::uint16_t v) {
  out.push_back(char(v & 0xFF));
  out.push_back(char(v >> 8));
}
void Put32(std::string& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

// A BITMAPINFOHEADER without compression.
void PutInfoHeader(std::string& out, int width, int height, int bits, std::uint32_t imageBytes) {
  Put32(out, 40);
  Put32(out, std::uint32_t(width));
  Put32(out, std::uint32_t(height));
  Put16(out, 1);
  Put16(out, std::uint16_t(bits));
  Put32(out, 0);
  Put32(out, imageBytes);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
}

// An icon file with one 32x32 image of 32 bits per pixel and its transparency mask.
std::string MakeIconFile() {
  const auto& pixels = ControlIconPixels();
  constexpr int n = kIconSize;
  constexpr std::uint32_t colourBytes = n * n * 4, maskBytes = n * 4;  // 32 mask rows of 32 bits
  std::string image;
  PutInfoHeader(image, n, 2 * n, 32, colourBytes + maskBytes);
  for (int y = n - 1; y >= 0; --y)  // bottom row first
    for (int x = 0; x < n; ++x) Put32(image, pixels[std::size_t(y * n + x)]);
  for (int y = n - 1; y >= 0; --y) {
    std::uint32_t row = 0;  // bit set: transparent; the leftmost pixel is the top bit of the first byte
    for (int x = 0; x < n; ++x)
      if ((pixels[std::size_t(y * n + x)] >> 24) == 0) row |= 0x80000000u >> x;
    for (int b = 3; b >= 0; --b) image.push_back(char((row >> (8 * b)) & 0xFF));
  }
  std::string file;
  Put16(file, 0);
  Put16(file, 1);  // an icon
  Put16(file, 1);  // one image
  file.push_back(char(n));
  file.push_back(char(n));
  file.push_back(0);  // no palette
  file.push_back(0);
  Put16(file, 1);
  Put16(file, 32);
  Put32(file, std::uint32_t(image.size()));
  Put32(file, 6 + 16);
  return file + image;
}

// The icon at half size over the toolbox grey: a 2x2 block is drawn when most of it is
// opaque, in the mean colour of its opaque pixels.
std::uint32_t ToolboxPixel(int x, int y) {
  const auto& pixels = ControlIconPixels();
  unsigned r = 0, g = 0, b = 0, opaque = 0;
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) {
      std::uint32_t p = pixels[std::size_t((2 * y + dy) * kIconSize + 2 * x + dx)];
      if ((p >> 24) == 0) continue;
      ++opaque;
      r += (p >> 16) & 0xFF;
      g += (p >> 8) & 0xFF;
      b += p & 0xFF;
    }
  if (opaque < 2) return kToolboxBackground;
  return ((r / opaque) << 16) | ((g / opaque) << 8) | (b / opaque);
}

// A 16x16 bitmap file of 24 bits per pixel (rows of 48 bytes need no padding).
std::string MakeToolboxBitmap() {
  constexpr int n = kToolboxSize;
  constexpr std::uint32_t imageBytes = n * n * 3;
  std::string file = "BM";
  Put32(file, 14 + 40 + imageBytes);
  Put32(file, 0);
  Put32(file, 14 + 40);
  PutInfoHeader(file, n, n, 24, imageBytes);
  for (int y = n - 1; y >= 0; --y)
    for (int x = 0; x < n; ++x) {
      std::uint32_t p = ToolboxPixel(x, y);
      file.push_back(char(p & 0xFF));
      file.push_back(char((p >> 8) & 0xFF));
      file.push_back(char((p >> 16) & 0xFF));
    }
  return file;
}

HRESULT HandOut(std::string_view bytes, const void** data, std::size_t* size) {
  *data = bytes.data();
  *size = bytes.size();
  return S_OK;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HRESULT ModuleResource(const char* type, int id,
                                                                         const void** data, std::size_t* size) {
  if (!type || !data || !size) return E_POINTER;
  *data = nullptr;
  *size = 0;
  const std::string_view kind(type);
  if (kind == "REGISTRY" && id == kRegistryResourceId) return HandOut(kRegistrationScript, data, size);
  if (kind == "ICON" && id == kControlIconId) {
    static const std::string icon = MakeIconFile();
    return HandOut(icon, data, size);
  }
  if (kind == "BITMAP" && id == kToolboxBitmapId) {
    static const std::string bitmap = MakeToolboxBitmap();
    return HandOut(bitmap, data, size);
  }
  if (kind == "STRING" && id == kProjectNameId) return HandOut("Encorva", data, size);
  if (kind == "VERSION" && id == kVersionId) return HandOut(kVersionBlock, data, size);
  return kResourceNotFound;
}
