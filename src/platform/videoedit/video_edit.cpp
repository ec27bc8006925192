// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/videoedit/video_edit.h"

#include "platform/com/runtime.h"

namespace vantrel {

using namespace com;

bool CVideoEdit::Create() {
  control_.Reset();
  return SUCCEEDED(CoCreateInstance(CLSID_VideoEdit, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                    control_.PutVoid()));
}

bool CVideoEdit::Call(DISPID id, std::initializer_list<VARIANT> args, VARTYPE type, VARIANT& result) {
  if (!control_) return false;
  VARIANT raw;
  HRESULT hr = InvokeMethod(control_.Get(), id, args, &raw);
  bool ok = SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&result, &raw, 0, type));
  VariantClear(&raw);
  return ok;
}

double CVideoEdit::QueryDuration(const std::string& path) {
  VARIANT arg = MakeVariant(path), result;
  double value = Call(videoedit::kQueryDuration, {arg}, VT_R8, result) ? result.dblVal : 0.0;
  VariantClear(&arg);
  return value;
}

short CVideoEdit::QueryFrameHeight(const std::string& path) {
  VARIANT arg = MakeVariant(path), result;
  short value = Call(videoedit::kQueryFrameHeight, {arg}, VT_I2, result) ? result.iVal : 0;
  VariantClear(&arg);
  return value;
}

short CVideoEdit::QueryFrameWidth(const std::string& path) {
  VARIANT arg = MakeVariant(path), result;
  short value = Call(videoedit::kQueryFrameWidth, {arg}, VT_I2, result) ? result.iVal : 0;
  VariantClear(&arg);
  return value;
}

double CVideoEdit::QueryFrameRate(const std::string& path) {
  VARIANT arg = MakeVariant(path), result;
  double value = Call(videoedit::kQueryFrameRate, {arg}, VT_R8, result) ? result.dblVal : 0.0;
  VariantClear(&arg);
  return value;
}

bool CVideoEdit::ExportFrame(const std::string& path, double seconds, const std::string& bitmapPath) {
  VARIANT source = MakeVariant(path), time = MakeVariant(seconds), bitmap = MakeVariant(bitmapPath);
  VARIANT result;
  bool value = Call(videoedit::kExportFrame, {source, time, bitmap}, VT_BOOL, result) &&
               result.boolVal != VARIANT_FALSE;
  VariantClear(&source);
  VariantClear(&bitmap);
  return value;
}

}  // namespace vantrel
