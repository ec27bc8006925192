#include "encorva/conversion_engine.h"

#include <ctime>

#include "platform/com/runtime.h"

namespace vantrel::encorva {

namespace {
constexpr LONG kPal = 3;  // the encoder's code for PAL is 3, not 2
}

void FormatCodesOf(LONG format, LONG& family, LONG& tvStandard) {
  switch (format) {
    case formatMPEG1_Standard: family = 1; tvStandard = 0; break;
    case formatMPEG1_VCD_NTSC: family = 3; tvStandard = 1; break;
    case formatMPEG1_VCD_PAL: family = 3; tvStandard = kPal; break;
    case formatMPEG2_Standard: family = 2; tvStandard = 0; break;
    case formatMPEG2_SVCD_NTSC: family = 4; tvStandard = 1; break;
    case formatMPEG2_SVCD_PAL: family = 4; tvStandard = kPal; break;
    case formatMPEG2_DVD_NTSC: family = 5; tvStandard = 1; break;
    case formatMPEG2_DVD_PAL: family = 5; tvStandard = kPal; break;
    default: family = format; tvStandard = format; break;  // passed on as it came
  }
}

bool VideoFormatOf(LONG family, LONG tvStandard, LONG& format) {
  const bool pal = tvStandard == kPal;
  switch (family) {
    case 1: format = formatMPEG1_Standard; return true;
    case 2: format = formatMPEG2_Standard; return true;
    case 3: format = pal ? formatMPEG1_VCD_PAL : formatMPEG1_VCD_NTSC; return true;
    case 4: format = pal ? formatMPEG2_SVCD_PAL : formatMPEG2_SVCD_NTSC; return true;
    case 5: format = pal ? formatMPEG2_DVD_PAL : formatMPEG2_DVD_NTSC; return true;
    default: return false;
  }
}

bool AudioFormatOf(LONG audioCode, LONG& format) {
  switch (audioCode) {
    case 1: case 2: format = formatMPEG1_LAYER2; return true;
    case 3: format = formatDOLBY_AC3; return true;
    case 4: format = formatUNCOMPRESSED_PCM; return true;
    default: return false;
  }
}

ConversionEngine::ConversionEngine(IConversionEvents* events) : events_(events) {
  CoInitialize();
  // Without an encoder the engine still works as a property store; starts then fail.
  if (FAILED(CoCreateInstance(CLSID_MpegEncoderFilter, nullptr, CLSCTX_INPROC_SERVER,
                              IID_IUnknown, encoder_.PutVoid())))
    return;
  if (SUCCEEDED(encoder_.As(IID_IEncoderControl, control_))) control_->GetSettings(settings_.Put());
  encoder_.As(IID_IEncoderStatistics, statistics_);
}

ConversionEngine::~ConversionEngine() {
  settings_.Reset();
  statistics_.Reset();
  control_.Reset();
  encoder_.Reset();
  CoUninitialize();
}

void ConversionEngine::SelectFormat(LONG family, LONG tvStandard) {
  formatFamily_ = family;
  tvStandard_ = tvStandard;
  if (!control_) return;
  control_->SetFormat(family, tvStandard);
  ComPtr<IEncoderSettings> fresh;
  control_->GetSettings(fresh.Put());
  settings_ = fresh;
}

HRESULT ConversionEngine::Start() {
  Teardown();
  return E_NOTIMPL;  // the graph of a run is the next step of this engine
}

void ConversionEngine::Teardown() {
  if (!runStarted_) return;
  runStarted_ = false;
  events_->OnStopped();
}

double ConversionEngine::ElapsedSeconds() const {
  if (startSecond_ == 0) return 0.0;
  return double(std::time(nullptr) - startSecond_);
}

}  // namespace vantrel::encorva
