// SPDX-License-Identifier: GPL-3.0-or-later
// How a front end shows the notes and questions of the program's jobs and dialogs as message
// boxes: the caption and the icon of each. Notes have one button, OK ("确定"); questions Yes
// and No ("是", "否"), Yes the default.
#pragma once

#include <string>

namespace vantrel {

enum class BoxIcon { kNone, kInformation, kError };

struct BoxStyle {
  std::string caption;
  BoxIcon icon;
  bool operator==(const BoxStyle&) const = default;
};

// The caption of every box that names no other.
inline constexpr const char* kProgramCaption = "Vantrel";

// Notes carry the information icon, with these exceptions: the image builder's failures are
// errors captioned "提示"; a disc-library error ("错误: …"), "not support", the request to
// choose a folder first and the note on a blank medium are bare OK boxes without an icon.
BoxStyle RunNoteStyle(const std::string& text);
// Questions carry the information icon, except the one about a folder too large for the
// disc, which has none.
BoxStyle RunQuestionStyle(const std::string& text);

}  // namespace vantrel
