// SPDX-License-Identifier: GPL-3.0-or-later
// Byte streams as the persistence interfaces take them, and a stream held in memory for
// hosts that keep a control's saved state in their own files (and for tests).
#pragma once

#include <mutex>
#include <vector>

#include "platform/com/object.h"
#include "platform/com/unknown.h"

namespace vantrel::com {

inline constexpr IID IID_ISequentialStream = MakeGuid("0C733A30-2A1C-11CE-ADE5-00AA0044773D");
inline constexpr IID IID_IStream = MakeGuid("0000000C-0000-0000-C000-000000000046");

inline constexpr HRESULT STG_E_INVALIDFUNCTION = Code(0x80030001);
inline constexpr HRESULT STG_E_INVALIDPOINTER = Code(0x80030009);
inline constexpr HRESULT STG_E_READFAULT = Code(0x8003001E);
inline constexpr HRESULT STG_E_MEDIUMFULL = Code(0x80030070);

using LARGE_INTEGER = std::int64_t;
using ULARGE_INTEGER = std::uint64_t;

enum STREAM_SEEK : DWORD { STREAM_SEEK_SET = 0, STREAM_SEEK_CUR = 1, STREAM_SEEK_END = 2 };

struct FILETIME {
  DWORD dwLowDateTime = 0;
  DWORD dwHighDateTime = 0;
};

struct STATSTG {
  LPOLESTR pwcsName = nullptr;  // task memory; not filled when STATFLAG_NONAME is asked
  DWORD type = 0;
  ULARGE_INTEGER cbSize = 0;
  FILETIME mtime, ctime, atime;
  DWORD grfMode = 0;
  DWORD grfLocksSupported = 0;
  CLSID clsid;
  DWORD grfStateBits = 0;
  DWORD reserved = 0;
};

inline constexpr DWORD STGTY_STREAM = 2;

class ISequentialStream : public IUnknown {
 public:
  virtual HRESULT Read(void* buffer, ULONG size, ULONG* read) = 0;          // 3
  virtual HRESULT Write(const void* buffer, ULONG size, ULONG* written) = 0;  // 4
};

class IStream : public ISequentialStream {
 public:
  virtual HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) = 0;  // 5
  virtual HRESULT SetSize(ULARGE_INTEGER size) = 0;                                     // 6
  virtual HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                         ULARGE_INTEGER* written) = 0;                                   // 7
  virtual HRESULT Commit(DWORD flags) = 0;                                               // 8
  virtual HRESULT Revert() = 0;                                                          // 9
  virtual HRESULT LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;  // 10
  virtual HRESULT UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size,
                               DWORD type) = 0;                                          // 11
  virtual HRESULT Stat(STATSTG* stat, DWORD flags) = 0;                                  // 12
  virtual HRESULT Clone(IStream** copy) = 0;                                             // 13
};

// A growable stream over bytes in memory, positioned at the start. Writing past the end
// grows it; reading past the end gives fewer bytes (S_FALSE when none is left to give).
class MemoryStream : public Object<IStream> {
 public:
  explicit MemoryStream(std::vector<BYTE> bytes = {}) : bytes_(std::move(bytes)) {}

  HRESULT QueryInterface(REFIID iid, void** object) override;
  HRESULT Read(void* buffer, ULONG size, ULONG* read) override;
  HRESULT Write(const void* buffer, ULONG size, ULONG* written) override;
  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
  HRESULT SetSize(ULARGE_INTEGER size) override;
  HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                 ULARGE_INTEGER* written) override;
  HRESULT Commit(DWORD) override { return S_OK; }  // memory is always up to date
  HRESULT Revert() override { return S_OK; }
  HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT Stat(STATSTG* stat, DWORD flags) override;
  // The copy starts at the same position but owns its bytes: writes to one do not show
  // in the other.
  HRESULT Clone(IStream** copy) override;

  std::vector<BYTE> Bytes() const;

 private:
  bool Grow(size_t size);  // false when memory cannot hold that many bytes
  mutable std::mutex lock_;
  std::vector<BYTE> bytes_;
  size_t position_ = 0;
};

// A new MemoryStream holding a copy of `bytes`, handed out with one reference.
HRESULT CreateMemoryStream(std::vector<BYTE> bytes, IStream** stream);

}  // namespace vantrel::com
