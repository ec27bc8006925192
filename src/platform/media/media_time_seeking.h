// SPDX-License-Identifier: GPL-3.0-or-later
// The time-format half of IMediaSeeking that every seeking object here shares: times are
// always 100 ns media time, and CheckCapabilities answers from GetCapabilities.
#pragma once

#include "platform/media/interfaces.h"

namespace vantrel::media {

class MediaTimeSeeking : public IMediaSeeking {
 public:
  HRESULT CheckCapabilities(DWORD* caps) override {
    if (!caps) return E_POINTER;
    DWORD mine = 0, asked = *caps;
    GetCapabilities(&mine);
    *caps &= mine;
    return *caps == asked ? S_OK : (*caps ? S_FALSE : E_FAIL);
  }
  HRESULT IsFormatSupported(const GUID* f) override {
    return f && *f == TIME_FORMAT_MEDIA_TIME ? S_OK : S_FALSE;
  }
  HRESULT QueryPreferredFormat(GUID* f) override { return GetTimeFormat(f); }
  HRESULT GetTimeFormat(GUID* f) override {
    if (!f) return E_POINTER;
    *f = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
  }
  HRESULT IsUsingTimeFormat(const GUID* f) override { return IsFormatSupported(f); }
  HRESULT SetTimeFormat(const GUID* f) override {
    return f && *f == TIME_FORMAT_MEDIA_TIME ? S_OK : E_INVALIDARG;
  }
};

}  // namespace vantrel::media
