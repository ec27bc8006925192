// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in filters and objects of the media layer, created by class id through the
// component runtime (classes.cpp registers them).
#pragma once

#include "platform/media/interfaces.h"

namespace vantrel::media {

HRESULT CreateFilterGraph(REFIID iid, void** object);
HRESULT CreateCaptureGraphBuilder(REFIID iid, void** object);
HRESULT CreateAsyncReader(REFIID iid, void** object);
HRESULT CreateDecodingSource(REFIID iid, void** object);
HRESULT CreateSampleGrabber(REFIID iid, void** object);
HRESULT CreateNullRenderer(REFIID iid, void** object);
HRESULT CreateMediaDet(REFIID iid, void** object);
HRESULT CreateTimeline(REFIID iid, void** object);
HRESULT CreateRenderEngine(REFIID iid, void** object);

}  // namespace vantrel::media
