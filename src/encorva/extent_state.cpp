// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and loading the extent in the layout described in the header.
#include "encorva/extent_state.h"

#include <vector>

namespace vantrel::encorva {
namespace {

constexpr DWORD kStateVersion = 0x00010000;  // 1.0: the extent alone

struct PersistedProperty {
  const char* name;
  LONG SIZEL::*field;
};
constexpr PersistedProperty kProperties[] = {{"_cx", &SIZEL::cx}, {"_cy", &SIZEL::cy}};
constexpr ULONG kPropertyBytes = 2 + 4;  // VARTYPE, then the VT_UI4 value

void Put(std::vector<BYTE>& bytes, std::uint64_t value, int width) {
  for (int i = 0; i < width; ++i) bytes.push_back(BYTE(value >> (8 * i)));
}

DWORD Take(const BYTE* bytes, int width) {
  DWORD value = 0;
  for (int i = 0; i < width; ++i) value |= DWORD(bytes[i]) << (8 * i);
  return value;
}

}  // namespace

ULONG ExtentStateSize() { return 4 + kPropertyBytes * ULONG(std::size(kProperties)); }

HRESULT SaveExtent(IStream* stream, const SIZEL& extent) {
  if (!stream) return E_POINTER;
  std::vector<BYTE> bytes;
  Put(bytes, kStateVersion, 4);
  for (const auto& property : kProperties) {
    Put(bytes, VT_UI4, 2);
    Put(bytes, DWORD(extent.*property.field), 4);
  }
  ULONG written = 0;
  HRESULT hr = stream->Write(bytes.data(), ULONG(bytes.size()), &written);
  if (FAILED(hr)) return hr;
  return written == bytes.size() ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT LoadExtent(IStream* stream, SIZEL* extent) {
  if (!stream || !extent) return E_POINTER;
  std::vector<BYTE> bytes(ExtentStateSize());
  ULONG read = 0;
  HRESULT hr = stream->Read(bytes.data(), ULONG(bytes.size()), &read);
  if (FAILED(hr)) return hr;
  if (read != bytes.size()) return STG_E_READFAULT;
  if (Take(bytes.data(), 4) != kStateVersion) return E_FAIL;
  SIZEL loaded = *extent;
  const BYTE* at = bytes.data() + 4;
  for (const auto& property : kProperties) {
    if (Take(at, 2) != VT_UI4) return E_FAIL;
    loaded.*property.field = LONG(Take(at + 2, 4));
    at += kPropertyBytes;
  }
  *extent = loaded;
  return S_OK;
}

}  // namespace vantrel::encorva
