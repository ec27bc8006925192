// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/track_bit_rates.h"

#include "convert/title_sound_tracks.h"

namespace vantrel {

std::vector<int> SoundTrackDiscRates(const std::vector<SoundTrack>& tracks, const std::string& source,
                                     SoundFormat titleSound, int encodedRate) {
  std::vector<int> rates;
  for (const SoundTrack& track : tracks) {
    int rate = 0;
    if (!track.source.empty() || track.stream >= 0) {
      SoundTrackSource from;
      from.path = track.source.empty() ? source : track.source;
      from.stream = track.stream;
      rate = CopiedSoundTrackBitRate(from, titleSound == SoundFormat::Mp2);
    }
    rates.push_back(rate > 0 ? rate : encodedRate);
  }
  return rates;
}

}  // namespace vantrel
