// SPDX-License-Identifier: GPL-3.0-or-later
// The memory stream hosts keep a control's saved state in.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/stream.h"

namespace vantrel::com {
namespace {

std::vector<BYTE> BytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string ReadAll(IStream* stream, ULONG size, HRESULT* hr = nullptr) {
  std::string text(size, '\0');
  ULONG read = 0;
  HRESULT result = stream->Read(text.data(), size, &read);
  if (hr) *hr = result;
  text.resize(read);
  return text;
}

TEST(MemoryStreamTest, WritesGrowReadsStopAtTheEndAndSeeksReportThePosition) {
  ComPtr<IStream> stream = ComPtr<IStream>::Attach(new MemoryStream());
  ULONG written = 0;
  ASSERT_EQ(stream->Write("hello world", 11, &written), S_OK);
  EXPECT_EQ(written, 11u);
  ULARGE_INTEGER position = 99;
  ASSERT_EQ(stream->Seek(6, STREAM_SEEK_SET, &position), S_OK);
  EXPECT_EQ(position, 6u);
  ASSERT_EQ(stream->Write("there", 5, nullptr), S_OK);  // overwrites, does not insert
  ASSERT_EQ(stream->Seek(-11, STREAM_SEEK_CUR, &position), S_OK);
  EXPECT_EQ(position, 0u);
  HRESULT hr = E_FAIL;
  EXPECT_EQ(ReadAll(stream.Get(), 64, &hr), "hello there");
  EXPECT_EQ(hr, S_FALSE);  // fewer bytes than asked
  EXPECT_EQ(ReadAll(stream.Get(), 4), "");

  EXPECT_EQ(stream->Seek(-12, STREAM_SEEK_END, &position), STG_E_INVALIDFUNCTION);
  ASSERT_EQ(stream->Seek(-5, STREAM_SEEK_END, &position), S_OK);
  EXPECT_EQ(position, 6u);
  EXPECT_EQ(ReadAll(stream.Get(), 5, &hr), "there");
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(stream->Seek(0, 7, nullptr), STG_E_INVALIDFUNCTION);

  // Writing past the end fills the gap with zeros.
  ASSERT_EQ(stream->Seek(13, STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(stream->Write("!", 1, nullptr), S_OK);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat, 0), S_OK);
  EXPECT_EQ(stat.cbSize, 14u);
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(static_cast<MemoryStream*>(stream.Get())->Bytes(),
            BytesOf(std::string("hello there\0\0!", 14)));
}

TEST(MemoryStreamTest, SizeCloneAndCopyKeepTheirOwnBytes) {
  IStream* raw = nullptr;
  ASSERT_EQ(CreateMemoryStream(BytesOf("abcdef"), &raw), S_OK);
  ComPtr<IStream> stream = ComPtr<IStream>::Attach(raw);
  ComPtr<ISequentialStream> sequential;
  EXPECT_EQ(stream.As(IID_ISequentialStream, sequential), S_OK);
  EXPECT_EQ(ReadAll(stream.Get(), 2), "ab");

  ComPtr<IStream> clone;
  ASSERT_EQ(stream->Clone(clone.Put()), S_OK);
  EXPECT_EQ(ReadAll(clone.Get(), 2), "cd");  // starts where the original was
  ASSERT_EQ(clone->Write("XY", 2, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream.Get(), 4), "cdef");

  ComPtr<IStream> target = ComPtr<IStream>::Attach(new MemoryStream());
  ASSERT_EQ(stream->Seek(1, STREAM_SEEK_SET, nullptr), S_OK);
  ULARGE_INTEGER read = 0, written = 0;
  ASSERT_EQ(stream->CopyTo(target.Get(), 3, &read, &written), S_OK);
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(written, 3u);
  EXPECT_EQ(static_cast<MemoryStream*>(target.Get())->Bytes(), BytesOf("bcd"));
  EXPECT_EQ(ReadAll(stream.Get(), 9), "ef");  // the copy moved the position

  ASSERT_EQ(stream->SetSize(3), S_OK);
  ASSERT_EQ(stream->Seek(0, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(ReadAll(stream.Get(), 9), "abc");

  // Sizes memory cannot hold are refused and leave the bytes as they were.
  ASSERT_EQ(stream->Seek(LARGE_INTEGER(1) << 60, STREAM_SEEK_SET, nullptr), S_OK);
  EXPECT_EQ(stream->Write("Z", 1, nullptr), STG_E_MEDIUMFULL);
  EXPECT_EQ(stream->SetSize(ULARGE_INTEGER(1) << 61), STG_E_MEDIUMFULL);
  EXPECT_EQ(static_cast<MemoryStream*>(stream.Get())->Bytes(), BytesOf("abc"));
}

}  // namespace
}  // namespace vantrel::com
