// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/track_choices.h"

#include "base/text_format.h"
#include "subtitles/language_code.h"

namespace vantrel::app {

const std::vector<LanguageChoice>& LanguageChoices() {
  static const std::vector<LanguageChoice> choices = {
      {"", N_("未指定")},     {"zh", N_("中文")},      {"en", N_("英语")},       {"ja", N_("日语")},
      {"ko", N_("韩语")},     {"fr", N_("法语")},      {"de", N_("德语")},       {"es", N_("西班牙语")},
      {"it", N_("意大利语")}, {"pt", N_("葡萄牙语")},  {"ru", N_("俄语")},       {"uk", N_("乌克兰语")},
      {"pl", N_("波兰语")},   {"cs", N_("捷克语")},    {"sk", N_("斯洛伐克语")}, {"hu", N_("匈牙利语")},
      {"ro", N_("罗马尼亚语")}, {"hr", N_("克罗地亚语")}, {"sr", N_("塞尔维亚语")}, {"bg", N_("保加利亚语")},
      {"el", N_("希腊语")},   {"tr", N_("土耳其语")},  {"ar", N_("阿拉伯语")},   {"he", N_("希伯来语")},
      {"fa", N_("波斯语")},   {"hi", N_("印地语")},    {"th", N_("泰语")},       {"vi", N_("越南语")},
      {"id", N_("印度尼西亚语")}, {"ms", N_("马来语")}, {"nl", N_("荷兰语")},     {"sv", N_("瑞典语")},
      {"da", N_("丹麦语")},   {"no", N_("挪威语")},    {"fi", N_("芬兰语")},
  };
  return choices;
}

size_t LanguageChoiceIndex(const std::string& code) {
  const std::string dvd = DvdLanguageOf(code);
  if (dvd.empty()) return 0;
  const auto& choices = LanguageChoices();
  for (size_t i = 1; i < choices.size(); ++i)
    if (dvd == choices[i].code) return i;
  return 0;
}

std::string LanguageLabel(const std::string& code) {
  const std::string dvd = DvdLanguageOf(code);
  if (dvd.empty()) return Tr(LanguageChoices()[0].name);
  const size_t index = LanguageChoiceIndex(dvd);
  return index ? Format("%s %s", dvd.c_str(), Tr(LanguageChoices()[index].name)) : dvd;
}

const std::vector<std::string>& EncodingChoices() {
  static const std::vector<std::string> choices = {
      "UTF-8",  "UTF-16", "GB18030", "BIG5",   "SHIFT_JIS", "EUC-KR", "CP1250", "CP1251", "CP1252",
      "CP1253", "CP1254", "CP1255",  "CP1256", "CP1257",    "KOI8-R", "ISO-8859-2", "ISO-8859-15",
  };
  return choices;
}

}  // namespace vantrel::app
