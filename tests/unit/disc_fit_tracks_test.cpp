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
  AddTrackBitRates(&t, std::vector<int>(soundTracks, t.audioBitRate), subtitles);
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
  AddTrackBitRates(&heavy, std::vector<int>(8, 448000), 32);
  EXPECT_FALSE(DiscFitPlan(Disc(), {heavy}).Fits());
}

// A track copied as it is counts at its own rate: a 448 kbit/s AC-3 track beside the
// title's 192 kbit/s sound, or in its place.
TEST(DiscFitTracks, ACopiedTrackCountsAtItsOwnRate) {
  FitTitle beside = Film(3600, 0, 0), instead = Film(3600, 0, 0, true);
  const std::int64_t readyBefore = instead.readyBytes;
  AddTrackBitRates(&beside, {192000, 448000}, 0);
  EXPECT_EQ(beside.audioBitRate, 192000 + 448000);
  AddTrackBitRates(&instead, {448000}, 1);
  EXPECT_EQ(instead.audioBitRate, 448000 + kSubtitleStreamBitRate);
  EXPECT_GE(instead.readyBytes - readyBefore, std::int64_t(3600.0 * (256000 + kSubtitleStreamBitRate) / 8));
  // A smaller track in the sound's place makes the title smaller.
  FitTitle smaller = Film(3600, 0, 0, true);
  AddTrackBitRates(&smaller, {96000}, 0);
  EXPECT_EQ(smaller.audioBitRate, 96000);
  EXPECT_LT(smaller.readyBytes, Film(3600, 0, 0, true).readyBytes);
  const DiscFitPlan planned(Disc(), {beside}), underCounted(Disc(), {Film(3600, 2, 0)});
  EXPECT_GT(planned.PlannedBytes() - underCounted.PlannedBytes(), std::int64_t(3600.0 * 256000 / 8));
}

}  // namespace
}  // namespace vantrel
