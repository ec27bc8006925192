// SPDX-License-Identifier: GPL-3.0-or-later
// Subtitle files in the encodings users have them in come out as the text they hold: each
// file is written in its encoding here (glibc's converter), read back through detection,
// FFmpeg's SRT reader and the conversion, and compared line by line.
#include <gtest/gtest.h>
#include <iconv.h>

#include <fstream>

#include "subtitles/subtitle_reader.h"
#include "subtitles/text_encoding.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

std::string Encode(const std::string& utf8, const char* encoding) {
  iconv_t cd = iconv_open(encoding, "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << encoding;
  std::string input = utf8, output(utf8.size() * 4 + 16, '\0');
  char* in = input.data();
  char* out = output.data();
  size_t inLeft = input.size(), outLeft = output.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &out, &outLeft), size_t(-1)) << encoding;
  iconv_close(cd);
  output.resize(output.size() - outLeft);
  return output;
}

std::string Srt(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i)
    text += std::to_string(i + 1) + "\r\n00:00:0" + std::to_string(i + 1) + ",000 --> 00:00:0" + std::to_string(i + 1) +
            ",800\r\n" + lines[i] + "\r\n\r\n";
  return text;
}

// The text of an ASS event: everything after its eighth comma.
std::string EventText(const std::string& event) {
  size_t at = 0;
  for (int i = 0; i < 8; ++i) at = event.find(',', at) + 1;
  return event.substr(at);
}

struct Sample {
  const char* name;
  const char* encoding;  // what the file is written in
  const char* detected;  // the name the reader gives it
  std::vector<std::string> lines;
};

const std::vector<Sample> kSamples = {
    {"Simplified Chinese", "GB18030", "GB18030",
     {"我们明天早上八点在火车站见面。", "你为什么不告诉我这件事情？", "这是我这辈子见过的最美丽的地方。",
      "请把窗户关上，外面太冷了。", "他们已经等了你三个小时了。", "别担心，一切都会好起来的。"}},
    {"Traditional Chinese", "BIG5", "BIG5-HKSCS",
     {"我們明天早上八點在火車站見面。", "你為什麼不告訴我這件事情？", "這是我這輩子見過最美麗的地方。",
      "請把窗戶關上，外面太冷了。", "他們已經等了你三個小時了。", "別擔心，一切都會好起來的。"}},
    {"Russian", "CP1251", "CP1251",
     {"Мы встретимся завтра утром на вокзале.", "Почему ты мне ничего не сказал об этом?",
      "Это самое красивое место, которое я видел.", "Закрой окно, на улице слишком холодно.",
      "Они ждали тебя уже три часа.", "Не волнуйся, всё будет хорошо."}},
    {"Czech", "CP1250", "CP1250",
     {"Sejdeme se zítra ráno na nádraží.", "Proč jsi mi o tom nic neřekl?",
      "Tohle je nejkrásnější místo, jaké jsem kdy viděl.", "Zavři okno, venku je příliš zima.",
      "Čekali na tebe už tři hodiny.", "Neboj se, všechno bude v pořádku, šťastný Žďár."}},
    {"Arabic", "CP1256", "CP1256",
     {"سنلتقي غدا صباحا في محطة القطار.", "لماذا لم تخبرني بهذا الأمر؟", "هذا أجمل مكان رأيته في حياتي.",
      "أغلق النافذة، الجو بارد جدا في الخارج.", "لقد انتظروك لمدة ثلاث ساعات.", "لا تقلق، كل شيء سيكون على ما يرام."}},
};

void ExpectCues(const TextSubtitles& track, const std::vector<std::string>& lines) {
  ASSERT_TRUE(track.ok) << track.error;
  ASSERT_EQ(track.cues.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(EventText(track.cues[i].event), lines[i]) << "cue " << i + 1;
    EXPECT_EQ(track.cues[i].startMs, int64_t(i + 1) * 1000);
    EXPECT_EQ(track.cues[i].endMs, int64_t(i + 1) * 1000 + 800);
  }
}

TEST(SubtitleEncoding, LegacyCodePagesAreDetectedAndConverted) {
  test::TempFolder folder;
  for (const Sample& sample : kSamples) {
    SCOPED_TRACE(sample.name);
    const std::string path = folder / (std::string(sample.encoding) + ".srt");
    test::WriteText(path, Encode(Srt(sample.lines), sample.encoding));
    const TextSubtitles track = ReadSubtitleFile(path);
    ExpectCues(track, sample.lines);
    EXPECT_EQ(track.encoding, sample.detected);
  }
}

TEST(SubtitleEncoding, UnicodeFilesWithAndWithoutByteOrderMark) {
  test::TempFolder folder;
  const std::vector<std::string> lines = {"中文字幕：你好，世界！", "Привет, мир — 世界", "Ünïcödé ✓ Žluťoučký kůň"};
  const std::string text = Srt(lines);
  const std::vector<std::pair<std::string, std::string>> files = {
      {"utf8.srt", text},
      {"utf8-bom.srt", "\xEF\xBB\xBF" + text},
      {"utf16le-bom.srt", "\xFF\xFE" + Encode(text, "UTF-16LE")},
      {"utf16be-bom.srt", "\xFE\xFF" + Encode(text, "UTF-16BE")},
      {"utf16le.srt", Encode(text, "UTF-16LE")},
  };
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    test::WriteText(folder / name, bytes);
    const TextSubtitles track = ReadSubtitleFile(folder / name);
    ExpectCues(track, lines);
    // No byte order mark survives into the first cue's number or text.
    EXPECT_EQ(track.encoding.substr(0, 5), name.substr(0, 4) == "utf8" ? "UTF-8" : "UTF-1");
  }
}

TEST(SubtitleEncoding, TheUsersEncodingWinsAndAWrongOneFailsWithItsReason) {
  test::TempFolder folder;
  const Sample& russian = kSamples[2];
  const std::string path = folder / "russian.srt";
  test::WriteText(path, Encode(Srt(russian.lines), "CP1251"));

  ExpectCues(ReadSubtitleFile(path, "CP1251"), russian.lines);
  // KOI8-R takes every byte, so the override is followed even where it is wrong...
  const TextSubtitles koi = ReadSubtitleFile(path, "KOI8-R");
  ASSERT_TRUE(koi.ok) << koi.error;
  EXPECT_NE(EventText(koi.cues[0].event), russian.lines[0]);
  EXPECT_EQ(koi.encoding, "KOI8-R");
  // ...but bytes the named encoding cannot hold fail instead of becoming garbage.
  const TextSubtitles utf8 = ReadSubtitleFile(path, "UTF-8");
  EXPECT_FALSE(utf8.ok);
  EXPECT_NE(utf8.error.find("not valid UTF-8"), std::string::npos) << utf8.error;
  const TextSubtitles unknown = ReadSubtitleFile(path, "NO-SUCH-CODE-PAGE");
  EXPECT_FALSE(unknown.ok);
  EXPECT_NE(unknown.error.find("unknown character encoding NO-SUCH-CODE-PAGE"), std::string::npos) << unknown.error;
}

TEST(SubtitleEncoding, UnreadableFilesAreRefusedWithAReason) {
  test::TempFolder folder;
  const TextSubtitles missing = ReadSubtitleFile(folder / "none.srt");
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("No such file"), std::string::npos) << missing.error;

  test::WriteText(folder / "notes.srt", "shopping list: bread, milk\n");
  const TextSubtitles notSubtitles = ReadSubtitleFile(folder / "notes.srt");
  EXPECT_FALSE(notSubtitles.ok);
  EXPECT_FALSE(notSubtitles.error.empty());
}

}  // namespace
}  // namespace vantrel
