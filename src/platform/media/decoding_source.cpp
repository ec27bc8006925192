// SPDX-License-Identifier: GPL-3.0-or-later
// The decoding source: opens a file with libavformat and offers its first video and first
// audio stream as uncompressed pins (RGB rows, 16-bit PCM). A running source streams on a
// thread of its own, from the seek position to the stop position, and ends each pin with
// EndOfStream. It sits where the platform would put a splitter and decoders: AddSourceFilter
// creates it directly, Connect and Render put it behind a file source.
#include <condition_variable>
#include <cstring>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include "platform/media/media_time_seeking.h"
#include "platform/com/bstr.h"
#include "platform/media/ffmpeg_file.h"
#include "platform/media/filter_base.h"
#include "platform/media/filters.h"

namespace vantrel::media {
namespace {

constexpr double kUnits = 10000000.0;  // REFERENCE_TIME per second
constexpr double kSeekMargin = 1.0;     // seconds

class DecodingSource;

class StreamInputPin : public PinBase {
 public:
  StreamInputPin(FilterBase* owner) : PinBase(owner, PINDIR_INPUT, u"Input") {}
 protected:
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override {
    return mt.majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }
  HRESULT OnConnected() override;
};

class OutputPin : public PinBase {
 public:
  OutputPin(FilterBase* owner, std::u16string name, const StreamFacts& facts)
      : PinBase(owner, PINDIR_OUTPUT, std::move(name)), facts_(facts) {}
  const StreamFacts& Facts() const { return facts_; }

 protected:
  std::vector<MediaType> ProposedTypes() override {
    if (facts_.kind == StreamFacts::Kind::Video)
      return {RgbVideoType(facts_.width, facts_.height, 24, facts_.frameRate),
              RgbVideoType(facts_.width, facts_.height, 32, facts_.frameRate),
              I420VideoType(facts_.width, facts_.height, facts_.frameRate)};
    return {PcmAudioType(facts_.sampleRate, std::min(facts_.channels, 2))};
  }

 private:
  StreamFacts facts_;
};

class DecodingSource : public FilterBase, public IFileSourceFilter, public MediaTimeSeeking {
 public:
  DecodingSource() : FilterBase(CLSID_DecodingSource) { AddPin(new StreamInputPin(this)); }
  ~DecodingSource() override {
    OnStop();
    sws_freeContext(planar_);
  }

  ULONG AddRef() override { return FilterBase::AddRef(); }
  ULONG Release() override { return FilterBase::Release(); }
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IFileSourceFilter) return Hand<IFileSourceFilter>(this, object);
    if (iid == IID_IMediaSeeking) return Hand<IMediaSeeking>(this, object);
    return FilterBase::QueryInterface(iid, object);
  }

  // IFileSourceFilter
  HRESULT Load(LPCOLESTR file, const AM_MEDIA_TYPE*) override {
    if (!file) return E_POINTER;
    std::lock_guard lock(lock_);
    if (file_) return Code(0x80070020);  // loaded once: the file is in use
    auto opened = std::make_unique<MediaFile>();
    HRESULT hr = opened->Open(Utf8FromBstr(file));
    if (FAILED(hr)) return hr;
    int video = -1, audio = -1;
    for (size_t i = 0; i < opened->Streams().size(); ++i) {
      const StreamFacts& s = opened->Streams()[i];
      if (!s.decodable) continue;
      if (s.kind == StreamFacts::Kind::Video && video < 0) video = int(i);
      if (s.kind == StreamFacts::Kind::Audio && audio < 0) audio = int(i);
    }
    if (video < 0 && audio < 0) return kUnknownFileType;  // nothing we can decode
    if (video >= 0) AddPin(new OutputPin(this, u"Video", opened->Streams()[size_t(video)]));
    if (audio >= 0) AddPin(new OutputPin(this, u"Audio", opened->Streams()[size_t(audio)]));
    fileName_ = U16(file);
    duration_ = LONGLONG(opened->DurationSeconds() * kUnits);
    for (const auto& s : opened->Streams())
      duration_ = std::max(duration_.load(), LONGLONG(s.lengthSeconds * kUnits));
    file_ = std::move(opened);
    return S_OK;
  }
  HRESULT GetCurFile(LPOLESTR* file, AM_MEDIA_TYPE* mt) override {
    if (!file) return E_POINTER;
    *file = nullptr;
    if (mt) *mt = AM_MEDIA_TYPE{};
    if (!file_) return E_FAIL;
    *file = TaskString(fileName_);
    return S_OK;
  }

  // IMediaSeeking
  HRESULT GetCapabilities(DWORD* caps) override {
    if (!caps) return E_POINTER;
    *caps = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos |
            AM_SEEKING_CanGetDuration;
    return S_OK;
  }
  HRESULT GetDuration(LONGLONG* d) override {
    if (!d) return E_POINTER;
    *d = duration_;
    return S_OK;
  }
  HRESULT GetStopPosition(LONGLONG* s) override {
    if (!s) return E_POINTER;
    *s = stop_ > 0 ? stop_ : duration_;
    return S_OK;
  }
  HRESULT GetCurrentPosition(LONGLONG* c) override {
    if (!c) return E_POINTER;
    *c = position_;
    return S_OK;
  }
  HRESULT ConvertTimeFormat(LONGLONG* target, const GUID*, LONGLONG source, const GUID*) override {
    if (!target) return E_POINTER;
    *target = source;
    return S_OK;
  }
  HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop,
                       DWORD stopFlags) override {
    if (State() != State_Stopped) return VFW_E_NOT_STOPPED;  // seeks happen between runs
    DWORD cur = currentFlags & AM_SEEKING_PositioningBitsMask;
    if (current && cur == AM_SEEKING_AbsolutePositioning) start_ = std::max<LONGLONG>(0, *current);
    if (current && cur == AM_SEEKING_RelativePositioning) start_ = std::max<LONGLONG>(0, start_ + *current);
    DWORD st = stopFlags & AM_SEEKING_PositioningBitsMask;
    if (stop && st == AM_SEEKING_AbsolutePositioning) stop_ = std::max<LONGLONG>(0, *stop);
    if (stop && st == AM_SEEKING_RelativePositioning) stop_ = std::max<LONGLONG>(0, stop_ + *stop);
    position_ = start_.load();
    return S_OK;
  }
  HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override {
    if (current) *current = position_;
    if (stop) GetStopPosition(stop);
    return S_OK;
  }
  HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override {
    if (earliest) *earliest = 0;
    if (latest) *latest = duration_;
    return S_OK;
  }
  HRESULT SetRate(double rate) override { return SetNormalRateOnly(rate); }
  HRESULT GetRate(double* rate) override { return AnswerNormalRate(rate); }
  HRESULT GetPreroll(LONGLONG* preroll) override { return AnswerNoPreroll(preroll); }

  bool Loaded() {
    std::lock_guard lock(lock_);
    return file_ != nullptr;
  }

 protected:
  HRESULT OnPause() override {
    std::lock_guard lock(runLock_);
    paused_ = true;
    return S_OK;
  }
  HRESULT OnRun() override {
    if (!file_) return VFW_E_NOT_CONNECTED;
    {
      std::lock_guard lock(runLock_);
      paused_ = false;
    }
    runChanged_.notify_all();
    if (!thread_.joinable()) {
      stopping_ = false;
      file_->Interrupt(false);
      thread_ = std::thread([this] { Stream(); });
    }
    return S_OK;
  }
  void OnStop() override {
    {
      std::lock_guard lock(runLock_);
      stopping_ = true;
      paused_ = false;
    }
    // A read waiting on a silent server ends now rather than at the network timeout.
    if (file_ && thread_.joinable()) file_->Interrupt(true);
    runChanged_.notify_all();
    if (thread_.joinable()) thread_.join();
  }

 private:
  struct Lane {
    OutputPin* pin = nullptr;
    AVCodecContext* codec = nullptr;  // audio only; video goes through `video`
    bool ended = false;
  };

  bool Stopping() {
    std::lock_guard lock(runLock_);
    return stopping_;
  }
  // Blocks while paused; false when the run is being stopped.
  bool Continue() {
    std::unique_lock lock(runLock_);
    runChanged_.wait(lock, [&] { return !paused_ || stopping_; });
    return !stopping_;
  }

  void Stream();
  HRESULT SendVideo(Lane& lane, VideoDecoder& decoder, AVFrame* frame, double seconds, double length);
  HRESULT SendPlanar(Lane& lane, const VIDEOINFOHEADER& vih, AVFrame* frame, double seconds, double length);
  HRESULT SendAudio(Lane& lane, SwrContext* swr, AVFrame* frame, double seconds);

  std::unique_ptr<MediaFile> file_;
  DibFrame dib_;                  // streaming thread only
  // The pictures' buffers: a receiver holds a few at a time, queued for its encoder.
  std::shared_ptr<SampleBufferPool> pictures_ = std::make_shared<SampleBufferPool>(8);
  SwsContext* planar_ = nullptr;  // streaming thread only
  std::u16string fileName_;
  std::atomic<LONGLONG> start_{0}, stop_{0}, position_{0}, duration_{0};
  std::thread thread_;
  std::mutex runLock_;
  std::condition_variable runChanged_;
  bool paused_ = false, stopping_ = false;
};

HRESULT StreamInputPin::OnConnected() {
  // The file source upstream names the file; this filter reads it itself.
  ComPtr<IPin> upstream;
  if (FAILED(ConnectedTo(upstream.Put()))) return VFW_E_NOT_CONNECTED;
  PIN_INFO info;
  if (FAILED(upstream->QueryPinInfo(&info)) || !info.pFilter) return E_FAIL;
  auto filter = ComPtr<IBaseFilter>::Attach(info.pFilter);
  ComPtr<IFileSourceFilter> source;
  if (FAILED(filter.As(IID_IFileSourceFilter, source))) return E_NOINTERFACE;
  LPOLESTR name = nullptr;
  if (FAILED(source->GetCurFile(&name, nullptr)) || !name) return E_FAIL;
  auto* self = static_cast<DecodingSource*>(owner_);
  HRESULT hr = self->Loaded() ? S_OK : self->Load(name, nullptr);
  CoTaskMemFree(name);
  return hr;
}

HRESULT DecodingSource::SendVideo(Lane& lane, VideoDecoder& decoder, AVFrame* frame, double seconds,
                                  double length) {
  const VIDEOINFOHEADER* vih = lane.pin->Type().VideoInfo();
  if (!vih) return VFW_E_INVALIDMEDIATYPE;
  if (lane.pin->Type().subtype == MEDIASUBTYPE_I420) return SendPlanar(lane, *vih, frame, seconds, length);
  DibFrame& dib = dib_;  // kept between pictures so its buffer is not made afresh each time
  if (!decoder.Convert(frame, dib, vih->bmiHeader.biWidth, std::abs(vih->bmiHeader.biHeight),
                       vih->bmiHeader.biBitCount))
    return S_OK;  // a picture that cannot be converted is skipped, not fatal
  auto sample = ComPtr<MediaSample>::Attach(new MediaSample(dib.bits.size(), pictures_));
  std::copy(dib.bits.begin(), dib.bits.end(), sample->Data().begin());
  sample->SetActualDataLength(LONG(dib.bits.size()));
  double base = double(start_) / kUnits;
  REFERENCE_TIME t0 = REFERENCE_TIME((seconds - base) * kUnits);
  REFERENCE_TIME t1 = t0 + REFERENCE_TIME(length * kUnits);
  sample->SetTime(&t0, &t1);
  position_ = start_ + t1;
  return lane.pin->Deliver(sample.Get());
}

HRESULT DecodingSource::SendPlanar(Lane& lane, const VIDEOINFOHEADER& vih, AVFrame* frame, double seconds,
                                   double length) {
  const int width = vih.bmiHeader.biWidth, height = std::abs(vih.bmiHeader.biHeight);
  ComPtr<MediaSample> sample;
  if (frame->format == AV_PIX_FMT_YUV420P && frame->width == width && frame->height == height &&
      frame->linesize[0] >= width && frame->linesize[1] >= (width + 1) / 2 && frame->linesize[2] >= (width + 1) / 2) {
    // The decoder's own picture is lent, not copied: it goes back to the decoder's pool once
    // the consumer lets go of the sample.
    AVFrame* lent = av_frame_clone(frame);
    if (!lent) return E_OUTOFMEMORY;
    LentPlanes picture;
    picture.owner = std::shared_ptr<const void>(lent, [](const void* f) {
      AVFrame* held = static_cast<AVFrame*>(const_cast<void*>(f));
      av_frame_free(&held);
    });
    for (int plane = 0; plane < 3; ++plane) {
      picture.planes[plane] = lent->data[plane];
      picture.strides[plane] = lent->linesize[plane];
    }
    picture.width = width;
    picture.height = height;
    sample = ComPtr<MediaSample>::Attach(new MediaSample(std::move(picture)));
  } else {
    sample = ComPtr<MediaSample>::Attach(new MediaSample(I420Size(width, height), pictures_));
    uint8_t* y = sample->Data().data();
    uint8_t* u = y + std::size_t(width) * height;
    uint8_t* v = u + std::size_t((width + 1) / 2) * ((height + 1) / 2);
    uint8_t* planes[4] = {y, u, v, nullptr};
    int strides[4] = {width, (width + 1) / 2, (width + 1) / 2, 0};
    planar_ = sws_getCachedContext(planar_, frame->width, frame->height, AVPixelFormat(frame->format), width, height,
                                   AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!planar_) return S_OK;  // a picture that cannot be converted is skipped, not fatal
    sws_scale(planar_, frame->data, frame->linesize, 0, frame->height, planes, strides);
  }
  sample->SetActualDataLength(LONG(I420Size(width, height)));
  double base = double(start_) / kUnits;
  REFERENCE_TIME t0 = REFERENCE_TIME((seconds - base) * kUnits);
  REFERENCE_TIME t1 = t0 + REFERENCE_TIME(length * kUnits);
  sample->SetTime(&t0, &t1);
  position_ = start_ + t1;
  return lane.pin->Deliver(sample.Get());
}

HRESULT DecodingSource::SendAudio(Lane& lane, SwrContext* swr, AVFrame* frame, double seconds) {
  const WAVEFORMATEX* wfx = lane.pin->Type().WaveFormat();
  if (!wfx) return VFW_E_INVALIDMEDIATYPE;
  int capacity = swr_get_out_samples(swr, frame->nb_samples);
  if (capacity <= 0) return S_OK;
  auto sample = ComPtr<MediaSample>::Attach(new MediaSample(size_t(capacity) * wfx->nBlockAlign));
  uint8_t* out[1] = {sample->Data().data()};
  int got = swr_convert(swr, out, capacity, const_cast<const uint8_t**>(frame->extended_data),
                        frame->nb_samples);
  if (got <= 0) return S_OK;
  double base = double(start_) / kUnits;
  // Sound from before the start is cut off, so what is sent starts exactly at it.
  int skip = seconds < base ? int(std::min<double>(got, std::llround((base - seconds) * wfx->nSamplesPerSec))) : 0;
  if (skip >= got) return S_OK;
  if (skip > 0) {
    BYTE* data = sample->Data().data();
    std::memmove(data, data + size_t(skip) * wfx->nBlockAlign, size_t(got - skip) * wfx->nBlockAlign);
    got -= skip;
  }
  sample->SetActualDataLength(got * wfx->nBlockAlign);
  REFERENCE_TIME t0 = REFERENCE_TIME(std::max(0.0, seconds - base) * kUnits);
  REFERENCE_TIME t1 = t0 + REFERENCE_TIME(double(got) / wfx->nSamplesPerSec * kUnits);
  sample->SetTime(&t0, &t1);
  return lane.pin->Deliver(sample.Get());
}

void DecodingSource::Stream() {
  MediaFile& file = *file_;
  AVFormatContext* fmt = file.Format();
  Lane video, audio;
  VideoDecoder videoDecoder;
  SwrContext* swr = nullptr;
  HRESULT failure = S_OK;
  for (PinBase* p : Pins()) {
    if (p->Direction() != PINDIR_OUTPUT || !p->IsConnected()) continue;
    auto* pin = static_cast<OutputPin*>(p);
    if (pin->Facts().kind == StreamFacts::Kind::Video) {
      video.pin = pin;
      failure = videoDecoder.Open(file, pin->Facts().fileIndex);
    } else {
      audio.pin = pin;
      const AVStream* st = fmt->streams[pin->Facts().fileIndex];
      const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
      audio.codec = avcodec_alloc_context3(codec);
      avcodec_parameters_to_context(audio.codec, st->codecpar);
      audio.codec->pkt_timebase = st->time_base;
      if (avcodec_open2(audio.codec, codec, nullptr) < 0) failure = kUnknownFileType;
      const WAVEFORMATEX* wfx = pin->Type().WaveFormat();
      AVChannelLayout outLayout;
      av_channel_layout_default(&outLayout, wfx ? wfx->nChannels : 2);
      if (SUCCEEDED(failure) &&
          swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16, wfx ? int(wfx->nSamplesPerSec) : 48000,
                              &audio.codec->ch_layout, audio.codec->sample_fmt,
                              audio.codec->sample_rate, 0, nullptr) < 0)
        failure = E_OUTOFMEMORY;
      if (swr && swr_init(swr) < 0) failure = E_FAIL;
    }
  }

  const double startSec = double(start_) / kUnits;
  const double stopSec = stop_ > 0 ? double(stop_) / kUnits : 0;
  if (SUCCEEDED(failure) && startSec > 0) {
    // A second early: some indexes mark pictures as key frames that the decoder cannot
    // start from, and the pictures up to the start are decoded and held, not delivered.
    std::int64_t target = fmt->start_time == AV_NOPTS_VALUE ? 0 : fmt->start_time;
    target += std::int64_t(std::max(0.0, startSec - kSeekMargin) * AV_TIME_BASE);
    av_seek_frame(fmt, -1, target, AVSEEK_FLAG_BACKWARD);
  }
  int videoIndex = video.pin ? video.pin->Facts().fileIndex : -1;
  int audioIndex = audio.pin ? audio.pin->Facts().fileIndex : -1;
  double frameLength = video.pin && video.pin->Facts().frameRate > 0 ? 1.0 / video.pin->Facts().frameRate : 0.04;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  AVFrame* held = av_frame_alloc();  // the last picture before the start position
  bool haveHeld = false;
  const double epsilon = 1e-6;

  auto videoFrames = [&](bool flush) {
    if (flush && haveHeld && !video.ended) {
      // The stream ended before passing the start: its last picture is what shows there.
      if (SendVideo(video, videoDecoder, held, startSec, frameLength) != S_OK) video.ended = true;
      haveHeld = false;
    }
  };
  double lastVideoTime = -1;
  auto drainVideo = [&] {
    while (!video.ended && avcodec_receive_frame(videoDecoder.Codec(), frame) == 0) {
      // Pictures without a time stamp (the last ones of some program streams) follow on.
      bool stamped = frame->best_effort_timestamp != AV_NOPTS_VALUE || frame->pts != AV_NOPTS_VALUE;
      double t = stamped || lastVideoTime < 0 ? videoDecoder.SecondsOf(frame) : lastVideoTime + frameLength;
      lastVideoTime = t;
      if (stopSec > 0 && t >= stopSec - epsilon) {
        video.ended = true;
      } else if (t < startSec - epsilon) {
        av_frame_unref(held);
        av_frame_move_ref(held, frame);
        haveHeld = true;
      } else {
        if (haveHeld && t > startSec + epsilon) {
          if (SendVideo(video, videoDecoder, held, startSec, frameLength) != S_OK) video.ended = true;
        }
        haveHeld = false;
        if (!video.ended && SendVideo(video, videoDecoder, frame, t, frameLength) != S_OK)
          video.ended = true;
      }
      av_frame_unref(frame);
    }
  };
  // Sound is timed from the first picture, as pictures are, so that a track that starts
  // late or early keeps its place against them.
  int originIndex = audioIndex;
  if (int v = file.FirstOf(StreamFacts::Kind::Video); v >= 0) originIndex = file.Streams()[size_t(v)].fileIndex;
  auto drainAudio = [&] {
    const AVStream* st = fmt->streams[audioIndex];
    const AVStream* origin = fmt->streams[originIndex];
    std::int64_t first = origin->start_time == AV_NOPTS_VALUE
                             ? 0
                             : av_rescale_q(origin->start_time, origin->time_base, st->time_base);
    while (!audio.ended && avcodec_receive_frame(audio.codec, frame) == 0) {
      std::int64_t ts = frame->best_effort_timestamp == AV_NOPTS_VALUE ? frame->pts : frame->best_effort_timestamp;
      double t = ts == AV_NOPTS_VALUE ? 0 : double(ts - first) * av_q2d(st->time_base);
      double end = t + double(frame->nb_samples) / std::max(1, frame->sample_rate);
      if (stopSec > 0 && t >= stopSec) audio.ended = true;
      else if (end > startSec && SendAudio(audio, swr, frame, t) != S_OK) audio.ended = true;
      av_frame_unref(frame);
    }
  };

  bool eof = FAILED(failure);
  while (!eof && Continue()) {
    bool videoLive = video.pin && !video.ended, audioLive = audio.pin && !audio.ended;
    if (!videoLive && !audioLive) break;
    if (int rc = av_read_frame(fmt, packet); rc < 0) {
      eof = true;
      if (HRESULT why = file.ReadFailure(rc); FAILED(why) && !Stopping()) {
        // Stopped short: what was decoded is not the whole source, so the run fails.
        failure = why;
        break;
      }
      if (videoLive) {
        avcodec_send_packet(videoDecoder.Codec(), nullptr);
        drainVideo();
        videoFrames(true);
      }
      if (audioLive) {
        avcodec_send_packet(audio.codec, nullptr);
        drainAudio();
      }
      break;
    }
    if (packet->stream_index == videoIndex && videoLive) {
      avcodec_send_packet(videoDecoder.Codec(), packet);
      drainVideo();
    } else if (packet->stream_index == audioIndex && audioLive) {
      avcodec_send_packet(audio.codec, packet);
      drainAudio();
    }
    av_packet_unref(packet);
  }
  av_frame_free(&held);
  av_frame_free(&frame);
  av_packet_free(&packet);
  if (swr) swr_free(&swr);
  if (audio.codec) avcodec_free_context(&audio.codec);

  bool stopped;
  {
    std::lock_guard lock(runLock_);
    stopped = stopping_;
  }
  if (FAILED(failure)) {
    NotifyEvent(EC_ERRORABORT, failure, 0);
  } else if (!stopped) {
    if (video.pin) video.pin->DeliverEndOfStream();
    if (audio.pin) audio.pin->DeliverEndOfStream();
  }
}

}  // namespace

HRESULT CreateDecodingSource(REFIID iid, void** object) {
  return CreateAndQuery<DecodingSource>(iid, object);
}

}  // namespace vantrel::media
