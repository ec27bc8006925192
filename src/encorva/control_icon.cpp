// SPDX-License-Identifier: GPL-3.0-or-later
// Icon 201 as picture data: a disc with a play mark, one letter per pixel, and its colours.
#include "encorva/control_icon.h"

#include <cstddef>

namespace vantrel::encorva {
namespace {

// ' ' is transparent; every other letter is an opaque colour of the palette below.
constexpr const char* kPicture[kIconSize] = {
    "                                ",
    "            kkkkkkkk            ",
    "         kkkkssssslkkkk         ",
    "        kkssssssssllllkk        ",
    "      kkssssssssssllllllkk      ",
    "     kkssssssssssslllllllkk     ",
    "    kkssssssssssssllllllllkk    ",
    "    ksssssssssssslllllllllsk    ",
    "   ksssssssssssssllllllllsssk   ",
    "  kkssssssssssssslllllllsssbkk  ",
    "  kssssssssssssssllllllsssbbbk  ",
    "  kssssssssssshhhhlllsssbbbbbk  ",
    " kksssssssssshhhhhhlssbbbbbbbkk ",
    " ksssssssssshhkkkkhhbbbbbbbbbbk ",
    " kssssssssshhkk  kkhhbbbbsssssk ",
    " kssssssssshhk    khhsssssssssk ",
    " kssssssssshhk    khhsssssssssk ",
    " ksssssbbbbhhkk  kkhhsssssssssk ",
    " kbbbbbbbbbbhhkkkkhhssssssssssk ",
    " kkbbbbbbbsslhhhhhhkssssssssskk ",
    "  kbbbbbssslllhhhhskkssssssssk  ",
    "  kbbbsssllllllsssskrkkssssssk  ",
    "  kkbssslllllllsssskrrrkkssskk  ",
    "   ksssllllllllsssskrrrrrkksk   ",
    "    kslllllllllsssskrrrrrrrkk   ",
    "    kkllllllllssssskrrrrrrrrrkk ",
    "     kklllllllssssskrrrrrrrkk   ",
    "      kkllllllssssskrrrrrkk     ",
    "        kkllllssssskrrrkk       ",
    "         kkkklssssskrkk         ",
    "            kkkkkkkkk           ",
    "                   k            ",
};

std::uint32_t ColourOf(char letter) {
  switch (letter) {
    case 'k': return 0xFF303840;  // outline
    case 's': return 0xFFC8CED6;  // silver face
    case 'l': return 0xFFECEFF3;  // light reflection
    case 'b': return 0xFF4A7FD0;  // blue sheen of the data side
    case 'h': return 0xFF8890A0;  // hub
    case 'r': return 0xFFD03A2A;  // play mark
    default: return 0;
  }
}

std::array<std::uint32_t, kIconSize * kIconSize> Decode() {
  std::array<std::uint32_t, kIconSize * kIconSize> pixels{};
  for (int y = 0; y < kIconSize; ++y)
    for (int x = 0; x < kIconSize; ++x)
      pixels[std::size_t(y * kIconSize + x)] = ColourOf(kPicture[y][x]);
  return pixels;
}

}  // namespace

const std::array<std::uint32_t, kIconSize * kIconSize>& ControlIconPixels() {
  static const auto pixels = Decode();
  return pixels;
}

}  // namespace vantrel::encorva
