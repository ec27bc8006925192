// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/preview/ui/preview_panel.h"

#include <cstring>

#include <wx/dcbuffer.h>
#include <wx/image.h>

namespace vantrel::preview {

constexpr int kFrameIntervalMs = 40;

PreviewPanel::PreviewPanel(wxWindow* parent, wxWindowID id, const wxSize& size)
    : wxPanel(parent, id, wxDefaultPosition, size, wxBORDER_SUNKEN), frameTimer_(this) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  SetMinSize(size);
  Bind(wxEVT_PAINT, &PreviewPanel::OnPaint, this);
  Bind(wxEVT_LEFT_UP, &PreviewPanel::OnClick, this);
  Bind(wxEVT_TIMER, &PreviewPanel::OnFrameTimer, this);
  Bind(wxEVT_SIZE, [this](wxSizeEvent& e) { Refresh(); e.Skip(); });
}

void PreviewPanel::OnClick(wxMouseEvent&) {
  if (player_.GetPlayState() == kPlaying) {
    player_.Pause();
    frameTimer_.Stop();
  } else {
    player_.Play();
    frameTimer_.Start(kFrameIntervalMs);
  }
  Refresh();
}

void PreviewPanel::OnFrameTimer(wxTimerEvent&) {
  if (player_.Tick()) Refresh();
  if (player_.GetPlayState() != kPlaying) frameTimer_.Stop();
}

void PreviewPanel::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  dc.SetBackground(*wxBLACK_BRUSH);
  dc.Clear();
  const RgbImage& frame = player_.CurrentFrame();
  if (frame.Empty()) return;
  wxImage image(frame.width, frame.height, false);
  std::memcpy(image.GetData(), frame.pixels.data(), frame.pixels.size());
  const wxSize area = GetClientSize();
  // Scaled to fit, keeping the picture's shape, centred.
  double scale = std::min(double(area.x) / frame.width, double(area.y) / frame.height);
  const int w = std::max(1, int(frame.width * scale)), h = std::max(1, int(frame.height * scale));
  image.Rescale(w, h, wxIMAGE_QUALITY_BILINEAR);
  dc.DrawBitmap(wxBitmap(image), (area.x - w) / 2, (area.y - h) / 2);
}

}  // namespace vantrel::preview
