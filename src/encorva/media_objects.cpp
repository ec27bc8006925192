// SPDX-License-Identifier: GPL-3.0-or-later
#include "encorva/media_objects.h"

#include "platform/com/runtime.h"
#include "platform/media/filters.h"
#include "platform/media/timeline.h"

namespace vantrel::encorva {

com::HRESULT CreateMediaObject(com::REFCLSID clsid, com::REFIID iid, void** object) {
  using namespace media;
  if (clsid == CLSID_FilterGraph) return CreateFilterGraph(iid, object);
  if (clsid == CLSID_CaptureGraphBuilder2) return CreateCaptureGraphBuilder(iid, object);
  if (clsid == CLSID_MediaDet) return CreateMediaDet(iid, object);
  if (clsid == CLSID_AMTimeline) return CreateTimeline(iid, object);
  if (clsid == CLSID_RenderEngine) return CreateRenderEngine(iid, object);
  return com::CoCreateInstance(clsid, nullptr, com::CLSCTX_INPROC_SERVER, iid, object);
}

}  // namespace vantrel::encorva
