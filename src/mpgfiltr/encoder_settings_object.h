// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder module's settings object: one preset behind the numbered settings slots,
// and its copy into and out of the registry.
#pragma once

#include <mutex>
#include <string>

#include "convert/encoder_interfaces.h"
#include "convert/encoder_preset.h"
#include "platform/com/object.h"

namespace vantrel::mpgfiltr {

class SettingsObject : public com::Object<IEncoderSettings> {
 public:
  explicit SettingsObject(const EncoderPreset& preset);
  ~SettingsObject() override;

  EncoderPreset Preset() const;

  HRESULT QueryInterface(com::REFIID iid, void** object) override;
  HRESULT Reserved3() override { return com::E_NOTIMPL; }
  HRESULT Reserved4() override { return com::E_NOTIMPL; }
  HRESULT Reserved5() override { return com::E_NOTIMPL; }
  HRESULT Reserved6() override { return com::E_NOTIMPL; }
  HRESULT GetHeight(LONG* v) override { return GetLong(7, v); }
  HRESULT SetHeight(LONG v) override { return Set(8, v); }
  HRESULT SetFrameRate(double v) override { return Set(9, v); }
  HRESULT GetFrameRate(double* v) override;
  HRESULT SetWidth(LONG v) override { return Set(11, v); }
  HRESULT GetWidth(LONG* v) override { return GetLong(12, v); }
  HRESULT SetVideoBitRate(LONG v) override { return Set(13, v); }
  HRESULT GetVideoBitRate(LONG* v) override { return GetLong(14, v); }
  HRESULT SetAutoBitRate(BYTE v) override { return Set(15, v); }
  HRESULT GetAutoBitRate(BYTE* v) override { return GetByte(16, v); }
  HRESULT SetAutoDimensions(BYTE v) override { return Set(17, v); }
  HRESULT GetAutoDimensions(BYTE* v) override { return GetByte(18, v); }
  HRESULT Reserved19() override { return com::E_NOTIMPL; }
  HRESULT Reserved20() override { return com::E_NOTIMPL; }
  HRESULT Reserved21() override { return com::E_NOTIMPL; }
  HRESULT Reserved22() override { return com::E_NOTIMPL; }
  HRESULT SetAudioBitRate(LONG v) override { return Set(23, v); }
  HRESULT GetAudioBitRate(LONG* v) override { return GetLong(24, v); }
  HRESULT SetQuality(LONG v) override { return Set(25, v); }
  HRESULT GetQuality(LONG* v) override { return GetLong(26, v); }
  HRESULT SetBitRateMode(LONG v) override { return Set(27, v); }
  HRESULT GetBitRateMode(LONG* v) override { return GetLong(28, v); }
  HRESULT SetDisplayShape(LONG v) override { return Set(29, v); }
  HRESULT GetDisplayShape(LONG* v) override { return GetLong(30, v); }
  HRESULT SetUniformSound(LONG v) override { return Set(31, v); }
  HRESULT Reserved32() override { return com::E_NOTIMPL; }
  HRESULT Reserved33() override { return com::E_NOTIMPL; }
  HRESULT Reserved34() override { return com::E_NOTIMPL; }
  HRESULT SetAudioSampleRate(LONG v) override { return Set(35, v); }
  HRESULT Reserved36() override { return com::E_NOTIMPL; }
  HRESULT Reserved37() override { return com::E_NOTIMPL; }
  HRESULT Reserved38() override { return com::E_NOTIMPL; }
  HRESULT Reserved39() override { return com::E_NOTIMPL; }
  HRESULT Reserved40() override { return com::E_NOTIMPL; }
  HRESULT Reserved41() override { return com::E_NOTIMPL; }
  HRESULT SetReferenceDistance(LONG v) override { return Set(42, v); }
  HRESULT Reserved43() override { return com::E_NOTIMPL; }
  HRESULT SetAudioEncoding(LONG v) override { return Set(44, v); }

 private:
  HRESULT Set(int slot, double value);
  HRESULT GetLong(int slot, LONG* value);
  HRESULT GetByte(int slot, BYTE* value);

  mutable std::mutex lock_;
  EncoderPreset preset_;
};

// HKEY_CURRENT_USER\<key>: the preset's fields as numbers. False when the key is empty or
// the registry cannot be written; Load also when the key holds no saved settings (the
// preset is then left as it was).
bool SaveSettings(const std::string& key, const EncoderPreset& preset);
bool LoadSettings(const std::string& key, EncoderPreset& preset);

// Counts the module's live objects for DllCanUnloadNow.
com::ModuleLockCount& ModuleLocks();

}  // namespace vantrel::mpgfiltr
