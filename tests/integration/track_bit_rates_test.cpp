// SPDX-License-Identifier: GPL-3.0-or-later
// The rates the disc plan gives a title's sound tracks, read from real files: a track
// already in the title's format is copied and weighs its own rate, any other the rate the
// title's sound is encoded at.
#include <gtest/gtest.h>

#include "authoring/command_templates.h"
#include "authoring/track_bit_rates.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

TEST(TrackBitRates, CopiedTracksWeighTheirOwnRateAndEncodedOnesTheTitlesSound) {
  test::TempFolder f;
  const std::string sine = "-f lavfi -i sine=frequency=440:sample_rate=48000 -t 2 ";
  ASSERT_TRUE(test::Ffmpeg(sine + "-c:a ac3 -b:a 448k " + ShellQuote(f / "loud.ac3")));
  ASSERT_TRUE(test::Ffmpeg(sine + "-c:a mp2 -b:a 384k " + ShellQuote(f / "talk.mp2")));
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i sine=frequency=440:sample_rate=44100 -t 2 -c:a ac3 -b:a 448k " +
                           ShellQuote(f / "cd.ac3")));
  // A film whose second sound stream is AC-3 at 448 kbit/s, its first MP2.
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i color=size=320x240:rate=25 " + sine + "-f lavfi -i sine=sample_rate=48000 "
                           "-t 2 -map 0 -map 1 -map 2 -c:v mpeg4 -c:a:0 mp2 -b:a:0 192k -c:a:1 ac3 -b:a:1 448k " +
                           ShellQuote(f / "film.mkv")));
  SoundTrack loud{f / "loud.ac3"}, talk{f / "talk.mp2"}, cd{f / "cd.ac3"}, own{}, second{"", 2}, gone{f / "gone.ac3"};
  EXPECT_EQ(SoundTrackDiscRates({own, loud, talk, cd, second, gone}, f / "film.mkv", SoundFormat::Ac3, 192000),
            (std::vector<int>{192000, 448000, 192000, 192000, 448000, 192000}));
  // On a title whose sound is MPEG audio, the MP2 file is the one copied.
  EXPECT_EQ(SoundTrackDiscRates({loud, talk}, f / "film.mkv", SoundFormat::Mp2, 224000),
            (std::vector<int>{224000, 384000}));
}

}  // namespace
}  // namespace vantrel
