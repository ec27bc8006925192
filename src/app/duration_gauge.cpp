// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/duration_gauge.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "app/wx_text.h"

namespace vantrel::app {
namespace {

wxColour ToWx(const GaugeColour& c) { return wxColour(c.r, c.g, c.b); }

void DottedLine(wxDC& dc, int x, int height, const GaugeColour& colour) {
  dc.SetPen(wxPen(ToWx(colour), 1, wxPENSTYLE_DOT));
  dc.DrawLine(x, 0, x, height);
}

}  // namespace

void PaintGauge(wxDC& dc, int width, int height, int totalSeconds, const wxColour& background) {
  const GaugeLayout layout = LayoutGauge(width, height, totalSeconds);
  const wxColour shadow = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
  for (const GaugeBand& band : layout.bands) {
    const int w = band.right - band.left, h = layout.fillBottom - layout.fillTop;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(ToWx(band.colour)));
    dc.DrawRectangle(band.left, layout.fillTop, w, h);
    dc.SetPen(wxPen(shadow));
    dc.DrawLine(band.left, layout.fillBottom - 1, band.right, layout.fillBottom - 1);
    dc.SetPen(wxPen(ToWx(gauge::kHighlight)));
    dc.DrawLine(band.left, layout.fillTop, band.right, layout.fillTop);
  }

  const wxColour scale = ToWx(ScaleColourOn({background.Red(), background.Green(), background.Blue()}));
  dc.SetPen(wxPen(scale));
  dc.DrawLine(0, height - 1, width, height - 1);
  wxFont font(wxFontInfo(wxSize(0, gauge::kLabelPixelHeight)).FaceName(gauge::kLabelFont));
  dc.SetFont(font);
  dc.SetTextForeground(scale);
  dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
  for (const GaugeTick& tick : layout.ticks) {
    dc.DrawLine(tick.x, height - 1, tick.x, height - 1 - tick.height);
    if (tick.label.empty()) continue;
    const wxString label = U(tick.label);
    const wxSize extent = dc.GetTextExtent(label);
    dc.DrawText(label, LabelLeft(tick.x, extent.x, width), height - 1 - tick.height - extent.y);
  }
  if (layout.yellowX >= 0) DottedLine(dc, layout.yellowX, height, gauge::kYellow);
  if (layout.redX >= 0) DottedLine(dc, layout.redX, height, gauge::kRed);
}

DurationGauge::DurationGauge(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxSize(-1, 36), wxBORDER_SUNKEN) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetMinSize(wxSize(300, 36));
  Bind(wxEVT_PAINT, &DurationGauge::OnPaint, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) { Refresh(); e.Skip(); });
}

void DurationGauge::SetTotal(int seconds) {
  total_ = seconds;
  Refresh();
}

void DurationGauge::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(wxBrush(GetBackgroundColour()));
  dc.Clear();
  const wxSize size = GetClientSize();
  PaintGauge(dc, size.x, size.y, total_, GetBackgroundColour());
}

}  // namespace vantrel::app
