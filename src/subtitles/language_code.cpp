// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/language_code.h"

#include <utility>

#include "base/paths.h"

namespace vantrel {
namespace {

// The languages films are tagged with most; both of ISO 639-2's forms where they differ.
constexpr std::pair<const char*, const char*> kThreeToTwo[] = {
    {"ara", "ar"}, {"bul", "bg"}, {"cat", "ca"}, {"ces", "cs"}, {"cze", "cs"}, {"chi", "zh"}, {"zho", "zh"},
    {"dan", "da"}, {"deu", "de"}, {"ger", "de"}, {"ell", "el"}, {"gre", "el"}, {"eng", "en"}, {"spa", "es"},
    {"est", "et"}, {"fas", "fa"}, {"per", "fa"}, {"fin", "fi"}, {"fra", "fr"}, {"fre", "fr"}, {"heb", "he"},
    {"hin", "hi"}, {"hrv", "hr"}, {"hun", "hu"}, {"ind", "id"}, {"isl", "is"}, {"ice", "is"}, {"ita", "it"},
    {"jpn", "ja"}, {"kor", "ko"}, {"lit", "lt"}, {"lav", "lv"}, {"msa", "ms"}, {"may", "ms"}, {"nld", "nl"},
    {"dut", "nl"}, {"nor", "no"}, {"nob", "nb"}, {"pol", "pl"}, {"por", "pt"}, {"ron", "ro"}, {"rum", "ro"},
    {"rus", "ru"}, {"slk", "sk"}, {"slo", "sk"}, {"slv", "sl"}, {"srp", "sr"}, {"swe", "sv"}, {"tha", "th"},
    {"tur", "tr"}, {"ukr", "uk"}, {"vie", "vi"}, {"yue", "zh"},
};

}  // namespace

bool IsDvdLanguageCode(const std::string& code) {
  return code.size() == 2 && code[0] >= 'a' && code[0] <= 'z' && code[1] >= 'a' && code[1] <= 'z';
}

std::string DvdLanguageOf(const std::string& tag) {
  const std::string lower = AsciiLower(tag);
  if (IsDvdLanguageCode(lower)) return lower;
  for (const auto& [three, two] : kThreeToTwo)
    if (lower == three) return two;
  return "";
}

}  // namespace vantrel
