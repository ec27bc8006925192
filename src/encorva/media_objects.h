// SPDX-License-Identifier: GPL-3.0-or-later
// The media layer's objects as this module creates them. The module carries its own copy of
// the media layer, so it works in any host process, whether or not the host has the media
// layer's classes; other classes (the encoder filter) come from the registry.
#pragma once

#include "platform/com/unknown.h"

namespace vantrel::encorva {

com::HRESULT CreateMediaObject(com::REFCLSID clsid, com::REFIID iid, void** object);

}  // namespace vantrel::encorva
