// SPDX-License-Identifier: GPL-3.0-or-later
// The media detector: stream facts of a file and pictures of its first video stream at a
// time, read straight through libavformat/libavcodec.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/com/bstr.h"
#include "platform/media/dib_file.h"
#include "platform/media/ffmpeg_file.h"
#include "platform/media/filter_base.h"
#include "platform/media/filters.h"

namespace vantrel::media {
namespace {

constexpr LONG kLargestSide = 16384;  // bigger requests are refused, not allocated

class MediaDet : public Object<IMediaDet> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IMediaDet) return Hand<IMediaDet>(this, object);
    return E_NOINTERFACE;
  }

  HRESULT get_Filter(IUnknown** filter) override {
    if (!filter) return E_POINTER;
    *filter = nullptr;
    return E_NOTIMPL;
  }
  HRESULT put_Filter(IUnknown*) override { return E_NOTIMPL; }

  HRESULT put_Filename(BSTR file) override {
    file_.reset();
    decoder_.reset();
    current_ = 0;
    name_ = U16FromBstr(file);
    auto opened = std::make_unique<MediaFile>();
    HRESULT hr = opened->Open(Utf8FromBstr(file));
    if (FAILED(hr)) return hr;
    file_ = std::move(opened);
    return S_OK;
  }
  HRESULT get_Filename(BSTR* file) override {
    if (!file) return E_POINTER;
    *file = SysAllocStringLen(name_.data(), UINT(name_.size()));
    return S_OK;
  }
  HRESULT get_OutputStreams(LONG* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    if (!file_) return E_INVALIDARG;
    *count = LONG(file_->Streams().size());
    return S_OK;
  }
  HRESULT get_CurrentStream(LONG* index) override {
    if (!index) return E_POINTER;
    *index = current_;
    return file_ ? S_OK : E_INVALIDARG;
  }
  HRESULT put_CurrentStream(LONG index) override {
    if (!file_) return E_INVALIDARG;
    if (index < 0 || size_t(index) >= file_->Streams().size()) return E_INVALIDARG;
    current_ = index;
    return S_OK;
  }
  HRESULT get_StreamType(GUID* type) override {
    if (!type) return E_POINTER;
    *type = GUID_NULL;
    const StreamFacts* s = Current();
    if (!s) return E_INVALIDARG;
    *type = s->kind == StreamFacts::Kind::Video ? MEDIATYPE_Video : MEDIATYPE_Audio;
    return S_OK;
  }
  HRESULT get_StreamTypeB(BSTR* type) override {
    if (!type) return E_POINTER;
    GUID g;
    HRESULT hr = get_StreamType(&g);
    *type = SUCCEEDED(hr) ? BstrFromUtf8(GuidToString(g)) : nullptr;
    return hr;
  }
  HRESULT get_StreamLength(double* seconds) override {
    if (!seconds) return E_POINTER;
    *seconds = 0;
    const StreamFacts* s = Current();
    if (!s) return E_INVALIDARG;
    *seconds = s->lengthSeconds;
    return S_OK;
  }
  HRESULT get_FrameRate(double* rate) override {
    if (!rate) return E_POINTER;
    *rate = 0;
    const StreamFacts* s = Current();
    if (!s) return E_INVALIDARG;
    if (s->kind != StreamFacts::Kind::Video) return VFW_E_INVALIDMEDIATYPE;
    *rate = s->frameRate;
    return S_OK;
  }
  HRESULT get_StreamMediaType(AM_MEDIA_TYPE* mt) override {
    if (!mt) return E_POINTER;
    *mt = AM_MEDIA_TYPE{};
    const StreamFacts* s = Current();
    if (!s) return E_INVALIDARG;
    MediaType type;
    if (s->kind == StreamFacts::Kind::Video) {
      type.majortype = MEDIATYPE_Video;
      type.subtype = s->fourcc ? FourccSubtype(s->fourcc) : MEDIASUBTYPE_RGB24;
      if (IsAsf()) type.subtype = MEDIASUBTYPE_Asf;
      type.bTemporalCompression = 1;
      if (s->decodable) {
        // The picture the detector hands out: the stream's size, 24-bit rows.
        VIDEOINFOHEADER vih;
        vih.rcSource = RECT{0, 0, s->width, s->height};
        vih.rcTarget = vih.rcSource;
        vih.dwBitRate = DWORD(std::min<std::int64_t>(s->bitRate, 0xFFFFFFFF));
        vih.AvgTimePerFrame = s->frameRate > 0 ? REFERENCE_TIME(10000000.0 / s->frameRate) : 0;
        vih.bmiHeader.biWidth = s->width;
        vih.bmiHeader.biHeight = s->height;
        vih.bmiHeader.biBitCount = 24;
        vih.bmiHeader.biCompression = s->fourcc;
        vih.bmiHeader.biSizeImage = DWORD(((s->width * 24 + 31) / 32) * 4) * DWORD(s->height);
        type.formattype = FORMAT_VideoInfo;
        type.SetFormat(&vih, sizeof vih);
      } else {
        type.formattype = FORMAT_None;  // no decoder: no pictures, and no size to report
      }
    } else {
      type.majortype = MEDIATYPE_Audio;
      type.subtype = s->fourcc ? FourccSubtype(s->fourcc) : MEDIASUBTYPE_PCM;
      WAVEFORMATEX wfx;
      wfx.wFormatTag = WORD(s->fourcc & 0xFFFF);
      wfx.nChannels = WORD(s->channels);
      wfx.nSamplesPerSec = DWORD(s->sampleRate);
      wfx.nAvgBytesPerSec = DWORD(s->bitRate / 8);
      type.formattype = FORMAT_WaveFormatEx;
      type.SetFormat(&wfx, sizeof wfx);
    }
    return CopyMediaType(mt, &type);
  }

  HRESULT GetBitmapBits(double seconds, LONG* size, char* buffer, LONG width, LONG height) override {
    if (!size && !buffer) return E_POINTER;
    int stream = VideoStream();
    if (stream < 0) return VFW_E_INVALIDMEDIATYPE;
    const StreamFacts& s = file_->Streams()[size_t(stream)];
    if (width < 0 || height < 0 || width > kLargestSide || height > kLargestSide) return E_INVALIDARG;
    // A requested size of 0 x 0 means the stream's own size.
    LONG w = width > 0 ? width : s.width, h = height > 0 ? height : s.height;
    LONG needed = LONG(sizeof(BITMAPINFOHEADER)) + ((w * 24 + 31) / 32) * 4 * h;
    if (!buffer) {
      *size = needed;
      return S_OK;
    }
    if (size && *size != 0 && *size < needed) return E_OUTOFMEMORY;
    DibFrame frame;
    HRESULT hr = Picture(stream, seconds, w, h, frame);
    if (FAILED(hr)) return hr;
    BITMAPINFOHEADER header;
    header.biWidth = frame.width;
    header.biHeight = frame.height;
    header.biBitCount = 24;
    header.biSizeImage = DWORD(frame.bits.size());
    std::memcpy(buffer, &header, sizeof header);
    std::memcpy(buffer + sizeof header, frame.bits.data(), frame.bits.size());
    return S_OK;
  }

  HRESULT WriteBitmapBits(double seconds, LONG width, LONG height, BSTR file) override {
    if (!file) return E_POINTER;
    int stream = VideoStream();
    if (stream < 0) return VFW_E_INVALIDMEDIATYPE;
    if (width <= 0 || height <= 0 || width > kLargestSide || height > kLargestSide) return E_INVALIDARG;
    DibFrame frame;
    HRESULT hr = Picture(stream, seconds, width, height, frame);
    if (FAILED(hr)) return hr;
    return WriteDibFile(Utf8FromBstr(file), frame) ? S_OK : E_ACCESSDENIED;
  }

  HRESULT GetSampleGrabber(ISampleGrabber** grabber) override {
    if (!grabber) return E_POINTER;
    *grabber = nullptr;
    return E_NOTIMPL;
  }
  HRESULT EnterBitmapGrabMode(double) override { return VideoStream() < 0 ? VFW_E_INVALIDMEDIATYPE : S_OK; }

 private:
  const StreamFacts* Current() const {
    if (!file_ || current_ < 0 || size_t(current_) >= file_->Streams().size()) return nullptr;
    return &file_->Streams()[size_t(current_)];
  }
  int VideoStream() const {
    if (!file_) return -1;
    for (size_t i = 0; i < file_->Streams().size(); ++i)
      if (file_->Streams()[i].kind == StreamFacts::Kind::Video && file_->Streams()[i].decodable)
        return int(i);
    return -1;
  }
  bool IsAsf() const { return file_ && file_->FormatName() == "asf"; }

  HRESULT Picture(int stream, double seconds, LONG w, LONG h, DibFrame& frame) {
    if (!decoder_) {
      auto decoder = std::make_unique<VideoDecoder>();
      HRESULT hr = decoder->Open(*file_, file_->Streams()[size_t(stream)].fileIndex);
      if (FAILED(hr)) return hr;
      decoder_ = std::move(decoder);
    }
    return decoder_->FrameAt(std::max(0.0, seconds), frame, w, h);
  }

  std::u16string name_;
  std::unique_ptr<MediaFile> file_;
  std::unique_ptr<VideoDecoder> decoder_;
  LONG current_ = 0;
};

}  // namespace

HRESULT CreateMediaDet(REFIID iid, void** object) { return CreateAndQuery<MediaDet>(iid, object); }

}  // namespace vantrel::media

