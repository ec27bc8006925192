// SPDX-License-Identifier: GPL-3.0-or-later
// The control object behind CVideoEdit: a dispatch-only object whose methods read the file
// through the media layer. The callers pass a path every time and ask of one file its
// duration, rate, height and width in a row: the facts of the last file read stay with the
// calling thread and serve the next question while the file is unchanged (same size,
// same modification time).
#include <sys/stat.h>

#include <cmath>
#include <string>

#include "platform/com/bstr.h"
#include "platform/com/object.h"
#include "platform/com/runtime.h"
#include "platform/media/dib_file.h"
#include "platform/media/ffmpeg_file.h"
#include "platform/videoedit/video_edit.h"

namespace vantrel::videoedit {
namespace {

using namespace com;
using media::MediaFile;
using media::StreamFacts;

// What the queries answer of one file.
struct FileFacts {
  std::string path;
  off_t size = -1;
  struct timespec modified {};
  bool open = false;
  double duration = 0, frameRate = 0;
  int width = 0, height = 0;
};

const FileFacts& FactsOf(const std::string& path) {
  thread_local FileFacts last;
  struct stat info {};
  const bool seen = ::stat(path.c_str(), &info) == 0;
  if (seen && last.path == path && last.size == info.st_size && last.modified.tv_sec == info.st_mtim.tv_sec &&
      last.modified.tv_nsec == info.st_mtim.tv_nsec)
    return last;
  last = FileFacts();
  MediaFile media;
  last.open = SUCCEEDED(media.Open(path));
  const int video = last.open ? media.FirstOf(StreamFacts::Kind::Video) : -1;
  if (last.open) last.duration = media.DurationSeconds();
  if (video >= 0) {
    const StreamFacts& v = media.Streams()[size_t(video)];
    last.frameRate = v.frameRate;
    last.width = v.width;
    last.height = v.height;
  }
  // A file that could not be looked at is asked again next time.
  if (seen) {
    last.path = path;
    last.size = info.st_size;
    last.modified = info.st_mtim;
  }
  return last;
}

class VideoEditControl : public Object<IDispatch> {
 public:
  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch) return Hand<IDispatch>(this, object);
    return E_NOINTERFACE;
  }
  HRESULT GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }

  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT* argError) override {
    if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (!params) return E_POINTER;
    UINT expected = id == kExportFrame ? 3 : 1;
    if (id != kQueryDuration && id != kExportFrame && id != kQueryFrameHeight &&
        id != kQueryFrameWidth && id != kQueryFrameRate)
      return DISP_E_MEMBERNOTFOUND;
    if (params->cArgs != expected) return DISP_E_BADPARAMCOUNT;
    // Arguments arrive in reverse order.
    VARIANT path;
    if (FAILED(VariantChangeType(&path, &params->rgvarg[expected - 1], 0, VT_BSTR))) {
      if (argError) *argError = 0;
      return DISP_E_TYPEMISMATCH;
    }
    std::string file = Utf8FromBstr(path.bstrVal);
    VariantClear(&path);
    VARIANT out;
    if (id == kExportFrame) {
      VARIANT time, bitmap;
      if (FAILED(VariantChangeType(&time, &params->rgvarg[1], 0, VT_R8)) ||
          FAILED(VariantChangeType(&bitmap, &params->rgvarg[0], 0, VT_BSTR)))
        return DISP_E_TYPEMISMATCH;
      out = MakeBoolVariant(ExportFrame(file, time.dblVal, Utf8FromBstr(bitmap.bstrVal)));
      VariantClear(&bitmap);
    } else {
      const FileFacts& facts = FactsOf(file);
      switch (id) {
        case kQueryDuration: out = MakeVariant(facts.duration); break;
        case kQueryFrameRate: out = MakeVariant(facts.frameRate); break;
        case kQueryFrameHeight:
          out.vt = VT_I2;
          out.iVal = SHORT(facts.height);
          break;
        default:
          out.vt = VT_I2;
          out.iVal = SHORT(facts.width);
          break;
      }
    }
    if (result) *result = out;
    return S_OK;
  }

 private:
  static bool ExportFrame(const std::string& file, double seconds, const std::string& bitmap) {
    MediaFile media;
    if (FAILED(media.Open(file))) return false;
    for (const StreamFacts& s : media.Streams()) {
      if (s.kind != StreamFacts::Kind::Video || !s.decodable) continue;
      media::VideoDecoder decoder;
      media::DibFrame frame;
      if (FAILED(decoder.Open(media, s.fileIndex))) return false;
      if (FAILED(decoder.FrameAt(std::max(0.0, seconds), frame, 0, 0))) return false;
      return media::WriteDibFile(bitmap, frame);
    }
    return false;
  }
};

HRESULT CreateBuiltin(REFIID iid, void** object) { return CreateAndQuery<VideoEditControl>(iid, object); }

struct Registrar {
  Registrar() { RegisterBuiltinClass(CLSID_VideoEdit, &CreateBuiltin); }
} gRegistrar;

}  // namespace

HRESULT CreateControl(REFIID iid, IDispatch** control) {
  return CreateBuiltin(iid, reinterpret_cast<void**>(control));
}

}  // namespace vantrel::videoedit
