// SPDX-License-Identifier: GPL-3.0-or-later
// The designer's live preview: page 1 of the menu drawn by the menu renderer, the same
// drawing as the disc's menu picture, fitted to the panel.
#pragma once

#include <wx/panel.h>

namespace vantrel {

class MenuModel;
class ThumbnailImageList;
struct AppSettings;

class MenuPreview : public wxPanel {
 public:
  MenuPreview(wxWindow* parent, wxWindowID id, MenuModel& model,
              const ThumbnailImageList& thumbnails, const AppSettings& settings);

 private:
  void OnPaint(wxPaintEvent& event);

  MenuModel& model_;
  const ThumbnailImageList& thumbnails_;
  const AppSettings& settings_;
};

}  // namespace vantrel
