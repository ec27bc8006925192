// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/run_message_style.h"
#include "base/translation.h"

namespace vantrel {

BoxStyle RunNoteStyle(const std::string& text) {
  for (const char* builderFailure : {N_("载入输入 INI 文件失败。"), N_("创建和保存菜单图像失败。"), N_("建立 DVD 失败。")})
    if (text == builderFailure || text == Tr(builderFailure)) return {Tr("提示"), BoxIcon::kError};
  return {kProgramCaption, BoxIcon::kInformation};
}

BoxStyle RunQuestionStyle(const std::string& text) {
  const bool folderTooLarge = text.rfind(Tr("在 'VIDEO_TS' 中的文件大小为"), 0) == 0;
  return {kProgramCaption, folderTooLarge ? BoxIcon::kNone : BoxIcon::kInformation};
}

}  // namespace vantrel
