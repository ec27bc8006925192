// SPDX-License-Identifier: GPL-3.0-or-later
// One title set for the whole disc: a player reads the picture shape and the audio
// streams from the title set, not from each title, so every title must carry the set's
// shape and its sound in the set's audio stream 1. This plans what each title needs for
// that; titles that already agree are left alone.
#pragma once

#include <string>
#include <vector>

#include "convert/convert_to_dvd_mpeg.h"
#include "convert/title_facts.h"

namespace vantrel {

// A title as the run will author it: its facts after repair when it is repaired.
struct HarmonyTitle {
  TitleFacts facts;
  bool repaired = false;
};

struct HarmonyPlan {
  int displayShape = 0;  // the disc's shape (2 4:3, 3 16:9) when the titles differ, else 0
  bool soundsDiffer = false;
  TitleSound sound;      // the disc's sound when the titles differ
  // Per title: what its repair or conversion must make; DiscTarget{} where nothing changes.
  std::vector<DiscTarget> targets;
  // Per title: the title must be converted for the disc (beyond any repair of its own).
  std::vector<bool> shapeChanges;
  std::vector<bool> soundChanges;

  bool Converts(std::size_t title) const { return shapeChanges[title] || soundChanges[title]; }
};

// The sound a repair encodes for the audio encoder setting (0 MPEG Layer I, 1 Layer II,
// 2 Layer III, 3 AC-3). A DVD carries neither Layer I nor Layer III: Layer II stands in.
AudioCodec RepairSoundFor(int audioCodecSetting);

// `shapeSetting` is the zoom setting (0 4:3, 1 16:9): the disc's shape when titles differ.
// The disc's sound is that of the first repaired title, else that of the first title;
// sound the encoder cannot write (or no sound) gives way to `repairSound` at 48 kHz, which
// is also what every repair encodes.
HarmonyPlan PlanTitleHarmony(const std::vector<HarmonyTitle>& titles, int shapeSetting,
                             AudioCodec repairSound = AudioCodec::Ac3);

// Event log lines: why titles are converted, and what happens to one title.
std::vector<std::string> HarmonyReasons(const HarmonyPlan& plan);
std::string HarmonyStatus(const HarmonyPlan& plan, std::size_t title, const std::string& fileName);

const char* ShapeName(int displayShape);

}  // namespace vantrel
