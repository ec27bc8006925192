// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/media_probe.h"

#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/media/interfaces.h"

namespace vantrel {

using namespace com;

int HasVideoStream(const std::string& path) {
  ComPtr<media::IMediaDet> detector;
  HRESULT hr = CoCreateInstance(media::CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER,
                                media::IID_IMediaDet, detector.PutVoid());
  if (FAILED(hr)) return hr;
  Bstr name(path);
  hr = detector->put_Filename(name.Get());
  if (FAILED(hr)) return hr;
  LONG streams = 0;
  detector->get_OutputStreams(&streams);
  bool video = false;
  for (LONG i = 0; i < streams; ++i) {
    GUID type = GUID_NULL;
    detector->put_CurrentStream(i);
    detector->get_StreamType(&type);
    if (type == media::MEDIATYPE_Video) video = true;
  }
  return video ? 1 : 0;
}

void ProbeTitleFacts(CVideoEdit& control, TitleRecord& record) {
  const std::string& path = record.SourcePath;
  record.Duration = control.QueryDuration(path);
  record.FrameRate = float(control.QueryFrameRate(path));
  record.FrameRateText = FrameRateText(record.FrameRate);
  short height = control.QueryFrameHeight(path);
  short width = control.QueryFrameWidth(path);
  record.ResolutionText = ResolutionText(width, height);
}

}  // namespace vantrel
