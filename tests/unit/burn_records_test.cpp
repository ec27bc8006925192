// SPDX-License-Identifier: GPL-3.0-or-later
// The records exchanged with the disc-writing library: layout, "not defined" fills and the
// VIDEO_TS folder record.
#include <gtest/gtest.h>

#include <cstring>

#include "burn/disc_library.h"

namespace vantrel {
namespace {

template <typename T>
int32_t Int32At(const T& record, size_t offset) {
  int32_t value;
  std::memcpy(&value, reinterpret_cast<const char*>(&record) + offset, sizeof value);
  return value;
}

template <typename T>
uint8_t ByteAt(const T& record, size_t offset) {
  return reinterpret_cast<const uint8_t*>(&record)[offset];
}

TEST(BurnRecords, SizesAndOffsetsMatchTheLibraryLayout) {
  EXPECT_EQ(sizeof(MediumInfo), 72u);
  EXPECT_EQ(offsetof(MediumInfo, State), 28u);
  EXPECT_EQ(offsetof(MediumInfo, Capacity), 48u);
  EXPECT_EQ(sizeof(BurnOptions), 412u);
  EXPECT_EQ(offsetof(BurnOptions, UnderrunProtection), 404u);
  EXPECT_EQ(sizeof(DirRecord), 544u);
  EXPECT_EQ(offsetof(DirRecord, AttributeMask), 532u);
}

TEST(BurnRecords, PrefilledRecordsHoldTheNotDefinedValues) {
  MediumInfo info = PrefilledMediumInfo();
  EXPECT_STREQ(info.Type, "BS_NDEF");
  EXPECT_EQ(Int32At(info, 28), -1);
  EXPECT_EQ(info.Capacity, -1.0);
  EXPECT_EQ(info.Reserved68, -1);

  BurnOptions options = PrefilledBurnOptions();
  EXPECT_STREQ(options.VolumeLabel, "BS_NDEF");
  EXPECT_STREQ(options.Reserved134, "BS_NDEF");
  for (size_t offset : {128u, 400u, 408u}) EXPECT_EQ(Int32At(options, offset), -1) << offset;
  for (size_t offset : {132u, 133u, 394u, 395u, 396u, 397u, 404u, 405u})
    EXPECT_EQ(ByteAt(options, offset), 0xFF) << offset;
}

TEST(BurnRecords, VideoTsRecordCarriesTheFinalValuesAndRefusesAPathThatWouldBeCut) {
  DirRecord record;
  ASSERT_TRUE(VideoTsDirRecord("/home/用户/my dvd/DVD/VIDEO_TS", record));
  EXPECT_STREQ(record.Source, "/home/用户/my dvd/DVD/VIDEO_TS");
  EXPECT_STREQ(record.Target, "\\Video_Ts\\");
  EXPECT_STREQ(record.Mask, "*.*");
  EXPECT_EQ(record.AttributeMask, 0x3Fu);
  EXPECT_EQ(record.Flag, 0);
  EXPECT_EQ(record.Value, 0);

  EXPECT_TRUE(VideoTsDirRecord(std::string(259, 'a'), record));
  EXPECT_FALSE(VideoTsDirRecord(std::string(260, 'a'), record));
}

}  // namespace
}  // namespace vantrel
