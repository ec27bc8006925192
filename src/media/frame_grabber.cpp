// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/log.h"
#include "media/frame_grabber.h"

#include <cmath>
#include <cstdio>
#include <mutex>
#include <new>
#include <thread>


#include "base/app_folder.h"
#include "media/bitmap_file.h"
#include "media/trace.h"
#include "platform/com/bstr.h"
#include "platform/com/runtime.h"
#include "platform/media/interfaces.h"
#include "platform/media/media_type.h"
#include "platform/window/window.h"

namespace vantrel {

using namespace com;
using namespace media;

std::atomic<unsigned char> ThumbnailGrabResult{0};

namespace {

// The grabber's trace lines are for developers: debug notes of the log.
void Trace(const std::string& line) { LogDebug(line); }


// The buffer callback of the one-shot graph: a static object with fixed reference counts.
class GrabberCallback : public ISampleGrabberCB {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_ISampleGrabberCB || iid == IID_IUnknown) {
      *object = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return 2; }
  ULONG Release() override { return 1; }
  HRESULT SampleCB(double, IMediaSample*) override { return 0; }

  HRESULT BufferCB(double time, BYTE* buffer, LONG length) override {
    std::string path = GrabberBitmapPath();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return 0;
    char line[64];
    std::snprintf(line, sizeof line, "Found a sample at time %ld ms\t[", long(std::trunc(time * 1000)));
    Trace(line + path + "]");
    BITMAPFILEHEADER header;
    header.bfSize = DWORD(length) + 54;
    header.bfOffBits = 54;
    BITMAPINFOHEADER info = InfoHeader(width, height, 24);
    bool ok = std::fwrite(&header, sizeof header, 1, file) == 1 &&
              std::fwrite(&info, sizeof info, 1, file) == 1 &&
              std::fwrite(buffer, 1, size_t(length), file) == size_t(length);
    ok = std::fclose(file) == 0 && ok;
    if (!ok) std::remove(path.c_str());
    written = ok;
    return 0;
  }

  LONG width = 0, height = 0;
  bool written = false;  // whether this grab produced the bitmap
};

GrabberCallback gGrabberCallback;

IPin* FirstPin(IBaseFilter* filter, PIN_DIRECTION direction) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(pins.Put()))) return nullptr;
  IPin* pin = nullptr;
  while (pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION d;
    if (SUCCEEDED(pin->QueryDirection(&d)) && d == direction) return pin;
    pin->Release();
  }
  return nullptr;
}

}  // namespace

int SampleGrabberGrab(const std::string& sourcePath, double time) {
  Trace("Grabbing bitmaps from " + sourcePath + ".");
  ComPtr<ISampleGrabber> grabber;
  if (FAILED(CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_ISampleGrabber,
                              grabber.PutVoid()))) {
    Trace("Could not create CLSID_SampleGrabber");
    return -1;
  }
  ComPtr<IBaseFilter> grabberFilter;
  grabber.As(IID_IBaseFilter, grabberFilter);
  ComPtr<IBaseFilter> source;
  if (FAILED(CoCreateInstance(CLSID_AsyncReader, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              source.PutVoid()))) {
    Trace("Could not create source filter");
    return -1;
  }
  ComPtr<IGraphBuilder> graph;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                              graph.PutVoid()))) {
    Trace("Could not not create the graph");
    return -1;
  }
  graph->AddFilter(source.Get(), u"Source");
  graph->AddFilter(grabberFilter.Get(), u"Grabber");
  ComPtr<IFileSourceFilter> loader;
  Bstr wide(sourcePath);
  if (FAILED(source.As(IID_IFileSourceFilter, loader)) || FAILED(loader->Load(wide.Get(), nullptr))) {
    Trace("Could not load the media file");
    return -1;
  }
  AM_MEDIA_TYPE wanted{};
  wanted.majortype = MEDIATYPE_Video;
  wanted.subtype = MEDIASUBTYPE_RGB24;
  grabber->SetMediaType(&wanted);
  auto sourceOut = ComPtr<IPin>::Attach(FirstPin(source.Get(), PINDIR_OUTPUT));
  auto grabberIn = ComPtr<IPin>::Attach(FirstPin(grabberFilter.Get(), PINDIR_INPUT));
  if (!sourceOut || !grabberIn || FAILED(graph->Connect(sourceOut.Get(), grabberIn.Get()))) {
    Trace("Could not connect source filter to grabber");
    return -1;
  }
  MediaType connected;
  grabber->GetConnectedMediaType(&connected);
  const VIDEOINFOHEADER* vih = connected.VideoInfo();
  gGrabberCallback.width = vih ? vih->bmiHeader.biWidth : 0;
  gGrabberCallback.height = vih ? vih->bmiHeader.biHeight : 0;
  auto grabberOut = ComPtr<IPin>::Attach(FirstPin(grabberFilter.Get(), PINDIR_OUTPUT));
  if (!grabberOut || FAILED(graph->Render(grabberOut.Get()))) {
    Trace("Could not render grabber output pin");
    return -1;
  }
  grabber->SetBufferSamples(FALSE);
  grabber->SetOneShot(TRUE);
  grabber->SetCallback(&gGrabberCallback, 1);
  ComPtr<IVideoWindow> window;
  if (SUCCEEDED(graph.As(IID_IVideoWindow, window))) window->put_AutoShow(0);
  ComPtr<IMediaSeeking> seeking;
  if (SUCCEEDED(graph.As(IID_IMediaSeeking, seeking))) {
    LONGLONG start = LONGLONG(time * 10000000);
    seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
  }
  // A bitmap left by an earlier grab must not pass for this one.
  std::remove(GrabberBitmapPath().c_str());
  gGrabberCallback.written = false;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  graph.As(IID_IMediaControl, control);
  graph.As(IID_IMediaEventEx, events);
  if (control && events && SUCCEEDED(control->Run())) {
    LONG code = 0;
    events->WaitForCompletion(INFINITE, &code);
    control->Stop();
  }
  Trace("Sample grabbing complete.");
  // Success means a frame reached the file, not merely that the graph ran.
  return gGrabberCallback.written ? 0 : -1;
}

HRESULT GetBitmap(const std::string& sourcePath, double time, std::unique_ptr<char[]>& buffer,
                  long& size) {
  TraceHook("GetBitmap", kTraceLogPath);
  ComPtr<IMediaDet> det;
  HRESULT hr = CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet, det.PutVoid());
  if (FAILED(hr)) {
    TraceHook("Fail: hr = pDet.CoCreateInstance(__uuidof(MediaDet));", kTraceLogPath);
    return hr;
  }
  Bstr name(sourcePath);
  hr = det->put_Filename(name.Get());
  if (FAILED(hr)) {
    TraceHook("Fail: hr = pDet->put_Filename(bstrFilename);", kTraceLogPath);
    return hr;
  }
  LONG streams = 0;
  hr = det->get_OutputStreams(&streams);
  if (FAILED(hr)) {
    TraceHook("Fail: hr = pDet->get_OutputStreams(&lStreams);", kTraceLogPath);
    return hr;
  }
  bool found = false;
  for (LONG i = 0; i < streams; ++i) {
    GUID type;
    if (FAILED(det->put_CurrentStream(i)) || FAILED(det->get_StreamType(&type))) break;
    if (type == MEDIATYPE_Video) {
      found = true;
      break;
    }
  }
  if (!found) {
    TraceHook("Fail: bFound", kTraceLogPath);
    return VFW_E_INVALIDMEDIATYPE;
  }
  MediaType mt;
  hr = det->get_StreamMediaType(&mt);
  if (FAILED(hr)) {
    TraceHook("Fail: hr = pDet->get_StreamMediaType(&mt);", kTraceLogPath);
    return hr;
  }
  LONG width, height;
  if (mt.formattype == FORMAT_VideoInfo && mt.cbFormat >= sizeof(VIDEOINFOHEADER)) {
    width = 80, height = 60;
  } else if (mt.formattype == FORMAT_VideoInfo2) {
    width = 0, height = 0;
  } else {
    return VFW_E_INVALIDMEDIATYPE;
  }
  LONG needed = 0;
  hr = det->GetBitmapBits(0, &needed, nullptr, width, height);
  if (FAILED(hr)) return hr;
  if (needed <= LONG(sizeof(BITMAPINFOHEADER))) return E_FAIL;
  std::unique_ptr<char[]> block(new (std::nothrow) char[size_t(needed)]);
  if (!block) return E_OUTOFMEMORY;
  LONG given = needed;
  hr = det->GetBitmapBits(time, &given, block.get(), width, height);
  if (FAILED(hr)) {
    TraceHook("Fail: hr = pDet->GetBitmapBits(timeline, NULL, pBuffer, width, height);", kTraceLogPath);
    return hr;
  }
  buffer = std::move(block);
  size = needed;
  return S_OK;
}

bool SampGrab(const std::string& sourcePath, double time, const std::string& targetFile) {
  TraceHook("SampGrab", kTraceLogPath);
  std::unique_ptr<char[]> buffer;
  long size = 0;
  if (FAILED(GetBitmap(sourcePath, time, buffer, size))) return false;
  BITMAPFILEHEADER header;
  header.bfSize = DWORD(size) + 54;
  header.bfOffBits = 54;
  return WriteBmpFile(targetFile, header, {{buffer.get(), size_t(size)}});
}

int ThumbnailWorker(ThumbnailGrabJob* job) {
  CoInitialize();
  bool exported = job->owner->VideoEdit().ExportFrame(job->sourcePath, job->time, job->bitmapPath);
  job->result = exported ? 1 : 0;
  if (exported) {
    job->owner->ScaleToThumbnail(job->bitmapPath, 80, 60, job->bitmapPath);
  } else {
    // The one-shot graph writes one file of the process and fills one callback object:
    // two files failing the export at once take their turns here.
    static std::mutex oneGraph;
    std::lock_guard turn(oneGraph);
    job->result = SampleGrabberGrab(job->sourcePath, job->time) == 0 ? 1 : 0;
    std::string grabbed = GrabberBitmapPath();
    job->owner->ScaleToThumbnail(grabbed, 80, 60, job->bitmapPath);
    std::remove(grabbed.c_str());
    if (job->result == 0) job->result = SampGrab(job->sourcePath, job->time, job->bitmapPath);
  }
  ThumbnailGrabResult = job->result;
  CoUninitialize();
  return 0;
}

std::string GrabberBitmapPath() { return RuntimeFilePath(kGrabberBitmapName, ".bmp"); }

unsigned char RunThumbnailGrab(ThumbnailGrabJob& job) {
  ThumbnailGrabResult = 1;
  job.result = 1;
  std::atomic<bool> done{false};
  // The worker's end is a message of its own, so the pump stops waiting at once rather
  // than at its next look.
  const window::HWND ended = window::CreateNotifyWindow(
      [](window::HWND, UINT, window::WPARAM, window::LPARAM) { return window::LRESULT(0); });
  std::thread worker([&] {
    ThumbnailWorker(&job);
    done = true;
    if (ended) window::PostMessage(ended, window::WM_APP, 0, 0);
  });
  while (!done) {
    window::WaitMessage(10);
    window::PumpPendingMessages();
    PumpMessages();  // the front end's own event loop (the GUI's windows repaint)
  }
  worker.join();
  if (ended) window::DestroyWindow(ended);
  return job.result;
}

}  // namespace vantrel
