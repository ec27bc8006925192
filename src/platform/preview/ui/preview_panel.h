// SPDX-License-Identifier: GPL-3.0-or-later
// The preview window of the properties sheet: shows the player's current picture scaled
// into the panel; a click plays or pauses.
#pragma once

#include <wx/panel.h>
#include <wx/timer.h>

#include "platform/preview/preview_player.h"

namespace vantrel::preview {

class PreviewPanel : public wxPanel {
 public:
  PreviewPanel(wxWindow* parent, wxWindowID id, const wxSize& size);
  FramePlayer& Player() { return player_; }

 private:
  void OnPaint(wxPaintEvent& event);
  void OnClick(wxMouseEvent& event);
  void OnFrameTimer(wxTimerEvent& event);

  FramePlayer player_;
  wxTimer frameTimer_;
};

}  // namespace vantrel::preview
