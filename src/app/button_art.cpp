// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/button_art.h"

#include <cstring>
#include <memory>

#include <wx/dcmemory.h>
#include <wx/graphics.h>

namespace vantrel::app {
namespace {

using Gc = wxGraphicsContext;

void Disc(Gc& gc, double s, const wxColour& rim) {
  gc.SetPen(wxPen(rim, int(s / 16) + 1));
  gc.SetBrush(wxBrush(wxColour(200, 210, 225)));
  gc.DrawEllipse(s * 0.12, s * 0.12, s * 0.76, s * 0.76);
  gc.SetBrush(*wxWHITE_BRUSH);
  gc.DrawEllipse(s * 0.4, s * 0.4, s * 0.2, s * 0.2);
}

void Arrow(Gc& gc, double s, bool up) {
  wxGraphicsPath path = gc.CreatePath();
  const double tip = up ? s * 0.15 : s * 0.85, base = up ? s * 0.55 : s * 0.45;
  path.MoveToPoint(s * 0.5, tip);
  path.AddLineToPoint(s * 0.15, base);
  path.AddLineToPoint(s * 0.38, base);
  path.AddLineToPoint(s * 0.38, up ? s * 0.85 : s * 0.15);
  path.AddLineToPoint(s * 0.62, up ? s * 0.85 : s * 0.15);
  path.AddLineToPoint(s * 0.62, base);
  path.AddLineToPoint(s * 0.85, base);
  path.CloseSubpath();
  gc.SetPen(wxPen(wxColour(20, 60, 140)));
  gc.SetBrush(wxBrush(wxColour(60, 120, 220)));
  gc.DrawPath(path);
}

void Draw(Gc& gc, int resource, double s) {
  const wxColour blue(40, 90, 190), dark(40, 40, 50);
  switch (resource) {
    case 150:  // add: a film strip with a plus
      gc.SetPen(wxPen(dark));
      gc.SetBrush(wxBrush(wxColour(70, 70, 80)));
      gc.DrawRectangle(s * 0.1, s * 0.2, s * 0.6, s * 0.6);
      gc.SetPen(wxPen(wxColour(30, 150, 60), int(s / 8)));
      gc.StrokeLine(s * 0.72, s * 0.35, s * 0.72, s * 0.85);
      gc.StrokeLine(s * 0.47, s * 0.6, s * 0.97, s * 0.6);
      break;
    case 152:  // menu: a page of thumbnails
      gc.SetPen(wxPen(dark));
      gc.SetBrush(wxBrush(wxColour(230, 230, 240)));
      gc.DrawRectangle(s * 0.1, s * 0.1, s * 0.8, s * 0.8);
      gc.SetBrush(wxBrush(blue));
      for (int i = 0; i < 4; ++i)
        gc.DrawRectangle(s * (0.2 + 0.35 * (i % 2)), s * (0.2 + 0.35 * (i / 2)), s * 0.25, s * 0.25);
      break;
    case 153:  // run: a disc with a start mark
      Disc(gc, s, blue);
      gc.SetBrush(wxBrush(wxColour(30, 150, 60)));
      gc.SetPen(*wxTRANSPARENT_PEN);
      {
        wxGraphicsPath path = gc.CreatePath();
        path.MoveToPoint(s * 0.62, s * 0.55);
        path.AddLineToPoint(s * 0.98, s * 0.77);
        path.AddLineToPoint(s * 0.62, s * 0.98);
        path.CloseSubpath();
        gc.FillPath(path);
      }
      break;
    case 155:  // settings: a wheel
      gc.SetPen(wxPen(dark, int(s / 10) + 1));
      gc.SetBrush(wxBrush(wxColour(170, 170, 180)));
      gc.DrawEllipse(s * 0.2, s * 0.2, s * 0.6, s * 0.6);
      for (int i = 0; i < 4; ++i) {
        const double x = (i % 2) ? s * 0.5 : (i == 0 ? s * 0.08 : s * 0.92);
        const double y = (i % 2) ? (i == 1 ? s * 0.08 : s * 0.92) : s * 0.5;
        gc.StrokeLine(s * 0.5, s * 0.5, x, y);
      }
      gc.SetBrush(*wxWHITE_BRUSH);
      gc.DrawEllipse(s * 0.38, s * 0.38, s * 0.24, s * 0.24);
      break;
    case 206:  // burn: a disc with a flame
      Disc(gc, s, wxColour(160, 60, 20));
      gc.SetPen(*wxTRANSPARENT_PEN);
      gc.SetBrush(wxBrush(wxColour(240, 120, 20)));
      gc.DrawEllipse(s * 0.6, s * 0.55, s * 0.35, s * 0.42);
      break;
    case 154:  // skin: a palette
      gc.SetPen(wxPen(dark));
      gc.SetBrush(wxBrush(wxColour(225, 200, 160)));
      gc.DrawEllipse(s * 0.08, s * 0.15, s * 0.84, s * 0.7);
      {
        const wxColour dots[] = {wxColour(220, 40, 40), wxColour(40, 160, 40), wxColour(40, 80, 220),
                                 wxColour(240, 200, 20)};
        for (int i = 0; i < 4; ++i) {
          gc.SetBrush(wxBrush(dots[i]));
          gc.DrawEllipse(s * (0.2 + 0.15 * i), s * (i % 2 ? 0.3 : 0.45), s * 0.14, s * 0.14);
        }
      }
      break;
    case 194:  // home page: a house
      gc.SetPen(wxPen(dark));
      gc.SetBrush(wxBrush(wxColour(190, 60, 50)));
      {
        wxGraphicsPath roof = gc.CreatePath();
        roof.MoveToPoint(s * 0.5, s * 0.1);
        roof.AddLineToPoint(s * 0.92, s * 0.48);
        roof.AddLineToPoint(s * 0.08, s * 0.48);
        roof.CloseSubpath();
        gc.DrawPath(roof);
      }
      gc.SetBrush(wxBrush(wxColour(240, 230, 200)));
      gc.DrawRectangle(s * 0.2, s * 0.48, s * 0.6, s * 0.42);
      break;
    case 157:  // help: a question mark in a circle
      gc.SetPen(wxPen(blue));
      gc.SetBrush(wxBrush(blue));
      gc.DrawEllipse(s * 0.1, s * 0.1, s * 0.8, s * 0.8);
      gc.SetFont(wxFont(wxFontInfo(wxSize(0, int(s * 0.6))).Bold()), *wxWHITE);
      {
        double w, h;
        gc.GetTextExtent("?", &w, &h);
        gc.DrawText("?", (s - w) / 2, (s - h) / 2);
      }
      break;
    case 202: Arrow(gc, s, true); break;
    case 201: Arrow(gc, s, false); break;
    case 200:  // remove: a red cross
      gc.SetPen(wxPen(wxColour(200, 30, 30), int(s / 6) + 1));
      gc.StrokeLine(s * 0.2, s * 0.2, s * 0.8, s * 0.8);
      gc.StrokeLine(s * 0.8, s * 0.2, s * 0.2, s * 0.8);
      break;
    case 204:  // properties: a sheet with lines
      gc.SetPen(wxPen(dark));
      gc.SetBrush(*wxWHITE_BRUSH);
      gc.DrawRectangle(s * 0.2, s * 0.1, s * 0.6, s * 0.8);
      for (int i = 0; i < 3; ++i) gc.StrokeLine(s * 0.3, s * (0.3 + 0.2 * i), s * 0.7, s * (0.3 + 0.2 * i));
      break;
    case 128:  // the program: a disc over a film frame
      gc.SetPen(wxPen(dark));
      gc.SetBrush(wxBrush(wxColour(45, 55, 90)));
      gc.DrawRoundedRectangle(s * 0.04, s * 0.04, s * 0.92, s * 0.92, s * 0.12);
      Disc(gc, s, wxColour(250, 200, 60));
      break;
    default: break;
  }
}

wxBitmap Render(int resource, int size) {
  wxImage image(size, size);
  image.InitAlpha();
  std::memset(image.GetAlpha(), 0, size_t(size) * size_t(size));
  std::unique_ptr<wxGraphicsContext> gc(wxGraphicsContext::Create(image));
  if (gc) {
    gc->SetAntialiasMode(wxANTIALIAS_DEFAULT);
    Draw(*gc, resource, size);
  }
  gc.reset();  // the image holds the picture once the context is gone
  return wxBitmap(image);
}

}  // namespace

wxBitmap ButtonBitmap(int resource, int size) { return Render(resource, size); }
wxBitmap ProgramIcon(int size) { return Render(128, size); }

}  // namespace vantrel::app
