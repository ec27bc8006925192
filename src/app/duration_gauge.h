// SPDX-License-Identifier: GPL-3.0-or-later
// The duration gauge under the title list: the total length of the titles on a scale of 0
// to 120 minutes, painted as GaugeLayout describes.
#pragma once

#include <wx/dc.h>
#include <wx/window.h>

#include "app/gauge_layout.h"

namespace vantrel::app {

// Paints the gauge into any device context whose drawing area is width x height, over a
// background of the given colour (which picks the scale's colour).
void PaintGauge(wxDC& dc, int width, int height, int totalSeconds, const wxColour& background = *wxWHITE);

class DurationGauge : public wxWindow {
 public:
  DurationGauge(wxWindow* parent, wxWindowID id);
  // A new total in whole seconds: recomputes the fill and repaints.
  void SetTotal(int seconds);
  int Total() const { return total_; }

 private:
  void OnPaint(wxPaintEvent& event);
  int total_ = 0;
};

}  // namespace vantrel::app
