// SPDX-License-Identifier: GPL-3.0-or-later
// The file source, the null renderer and the sample grabber.
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include "platform/com/bstr.h"
#include "platform/media/ffmpeg_file.h"
#include "platform/media/filter_base.h"
#include "platform/media/filters.h"

namespace vantrel::media {
namespace {

// ---- file source: names a file on a stream pin; the decoding source behind it reads it ----

class StreamOutputPin : public PinBase {
 public:
  explicit StreamOutputPin(FilterBase* owner) : PinBase(owner, PINDIR_OUTPUT, u"Output") {}
 protected:
  std::vector<MediaType> ProposedTypes() override {
    MediaType mt;
    mt.majortype = MEDIATYPE_Stream;
    return {mt};
  }
};

class AsyncReader : public FilterBase, public IFileSourceFilter {
 public:
  AsyncReader() : FilterBase(CLSID_AsyncReader) {}
  ULONG AddRef() override { return FilterBase::AddRef(); }
  ULONG Release() override { return FilterBase::Release(); }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IFileSourceFilter) return Hand<IFileSourceFilter>(this, object);
    return FilterBase::QueryInterface(iid, object);
  }
  HRESULT Load(LPCOLESTR file, const AM_MEDIA_TYPE*) override {
    if (!file) return E_POINTER;
    if (!name_.empty()) return Code(0x80070020);
    std::string path = Utf8FromBstr(file);
    struct stat info {};
    int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return kFileNotFound;
    bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    ::close(fd);
    if (!regular) return kFileNotFound;
    name_ = U16(file);
    AddPin(new StreamOutputPin(this));
    return S_OK;
  }
  HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) override {
    if (!file) return E_POINTER;
    if (mt) *mt = AM_MEDIA_TYPE{};
    *file = name_.empty() ? nullptr : TaskString(name_);
    return name_.empty() ? E_FAIL : S_OK;
  }

 private:
  std::u16string name_;
};

// ---- null renderer: takes anything and drops it ----

class AnyInputPin : public PinBase {
 public:
  explicit AnyInputPin(FilterBase* owner) : PinBase(owner, PINDIR_INPUT, u"In") {}
 protected:
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
    return mt.majortype == MEDIATYPE_Stream ? VFW_E_TYPE_NOT_ACCEPTED : S_OK;
  }
};

class NullRenderer : public FilterBase {
 public:
  NullRenderer() : FilterBase(CLSID_NullRenderer) { AddPin(new AnyInputPin(this)); }
};

// ---- sample grabber: hands each sample (or one) to a callback and passes it on ----

class SampleGrabber;

class GrabberInputPin : public PinBase {
 public:
  explicit GrabberInputPin(SampleGrabber* owner);
 protected:
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
  HRESULT OnReceive(IMediaSample* sample) override;
 private:
  SampleGrabber* grabber_;
};

class GrabberOutputPin : public PinBase {
 public:
  GrabberOutputPin(FilterBase* owner, PinBase* input)
      : PinBase(owner, PINDIR_OUTPUT, u"Out"), input_(input) {}
 protected:
  std::vector<MediaType> ProposedTypes() override {
    if (!input_->IsConnected()) return {};
    return {input_->Type()};
  }
 private:
  PinBase* input_;
};

class SampleGrabber : public FilterBase, public ISampleGrabber {
 public:
  SampleGrabber() : FilterBase(CLSID_SampleGrabber) {
    input_ = new GrabberInputPin(this);
    output_ = new GrabberOutputPin(this, input_);
    AddPin(input_);
    AddPin(output_);
  }
  ULONG AddRef() override { return FilterBase::AddRef(); }
  ULONG Release() override { return FilterBase::Release(); }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_ISampleGrabber) return Hand<ISampleGrabber>(this, object);
    return FilterBase::QueryInterface(iid, object);
  }

  HRESULT SetOneShot(BOOL oneShot) override {
    oneShot_ = oneShot != 0;
    return S_OK;
  }
  HRESULT SetMediaType(const AM_MEDIA_TYPE* mt) override {
    std::lock_guard lock(lock_);
    wanted_ = mt ? MediaType(*mt) : MediaType();
    return S_OK;
  }
  HRESULT GetConnectedMediaType(AM_MEDIA_TYPE* mt) override {
    if (!mt) return E_POINTER;
    return input_->ConnectionMediaType(mt);
  }
  HRESULT SetBufferSamples(BOOL buffer) override {
    buffering_ = buffer != 0;
    return S_OK;
  }
  HRESULT GetCurrentBuffer(LONG* size, LONG* buffer) override {
    if (!size) return E_POINTER;
    std::lock_guard lock(lock_);
    if (!buffering_) return E_INVALIDARG;
    if (!haveBuffer_) return VFW_E_WRONG_STATE;
    LONG needed = LONG(buffer_.size());
    if (!buffer) {
      *size = needed;
      return S_OK;
    }
    if (*size < needed) return E_OUTOFMEMORY;
    std::copy(buffer_.begin(), buffer_.end(), reinterpret_cast<BYTE*>(buffer));
    *size = needed;
    return S_OK;
  }
  HRESULT GetCurrentSample(IMediaSample** sample) override {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    return E_NOTIMPL;
  }
  HRESULT SetCallback(ISampleGrabberCB* callback, LONG which) override {
    if (which != 0 && which != 1) return E_INVALIDARG;
    std::lock_guard lock(lock_);
    callback_ = callback;
    which_ = which;
    return S_OK;
  }

  HRESULT Accepts(const AM_MEDIA_TYPE& mt) {
    std::lock_guard lock(lock_);
    if (mt.majortype == MEDIATYPE_Stream) return VFW_E_TYPE_NOT_ACCEPTED;
    return MatchesPartial(wanted_, mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }

  HRESULT Take(IMediaSample* sample) {
    ComPtr<ISampleGrabberCB> callback;
    LONG which;
    {
      std::lock_guard lock(lock_);
      if (oneShot_ && shotTaken_) return S_FALSE;
      callback = callback_.Get();
      which = which_;
      if (buffering_) {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        buffer_.assign(data, data + sample->GetActualDataLength());
        haveBuffer_ = true;
      }
      if (oneShot_) shotTaken_ = true;
    }
    REFERENCE_TIME t0 = 0, t1 = 0;
    sample->GetTime(&t0, &t1);
    double seconds = double(t0) / 10000000.0;
    if (callback) {
      if (which == 0) {
        callback->SampleCB(seconds, sample);
      } else {
        BYTE* data = nullptr;
        sample->GetPointer(&data);
        callback->BufferCB(seconds, data, sample->GetActualDataLength());
      }
    }
    if (output_->IsConnected()) output_->Deliver(sample);
    if (oneShot_) {
      // One picture is the whole stream: end it here so the graph completes.
      OnInputEndOfStream(input_);
      return S_FALSE;
    }
    return S_OK;
  }

  void OnInputEndOfStream(PinBase* pin) override {
    {
      std::lock_guard lock(lock_);
      if (oneShot_ && endSent_) return;
      endSent_ = true;
    }
    FilterBase::OnInputEndOfStream(pin);
  }

 protected:
  HRESULT OnPause() override {
    std::lock_guard lock(lock_);
    if (State() == State_Stopped) {
      shotTaken_ = false;
      endSent_ = false;
    }
    return S_OK;
  }

 private:
  GrabberInputPin* input_;
  GrabberOutputPin* output_;
  MediaType wanted_;
  ComPtr<ISampleGrabberCB> callback_;
  LONG which_ = 0;
  bool oneShot_ = false, shotTaken_ = false, endSent_ = false;
  bool buffering_ = false, haveBuffer_ = false;
  std::vector<BYTE> buffer_;
};

GrabberInputPin::GrabberInputPin(SampleGrabber* owner)
    : PinBase(owner, PINDIR_INPUT, u"In"), grabber_(owner) {}
HRESULT GrabberInputPin::CheckMediaType(const AM_MEDIA_TYPE& mt) { return grabber_->Accepts(mt); }
HRESULT GrabberInputPin::OnReceive(IMediaSample* sample) { return grabber_->Take(sample); }

}  // namespace

HRESULT CreateAsyncReader(REFIID iid, void** object) { return CreateAndQuery<AsyncReader>(iid, object); }
HRESULT CreateNullRenderer(REFIID iid, void** object) { return CreateAndQuery<NullRenderer>(iid, object); }
HRESULT CreateSampleGrabber(REFIID iid, void** object) { return CreateAndQuery<SampleGrabber>(iid, object); }

}  // namespace vantrel::media
