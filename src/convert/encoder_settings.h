// SPDX-License-Identifier: GPL-3.0-or-later
// The encoder's settings object, operation by operation: each numbered operation reads or
// changes one field of the preset it stands for. The numbers are the operations' slots in
// the settings interface of the encoder module and must not change.
#pragma once

#include "convert/encoder_preset.h"

namespace vantrel {

// Getters fill `value`; long and one-byte boolean settings come back as whole numbers.
// False for a slot that is not a getter.
bool GetEncoderSetting(const EncoderPreset& preset, int slot, double& value);

// False for a slot that is not a setter, or a value the setting cannot take (a size or
// rate of 0 or less, a sample rate MPEG audio cannot carry); the preset is then unchanged.
bool SetEncoderSetting(EncoderPreset& preset, int slot, double value);

}  // namespace vantrel
