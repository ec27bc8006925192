// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/media/media_type.h"

namespace vantrel::media {

MediaType RgbVideoType(int width, int height, int bitsPerPixel, double framesPerSecond) {
  MediaType mt;
  mt.majortype = MEDIATYPE_Video;
  mt.subtype = bitsPerPixel == 32 ? MEDIASUBTYPE_RGB32 : MEDIASUBTYPE_RGB24;
  mt.formattype = FORMAT_VideoInfo;
  mt.bFixedSizeSamples = 1;
  VIDEOINFOHEADER vih;
  vih.rcSource = RECT{0, 0, width, height};
  vih.rcTarget = vih.rcSource;
  vih.AvgTimePerFrame = framesPerSecond > 0 ? REFERENCE_TIME(10000000.0 / framesPerSecond) : 0;
  vih.bmiHeader.biWidth = width;
  vih.bmiHeader.biHeight = height;
  vih.bmiHeader.biBitCount = WORD(bitsPerPixel);
  DWORD stride = DWORD(((width * bitsPerPixel + 31) / 32) * 4);
  vih.bmiHeader.biSizeImage = stride * DWORD(height);
  vih.dwBitRate = DWORD(double(vih.bmiHeader.biSizeImage) * 8 * framesPerSecond);
  mt.lSampleSize = vih.bmiHeader.biSizeImage;
  mt.SetFormat(&vih, sizeof vih);
  return mt;
}

MediaType I420VideoType(int width, int height, double framesPerSecond) {
  MediaType mt;
  mt.majortype = MEDIATYPE_Video;
  mt.subtype = MEDIASUBTYPE_I420;
  mt.formattype = FORMAT_VideoInfo;
  mt.bFixedSizeSamples = 1;
  VIDEOINFOHEADER vih;
  vih.rcSource = RECT{0, 0, width, height};
  vih.rcTarget = vih.rcSource;
  vih.AvgTimePerFrame = framesPerSecond > 0 ? REFERENCE_TIME(10000000.0 / framesPerSecond) : 0;
  vih.bmiHeader.biWidth = width;
  vih.bmiHeader.biHeight = height;
  vih.bmiHeader.biBitCount = 12;
  vih.bmiHeader.biCompression = MEDIASUBTYPE_I420.Data1;
  vih.bmiHeader.biSizeImage = DWORD(I420Size(width, height));
  vih.dwBitRate = DWORD(double(vih.bmiHeader.biSizeImage) * 8 * framesPerSecond);
  mt.lSampleSize = vih.bmiHeader.biSizeImage;
  mt.SetFormat(&vih, sizeof vih);
  return mt;
}

MediaType PcmAudioType(int sampleRate, int channels) {
  MediaType mt;
  mt.majortype = MEDIATYPE_Audio;
  mt.subtype = MEDIASUBTYPE_PCM;
  mt.formattype = FORMAT_WaveFormatEx;
  mt.bFixedSizeSamples = 1;
  WAVEFORMATEX wfx;
  wfx.nChannels = WORD(channels);
  wfx.nSamplesPerSec = DWORD(sampleRate);
  wfx.wBitsPerSample = 16;
  wfx.nBlockAlign = WORD(channels * 2);
  wfx.nAvgBytesPerSec = DWORD(sampleRate) * wfx.nBlockAlign;
  mt.lSampleSize = wfx.nBlockAlign;
  mt.SetFormat(&wfx, sizeof wfx);
  return mt;
}

}  // namespace vantrel::media
