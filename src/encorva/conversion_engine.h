// What the control keeps of a conversion: names, times, the encoder's format codes and the
// encoder filter itself, created once per engine. The graph of a run is not built yet:
// without one, the run-time readings are 0 and teardown has nothing to stop.
#pragma once

#include <string>

#include "convert/encoder_interfaces.h"
#include "encorva/encorva_interfaces.h"

namespace vantrel::encorva {

class ConversionEngine {
 public:
  explicit ConversionEngine(IConversionEvents* events);
  ~ConversionEngine();
  ConversionEngine(const ConversionEngine&) = delete;
  ConversionEngine& operator=(const ConversionEngine&) = delete;

  // Stores the codes and re-selects the encoder's preset; the settings object changes with
  // it, so settings written before a format change went to the previous one.
  void SelectFormat(LONG family, LONG tvStandard);
  LONG FormatFamily() const { return formatFamily_; }
  LONG TvStandard() const { return tvStandard_; }
  LONG AudioCode() const { return audioCode_; }

  // Held only for the duration of one forwarded call; null without an encoder.
  ComPtr<IEncoderSettings> Settings() const { return settings_; }
  ComPtr<IEncoderControl> Control() const { return control_; }
  ComPtr<IEncoderStatistics> Statistics() const { return statistics_; }

  std::string source;
  std::string output;
  double startSeconds = 0;
  double stopSeconds = 0;  // 0: to the end

  HRESULT Start();
  void Teardown();
  bool IsPaused() const { return false; }
  void Pause() {}
  void Resume() {}
  double StreamDuration() const { return 0; }
  double StreamPosition() const { return 0; }
  double ElapsedSeconds() const;

 private:
  IConversionEvents* events_;  // the owning control; it outlives the engine
  ComPtr<IUnknown> encoder_;
  ComPtr<IEncoderControl> control_;
  ComPtr<IEncoderSettings> settings_;
  ComPtr<IEncoderStatistics> statistics_;
  LONG formatFamily_ = 0;
  LONG tvStandard_ = 0;
  LONG audioCode_ = 0;  // nothing sets it; the getter maps it back for clients
  long long startSecond_ = 0;
  bool runStarted_ = false;
};

// The format codes of a video format and back; nullopt-like `false` when a family has no
// format (the getter then leaves the caller's value as it is).
void FormatCodesOf(LONG format, LONG& family, LONG& tvStandard);
bool VideoFormatOf(LONG family, LONG tvStandard, LONG& format);
bool AudioFormatOf(LONG audioCode, LONG& format);

}  // namespace vantrel::encorva
