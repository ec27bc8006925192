// SPDX-License-Identifier: GPL-3.0-or-later
#include "burn/disc_library.h"

#include <cstdlib>
#include <cstring>

#include "base/ini_file.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {

std::string ImageRecorderList(const std::string& workFolder, const std::string& settingsIni) {
  std::string list = JoinPath(workFolder, "vantrel.iso");
  std::string configured = IniFile(settingsIni).ReadString("dvd", "imagefiles", "");
  if (!configured.empty()) list += ";" + configured;
  if (const char* env = std::getenv("VANTREL_IMAGE_DRIVES"); env && *env) list += ";" + std::string(env);
  return list;
}

void OpenDiscLibrary(BurnFrontEnd& ui, const std::string& imageRecorders,
                     const std::string& failureSentence) {
  const int rc = int(ui.Aside([&imageRecorders] { return Initialize(imageRecorders.c_str(), 1); }));
  if (rc != 0) ui.ShowMessage(Format(Tr("错误: %s"), LibraryText(rc).c_str()) + failureSentence);
  SetASPI(1);
}

void CloseDiscLibrary() { DeInitialize(); }

std::string LibraryText(int code) {
  char text[FB_TEXT_SIZE] = "";
  int32_t size = FB_TEXT_SIZE;
  GetText(code, text, &size);
  return text;
}

bool ReportResult(int code, BurnFrontEnd& ui, bool logToo) {
  if (code == 0) return true;
  std::string line = Tr("错误: ") + LibraryText(code);
  ui.ShowMessage(line);
  if (logToo) ui.ShowStatus(line, 0, 1, 1);
  return false;
}

MediumInfo PrefilledMediumInfo() {
  MediumInfo info;
  std::memset(&info, 0, sizeof info);
  std::strcpy(info.Type, FB_NDEF_TEXT);
  info.State = -1;
  info.Reserved32 = info.Reserved40 = info.Capacity = -1.0;
  info.Reserved56 = info.Reserved60 = info.Reserved64 = -1;
  info.Reserved68 = -1;
  return info;
}

BurnOptions PrefilledBurnOptions() {
  BurnOptions options;
  std::memset(&options, 0xFF, sizeof options);
  std::memset(options.VolumeLabel, 0, sizeof options.VolumeLabel);
  std::strcpy(options.VolumeLabel, FB_NDEF_TEXT);
  std::memset(options.Reserved134, 0, sizeof options.Reserved134);
  std::strcpy(options.Reserved134, FB_NDEF_TEXT);
  std::memset(options.Padding398, 0, sizeof options.Padding398);
  std::memset(options.Padding406, 0, sizeof options.Padding406);
  return options;
}

bool VideoTsDirRecord(const std::string& source, DirRecord& record) {
  // The record is first filled as the program always did, then given its final values.
  std::memset(&record, 0, sizeof record);
  std::strcpy(record.Target, "\\");
  std::strcpy(record.Mask, "*.*");
  record.AttributeMask = 0x3F;
  record.Flag = 1;
  record.Value = 2;
  if (source.size() >= sizeof record.Source) return false;
  std::memcpy(record.Source, source.data(), source.size());
  std::strcpy(record.Target, "\\Video_Ts\\");
  std::strcpy(record.Mask, "*.*");
  record.Flag = 0;
  record.Value = 0;
  return true;
}

}  // namespace vantrel
