// SPDX-License-Identifier: GPL-3.0-or-later
// A link in a dialog: a flat, underlined button that opens its address with the desktop's
// opener, shows itself visited on success, and on failure beeps and tells why.
#pragma once

#include <string>

#include <wx/button.h>

namespace vantrel::app {

class HyperlinkLabel : public wxButton {
 public:
  HyperlinkLabel(wxWindow* parent, wxWindowID id, const std::string& caption, std::string address);
  bool Visited() const { return visited_; }

 private:
  void OnClick(wxCommandEvent& event);
  std::string address_;
  bool visited_ = false;
};

}  // namespace vantrel::app
