// SPDX-License-Identifier: GPL-3.0-or-later
// What a disc's titles need so that its one title set describes every one of them.
#include "authoring/title_harmony.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

const TitleSound kAc3{SoundFormat::Ac3, 48000, true};
const TitleSound kMp2{SoundFormat::Mp2, 48000, true};

HarmonyTitle Title(int shape, TitleSound sound, bool repaired = false) {
  return HarmonyTitle{TitleFacts{true, shape, sound}, repaired};
}

TEST(TitleHarmony, TitlesThatAgreeAreLeftAlone) {
  for (int zoom : {0, 1}) {
    HarmonyPlan plan = PlanTitleHarmony({Title(3, kMp2), Title(3, kMp2), Title(3, kMp2, true)}, zoom);
    EXPECT_EQ(plan.displayShape, 0);
    EXPECT_FALSE(plan.soundsDiffer);
    for (std::size_t i = 0; i < 3; ++i) {
      EXPECT_FALSE(plan.Converts(i));
      EXPECT_EQ(plan.targets[i], DiscTarget{});  // a repair runs as it always did
    }
    EXPECT_TRUE(HarmonyReasons(plan).empty());
  }
  // Sound the encoder cannot write is no reason to touch titles that all carry it.
  TitleSound lpcm{SoundFormat::Other, 48000, true};
  EXPECT_FALSE(PlanTitleHarmony({Title(2, lpcm), Title(2, lpcm)}, 1).soundsDiffer);
  EXPECT_FALSE(PlanTitleHarmony({}, 1).soundsDiffer);
  // A title that cannot be read has no say and is not converted.
  HarmonyTitle unreadable{};
  HarmonyPlan plan = PlanTitleHarmony({unreadable, Title(3, kMp2), Title(3, kMp2)}, 0);
  EXPECT_EQ(plan.displayShape, 0);
  EXPECT_FALSE(plan.soundsDiffer);
  EXPECT_FALSE(plan.Converts(0));
}

TEST(TitleHarmony, TheAudioEncoderSettingPicksTheSoundOfRepairs) {
  // Layer I and Layer III are no DVD sound: both give Layer II; only the AC-3 choice gives AC-3.
  EXPECT_EQ(RepairSoundFor(0), AudioCodec::Mp2);
  EXPECT_EQ(RepairSoundFor(1), AudioCodec::Mp2);
  EXPECT_EQ(RepairSoundFor(2), AudioCodec::Mp2);
  EXPECT_EQ(RepairSoundFor(3), AudioCodec::Ac3);
  // Titles that agree: every repair still encodes the chosen sound.
  HarmonyPlan agree = PlanTitleHarmony({Title(3, kMp2, true), Title(3, kMp2)}, 1, AudioCodec::Mp2);
  EXPECT_EQ(agree.targets[0].sound, AudioCodec::Mp2);
  EXPECT_FALSE(agree.Converts(1));
  // Sound the encoder cannot write gives way to the chosen sound, not always AC-3.
  TitleSound lpcm{SoundFormat::Other, 48000, true};
  HarmonyPlan differ = PlanTitleHarmony({Title(2, lpcm), Title(2, kAc3)}, 0, AudioCodec::Mp2);
  ASSERT_TRUE(differ.soundsDiffer);
  EXPECT_EQ(differ.sound, kMp2);
  EXPECT_TRUE(differ.Converts(0));
  EXPECT_TRUE(differ.Converts(1));
  EXPECT_EQ(differ.targets[1].sound, AudioCodec::Mp2);
  EXPECT_EQ(PlanTitleHarmony({Title(2, lpcm), Title(2, kMp2)}, 0, AudioCodec::Ac3).sound, kAc3);
}

TEST(TitleHarmony, SoundFollowsTheRepairedTitlesElseTheFirst) {
  // The demo's case: two repaired titles with AC-3, a DVD-ready one with MPEG sound.
  HarmonyPlan plan = PlanTitleHarmony({Title(2, kAc3, true), Title(2, kAc3, true), Title(2, kMp2)}, 1);
  EXPECT_TRUE(plan.soundsDiffer);
  EXPECT_EQ(plan.sound, kAc3);
  EXPECT_EQ(plan.displayShape, 0);
  EXPECT_FALSE(plan.Converts(0));
  ASSERT_TRUE(plan.Converts(2));
  EXPECT_FALSE(plan.shapeChanges[2]);
  EXPECT_EQ(plan.targets[2], (DiscTarget{0, AudioCodec::Ac3, true}));
  EXPECT_EQ(HarmonyReasons(plan).size(), 1u);

  // A repaired title leads even when it is not the first.
  plan = PlanTitleHarmony({Title(2, kMp2), Title(2, kAc3, true)}, 1);
  EXPECT_EQ(plan.sound, kAc3);
  EXPECT_TRUE(plan.Converts(0));
  EXPECT_FALSE(plan.Converts(1));

  // No repair: the first title's sound; the one without sound and the one at another rate
  // are given it.
  TitleSound none{}, mp2At44{SoundFormat::Mp2, 44100, true};
  plan = PlanTitleHarmony({Title(2, kMp2), Title(2, none), Title(2, mp2At44), Title(2, kMp2)}, 0);
  EXPECT_EQ(plan.sound, kMp2);
  EXPECT_EQ((std::vector<bool>{false, true, true, false}), plan.soundChanges);
  EXPECT_EQ(plan.targets[1].sound, AudioCodec::Mp2);

  // AC-3 in the second stream is not what the title set's stream 1 plays.
  TitleSound second{SoundFormat::Ac3, 48000, false};
  plan = PlanTitleHarmony({Title(2, kAc3), Title(2, second)}, 0);
  EXPECT_EQ((std::vector<bool>{false, true}), plan.soundChanges);
  plan = PlanTitleHarmony({Title(2, second), Title(2, second)}, 0);
  EXPECT_EQ((std::vector<bool>{true, true}), plan.soundChanges);

  // A first title whose sound the encoder cannot write: AC-3 for all.
  plan = PlanTitleHarmony({Title(2, none), Title(2, kMp2)}, 0);
  EXPECT_EQ(plan.sound, kAc3);
  EXPECT_EQ((std::vector<bool>{true, true}), plan.soundChanges);
}

TEST(TitleHarmony, ShapeIsTheZoomSettingWhenTitlesDiffer) {
  HarmonyPlan wide = PlanTitleHarmony({Title(2, kMp2), Title(3, kMp2), Title(2, kMp2, true)}, 1);
  EXPECT_EQ(wide.displayShape, 3);
  EXPECT_EQ((std::vector<bool>{true, false, true}), wide.shapeChanges);
  EXPECT_FALSE(wide.soundsDiffer);
  EXPECT_EQ(wide.targets[0], (DiscTarget{3, AudioCodec::Mp2, true}));  // the encoded sound stays MPEG
  EXPECT_EQ(wide.targets[1], DiscTarget{});
  EXPECT_NE(HarmonyStatus(wide, 0, "a.mpg").find("16:9"), std::string::npos);

  HarmonyPlan standard = PlanTitleHarmony({Title(2, kMp2), Title(3, kMp2)}, 0);
  EXPECT_EQ(standard.displayShape, 2);
  EXPECT_EQ((std::vector<bool>{false, true}), standard.shapeChanges);

  // Titles re-encoded for their shape get encoded sound: titles whose shared sound the
  // encoder cannot write must then follow.
  TitleSound lpcm{SoundFormat::Other, 48000, true};
  HarmonyPlan mixed = PlanTitleHarmony({Title(2, lpcm), Title(3, lpcm)}, 0);
  EXPECT_TRUE(mixed.soundsDiffer);
  EXPECT_EQ(mixed.sound, kAc3);
  EXPECT_TRUE(mixed.Converts(0) && mixed.Converts(1));
}

}  // namespace
}  // namespace vantrel
