// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog ("设置...") and the disc format dialog: the values they edit, their
// texts, the free space text of the temporary folder, and how OK writes them back.
#pragma once

#include <cstdint>
#include <string>

#include "project/app_settings.h"
#include "base/translation.h"

namespace vantrel::app {

namespace settings_texts {
inline constexpr int kDialogId = 144;
inline constexpr const char* kTitle = N_("设置...");
inline constexpr int kConvertBefore = 1064, kCreateMenu = 1065, kDeleteTemp = 1066, kFolder = 1069,
                     kBrowse = 1067, kFreeSpace = 1091, kAudioCodec = 1103, kZoom43 = 1112,
                     kZoom169 = 1113;
inline constexpr const char* kConvertBeforeText = N_("授权之前转换/修复视频文件");
inline constexpr const char* kCreateMenuText = N_("创建视频 DVD 菜单");
inline constexpr const char* kDeleteTempText = N_("删除临时文件(VIDEO_TS,AUDIO_TS 目录)");
inline constexpr const char* kBrowseText = N_("浏览");
inline constexpr const char* kBrowseTip = N_("请选择尽可能大的可用磁盘空间来存储临时文件");
inline constexpr const char* kOtherOptions = N_("其他选项");
inline constexpr const char* kTempGroup = N_("临时目录(VIDEO_TS,AUDIO_TS)");
inline constexpr const char* kFreeSpaceLabel = N_("可用磁盘空间用来存储临时文件:");
inline constexpr const char* kAudioGroup = N_("音频编码器");
inline constexpr const char* kAudioLabel = N_("选择音频编码器:");
inline constexpr const char* kZoomLabel = N_("缩放目标 DVD 到:");
inline constexpr const char* kCodecs[] = {"MPEG LAYER1", "MPEG LAYER2", "MPEG LAYER3", "MPEG AC3"};
// Beside the two choices a DVD cannot carry.
inline constexpr const char* kCodecStandIn = N_("DVD 不能承载此声音，修复的标题使用 MPEG LAYER2");
inline constexpr const char* kZooms[] = {N_("4:3 标准电视"), N_("16:9 宽屏电视")};
// The windows' language, kept in Settings.ini and taken at the next start.
inline constexpr const char* kLanguageLabel = N_("界面语言:");
inline constexpr const char* kLanguages[] = {N_("跟随系统"), N_("中文"), "English"};
inline constexpr const char* kLanguageNote = N_("(重新启动后生效)");
inline constexpr int kLanguageFirst = 1120;  // ids of the three choices
inline constexpr const char* kChooserTitle = N_("选择一个存储图片的文件夹");
inline constexpr const char* kOk = N_("确定");
inline constexpr const char* kCancel = N_("取消");
}  // namespace settings_texts

namespace disc_format_texts {
inline constexpr int kDialogId = 208;
inline constexpr const char* kTitle = N_("选择光盘格式 ");
inline constexpr int kIso = 1099, kUdf = 1100, kPal = 1101, kNtsc = 1102;
inline constexpr const char* kFileSystemGroup = N_("光盘文件系统");
inline constexpr const char* kFileSystems[] = {"ISO9660", "UDF"};
inline constexpr const char* kFormatGroup = N_("格式与分辨率");
inline constexpr const char* kStandards[] = {"PAL", "NTSC"};
inline constexpr const char* kCapacityGroup = N_("光盘容量");
// Beside the ISO9660 choice: players find a video DVD's files through UDF only.
inline constexpr const char* kUdfAlways = N_("视频 DVD 需要 UDF：光盘总是同时带有 UDF 和 ISO9660，播放机才能读取");
}  // namespace disc_format_texts

// The note beside the audio encoder choice `codec` ("" when the choice is what repairs get).
std::string AudioCodecNote(int codec);

// The note beside the file system choice ("" for UDF).
std::string FileSystemNote(int fileSystem);

// Free space on the volume of `folder` for the calling user, in bytes. A folder that does
// not exist yet is measured on its nearest existing parent. False when nothing is found.
bool FreeBytesFor(const std::string& folder, std::uint64_t& bytes);
// The volume label shown before the free space: the mount point that holds the folder.
std::string VolumeLabel(const std::string& folder);
// "%s 的可用磁盘空间是 %.02fMB".
std::string FreeSpaceText(const std::string& label, std::uint64_t freeBytes);

class SettingsDialogLogic {
 public:
  explicit SettingsDialogLogic(const AppSettings& settings);

  // The text of control 1091 for the folder currently shown.
  std::string FreeSpace() const;
  // A folder came back from the chooser: it is remembered as the last folder and shown.
  void FolderChosen(const std::string& path);
  // OK: the values go back into the settings in the dialog's order.
  void Apply(AppSettings& settings) const;

  bool convertBefore, createMenu, deleteTemp;
  std::string folder;
  int audioCodec, zoom;
  int language;  // 0 the system's, 1 Chinese, 2 English; shown from the next start
};

// The disc format dialog: its own defaults are 1 and 1; the caller presets all three.
// discCapacity is the disc the run is planned to fill (0 DVD-5, 1 DVD-9).
struct DiscFormatLogic {
  int fileSystem = 1;
  int standard = 1;
  int discCapacity = 0;
};

}  // namespace vantrel::app
