// SPDX-License-Identifier: GPL-3.0-or-later
// The conversion component's face for callers compiled against it: identities, the
// enumerations and IEncorvaObj in its fixed slot order (slots 7 to 64 after IUnknown and
// IDispatch). Late-binding clients need none of this; they go through IDispatch by name.
#pragma once

#include "platform/com/variant.h"

namespace vantrel::encorva {

using namespace com;

inline constexpr CLSID CLSID_Encorva = MakeGuid("D81ADC49-B724-468C-89FC-D39AEB8A9956");
inline constexpr IID IID_IEncorvaObj = MakeGuid("21134ED4-6B69-4489-9BFC-EA3A6B74DE59");
inline constexpr IID DIID__IEncorvaObjEvents = MakeGuid("805AC357-5C93-4CE3-BB24-3BF6CFA2D661");
inline constexpr GUID LIBID_ENCORVALib = MakeGuid("E9675192-C4A5-4E9B-B70E-94258AB57B7E");
// Ours: the engine's way back into the control. Queryable so that a second engine (and a
// test standing in for one) reaches the control the same way.
inline constexpr IID IID_IConversionEvents = MakeGuid("7C3A61E2-4B0D-4E5A-9A73-1F2D8B6C0E41");
inline constexpr const char* kProgId = "Encorva.EncorvaObj";
inline constexpr const char* kVersionedProgId = "Encorva.EncorvaObj.1";

enum EnumMPEGVideoFormat : LONG {
  formatMPEG1_Standard = 0,
  formatMPEG1_VCD_NTSC = 1,
  formatMPEG1_VCD_PAL = 2,
  formatMPEG2_Standard = 3,
  formatMPEG2_SVCD_NTSC = 4,
  formatMPEG2_SVCD_PAL = 5,
  formatMPEG2_DVD_NTSC = 6,
  formatMPEG2_DVD_PAL = 7,
  formatMPEG4_Standard = 8,
};

enum EnumMPEGAudioFormat : LONG {
  formatMPEG1_LAYER2 = 0,
  formatDOLBY_AC3 = 1,
  formatUNCOMPRESSED_PCM = 2,
  formatMPEG1_LAYER3 = 3,
};

// Clients switch on every value, also those the component never raises.
enum EnumStatus : LONG {
  statusUnknown = 0,
  statusStopped = 1,
  statusBuildingGraph = 2,
  statusAnalysingVideo = 3,
  statusAnalysingAudio = 4,
  statusInterleaving = 5,
  statusError = 6,
  statusConverting = 7,
  statusConnecting = 8,
  statusConnected = 9,
};

class IEncorvaObj : public IDispatch {
 public:
  virtual HRESULT get_OutputAudioBitrate(LONG* pVal) = 0;                       // 7
  virtual HRESULT put_OutputAudioBitrate(LONG newVal) = 0;                      // 8
  virtual HRESULT get_DeleteTemporaryFiles(VARIANT_BOOL* pVal) = 0;             // 9
  virtual HRESULT put_DeleteTemporaryFiles(VARIANT_BOOL newVal) = 0;            // 10
  virtual HRESULT get_Duration(double* pVal) = 0;                               // 11
  virtual HRESULT get_DXVersion(LONG* pVal) = 0;                                // 12
  virtual HRESULT get_EncodeFramerate(LONG* pVal) = 0;                          // 13
  virtual HRESULT GetFileInfo(BSTR Filename, double* Framerate, double* Duration,
                              VARIANT_BOOL* VideoStreamAvailable,
                              VARIANT_BOOL* AudioStreamAvailable, LONG* Width, LONG* Height,
                              LONG* Bitrate, BSTR* PosterFramePath) = 0;        // 14
  virtual HRESULT put_ReservedText(BSTR newVal) = 0;                            // 15
  virtual HRESULT LoadSettings(BSTR RegistryKey) = 0;                           // 16
  virtual HRESULT get_OutputAudioFormat(EnumMPEGAudioFormat* pVal) = 0;         // 17
  virtual HRESULT put_OutputAudioFormat(EnumMPEGAudioFormat newVal) = 0;        // 18
  virtual HRESULT get_OutputFile(BSTR* pVal) = 0;                               // 19
  virtual HRESULT put_OutputFile(BSTR newVal) = 0;                              // 20
  virtual HRESULT get_OutputFramerate(double* pVal) = 0;                        // 21
  virtual HRESULT put_OutputFramerate(double newVal) = 0;                       // 22
  virtual HRESULT get_OutputHeight(LONG* pVal) = 0;                             // 23
  virtual HRESULT put_OutputHeight(LONG newVal) = 0;                            // 24
  virtual HRESULT get_OutputQuality(LONG* pVal) = 0;                            // 25
  virtual HRESULT put_OutputQuality(LONG newVal) = 0;                           // 26
  virtual HRESULT get_OutputVideoFormat(EnumMPEGVideoFormat* pVal) = 0;         // 27
  virtual HRESULT put_OutputVideoFormat(EnumMPEGVideoFormat newVal) = 0;        // 28
  virtual HRESULT get_OutputWidth(LONG* pVal) = 0;                              // 29
  virtual HRESULT put_OutputWidth(LONG newVal) = 0;                             // 30
  virtual HRESULT get_PerformMultiplex(VARIANT_BOOL* pVal) = 0;                 // 31
  virtual HRESULT put_PerformMultiplex(VARIANT_BOOL newVal) = 0;                // 32
  virtual HRESULT get_Progress(double* pVal) = 0;                               // 33
  virtual HRESULT get_QuickEncode(VARIANT_BOOL* pVal) = 0;                      // 34
  virtual HRESULT put_QuickEncode(VARIANT_BOOL newVal) = 0;                     // 35
  virtual HRESULT SaveSettings(BSTR RegistryKey) = 0;                           // 36
  virtual HRESULT get_SourceFile(BSTR* pVal) = 0;                               // 37
  virtual HRESULT put_SourceFile(BSTR newVal) = 0;                              // 38
  virtual HRESULT StartConversion(VARIANT_BOOL* Result) = 0;                    // 39
  virtual HRESULT get_StartTime(double* pVal) = 0;                              // 40
  virtual HRESULT put_StartTime(double newVal) = 0;                             // 41
  virtual HRESULT get_StopTime(double* pVal) = 0;                               // 42
  virtual HRESULT put_StopTime(double newVal) = 0;                              // 43
  virtual HRESULT StopConversion() = 0;                                         // 44
  virtual HRESULT get_TimeElapsed(double* pVal) = 0;                            // 45
  virtual HRESULT get_OutputVBRVideo(VARIANT_BOOL* pVal) = 0;                   // 46
  virtual HRESULT put_OutputVBRVideo(VARIANT_BOOL newVal) = 0;                  // 47
  virtual HRESULT get_OutputVideoBitrate(LONG* pVal) = 0;                       // 48
  virtual HRESULT put_OutputVideoBitrate(LONG newVal) = 0;                      // 49
  virtual HRESULT get_WrittenBytes(LONG* pVal) = 0;                             // 50
  virtual HRESULT get_VideoEncoder(BSTR* pVal) = 0;                             // 51
  virtual HRESULT put_VideoEncoder(BSTR newVal) = 0;                            // 52
  virtual HRESULT get_VideoEncoderKey(BSTR* pVal) = 0;                          // 53
  virtual HRESULT put_VideoEncoderKey(BSTR newVal) = 0;                         // 54
  virtual HRESULT CreateStill(BSTR LowResPath, BSTR HighResPath, BSTR OutputPath,
                              EnumMPEGVideoFormat format) = 0;                  // 55
  virtual HRESULT get_OutputAudioSampleRate(LONG* pVal) = 0;                    // 56
  virtual HRESULT put_OutputAudioSampleRate(LONG newVal) = 0;                   // 57
  virtual HRESULT get_Pause(VARIANT_BOOL* pVal) = 0;                            // 58
  virtual HRESULT put_Pause(VARIANT_BOOL newVal) = 0;                           // 59
  virtual HRESULT get_CurrentStatus(BSTR* pVal) = 0;                            // 60
  virtual HRESULT get_AutoBitrate(VARIANT_BOOL* pVal) = 0;                      // 61
  virtual HRESULT put_AutoBitrate(VARIANT_BOOL newVal) = 0;                     // 62
  virtual HRESULT get_AutoDimensions(VARIANT_BOOL* pVal) = 0;                   // 63
  virtual HRESULT put_AutoDimensions(VARIANT_BOOL newVal) = 0;                  // 64
};

// From the engine to the control, in this order. Messages arrive as UTF-8.
class IConversionEvents : public IUnknown {
 public:
  virtual void OnStopped() = 0;                                   // 3
  virtual void OnError(HRESULT code, const char* message) = 0;    // 4
  virtual void OnStatusText(const char* text) = 0;                // 5
  virtual void OnAboutToRun() = 0;                                // 6
  virtual void OnConnecting() = 0;                                // 7
  virtual void OnConnected() = 0;                                 // 8
};

}  // namespace vantrel::encorva
