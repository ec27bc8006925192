// SPDX-License-Identifier: GPL-3.0-or-later
// The hidden video editing control: media facts and frame export, offered as a dispatch
// object (class id {57D9AF4C-23BA-47EC-A40B-2DA79641B285}) and used through the wrapper
// CVideoEdit, whose calls are method invocations by dispatch id. A failed call gives the
// control's default result (0 or false).
#pragma once

#include <string>

#include "platform/com/unknown.h"
#include "platform/com/variant.h"

namespace vantrel {

inline constexpr com::CLSID CLSID_VideoEdit = com::MakeGuid("57D9AF4C-23BA-47EC-A40B-2DA79641B285");

namespace videoedit {
inline constexpr com::DISPID kQueryDuration = 26;
inline constexpr com::DISPID kExportFrame = 33;
inline constexpr com::DISPID kQueryFrameHeight = 35;
inline constexpr com::DISPID kQueryFrameWidth = 36;
inline constexpr com::DISPID kQueryFrameRate = 37;
// Creates the control object itself (what the built-in class table holds).
com::HRESULT CreateControl(com::REFIID iid, com::IDispatch** control);
}  // namespace videoedit

class CVideoEdit {
 public:
  CVideoEdit() = default;
  // Creates the control by its class id; false when it cannot be created (every call then
  // gives its default result).
  bool Create();
  bool IsCreated() const { return bool(control_); }

  double QueryDuration(const std::string& path);
  short QueryFrameHeight(const std::string& path);
  short QueryFrameWidth(const std::string& path);
  double QueryFrameRate(const std::string& path);
  // Writes the frame shown at `seconds` as a 24-bit BMP at the video's own size.
  bool ExportFrame(const std::string& path, double seconds, const std::string& bitmapPath);

 private:
  bool Call(com::DISPID id, std::initializer_list<com::VARIANT> args, com::VARTYPE type,
            com::VARIANT& result);
  com::ComPtr<com::IDispatch> control_;
};

}  // namespace vantrel
