// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder module's face: its class id and the interfaces beyond the filter's own
// (IBaseFilter, IFileSinkFilter, IMediaSeeking). Slots are fixed by position; the comments
// give each slot's number. Slots without a name exist for the callers' layout and answer
// E_NOTIMPL.
#pragma once

#include "platform/com/unknown.h"

namespace vantrel {

inline constexpr com::CLSID CLSID_MpegEncoderFilter = com::MakeGuid("3690DD35-542A-482A-A21C-63142EF9BC6F");
inline constexpr com::IID IID_IEncoderControl = com::MakeGuid("91D3D934-6DEE-42C5-A687-6F81E1162559");
inline constexpr com::IID IID_IEncoderStatistics = com::MakeGuid("C9510218-F457-4D51-8389-7386E6EDD0EF");
inline constexpr com::IID IID_IEncoderSettings = com::MakeGuid("5B7E1C20-93A4-4F6B-9E0D-2C41A8F3D6B1");
// Ours: why the last run of the filter failed, in words.
inline constexpr com::IID IID_IEncoderDiagnostics = com::MakeGuid("5B7E1C21-93A4-4F6B-9E0D-2C41A8F3D6B1");
inline constexpr const char* kMpegEncoderModule = "mpgfiltr.so";

using com::BSTR;
using com::BYTE;
using com::HRESULT;
using com::LONG;

class IEncoderSettings : public com::IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;                          // 3
  virtual HRESULT Reserved4() = 0;                          // 4
  virtual HRESULT Reserved5() = 0;                          // 5
  virtual HRESULT Reserved6() = 0;                          // 6
  virtual HRESULT GetHeight(LONG* height) = 0;              // 7
  virtual HRESULT SetHeight(LONG height) = 0;               // 8
  virtual HRESULT SetFrameRate(double rate) = 0;            // 9
  virtual HRESULT GetFrameRate(double* rate) = 0;           // 10
  virtual HRESULT SetWidth(LONG width) = 0;                 // 11
  virtual HRESULT GetWidth(LONG* width) = 0;                // 12
  virtual HRESULT SetVideoBitRate(LONG bitsPerSecond) = 0;  // 13
  virtual HRESULT GetVideoBitRate(LONG* bitsPerSecond) = 0; // 14
  virtual HRESULT SetAutoBitRate(BYTE on) = 0;              // 15
  virtual HRESULT GetAutoBitRate(BYTE* on) = 0;             // 16
  virtual HRESULT SetAutoDimensions(BYTE on) = 0;           // 17
  virtual HRESULT GetAutoDimensions(BYTE* on) = 0;          // 18
  virtual HRESULT Reserved19() = 0;                         // 19
  virtual HRESULT Reserved20() = 0;                         // 20
  virtual HRESULT Reserved21() = 0;                         // 21
  virtual HRESULT Reserved22() = 0;                         // 22
  virtual HRESULT SetAudioBitRate(LONG bitsPerSecond) = 0;  // 23
  virtual HRESULT GetAudioBitRate(LONG* bitsPerSecond) = 0; // 24
  virtual HRESULT SetQuality(LONG quality) = 0;             // 25
  virtual HRESULT GetQuality(LONG* quality) = 0;            // 26
  virtual HRESULT SetBitRateMode(LONG mode) = 0;            // 27: 2 variable, 0 constant
  virtual HRESULT GetBitRateMode(LONG* mode) = 0;           // 28
  // Ours: the display shape of disc frames, 0 from the source, 2 4:3, 3 16:9.
  virtual HRESULT SetDisplayShape(LONG shape) = 0;          // 29
  virtual HRESULT GetDisplayShape(LONG* shape) = 0;         // 30
  // Ours: 1 keeps every output's sound in the chosen encoding, also when pictures are copied.
  virtual HRESULT SetUniformSound(LONG on) = 0;             // 31
  virtual HRESULT Reserved32() = 0;                         // 32
  virtual HRESULT Reserved33() = 0;                         // 33
  virtual HRESULT Reserved34() = 0;                         // 34
  virtual HRESULT SetAudioSampleRate(LONG samplesPerSecond) = 0;  // 35
  virtual HRESULT Reserved36() = 0;                         // 36
  virtual HRESULT Reserved37() = 0;                         // 37
  virtual HRESULT Reserved38() = 0;                         // 38
  virtual HRESULT Reserved39() = 0;                         // 39
  virtual HRESULT Reserved40() = 0;                         // 40
  virtual HRESULT Reserved41() = 0;                         // 41
  // Distance between reference pictures: 1 only I and P, 3 IBBP (what the program sets).
  virtual HRESULT SetReferenceDistance(LONG distance) = 0;  // 42
  virtual HRESULT Reserved43() = 0;                         // 43
  // Audio encoding: 1 MPEG-1 Layer II, 2 AC-3 (what the program sets).
  virtual HRESULT SetAudioEncoding(LONG encoding) = 0;      // 44
};

class IEncoderControl : public com::IUnknown {
 public:
  virtual HRESULT Reserved3() = 0;                                        // 3
  virtual HRESULT GetSettings(IEncoderSettings** settings) = 0;           // 4
  virtual HRESULT Reserved5() = 0;                                        // 5
  virtual HRESULT SetFormat(LONG formatFamily, LONG tvStandard) = 0;      // 6
  virtual HRESULT Reserved7() = 0;                                        // 7
  virtual HRESULT SaveSettings(BSTR registryKey) = 0;                     // 8
  virtual HRESULT LoadSettings(BSTR registryKey) = 0;                     // 9
  virtual HRESULT Reserved10() = 0;                                       // 10
  virtual HRESULT Reserved11() = 0;                                       // 11
  virtual HRESULT Reserved12() = 0;                                       // 12
  virtual HRESULT SuggestFrameRate(double sourceRate, double* rate) = 0;  // 13
};

class IEncoderStatistics : public com::IUnknown {
 public:
  virtual HRESULT GetFramesEncoded(LONG* frames) = 0;  // 3
};

class IEncoderDiagnostics : public com::IUnknown {
 public:
  virtual HRESULT GetErrorText(BSTR* text) = 0;  // 3: empty unless the last run failed
};

}  // namespace vantrel
