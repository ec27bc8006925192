// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/ui/dialog_placement.h"

#include <algorithm>

#include <wx/display.h>
#include <wx/window.h>

namespace vantrel {
namespace {

int Clamp(int value, int low, int high) { return std::max(low, std::min(value, high)); }

}  // namespace

wxPoint PlaceBeside(const wxRect& owner, const wxSize& size, const wxRect& screen, int gap) {
  const int top = Clamp(owner.GetTop(), screen.GetTop(), screen.GetBottom() + 1 - size.y);
  const int left = Clamp(owner.GetLeft(), screen.GetLeft(), screen.GetRight() + 1 - size.x);
  if (owner.GetRight() + 1 + gap + size.x <= screen.GetRight() + 1) return {owner.GetRight() + 1 + gap, top};
  if (owner.GetLeft() - gap - size.x >= screen.GetLeft()) return {owner.GetLeft() - gap - size.x, top};
  if (owner.GetBottom() + 1 + gap + size.y <= screen.GetBottom() + 1) return {left, owner.GetBottom() + 1 + gap};
  if (owner.GetTop() - gap - size.y >= screen.GetTop()) return {left, owner.GetTop() - gap - size.y};
  return {owner.GetLeft() + (owner.GetWidth() - size.x) / 2, owner.GetTop() + (owner.GetHeight() - size.y) / 2};
}

void PlaceBesideParent(wxWindow* dialog) {
  wxWindow* parent = dialog->GetParent();
  if (!parent) return;
  const int display = wxDisplay::GetFromWindow(parent);
  const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : unsigned(display)).GetClientArea();
  dialog->Move(PlaceBeside(parent->GetScreenRect(), dialog->GetSize(), screen));
}

}  // namespace vantrel
