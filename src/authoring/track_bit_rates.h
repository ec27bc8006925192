// SPDX-License-Identifier: GPL-3.0-or-later
// What a title's sound tracks weigh on the disc, for the plan that fits the titles to it.
#pragma once

#include <string>
#include <vector>

#include "convert/title_facts.h"
#include "project/title_tracks.h"

namespace vantrel {

// Bits per second of each track in `tracks` on the disc: one copied as it is (already in
// `titleSound` at 48 kHz) at its stream's own rate, any other (and the title's own sound,
// a track naming neither file nor stream) at `encodedRate`, the rate the title's sound is
// written at.
std::vector<int> SoundTrackDiscRates(const std::vector<SoundTrack>& tracks, const std::string& source,
                                     SoundFormat titleSound, int encodedRate);

}  // namespace vantrel
