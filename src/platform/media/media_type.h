// SPDX-License-Identifier: GPL-3.0-or-later
// Handling of media type records; inline so a filter in another module uses the same
// rules (format blocks are task memory).
#pragma once

#include <cstring>

#include "platform/media/interfaces.h"

namespace vantrel::media {

// Frees the format block and the pUnk reference and empties the record.
inline void FreeMediaType(AM_MEDIA_TYPE& mt) {
  if (mt.pbFormat) CoTaskMemFree(mt.pbFormat);
  if (mt.pUnk) mt.pUnk->Release();
  mt = AM_MEDIA_TYPE{};
}

inline HRESULT CopyMediaType(AM_MEDIA_TYPE* target, const AM_MEDIA_TYPE* source) {
  if (!target || !source) return E_POINTER;
  if (target == source) return S_OK;
  *target = *source;
  if (source->cbFormat && source->pbFormat) {
    target->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(source->cbFormat));
    if (!target->pbFormat) {
      target->cbFormat = 0;
      return E_OUTOFMEMORY;
    }
    std::memcpy(target->pbFormat, source->pbFormat, source->cbFormat);
  } else {
    target->pbFormat = nullptr;
    target->cbFormat = 0;
  }
  if (target->pUnk) target->pUnk->AddRef();
  return S_OK;
}

// Owns one media type record.
struct MediaType : AM_MEDIA_TYPE {
  MediaType() = default;
  MediaType(const AM_MEDIA_TYPE& other) : AM_MEDIA_TYPE() { CopyMediaType(this, &other); }
  MediaType(const MediaType& other) : AM_MEDIA_TYPE() { CopyMediaType(this, &other); }
  MediaType& operator=(const MediaType& other) {
    if (this != &other) {
      FreeMediaType(*this);
      CopyMediaType(this, &other);
    }
    return *this;
  }
  ~MediaType() { FreeMediaType(*this); }
  void SetFormat(const void* block, ULONG size) {
    if (pbFormat) CoTaskMemFree(pbFormat);
    pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(size));
    std::memcpy(pbFormat, block, size);
    cbFormat = size;
  }
  const VIDEOINFOHEADER* VideoInfo() const {
    return formattype == FORMAT_VideoInfo && cbFormat >= sizeof(VIDEOINFOHEADER) && pbFormat
               ? reinterpret_cast<const VIDEOINFOHEADER*>(pbFormat)
               : nullptr;
  }
  const WAVEFORMATEX* WaveFormat() const {
    return formattype == FORMAT_WaveFormatEx && cbFormat >= sizeof(WAVEFORMATEX) && pbFormat
               ? reinterpret_cast<const WAVEFORMATEX*>(pbFormat)
               : nullptr;
  }
};

// Whether `offered` satisfies `wanted`, where null GUIDs in `wanted` match anything.
inline bool MatchesPartial(const AM_MEDIA_TYPE& wanted, const AM_MEDIA_TYPE& offered) {
  if (wanted.majortype != GUID_NULL && wanted.majortype != offered.majortype) return false;
  if (wanted.subtype != GUID_NULL && wanted.subtype != offered.subtype) return false;
  if (wanted.formattype != GUID_NULL && wanted.formattype != offered.formattype) return false;
  return true;
}

// Uncompressed video at 24 or 32 bits, bottom-up as device-independent bitmaps are.
MediaType RgbVideoType(int width, int height, int bitsPerPixel, double framesPerSecond);
// Planar 4:2:0 at the source's own size; offered after the RGB types, for filters that
// want the decoder's pictures without a round trip through RGB.
MediaType I420VideoType(int width, int height, double framesPerSecond);
// Bytes of one I420 picture.
inline std::size_t I420Size(int width, int height) {
  return std::size_t(width) * std::size_t(height) + 2 * std::size_t((width + 1) / 2) * std::size_t((height + 1) / 2);
}
// Interleaved 16-bit PCM.
MediaType PcmAudioType(int sampleRate, int channels);

}  // namespace vantrel::media
