// SPDX-License-Identifier: GPL-3.0-or-later
// The filter graph's interfaces, records and ids. Slots are in the platform's order, so a
// filter built in another module (the encoder) plugs in through them; slots the program
// does not use exist and may answer E_NOTIMPL.
#pragma once

#include <cstdint>

#include "platform/com/memory.h"
#include "platform/com/persist.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

namespace vantrel::media {

using namespace vantrel::com;  // the media layer speaks the runtime's types throughout
using LONG_PTR = std::intptr_t;
using OAFilterState = LONG;
using OAHWND = LONG_PTR;

// ---- media types ----
inline constexpr GUID MEDIATYPE_Video = MakeGuid("73646976-0000-0010-8000-00AA00389B71");  // "vids"
inline constexpr GUID MEDIATYPE_Audio = MakeGuid("73647561-0000-0010-8000-00AA00389B71");  // "auds"
inline constexpr GUID MEDIATYPE_Stream = MakeGuid("E436EB83-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB24 = MakeGuid("E436EB7D-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_RGB32 = MakeGuid("E436EB7E-524F-11CE-9F53-0020AF0BA770");
inline constexpr GUID MEDIASUBTYPE_PCM = MakeGuid("00000001-0000-0010-8000-00AA00389B71");
inline constexpr GUID MEDIASUBTYPE_Asf = MakeGuid("3DB80F90-9412-11D1-ADED-0000F8754B99");
inline constexpr GUID FORMAT_None = MakeGuid("0F6417D6-C318-11D0-A43F-00A0C9223196");
inline constexpr GUID FORMAT_VideoInfo = MakeGuid("05589F80-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_VideoInfo2 = MakeGuid("F72A76A0-EB0A-11D0-ACE4-0000C0CC16BA");
inline constexpr GUID FORMAT_WaveFormatEx = MakeGuid("05589F81-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID FORMAT_MPEGVideo = MakeGuid("05589F82-C356-11CE-BF01-00AA0055595A");
inline constexpr GUID TIME_FORMAT_MEDIA_TIME = MakeGuid("7B785574-8C82-11CF-BC0C-00AA00AC74F6");

// A subtype made from a four-character code, as the platform derives them.
constexpr GUID FourccSubtype(std::uint32_t fourcc) {
  GUID g = MakeGuid("00000000-0000-0010-8000-00AA00389B71");
  g.Data1 = fourcc;
  return g;
}

// Planar 4:2:0: the whole Y plane, then U, then V, top-down, rows without padding.
inline constexpr GUID MEDIASUBTYPE_I420 = FourccSubtype(0x30323449);  // "I420"

struct AM_MEDIA_TYPE {
  GUID majortype{};
  GUID subtype{};
  BOOL bFixedSizeSamples = 0;
  BOOL bTemporalCompression = 0;
  ULONG lSampleSize = 0;
  GUID formattype{};
  IUnknown* pUnk = nullptr;
  ULONG cbFormat = 0;
  BYTE* pbFormat = nullptr;  // allocated with CoTaskMemAlloc
};


#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType = 0x4D42;  // "BM"
  DWORD bfSize = 0;
  WORD bfReserved1 = 0, bfReserved2 = 0;
  DWORD bfOffBits = 0;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14);

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0;
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct RECT {
  LONG left = 0, top = 0, right = 0, bottom = 0;
};

struct VIDEOINFOHEADER {
  RECT rcSource;
  RECT rcTarget;
  DWORD dwBitRate = 0;
  DWORD dwBitErrorRate = 0;
  REFERENCE_TIME AvgTimePerFrame = 0;
  BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

#pragma pack(push, 2)
struct WAVEFORMATEX {
  WORD wFormatTag = 1;  // PCM
  WORD nChannels = 0;
  DWORD nSamplesPerSec = 0;
  DWORD nAvgBytesPerSec = 0;
  WORD nBlockAlign = 0;
  WORD wBitsPerSample = 0;
  WORD cbSize = 0;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

// ---- error and event codes ----
inline constexpr HRESULT VFW_E_INVALIDMEDIATYPE = Code(0x80040200);
inline constexpr HRESULT VFW_E_NOT_CONNECTED = Code(0x80040209);
inline constexpr HRESULT VFW_E_NOT_STOPPED = Code(0x80040224);
inline constexpr HRESULT VFW_E_ALREADY_CONNECTED = Code(0x80040204);
inline constexpr HRESULT VFW_E_TYPE_NOT_ACCEPTED = Code(0x8004022A);
inline constexpr HRESULT VFW_E_CANNOT_CONNECT = Code(0x80040217);
inline constexpr HRESULT VFW_E_CANNOT_RENDER = Code(0x80040218);
inline constexpr HRESULT VFW_E_NOT_IN_GRAPH = Code(0x8004025F);
inline constexpr HRESULT VFW_E_WRONG_STATE = Code(0x80040227);
inline constexpr HRESULT VFW_E_NO_ALLOCATOR = Code(0x8004020A);
inline constexpr HRESULT VFW_S_STATE_INTERMEDIATE = 0x00040237;

inline constexpr LONG EC_COMPLETE = 0x01;
inline constexpr LONG EC_USERABORT = 0x02;
inline constexpr LONG EC_ERRORABORT = 0x03;
inline constexpr LONG AM_MEDIAEVENT_NONOTIFY = 0x01;
inline constexpr LONG INFINITE = -1;

// ---- ids of interfaces ----
inline constexpr IID IID_IMediaFilter = MakeGuid("56A86899-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IBaseFilter = MakeGuid("56A86895-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IPin = MakeGuid("56A86891-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IEnumPins = MakeGuid("56A86892-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMemInputPin = MakeGuid("56A8689D-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMediaSample = MakeGuid("56A8689A-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IFilterGraph = MakeGuid("56A8689F-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IGraphBuilder = MakeGuid("56A868A9-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMediaEventSink = MakeGuid("56A868A2-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMediaControl = MakeGuid("56A868B1-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMediaEvent = MakeGuid("56A868B6-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMediaEventEx = MakeGuid("56A868C0-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IMediaSeeking = MakeGuid("36B73880-C2C8-11CF-8B46-00805F6CEF60");
inline constexpr IID IID_IVideoWindow = MakeGuid("56A868B4-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IFileSourceFilter = MakeGuid("56A868A6-0AD4-11CE-B03A-0020AF0BA770");
inline constexpr IID IID_IFileSinkFilter = MakeGuid("A2104830-7C70-11CF-8BCE-00AA00A3F1A6");
inline constexpr IID IID_ICaptureGraphBuilder2 = MakeGuid("93E5A4E0-2D50-11D2-ABFA-00A0C9C6E38D");
inline constexpr IID IID_ISampleGrabber = MakeGuid("6B652FFF-11FE-4FCE-92AD-0266B5D7C78F");
inline constexpr IID IID_ISampleGrabberCB = MakeGuid("0579154A-2B53-4994-B0D0-E773148EFF85");
inline constexpr IID IID_IMediaDet = MakeGuid("65BD0710-24D2-4FF7-9324-ED2E5D3ABAFA");
// Ours: a sample's picture plane by plane (below).
inline constexpr IID IID_IPlanarSample = MakeGuid("3F0A9C52-6E1B-4D7A-9B84-51C2E07D8A16");

// ---- ids of the built-in classes ----
inline constexpr CLSID CLSID_FilterGraph = MakeGuid("E436EBB3-524F-11CE-9F53-0020AF0BA770");
inline constexpr CLSID CLSID_AsyncReader = MakeGuid("E436EBB5-524F-11CE-9F53-0020AF0BA770");
inline constexpr CLSID CLSID_CaptureGraphBuilder2 = MakeGuid("BF87B6E1-8C27-11D0-B3F0-00AA003761C5");
inline constexpr CLSID CLSID_SampleGrabber = MakeGuid("C1F400A0-3F08-11D3-9F0B-006008039E37");
inline constexpr CLSID CLSID_NullRenderer = MakeGuid("C1F400A4-3F08-11D3-9F0B-006008039E37");
inline constexpr CLSID CLSID_MediaDet = MakeGuid("65BD0711-24D2-4FF7-9324-ED2E5D3ABAFA");
// Ours: demultiplexes and decodes a file into uncompressed video and audio pins.
inline constexpr CLSID CLSID_DecodingSource = MakeGuid("7C5D2E61-3B9A-4F0E-A4D1-2B6E9F03C7A8");

// ---- filters and pins ----
enum PIN_DIRECTION { PINDIR_INPUT = 0, PINDIR_OUTPUT = 1 };
enum FILTER_STATE { State_Stopped = 0, State_Paused = 1, State_Running = 2 };

class IBaseFilter;
class IFilterGraph;
class IEnumFilters;     // not offered
class IReferenceClock;  // no clocks: filters run as fast as data comes
class IMemAllocator;    // samples are made by the sender

struct PIN_INFO {
  IBaseFilter* pFilter = nullptr;  // AddRef'd
  PIN_DIRECTION dir = PINDIR_INPUT;
  OLECHAR achName[128] = {};
};

struct FILTER_INFO {
  OLECHAR achName[128] = {};
  IFilterGraph* pGraph = nullptr;  // AddRef'd
};

class IMediaFilter : public IPersist {
 public:
  virtual HRESULT Stop() = 0;                                           // 4
  virtual HRESULT Pause() = 0;                                          // 5
  virtual HRESULT Run(REFERENCE_TIME start) = 0;                        // 6
  virtual HRESULT GetState(DWORD timeoutMs, FILTER_STATE* state) = 0;   // 7
  virtual HRESULT SetSyncSource(IReferenceClock* clock) = 0;            // 8
  virtual HRESULT GetSyncSource(IReferenceClock** clock) = 0;           // 9
};

class IPin;

class IEnumPins : public IUnknown {
 public:
  virtual HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) = 0;  // 3
  virtual HRESULT Skip(ULONG count) = 0;                               // 4
  virtual HRESULT Reset() = 0;                                         // 5
  virtual HRESULT Clone(IEnumPins** copy) = 0;                         // 6
};

class IBaseFilter : public IMediaFilter {
 public:
  virtual HRESULT EnumPins(IEnumPins** pins) = 0;                          // 10
  virtual HRESULT FindPin(LPCOLESTR id, IPin** pin) = 0;                   // 11
  virtual HRESULT QueryFilterInfo(FILTER_INFO* info) = 0;                  // 12
  virtual HRESULT JoinFilterGraph(IFilterGraph* graph, LPCOLESTR name) = 0;  // 13
  virtual HRESULT QueryVendorInfo(LPOLESTR* info) = 0;                     // 14
};

// The types a pin prefers, best first; each record is CoTaskMemAlloc'd with its format
// block and freed by the caller.
class IEnumMediaTypes : public IUnknown {
 public:
  virtual HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) = 0;  // 3
  virtual HRESULT Skip(ULONG count) = 0;                                        // 4
  virtual HRESULT Reset() = 0;                                                  // 5
  virtual HRESULT Clone(IEnumMediaTypes** copy) = 0;                            // 6
};
inline constexpr IID IID_IEnumMediaTypes = MakeGuid("89C31040-846B-11CE-97D3-00AA0055595A");

class IPin : public IUnknown {
 public:
  // Output pins: negotiate with `receiver` (a type, or any type when null).
  virtual HRESULT Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) = 0;          // 3
  // Input pins: accept or refuse the connector's proposal.
  virtual HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) = 0;  // 4
  virtual HRESULT Disconnect() = 0;                                              // 5
  virtual HRESULT ConnectedTo(IPin** pin) = 0;                                   // 6
  virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* mt) = 0;                    // 7
  virtual HRESULT QueryPinInfo(PIN_INFO* info) = 0;                              // 8
  virtual HRESULT QueryDirection(PIN_DIRECTION* direction) = 0;                  // 9
  virtual HRESULT QueryId(LPOLESTR* id) = 0;                                     // 10
  virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* mt) = 0;                      // 11
  virtual HRESULT EnumMediaTypes(IEnumMediaTypes** types) = 0;                   // 12
  virtual HRESULT QueryInternalConnections(IPin** pins, ULONG* count) = 0;       // 13
  virtual HRESULT EndOfStream() = 0;                                             // 14
  virtual HRESULT BeginFlush() = 0;                                              // 15
  virtual HRESULT EndFlush() = 0;                                                // 16
  virtual HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) = 0;  // 17
};

class IMediaSample : public IUnknown {
 public:
  virtual HRESULT GetPointer(BYTE** buffer) = 0;                               // 3
  virtual LONG GetSize() = 0;                                                  // 4
  virtual HRESULT GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;     // 5
  virtual HRESULT SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) = 0;     // 6
  virtual HRESULT IsSyncPoint() = 0;                                           // 7
  virtual HRESULT SetSyncPoint(BOOL sync) = 0;                                 // 8
  virtual HRESULT IsPreroll() = 0;                                             // 9
  virtual HRESULT SetPreroll(BOOL preroll) = 0;                                // 10
  virtual LONG GetActualDataLength() = 0;                                      // 11
  virtual HRESULT SetActualDataLength(LONG length) = 0;                        // 12
  virtual HRESULT GetMediaType(AM_MEDIA_TYPE** mt) = 0;                        // 13
  virtual HRESULT SetMediaType(AM_MEDIA_TYPE* mt) = 0;                         // 14
  virtual HRESULT IsDiscontinuity() = 0;                                       // 15
  virtual HRESULT SetDiscontinuity(BOOL discontinuity) = 0;                    // 16
  virtual HRESULT GetMediaTime(LONGLONG* start, LONGLONG* end) = 0;            // 17
  virtual HRESULT SetMediaTime(LONGLONG* start, LONGLONG* end) = 0;            // 18
};

// Ours: a sample holding a planar 4:2:0 picture as its decoder left it, each plane with
// rows of its own stride. A consumer that reads planes takes them without a copy; through
// GetPointer the same picture comes packed (I420), as the sample's media type says.
class IPlanarSample : public IUnknown {
 public:
  virtual HRESULT GetPlanes(const BYTE* planes[3], LONG strides[3]) = 0;  // 3
};

// Input pins take samples through this. Receive is called on the sender's streaming
// thread; S_FALSE asks the sender to stop sending.
class IMemInputPin : public IUnknown {
 public:
  virtual HRESULT GetAllocator(IMemAllocator** allocator) = 0;                      // 3
  virtual HRESULT NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) = 0;      // 4
  virtual HRESULT GetAllocatorRequirements(void* properties) = 0;                   // 5
  virtual HRESULT Receive(IMediaSample* sample) = 0;                                // 6
  virtual HRESULT ReceiveMultiple(IMediaSample** samples, LONG count, LONG* done) = 0;  // 7
  virtual HRESULT ReceiveCanBlock() = 0;                                            // 8
};

class IFilterGraph : public IUnknown {
 public:
  virtual HRESULT AddFilter(IBaseFilter* filter, LPCOLESTR name) = 0;                  // 3
  virtual HRESULT RemoveFilter(IBaseFilter* filter) = 0;                               // 4
  virtual HRESULT EnumFilters(IEnumFilters** filters) = 0;                             // 5
  virtual HRESULT FindFilterByName(LPCOLESTR name, IBaseFilter** filter) = 0;          // 6
  virtual HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) = 0;     // 7
  virtual HRESULT Reconnect(IPin* pin) = 0;                                            // 8
  virtual HRESULT Disconnect(IPin* pin) = 0;                                           // 9
  virtual HRESULT SetDefaultSyncSource() = 0;                                          // 10
};

class IGraphBuilder : public IFilterGraph {
 public:
  // Connects directly or, from a file source's stream pin, through a decoding source.
  virtual HRESULT Connect(IPin* out, IPin* in) = 0;                                    // 11
  // Ends the pin's stream in a renderer (decoding first when it carries a file).
  virtual HRESULT Render(IPin* out) = 0;                                               // 12
  virtual HRESULT RenderFile(LPCOLESTR file, LPCOLESTR playList) = 0;                  // 13
  // Adds a decoding source for the file; fails when it cannot be opened and decoded.
  virtual HRESULT AddSourceFilter(LPCOLESTR file, LPCOLESTR name, IBaseFilter** filter) = 0;  // 14
  virtual HRESULT SetLogFile(std::uintptr_t file) = 0;                                 // 15
  virtual HRESULT Abort() = 0;                                                         // 16
  virtual HRESULT ShouldOperationContinue() = 0;                                       // 17
};

// Filters report to their graph through this (the graph is queried for it on joining).
class IMediaEventSink : public IUnknown {
 public:
  virtual HRESULT Notify(LONG code, LONG_PTR param1, LONG_PTR param2) = 0;  // 3
};

class IMediaControl : public IDispatch {
 public:
  virtual HRESULT Run() = 0;                                            // 7
  virtual HRESULT Pause() = 0;                                          // 8
  virtual HRESULT Stop() = 0;                                           // 9
  virtual HRESULT GetState(LONG timeoutMs, OAFilterState* state) = 0;   // 10
  virtual HRESULT RenderFile(BSTR file) = 0;                            // 11
  virtual HRESULT AddSourceFilter(BSTR file, IDispatch** filter) = 0;   // 12
  virtual HRESULT get_FilterCollection(IDispatch** collection) = 0;     // 13
  virtual HRESULT get_RegFilterCollection(IDispatch** collection) = 0;  // 14
  virtual HRESULT StopWhenReady() = 0;                                  // 15
};

class IMediaEvent : public IDispatch {
 public:
  virtual HRESULT GetEventHandle(LONG_PTR* handle) = 0;                                   // 7
  virtual HRESULT GetEvent(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG timeoutMs) = 0;  // 8
  virtual HRESULT WaitForCompletion(LONG timeoutMs, LONG* code) = 0;                      // 9
  virtual HRESULT CancelDefaultHandling(LONG code) = 0;                                   // 10
  virtual HRESULT RestoreDefaultHandling(LONG code) = 0;                                  // 11
  virtual HRESULT FreeEventParams(LONG code, LONG_PTR param1, LONG_PTR param2) = 0;       // 12
};

class IMediaEventEx : public IMediaEvent {
 public:
  virtual HRESULT SetNotifyWindow(OAHWND hwnd, LONG message, LONG_PTR instance) = 0;  // 13
  virtual HRESULT SetNotifyFlags(LONG flags) = 0;                                     // 14
  virtual HRESULT GetNotifyFlags(LONG* flags) = 0;                                    // 15
};

inline constexpr DWORD AM_SEEKING_NoPositioning = 0;
inline constexpr DWORD AM_SEEKING_AbsolutePositioning = 1;
inline constexpr DWORD AM_SEEKING_RelativePositioning = 2;
inline constexpr DWORD AM_SEEKING_PositioningBitsMask = 3;
inline constexpr DWORD AM_SEEKING_CanSeekAbsolute = 0x1;
inline constexpr DWORD AM_SEEKING_CanGetCurrentPos = 0x8;
inline constexpr DWORD AM_SEEKING_CanGetStopPos = 0x10;
inline constexpr DWORD AM_SEEKING_CanGetDuration = 0x100;

class IMediaSeeking : public IUnknown {
 public:
  virtual HRESULT GetCapabilities(DWORD* capabilities) = 0;                       // 3
  virtual HRESULT CheckCapabilities(DWORD* capabilities) = 0;                     // 4
  virtual HRESULT IsFormatSupported(const GUID* format) = 0;                      // 5
  virtual HRESULT QueryPreferredFormat(GUID* format) = 0;                         // 6
  virtual HRESULT GetTimeFormat(GUID* format) = 0;                                // 7
  virtual HRESULT IsUsingTimeFormat(const GUID* format) = 0;                      // 8
  virtual HRESULT SetTimeFormat(const GUID* format) = 0;                          // 9
  virtual HRESULT GetDuration(LONGLONG* duration) = 0;                            // 10
  virtual HRESULT GetStopPosition(LONGLONG* stop) = 0;                            // 11
  virtual HRESULT GetCurrentPosition(LONGLONG* current) = 0;                      // 12
  virtual HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                                    const GUID* sourceFormat) = 0;                // 13
  virtual HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                               DWORD stopFlags) = 0;                              // 14
  virtual HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) = 0;            // 15
  virtual HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) = 0;         // 16
  virtual HRESULT SetRate(double rate) = 0;                                       // 17
  virtual HRESULT GetRate(double* rate) = 0;                                      // 18
  virtual HRESULT GetPreroll(LONGLONG* preroll) = 0;                              // 19
};

// What every seeking object of this media layer answers: playback at the normal rate
// only, and no preroll.
inline HRESULT SetNormalRateOnly(double rate) { return rate == 1.0 ? S_OK : E_NOTIMPL; }
inline HRESULT AnswerNormalRate(double* rate) {
  if (!rate) return E_POINTER;
  *rate = 1.0;
  return S_OK;
}
inline HRESULT AnswerNoPreroll(LONGLONG* preroll) {
  if (!preroll) return E_POINTER;
  *preroll = 0;
  return S_OK;
}

// Only the first slots are used; the window is never shown here (there is no video
// renderer: pictures that nobody takes go to a null renderer).
class IVideoWindow : public IDispatch {
 public:
  virtual HRESULT put_Caption(BSTR caption) = 0;      // 7
  virtual HRESULT get_Caption(BSTR* caption) = 0;     // 8
  virtual HRESULT put_WindowStyle(LONG style) = 0;    // 9
  virtual HRESULT get_WindowStyle(LONG* style) = 0;   // 10
  virtual HRESULT put_WindowStyleEx(LONG style) = 0;  // 11
  virtual HRESULT get_WindowStyleEx(LONG* style) = 0; // 12
  virtual HRESULT put_AutoShow(LONG autoShow) = 0;    // 13
  virtual HRESULT get_AutoShow(LONG* autoShow) = 0;   // 14
};

class IFileSourceFilter : public IUnknown {
 public:
  virtual HRESULT Load(LPCOLESTR file, const AM_MEDIA_TYPE* mt) = 0;  // 3
  virtual HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) = 0;  // 4 (file: CoTaskMemAlloc)
};

class IFileSinkFilter : public IUnknown {
 public:
  virtual HRESULT SetFileName(LPCOLESTR file, const AM_MEDIA_TYPE* mt) = 0;  // 3
  virtual HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) = 0;         // 4
};

class ICaptureGraphBuilder2 : public IUnknown {
 public:
  virtual HRESULT SetFiltergraph(IGraphBuilder* graph) = 0;                               // 3
  virtual HRESULT GetFiltergraph(IGraphBuilder** graph) = 0;                              // 4
  virtual HRESULT SetOutputFileName(const GUID* type, LPCOLESTR file, IBaseFilter** mux,
                                    IFileSinkFilter** sink) = 0;                          // 5
  virtual HRESULT FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter,
                                REFIID iid, void** object) = 0;                           // 6
  // Connects an output pin of `source` (a filter or a pin) of the given major type (any
  // when null) to the renderer's first free input pin that takes it.
  virtual HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                               IBaseFilter* intermediate, IBaseFilter* renderer) = 0;     // 7
  virtual HRESULT ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter,
                                REFERENCE_TIME* start, REFERENCE_TIME* stop, WORD startCookie,
                                WORD stopCookie) = 0;                                     // 8
  virtual HRESULT AllocCapFile(LPCOLESTR file, LONGLONG size) = 0;                        // 9
  virtual HRESULT CopyCaptureFile(LPOLESTR oldFile, LPOLESTR newFile, int allowEscAbort,
                                  void* callback) = 0;                                    // 10
  virtual HRESULT FindPin(IUnknown* source, PIN_DIRECTION direction, const GUID* category,
                          const GUID* type, BOOL unconnected, int index, IPin** pin) = 0;  // 11
};

class ISampleGrabberCB : public IUnknown {
 public:
  virtual HRESULT SampleCB(double time, IMediaSample* sample) = 0;        // 3
  virtual HRESULT BufferCB(double time, BYTE* buffer, LONG length) = 0;   // 4
};

class ISampleGrabber : public IUnknown {
 public:
  virtual HRESULT SetOneShot(BOOL oneShot) = 0;                           // 3
  virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* mt) = 0;              // 4
  virtual HRESULT GetConnectedMediaType(AM_MEDIA_TYPE* mt) = 0;           // 5
  virtual HRESULT SetBufferSamples(BOOL buffer) = 0;                      // 6
  virtual HRESULT GetCurrentBuffer(LONG* size, LONG* buffer) = 0;         // 7
  virtual HRESULT GetCurrentSample(IMediaSample** sample) = 0;            // 8
  virtual HRESULT SetCallback(ISampleGrabberCB* callback, LONG which) = 0;  // 9: 0 sample, 1 buffer
};

class IMediaDet : public IUnknown {
 public:
  virtual HRESULT get_Filter(IUnknown** filter) = 0;                 // 3
  virtual HRESULT put_Filter(IUnknown* filter) = 0;                  // 4
  virtual HRESULT get_OutputStreams(LONG* count) = 0;                // 5
  virtual HRESULT get_CurrentStream(LONG* index) = 0;                // 6
  virtual HRESULT put_CurrentStream(LONG index) = 0;                 // 7
  virtual HRESULT get_StreamType(GUID* type) = 0;                    // 8
  virtual HRESULT get_StreamTypeB(BSTR* type) = 0;                   // 9
  virtual HRESULT get_StreamLength(double* seconds) = 0;             // 10
  virtual HRESULT get_Filename(BSTR* file) = 0;                      // 11
  virtual HRESULT put_Filename(BSTR file) = 0;                       // 12
  // Without a buffer: the size needed (40-byte header + 24-bit rows) in *size.
  virtual HRESULT GetBitmapBits(double seconds, LONG* size, char* buffer, LONG width,
                                LONG height) = 0;                    // 13
  virtual HRESULT WriteBitmapBits(double seconds, LONG width, LONG height, BSTR file) = 0;  // 14
  virtual HRESULT get_StreamMediaType(AM_MEDIA_TYPE* mt) = 0;        // 15
  virtual HRESULT GetSampleGrabber(ISampleGrabber** grabber) = 0;    // 16
  virtual HRESULT get_FrameRate(double* rate) = 0;                   // 17
  virtual HRESULT EnterBitmapGrabMode(double seconds) = 0;           // 18
};

}  // namespace vantrel::media
