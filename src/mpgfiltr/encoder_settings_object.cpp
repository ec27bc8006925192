// SPDX-License-Identifier: GPL-3.0-or-later
#include "mpgfiltr/encoder_settings_object.h"

#include <cmath>

#include "convert/encoder_settings.h"
#include "platform/registry/registry.h"

namespace vantrel::mpgfiltr {

using namespace com;

ModuleLockCount& ModuleLocks() {
  static ModuleLockCount locks;
  return locks;
}

SettingsObject::SettingsObject(const EncoderPreset& preset) : preset_(preset) { ModuleLocks().Lock(); }
SettingsObject::~SettingsObject() { ModuleLocks().Unlock(); }

EncoderPreset SettingsObject::Preset() const {
  std::lock_guard lock(lock_);
  return preset_;
}

HRESULT SettingsObject::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IEncoderSettings) return Hand<IEncoderSettings>(this, object);
  return E_NOINTERFACE;
}

HRESULT SettingsObject::Set(int slot, double value) {
  std::lock_guard lock(lock_);
  return SetEncoderSetting(preset_, slot, value) ? S_OK : E_INVALIDARG;
}

HRESULT SettingsObject::GetLong(int slot, LONG* value) {
  if (!value) return E_POINTER;
  std::lock_guard lock(lock_);
  double v = 0;
  GetEncoderSetting(preset_, slot, v);
  *value = LONG(std::lround(v));
  return S_OK;
}

HRESULT SettingsObject::GetByte(int slot, BYTE* value) {
  if (!value) return E_POINTER;
  std::lock_guard lock(lock_);
  double v = 0;
  GetEncoderSetting(preset_, slot, v);
  *value = v != 0 ? 1 : 0;
  return S_OK;
}

HRESULT SettingsObject::GetFrameRate(double* value) {
  if (!value) return E_POINTER;
  std::lock_guard lock(lock_);
  *value = 0;
  GetEncoderSetting(preset_, 10, *value);
  return S_OK;
}

namespace {

using registry::Root;

// Value names and the preset fields they hold; numbers are stored as they are (bits/s,
// pixels), booleans as 0 or 1.
struct Field {
  const char* name;
  int EncoderPreset::*member;
};
constexpr Field kFields[] = {
    {"Width", &EncoderPreset::width},
    {"Height", &EncoderPreset::height},
    {"VideoBitRate", &EncoderPreset::videoBitRate},
    {"MaxVideoBitRate", &EncoderPreset::maxVideoBitRate},
    {"Quality", &EncoderPreset::quality},
    {"GopSize", &EncoderPreset::gopSize},
    {"ReferenceDistance", &EncoderPreset::referenceDistance},
    {"AudioBitRate", &EncoderPreset::audioBitRate},
    {"AudioSampleRate", &EncoderPreset::audioSampleRate},
    {"AudioChannels", &EncoderPreset::audioChannels},
};
constexpr const char* kRateNumerator = "FrameRateNum";
constexpr const char* kRateDenominator = "FrameRateDen";

}  // namespace

bool SaveSettings(const std::string& key, const EncoderPreset& p) {
  if (key.empty()) return false;
  bool ok = registry::CreateKey(Root::CurrentUser, key);
  auto put = [&](const char* name, long value) {
    ok = ok && registry::SetDword(Root::CurrentUser, key, name, std::uint32_t(value));
  };
  put("FormatFamily", long(p.family));
  put("TvStandard", long(p.tv));
  for (const Field& f : kFields) put(f.name, p.*f.member);
  put(kRateNumerator, p.frameRate.num);
  put(kRateDenominator, p.frameRate.den);
  put("AutoDimensions", p.autoDimensions);
  put("AutoBitRate", p.autoBitRate);
  put("VariableBitRate", p.variableBitRate);
  put("AudioEncoding", long(p.audio));
  return ok;
}

bool LoadSettings(const std::string& key, EncoderPreset& preset) {
  if (key.empty() || !registry::KeyExists(Root::CurrentUser, key)) return false;
  auto get = [&](const char* name) { return registry::GetDword(Root::CurrentUser, key, name); };
  auto family = get("FormatFamily");
  auto tv = get("TvStandard");
  if (!family || !tv || !IsKnownFormatFamily(int(*family)) || !IsKnownTvStandard(int(*tv))) return false;
  EncoderPreset p = PresetFor(FormatFamily(*family), TvStandard(*tv));
  for (const Field& f : kFields)
    if (auto v = get(f.name)) p.*f.member = int(std::int32_t(*v));
  auto num = get(kRateNumerator), den = get(kRateDenominator);
  if (num && den) p.frameRate = FrameRate{int(*num), int(*den)};
  if (auto v = get("AutoDimensions")) p.autoDimensions = *v != 0;
  if (auto v = get("AutoBitRate")) p.autoBitRate = *v != 0;
  if (auto v = get("VariableBitRate")) p.variableBitRate = *v != 0;
  if (auto v = get("AudioEncoding"); v && (*v == 1 || *v == 2)) p.audio = AudioCodec(*v);
  preset = p;
  return true;
}

}  // namespace vantrel::mpgfiltr
