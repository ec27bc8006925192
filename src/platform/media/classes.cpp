// SPDX-License-Identifier: GPL-3.0-or-later
// Puts the media layer's objects into the runtime's table of built-in classes when the
// program starts (the library is linked whole so this runs).
#include "platform/com/runtime.h"
#include "platform/media/filters.h"
#include "platform/media/timeline.h"

namespace vantrel::media {
namespace {

struct Registrar {
  Registrar() {
    RegisterBuiltinClass(CLSID_FilterGraph, &CreateFilterGraph);
    RegisterBuiltinClass(CLSID_CaptureGraphBuilder2, &CreateCaptureGraphBuilder);
    RegisterBuiltinClass(CLSID_AsyncReader, &CreateAsyncReader);
    RegisterBuiltinClass(CLSID_DecodingSource, &CreateDecodingSource);
    RegisterBuiltinClass(CLSID_SampleGrabber, &CreateSampleGrabber);
    RegisterBuiltinClass(CLSID_NullRenderer, &CreateNullRenderer);
    RegisterBuiltinClass(CLSID_MediaDet, &CreateMediaDet);
    RegisterBuiltinClass(CLSID_AMTimeline, &CreateTimeline);
    RegisterBuiltinClass(CLSID_RenderEngine, &CreateRenderEngine);
  }
} gRegistrar;

}  // namespace
}  // namespace vantrel::media
