// SPDX-License-Identifier: GPL-3.0-or-later
// Adds subpicture streams to a title's MPEG-2 program stream in one pass over it: the
// title's pictures and sound are copied as they are (times unchanged relative to each
// other), and every track becomes one DVD subpicture stream, numbered in track order.
// Each subpicture addresses the title's one table of 16 colours, which the disc's program
// chain carries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "subtitles/subpicture_renderer.h"

namespace vantrel {

// The 16 colours (0xRRGGBB) every subpicture stream of a title chooses its four from.
using SubpicturePalette = std::array<std::uint32_t, 16>;

struct SubpictureStreamsOutcome {
  std::size_t written = 0;  // subpictures placed
  std::size_t skipped = 0;  // subpictures that start after the title's last picture
};

// False with the reason when the title cannot be read (or is no MPEG-2 program stream),
// a subpicture uses a colour the palette lacks, or the output cannot be written; a
// cancelled job stops at once. Either way nothing is left under `output`. The title is
// read, never changed.
bool WriteSubpictureStreams(const std::string& title, const std::string& output,
                            const std::vector<const std::vector<Subpicture>*>& streams,
                            const SubpicturePalette& palette, SubpictureStreamsOutcome* outcome, std::string* error);

}  // namespace vantrel
