// SPDX-License-Identifier: GPL-3.0-or-later
// The memory stream.
#include "platform/com/stream.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace vantrel::com {

HRESULT MemoryStream::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream)
    return Hand<IStream>(this, object);
  return E_NOINTERFACE;
}

// A size memory cannot hold (a seek far past the end, then a write) is refused, not thrown.
bool MemoryStream::Grow(size_t size) {
  try {
    bytes_.resize(size);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

HRESULT MemoryStream::Read(void* buffer, ULONG size, ULONG* read) {
  if (!buffer && size) return STG_E_INVALIDPOINTER;
  std::lock_guard guard(lock_);
  const size_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
  const size_t count = std::min<size_t>(size, left);
  if (count) std::memcpy(buffer, bytes_.data() + position_, count);
  position_ += count;
  if (read) *read = ULONG(count);
  return count == size ? S_OK : S_FALSE;
}

HRESULT MemoryStream::Write(const void* buffer, ULONG size, ULONG* written) {
  if (!buffer && size) return STG_E_INVALIDPOINTER;
  std::lock_guard guard(lock_);
  if (bytes_.size() < position_ + size && !Grow(position_ + size)) return STG_E_MEDIUMFULL;
  if (size) std::memcpy(bytes_.data() + position_, buffer, size);
  position_ += size;
  if (written) *written = size;
  return S_OK;
}

HRESULT MemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
  std::lock_guard guard(lock_);
  LARGE_INTEGER base = 0;
  switch (origin) {
    case STREAM_SEEK_SET: base = 0; break;
    case STREAM_SEEK_CUR: base = LARGE_INTEGER(position_); break;
    case STREAM_SEEK_END: base = LARGE_INTEGER(bytes_.size()); break;
    default: return STG_E_INVALIDFUNCTION;
  }
  if (base + move < 0) return STG_E_INVALIDFUNCTION;
  position_ = size_t(base + move);  // past the end is allowed; a write there fills zeros
  if (position) *position = position_;
  return S_OK;
}

HRESULT MemoryStream::SetSize(ULARGE_INTEGER size) {
  std::lock_guard guard(lock_);
  return Grow(size_t(size)) ? S_OK : STG_E_MEDIUMFULL;
}

HRESULT MemoryStream::CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                             ULARGE_INTEGER* written) {
  if (!target) return STG_E_INVALIDPOINTER;
  std::vector<BYTE> chunk;
  {
    std::lock_guard guard(lock_);
    const size_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
    const size_t count = size_t(std::min<ULARGE_INTEGER>(size, left));
    chunk.assign(bytes_.begin() + std::ptrdiff_t(position_),
                 bytes_.begin() + std::ptrdiff_t(position_ + count));
    position_ += count;
  }
  ULONG done = 0;
  HRESULT hr = target->Write(chunk.data(), ULONG(chunk.size()), &done);
  if (read) *read = chunk.size();
  if (written) *written = done;
  return FAILED(hr) ? hr : S_OK;
}

HRESULT MemoryStream::Stat(STATSTG* stat, DWORD) {
  if (!stat) return STG_E_INVALIDPOINTER;
  std::lock_guard guard(lock_);
  *stat = STATSTG();  // a memory stream has no name to give
  stat->type = STGTY_STREAM;
  stat->cbSize = bytes_.size();
  return S_OK;
}

HRESULT MemoryStream::Clone(IStream** copy) {
  if (!copy) return STG_E_INVALIDPOINTER;
  std::lock_guard guard(lock_);
  auto* clone = new (std::nothrow) MemoryStream(bytes_);
  if (!clone) return E_OUTOFMEMORY;
  clone->position_ = position_;
  *copy = clone;
  return S_OK;
}

std::vector<BYTE> MemoryStream::Bytes() const {
  std::lock_guard guard(lock_);
  return bytes_;
}

HRESULT CreateMemoryStream(std::vector<BYTE> bytes, IStream** stream) {
  if (!stream) return E_POINTER;
  *stream = new (std::nothrow) MemoryStream(std::move(bytes));
  return *stream ? S_OK : E_OUTOFMEMORY;
}

}  // namespace vantrel::com
