// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/run_message_style.h"

#include "base/translation.h"

namespace vantrel {

namespace {

// The text as the program wrote it or as the user's language shows it.
bool Is(const std::string& text, const char* original) { return text == original || text == Tr(original); }

bool StartsWith(const std::string& text, const char* original) {
  return text.rfind(original, 0) == 0 || text.rfind(Tr(original), 0) == 0;
}

}  // namespace

BoxStyle RunNoteStyle(const std::string& text) {
  for (const char* builderFailure : {N_("载入输入 INI 文件失败。"), N_("创建和保存菜单图像失败。"), N_("建立 DVD 失败。")})
    if (Is(text, builderFailure)) return {Tr("提示"), BoxIcon::kError};
  // The desktop always told of a blank medium in a bare box too.
  if (StartsWith(text, N_("错误: ")) || text == "not support" || Is(text, N_("请先选择 'VIDEO_TS' 文件夹。")) ||
      Is(text, N_("光盘空白。")))
    return {kProgramCaption, BoxIcon::kNone};
  return {kProgramCaption, BoxIcon::kInformation};
}

BoxStyle RunQuestionStyle(const std::string& text) {
  const bool folderTooLarge = StartsWith(text, N_("在 'VIDEO_TS' 中的文件大小为"));
  return {kProgramCaption, folderTooLarge ? BoxIcon::kNone : BoxIcon::kInformation};
}

}  // namespace vantrel
