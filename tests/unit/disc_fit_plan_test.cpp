// SPDX-License-Identifier: GPL-3.0-or-later
// The disc plan: capacities, the overhead model against measured discs, sharing the video
// budget by picture area, ready titles, the floor, and planning again from written bytes.
#include "authoring/disc_fit_plan.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

constexpr double kPal = 720.0 * 576 * 25;

FitTitle Encode(double seconds, double pixelsPerSecond = kPal) {
  FitTitle t;
  t.seconds = seconds;
  t.pixelsPerSecond = pixelsPerSecond;
  t.audioBitRate = 192000;
  return t;
}

FitTitle Ready(double seconds, double videoBitRate) {
  FitTitle t = Encode(seconds);
  t.ready = true;
  // What a program stream of that rate weighs: 1.6 % packing, a navigation pack per 0.6 s.
  t.readyBytes = std::int64_t(seconds * ((videoBitRate + 192000) / 8 * 1.016 + 2048 / 0.6));
  return t;
}

FitLimits Disc(std::int64_t sectors = kDvd5Sectors) {
  FitLimits limits;
  limits.capacitySectors = sectors;
  limits.menuBytes = 86016;
  return limits;
}

TEST(DiscFitPlan, CapacitiesOfTheSetting) {
  EXPECT_EQ(DiscCapacitySectors(0), 2295104);
  EXPECT_EQ(DiscCapacitySectors(1), 4171712);
  EXPECT_EQ(DiscCapacitySectors(7), 2295104);
  EXPECT_STREQ(DiscCapacityName(0), "DVD-5 (4.7 GB)");
  EXPECT_STREQ(DiscCapacityName(1), "DVD-9 (8.5 GB)");
  EXPECT_EQ(DiscFitPlan(Disc(), {}).CapacityBytes(), 4700372992LL);
}

TEST(DiscFitPlan, OverheadCoversWhatTheToolsMade) {
  // 60 titles of 240 s authored and imaged: IFO and BUP 2 x 12 KiB (manager) and
  // 2 x 176 KiB (title set), 428 sectors of file system, the 84 KiB menu stream.
  std::vector<FitTitle> titles(60, Encode(240));
  DiscFitPlan plan(Disc(), titles);
  const std::int64_t measured = 2 * 12288 + 2 * 180224 + 428 * 2048 + 86016;
  EXPECT_GE(plan.OverheadBytes(), measured);
  EXPECT_LE(plan.OverheadBytes(), measured + 2 * 1048576);  // not a wide safety factor
  // One title of 30 s: 4 x 12 KiB and 427 sectors.
  DiscFitPlan one(Disc(), {Encode(30)});
  EXPECT_GE(one.OverheadBytes(), 4 * 12288 + 427 * 2048 + 86016);
  EXPECT_LE(one.OverheadBytes(), 4 * 12288 + 427 * 2048 + 86016 + 256 * 1024);
}

TEST(DiscFitPlan, AShortListKeepsTheEncodersOwnRate) {
  DiscFitPlan plan(Disc(), {Encode(1800), Encode(600)});
  EXPECT_TRUE(plan.Fits());
  EXPECT_EQ(plan.VideoBitRate(0), 6000000);
  EXPECT_EQ(plan.VideoBitRate(1), 6000000);
}

TEST(DiscFitPlan, ALongListFillsTheDiscWithTheSameBitsPerPixel) {
  // 2.5 hours; the second title is letterboxed (a 2.35:1 picture in a 16:9 frame).
  const double wide = 720.0 * 434 * 25;
  DiscFitPlan plan(Disc(), {Encode(5400), Encode(3600, wide)});
  ASSERT_TRUE(plan.Fits());
  const int a = plan.VideoBitRate(0), b = plan.VideoBitRate(1);
  EXPECT_LT(a, 6000000);
  EXPECT_GT(b, 2000000);
  EXPECT_NEAR(double(b) / a, wide / kPal, 0.01);
  const double fill = double(plan.PlannedBytes()) / plan.CapacityBytes();
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
  EXPECT_GT(fill, 0.985);
  // DVD-9 holds the same list at the full rate.
  DiscFitPlan dual(Disc(kDvd9Sectors), {Encode(5400), Encode(3600, wide)});
  EXPECT_EQ(dual.VideoBitRate(0), 6000000);
}

TEST(DiscFitPlan, ReadyTitlesThatFitStayAsTheyAre) {
  DiscFitPlan plan(Disc(), {Ready(3600, 5000000), Encode(3600)});
  ASSERT_TRUE(plan.Fits());
  EXPECT_FALSE(plan.Encodes(0));
  EXPECT_EQ(plan.VideoBitRate(0), 0);
  EXPECT_TRUE(plan.Encodes(1));
  EXPECT_GT(plan.VideoBitRate(1), 2000000);
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
}

TEST(DiscFitPlan, ARichReadyTitleIsEncodedWhenTheOthersWouldStarve) {
  // An 8 Mbit/s title of 80 minutes beside 60 minutes to encode: kept as it is, the other
  // would get little more than the floor.
  DiscFitPlan plan(Disc(), {Ready(4800, 8000000), Encode(3600)});
  ASSERT_TRUE(plan.Fits());
  EXPECT_TRUE(plan.Encodes(0));
  EXPECT_NEAR(plan.VideoBitRate(0), plan.VideoBitRate(1), 1000);
  EXPECT_LT(plan.VideoBitRate(0), 8000000 / 1.25);
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
  // Ready titles alone that overflow the disc are encoded to fit it.
  DiscFitPlan ready(Disc(), {Ready(4000, 7000000), Ready(3000, 6000000)});
  EXPECT_TRUE(ready.Fits());
  EXPECT_TRUE(ready.Encodes(0));
  EXPECT_LE(ready.PlannedBytes(), ready.CapacityBytes());
}

TEST(DiscFitPlan, AListBeyondTheFloorDoesNotFit) {
  // Five hours at 2 Mbit/s with sound are about 4.9 GB.
  DiscFitPlan plan(Disc(), {Encode(9000), Encode(9000)});
  EXPECT_FALSE(plan.Fits());
  EXPECT_EQ(plan.VideoBitRate(0), kFitFloorBitRate);
  EXPECT_GT(plan.BytesAtFloor(), plan.CapacityBytes());
  EXPECT_EQ(FitOverflowQuestion(plan.BytesAtFloor(), plan.CapacityBytes(), kFitFloorBitRate)
                .find("即使以最低视频码率 2.0 Mbit/s 转换，'VIDEO_TS' 中的文件大小也将达到 "),
            0u);
}

TEST(DiscFitPlan, WrittenBytesReplanTheRest) {
  DiscFitPlan plan(Disc(), {Encode(3600), Encode(3600), Encode(3600)});
  const int planned = plan.VideoBitRate(1);
  // The first title came out 5 % larger than planned: the others get less, and the disc
  // stays within its capacity when they land where planned.
  plan.Written(0, std::int64_t(plan.PredictBytes(0, plan.VideoBitRate(0)) * 1.05));
  EXPECT_LT(plan.VideoBitRate(1), planned);
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
  plan.Written(1, plan.PredictBytes(1, plan.VideoBitRate(1)));
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
  EXPECT_GT(double(plan.PlannedBytes()) / plan.CapacityBytes(), 0.98);

  // A title that needed far fewer bits leaves them to the next ones, up to the ceiling.
  DiscFitPlan simple(Disc(), {Encode(3600), Encode(3600), Encode(3600)});
  const int before = simple.VideoBitRate(2);
  simple.Written(0, simple.PredictBytes(0, simple.VideoBitRate(0)) / 3);
  EXPECT_GT(simple.VideoBitRate(2), before);
  EXPECT_LE(simple.VideoBitRate(2), 6000000);
}

TEST(DiscFitPlan, TitlesEncodedAtOnceKeepTheirRatesAndTheirRoom) {
  DiscFitPlan plan(Disc(), {Encode(3600), Encode(3600), Encode(3600), Encode(3600)});
  // Two start at once: their rates stay whatever the others bring.
  plan.Started(0);
  plan.Started(1);
  const int first = plan.VideoBitRate(0), second = plan.VideoBitRate(1), fourth = plan.VideoBitRate(3);
  plan.Written(2, std::int64_t(plan.PredictBytes(2, plan.VideoBitRate(2)) * 1.03));
  EXPECT_EQ(plan.VideoBitRate(0), first);
  EXPECT_EQ(plan.VideoBitRate(1), second);
  // The title not started pays for the overshoot alone, as the started ones keep their room.
  EXPECT_LT(plan.VideoBitRate(3), fourth);
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
  // Once written at what they were planned, the last one still fits beside them.
  plan.Written(0, plan.PredictBytes(0, first));
  plan.Written(1, plan.PredictBytes(1, second));
  EXPECT_LE(plan.PlannedBytes(), plan.CapacityBytes());
  EXPECT_GT(double(plan.PlannedBytes()) / plan.CapacityBytes(), 0.97);

  // Menu streams measured smaller than allowed leave their bytes to the titles to come.
  FitLimits allowed = Disc();
  allowed.menuBytes = 64 << 20;
  DiscFitPlan menus(allowed, {Encode(3600), Encode(3600), Encode(3600)});
  menus.Started(0);
  const int before = menus.VideoBitRate(2);
  menus.SetMenuBytes(300000);
  EXPECT_GT(menus.VideoBitRate(2), before);
  // A ready title is never "started": its size is what it is.
  DiscFitPlan ready(Disc(), {Ready(600, 5000000), Encode(600)});
  ready.Started(0);
  EXPECT_FALSE(ready.Encodes(0));
  EXPECT_EQ(ready.VideoBitRate(0), 0);
}

TEST(DiscFitPlan, TheTitleThatOvershotIsGivenTheRateThatTakesTheExcessOff) {
  DiscFitPlan plan(Disc(), {Encode(3600), Encode(3600), Ready(600, 5000000)});
  EXPECT_EQ(plan.Overshooter(), -1);  // nothing written yet
  const int first = plan.VideoBitRate(0);
  const std::int64_t firstPlanned = plan.PredictBytes(0, first);
  plan.Written(0, firstPlanned + 50 * 1048576);  // 50 MB over
  plan.Written(1, plan.PredictBytes(1, plan.VideoBitRate(1)) - 60 * 1048576);
  plan.Written(2, plan.ReadyBytes(2));
  EXPECT_EQ(plan.Overshooter(), 0);
  // 30 MB must come off: the new rate, written with the same miss, takes that and the
  // margin of another miss off the title as written.
  const std::int64_t excess = 30 * 1048576;
  const int rate = plan.RefitRate(0, excess);
  ASSERT_GT(rate, 0);
  EXPECT_LT(rate, first);
  const double miss = double(firstPlanned + 50 * 1048576) / double(firstPlanned);
  const DiscFitPlan uncorrected(Disc(), {Encode(3600)});
  const double again = double(uncorrected.PredictBytes(0, rate)) * miss;
  EXPECT_LE(again, double(plan.WrittenBytes(0) - excess));
  EXPECT_GT(again, double(plan.WrittenBytes(0) - excess) * 0.97);
  // More than the floor can take off: no rate.
  EXPECT_EQ(plan.RefitRate(0, plan.WrittenBytes(0) * 7 / 10), 0);
  // A ready title kept as it is never counts as overshooting.
  EXPECT_EQ(plan.RefitRate(2, 1048576), 0);

  int chosen = 0;
  EXPECT_EQ(plan.TitleToEncodeAgain(excess, chosen), 0);
  EXPECT_EQ(chosen, rate);

  // Encoded again and well within its plan: no title overshoots any more.
  plan.Rewritten(0, rate, plan.PredictBytes(0, rate) / 2);
  EXPECT_EQ(plan.WrittenRate(0), rate);
  EXPECT_EQ(plan.WrittenBytes(0), plan.PredictBytes(0, rate) / 2);
  EXPECT_EQ(plan.Overshooter(), -1);
}

// The title that overshot was already made again near the floor; the other, planned
// after the first came out small, has room: it is the one that gives the excess.
TEST(DiscFitPlan, AnOvershooterAtTheFloorLeavesTheExcessToATitleWithRoom) {
  DiscFitPlan plan(Disc(), {Encode(3600), Encode(3600)});
  plan.Started(0);
  plan.Written(0, plan.PredictBytes(0, plan.VideoBitRate(0)) / 2);
  plan.Started(1);
  ASSERT_GT(plan.VideoBitRate(1), 2 * kFitFloorBitRate);
  plan.Written(1, plan.PredictBytes(1, plan.VideoBitRate(1)));
  const int low = kFitFloorBitRate + 100000;
  plan.Rewritten(0, low, plan.PredictBytes(0, low) + 8 * 1048576);
  ASSERT_EQ(plan.Overshooter(), 0);
  const std::int64_t excess = 40 * 1048576;
  ASSERT_EQ(plan.RefitRate(0, excess), 0);
  int rate = 0;
  EXPECT_EQ(plan.TitleToEncodeAgain(excess, rate), 1);
  EXPECT_EQ(rate, plan.RefitRate(1, excess));
  EXPECT_GT(rate, kFitFloorBitRate);
  EXPECT_LT(rate, plan.WrittenRate(1));
  // More than either can give: none.
  EXPECT_EQ(plan.TitleToEncodeAgain(plan.WrittenBytes(1), rate), -1);
}

TEST(DiscFitPlan, LogTexts) {
  EXPECT_EQ(FitCapacityText("DVD-5 (4.7 GB)", 4700372992LL), "光盘容量: DVD-5 (4.7 GB)，4482.62MB");
  EXPECT_EQ(FitTitleText(2, "a.avi", 4250000, 1048576 * 3),
            "标题 2 (a.avi): 视频码率 4.25 Mbit/s，约 3.00MB");
  EXPECT_EQ(FitTitleText(1, "b.mpg", 0, 1048576), "标题 1 (b.mpg): 保持原样，1.00MB");
  EXPECT_EQ(FitTooLargeText(1048576 * 33, 1048576 * 31), "光盘映像为 33.00MB，超过光盘容量 31.00MB，创建 DVD 失败。");
  EXPECT_EQ(FitAgainText(3, "c.avi", 4000000, 3500000, 1048576 / 2),
            "光盘映像超出容量 0.50MB: 标题 3 (c.avi) 以 3.50 Mbit/s 重新转换 (原为 4.00 Mbit/s)");
}

}  // namespace
}  // namespace vantrel
