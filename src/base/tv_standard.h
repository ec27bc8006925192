// SPDX-License-Identifier: GPL-3.0-or-later
// The TV standard of a disc, a run or an encoding: one type for what the settings keep as
// "resolution" (1 NTSC, 0 PAL) and older calls pass as an `ntsc` flag.
#pragma once

namespace vantrel {

// The encoder's numbering: PAL is 3, not 2. None lets the encoder decide from the source.
enum class TvStandard { None = 0, Ntsc = 1, Pal = 3 };

constexpr TvStandard StandardOfNtscFlag(bool ntsc) { return ntsc ? TvStandard::Ntsc : TvStandard::Pal; }
constexpr bool IsNtsc(TvStandard tv) { return tv == TvStandard::Ntsc; }
// The name VIDEO_FORMAT gives the standard to the authoring tools: "NTSC" or "PAL".
constexpr const char* VideoFormatName(TvStandard tv) { return IsNtsc(tv) ? "NTSC" : "PAL"; }

}  // namespace vantrel
