// SPDX-License-Identifier: GPL-3.0-or-later
// The component's one object: IEncorvaObj for callers bound early or late, the event
// source with its connection points, and the engine's callback into it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "encorva/conversion_engine.h"
#include "encorva/encorva_interfaces.h"
#include "platform/com/connection_point.h"
#include "platform/com/object.h"

namespace vantrel::encorva {

class OleControl;

class CEncorvaControl : public Object<IEncorvaObj, IConnectionPointContainer, IConversionEvents> {
 public:
  explicit CEncorvaControl(ModuleLockCount* locks);
  ~CEncorvaControl() override;

  HRESULT QueryInterface(REFIID iid, void** object) override;

  // IDispatch
  HRESULT GetTypeInfoCount(UINT* count) override;
  HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  HRESULT Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

  // IEncorvaObj
  HRESULT get_OutputAudioBitrate(LONG* pVal) override;
  HRESULT put_OutputAudioBitrate(LONG newVal) override;
  HRESULT get_DeleteTemporaryFiles(VARIANT_BOOL* pVal) override;
  HRESULT put_DeleteTemporaryFiles(VARIANT_BOOL newVal) override;
  HRESULT get_Duration(double* pVal) override;
  HRESULT get_DXVersion(LONG* pVal) override;
  HRESULT get_EncodeFramerate(LONG* pVal) override;
  HRESULT GetFileInfo(BSTR Filename, double* Framerate, double* Duration,
                      VARIANT_BOOL* VideoStreamAvailable, VARIANT_BOOL* AudioStreamAvailable,
                      LONG* Width, LONG* Height, LONG* Bitrate, BSTR* PosterFramePath) override;
  HRESULT put_ReservedText(BSTR newVal) override;
  HRESULT LoadSettings(BSTR RegistryKey) override;
  HRESULT get_OutputAudioFormat(EnumMPEGAudioFormat* pVal) override;
  HRESULT put_OutputAudioFormat(EnumMPEGAudioFormat newVal) override;
  HRESULT get_OutputFile(BSTR* pVal) override;
  HRESULT put_OutputFile(BSTR newVal) override;
  HRESULT get_OutputFramerate(double* pVal) override;
  HRESULT put_OutputFramerate(double newVal) override;
  HRESULT get_OutputHeight(LONG* pVal) override;
  HRESULT put_OutputHeight(LONG newVal) override;
  HRESULT get_OutputQuality(LONG* pVal) override;
  HRESULT put_OutputQuality(LONG newVal) override;
  HRESULT get_OutputVideoFormat(EnumMPEGVideoFormat* pVal) override;
  HRESULT put_OutputVideoFormat(EnumMPEGVideoFormat newVal) override;
  HRESULT get_OutputWidth(LONG* pVal) override;
  HRESULT put_OutputWidth(LONG newVal) override;
  HRESULT get_PerformMultiplex(VARIANT_BOOL* pVal) override;
  HRESULT put_PerformMultiplex(VARIANT_BOOL newVal) override;
  HRESULT get_Progress(double* pVal) override;
  HRESULT get_QuickEncode(VARIANT_BOOL* pVal) override;
  HRESULT put_QuickEncode(VARIANT_BOOL newVal) override;
  HRESULT SaveSettings(BSTR RegistryKey) override;
  HRESULT get_SourceFile(BSTR* pVal) override;
  HRESULT put_SourceFile(BSTR newVal) override;
  HRESULT StartConversion(VARIANT_BOOL* Result) override;
  HRESULT get_StartTime(double* pVal) override;
  HRESULT put_StartTime(double newVal) override;
  HRESULT get_StopTime(double* pVal) override;
  HRESULT put_StopTime(double newVal) override;
  HRESULT StopConversion() override;
  HRESULT get_TimeElapsed(double* pVal) override;
  HRESULT get_OutputVBRVideo(VARIANT_BOOL* pVal) override;
  HRESULT put_OutputVBRVideo(VARIANT_BOOL newVal) override;
  HRESULT get_OutputVideoBitrate(LONG* pVal) override;
  HRESULT put_OutputVideoBitrate(LONG newVal) override;
  HRESULT get_WrittenBytes(LONG* pVal) override;
  HRESULT get_VideoEncoder(BSTR* pVal) override;
  HRESULT put_VideoEncoder(BSTR newVal) override;
  HRESULT get_VideoEncoderKey(BSTR* pVal) override;
  HRESULT put_VideoEncoderKey(BSTR newVal) override;
  HRESULT CreateStill(BSTR LowResPath, BSTR HighResPath, BSTR OutputPath,
                      EnumMPEGVideoFormat format) override;
  HRESULT get_OutputAudioSampleRate(LONG* pVal) override;
  HRESULT put_OutputAudioSampleRate(LONG newVal) override;
  HRESULT get_Pause(VARIANT_BOOL* pVal) override;
  HRESULT put_Pause(VARIANT_BOOL newVal) override;
  HRESULT get_CurrentStatus(BSTR* pVal) override;
  HRESULT get_AutoBitrate(VARIANT_BOOL* pVal) override;
  HRESULT put_AutoBitrate(VARIANT_BOOL newVal) override;
  HRESULT get_AutoDimensions(VARIANT_BOOL* pVal) override;
  HRESULT put_AutoDimensions(VARIANT_BOOL newVal) override;

  // IConnectionPointContainer
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  // IConversionEvents
  void OnStopped() override;
  void OnError(HRESULT code, const char* message) override;
  void OnStatusText(const char* text) override;
  void OnAboutToRun() override;
  void OnConnecting() override;
  void OnConnected() override;

 private:
  // Calls every sink of the event interface in connection order; `args` in natural order.
  void Fire(DISPID id, std::vector<VARIANT> args);
  void FireStatus(EnumStatus status, const char* text);

  ModuleLockCount* locks_;
  ConnectionPoint* events_;
  ConnectionPoint* propertyNotify_;
  std::unique_ptr<ConversionEngine> engine_;
  std::string currentStatus_;
  std::unique_ptr<OleControl> ole_;  // the container-facing interfaces, and the extent
};

// What the class factory makes.
HRESULT CreateEncorvaControl(REFIID iid, void** object, ModuleLockCount* locks);

}  // namespace vantrel::encorva
