// SPDX-License-Identifier: GPL-3.0-or-later
// The disc plan counts the sound tracks and subtitle streams a title is given.
#include "authoring/disc_fit_plan.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr double kPal = 720.0 * 576 * 25;

FitTitle Film(double seconds, size_t soundTracks, size_t subtitles, bool ready = false) {
  FitTitle t;
  t.seconds = seconds;
  t.pixelsPerSecond = kPal;
  t.audioBitRate = 192000;
  t.ready = ready;
  t.readyBytes = ready ? std::int64_t(seconds * 6000000 / 8) : 0;
  AddTrackBitRates(&t, soundTracks, subtitles, t.audioBitRate);
  return t;
}

FitLimits Disc() {
  FitLimits limits;
  limits.menuBytes = 86016;
  return limits;
}

TEST(DiscFitTracks, ATitleWithThreeSoundTracksIsPlannedLargerThanWithOne) {
  // An hour encoded at the encoder's own rate: two more tracks of 192 kbit/s add their bytes.
  const DiscFitPlan one(Disc(), {Film(3600, 1, 0)});
  const DiscFitPlan three(Disc(), {Film(3600, 3, 0)});
  ASSERT_EQ(one.VideoBitRate(0), three.VideoBitRate(0));
  const std::int64_t more = three.PlannedBytes() - one.PlannedBytes();
  EXPECT_GE(more, std::int64_t(3600.0 * 2 * 192000 / 8));
  EXPECT_LT(more, std::int64_t(3600.0 * 2 * 192000 / 8 * 1.03));
  // No list of tracks (the file's sound as it is) and a list of one are the same size.
  EXPECT_EQ(DiscFitPlan(Disc(), {Film(3600, 0, 0)}).PlannedBytes(), one.PlannedBytes());

  // A title used as it is grows by its added tracks and subtitle streams as well.
  const DiscFitPlan ready(Disc(), {Film(3600, 1, 0, true)});
  const DiscFitPlan readyWithTracks(Disc(), {Film(3600, 3, 2, true)});
  EXPECT_GT(readyWithTracks.ReadyBytes(0),
            ready.ReadyBytes(0) + std::int64_t(3600.0 * (2 * 192000 + 2 * kSubtitleStreamBitRate) / 8));
}

TEST(DiscFitTracks, TracksTakeTheirRoomFromTheVideoOfAFullDisc) {
  // Two and a half hours fill a DVD-5 below the encoder's rate: the extra tracks lower
  // the video rate so that the disc still holds it all.
  const DiscFitPlan plain(Disc(), {Film(9000, 1, 0)});
  const DiscFitPlan tracks(Disc(), {Film(9000, 4, 8)});
  ASSERT_TRUE(plain.Fits());
  ASSERT_TRUE(tracks.Fits());
  EXPECT_LT(tracks.VideoBitRate(0), plain.VideoBitRate(0) - 3 * 192000 * 9 / 10);
  EXPECT_LE(tracks.PlannedBytes(), tracks.CapacityBytes());
  // Eight tracks of 448 kbit/s leave no room for a picture above the floor.
  FitTitle heavy = Film(9000, 0, 0);
  AddTrackBitRates(&heavy, 8, 32, 448000);
  EXPECT_FALSE(DiscFitPlan(Disc(), {heavy}).Fits());
}

}  // namespace
}  // namespace vantrel
