// SPDX-License-Identifier: GPL-3.0-or-later
// Grabbing the thumbnail of a title again after its properties changed, with the MPEG-2
// parser and decoder registered around the grab, and the notice shown when no way worked.
#pragma once

#include <string>

#include "media/thumbnail_owner.h"
#include "base/translation.h"
#include "project/thumbnail_image_list.h"
#include "project/title_record.h"

namespace vantrel {

// Texts of the decoder dialog (resource 205).
namespace decoder_notice {
inline constexpr int kDialogId = 205;
inline constexpr const char* kTitle = N_("下载解码器");
inline constexpr int kHeadingId = 1093;
inline constexpr const char* kHeading = N_("无法从视频文件中抓取菜单图片");
inline constexpr const char* kHeadingFont = "arial";
inline constexpr const char* kText =
    N_("无法从视频文件中抓取图片作为菜单，您必须先安装 DirectX9.0 和 MPEG-2 解码器。");
inline constexpr int kDecoderLinkId = 1094;
inline constexpr const char* kDecoderLink = N_("安装 MPEG-2 解码器");
inline constexpr int kMediaLinkId = 1095;
inline constexpr const char* kMediaLink = N_("安装 DirectX9.0");
inline constexpr const char* kOk = N_("确定");
// Where the links lead on this platform: the decoding libraries the media layer uses.
inline constexpr const char* kDecoderAddress = "https://ffmpeg.org/download.html";
inline constexpr const char* kMediaAddress = "https://packages.debian.org/bookworm/libavcodec59";
}  // namespace decoder_notice

// What the regrab asks of the window that shows the title list.
class RegrabView {
 public:
  virtual ~RegrabView() = default;
  virtual void ShowDecoderNotice() = 0;               // modal; returns when closed
  virtual void SetListColumn3(int row, const std::string& text) = 0;
};

// The command line that registers (or with `unregister` removes) a module shipped in the
// application folder: "regsvr32 \"<folder><module>\" /s" (" /s /u" to unregister). The
// folder is escaped for the double quotes; an ordinary one stays as it is.
std::string ModuleRegistrationCommand(const std::string& module, bool unregister);

// Runs the regrab for the title at `row`: its new image replaces the title's image in
// `images` (a title without one gets a new image, and its ImageIndex points at it). False
// when no way produced a frame, after the notice was shown; without a readable picture
// the title keeps its old image.
bool RegrabThumbnail(ThumbnailOwner& owner, RegrabView& view, TitleRecord& title, int row,
                     ThumbnailImageList& images, const std::string& temporaryFolder);

}  // namespace vantrel
