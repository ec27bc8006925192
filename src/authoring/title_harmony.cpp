// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/title_harmony.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {
namespace {

TitleSound DiscSound(const std::vector<HarmonyTitle>& titles, const HarmonyTitle& first, AudioCodec repairSound) {
  const HarmonyTitle* leader = &first;
  for (const HarmonyTitle& t : titles)
    if (t.repaired && t.facts.readable) {
      leader = &t;
      break;
    }
  TitleSound sound = leader->facts.sound;
  sound.firstStream = true;
  if (CanEncodeSound(sound)) return sound;
  return TitleSound{repairSound == AudioCodec::Ac3 ? SoundFormat::Ac3 : SoundFormat::Mp2, 48000, true};
}

}  // namespace

AudioCodec RepairSoundFor(int audioCodecSetting) {
  return audioCodecSetting == 3 ? AudioCodec::Ac3 : AudioCodec::Mp2;
}

const char* ShapeName(int displayShape) { return displayShape == 3 ? "16:9" : "4:3"; }

HarmonyPlan PlanTitleHarmony(const std::vector<HarmonyTitle>& titles, int shapeSetting, AudioCodec repairSound) {
  HarmonyPlan plan;
  const std::size_t n = titles.size();
  DiscTarget repair;
  repair.sound = repairSound;
  plan.targets.assign(n, repair);
  plan.shapeChanges.assign(n, false);
  plan.soundChanges.assign(n, false);
  // A title that cannot be read is left as it is and has no say: the authoring tool or
  // the repair reports it.
  const HarmonyTitle* firstReadable = nullptr;
  for (const HarmonyTitle& t : titles)
    if (t.facts.readable && !firstReadable) firstReadable = &t;
  if (!firstReadable) return plan;
  const TitleFacts& first = firstReadable->facts;

  bool shapesDiffer = false, soundsDiffer = false;
  for (const HarmonyTitle& t : titles) {
    if (!t.facts.readable) continue;
    shapesDiffer = shapesDiffer || t.facts.displayShape != first.displayShape;
    soundsDiffer = soundsDiffer || !(t.facts.sound == first.sound) || !t.facts.sound.firstStream;
  }
  if (shapesDiffer) {
    plan.displayShape = shapeSetting == 0 ? 2 : 3;
    for (std::size_t i = 0; i < n; ++i)
      plan.shapeChanges[i] = titles[i].facts.readable && titles[i].facts.displayShape != plan.displayShape;
  }
  // A title made anew gets encoded sound: when the titles share sound the encoder cannot
  // write, the others must follow it.
  const bool encodes = shapesDiffer;
  if (soundsDiffer || (encodes && !CanEncodeSound(first.sound))) {
    plan.soundsDiffer = true;
    plan.sound = DiscSound(titles, *firstReadable, repairSound);
    for (std::size_t i = 0; i < n; ++i)
      plan.soundChanges[i] = titles[i].facts.readable && !(titles[i].facts.sound == plan.sound);
  }
  const AudioCodec codec = AudioCodecOf(plan.soundsDiffer ? plan.sound.format : first.sound.format);
  for (std::size_t i = 0; i < n; ++i) {
    if (!plan.Converts(i)) continue;
    DiscTarget& target = plan.targets[i];
    target.displayShape = plan.shapeChanges[i] ? plan.displayShape : 0;
    target.sound = codec;
    target.uniformSound = true;
  }
  return plan;
}

std::vector<std::string> HarmonyReasons(const HarmonyPlan& plan) {
  std::vector<std::string> lines;
  if (plan.displayShape)
    lines.push_back(std::string(Tr("标题的画面比例不同，统一为 ")) + ShapeName(plan.displayShape));
  if (plan.soundsDiffer)
    lines.push_back(std::string(Tr("标题的声音格式不同，统一为 ")) + SoundFormatName(plan.sound.format) + " " +
                    std::to_string(plan.sound.sampleRate / 1000) + " kHz");
  return lines;
}

std::string HarmonyStatus(const HarmonyPlan& plan, std::size_t title, const std::string& fileName) {
  std::string text = Format(Tr("统一 %s:"), fileName.c_str());
  if (plan.shapeChanges[title]) text += std::string(Tr(" 画面 ")) + ShapeName(plan.displayShape);
  if (plan.soundChanges[title]) text += std::string(Tr(" 声音 ")) + SoundFormatName(plan.sound.format);
  return text;
}

}  // namespace vantrel
