// SPDX-License-Identifier: GPL-3.0-or-later
// The control's picture: icon 201 at the top-left corner of the rectangle a container
// gives, drawn with cairo into the context passed in place of a device context.
#include "encorva/ole_control.h"

#include <cstring>

#include "encorva/control_icon.h"

namespace vantrel::encorva {
namespace {

constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kPixelsPerInch = 96;

cairo_surface_t* MakeIcon() {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kIconSize, kIconSize);
  cairo_surface_flush(surface);
  unsigned char* data = cairo_image_surface_get_data(surface);
  if (!data) return surface;  // an error surface draws nothing
  const int stride = cairo_image_surface_get_stride(surface);
  const auto& pixels = ControlIconPixels();
  for (int y = 0; y < kIconSize; ++y)
    std::memcpy(data + y * stride, &pixels[size_t(y * kIconSize)], kIconSize * 4);
  cairo_surface_mark_dirty(surface);
  return surface;
}

}  // namespace

// The icon's size at the screen's usual resolution, rounded.
SIZEL DefaultExtent() {
  const LONG side = (kIconSize * kHimetricPerInch + kPixelsPerInch / 2) / kPixelsPerInch;
  return {side, side};
}

OleControl::OleControl(IUnknown* owner, ModuleLockCount* locks)
    : owner_(owner), locks_(locks), icon_(MakeIcon()), extent_(DefaultExtent()) {}

OleControl::~OleControl() { cairo_surface_destroy(icon_); }

HRESULT OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw,
                         const RECTL* bounds, const RECTL*, ContinueDrawing, ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!draw || !bounds) return E_INVALIDARG;
  if (bounds->right <= bounds->left || bounds->bottom <= bounds->top) return S_OK;
  auto* cr = static_cast<cairo_t*>(draw);
  cairo_save(cr);
  // A rectangle smaller than the icon shows the part that fits.
  cairo_rectangle(cr, bounds->left, bounds->top, bounds->right - bounds->left,
                  bounds->bottom - bounds->top);
  cairo_clip(cr);
  cairo_set_source_surface(cr, icon_, bounds->left, bounds->top);
  cairo_paint(cr);
  cairo_restore(cr);
  return cairo_status(cr) == CAIRO_STATUS_SUCCESS ? S_OK : E_FAIL;
}

HRESULT OleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors) {
  if (!colors) return E_POINTER;
  *colors = nullptr;
  return S_FALSE;  // no palette of its own
}

HRESULT OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  viewSink_ = sink;  // null ends the advice
  viewAspects_ = sink ? aspects : 0;
  viewFlags_ = sink ? flags : 0;
  return S_OK;
}

HRESULT OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = viewAspects_;
  if (flags) *flags = viewFlags_;
  if (sink) *sink = ComPtr<IAdviseSink>(viewSink_).Detach();
  return S_OK;
}

HRESULT OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, SIZEL* size) {
  return GetExtent(aspect, size);
}

// Outside the icon the container's background shows through.
HRESULT OleControl::GetViewStatus(DWORD* status) {
  if (!status) return E_POINTER;
  *status = 0;
  return S_OK;
}

HRESULT OleControl::QueryHitPoint(DWORD aspect, const RECT* bounds, POINT location, LONG,
                                  DWORD* hit) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!bounds || !hit) return E_POINTER;
  const bool inside = location.x >= bounds->left && location.x < bounds->right &&
                      location.y >= bounds->top && location.y < bounds->bottom;
  *hit = inside ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

}  // namespace vantrel::encorva
