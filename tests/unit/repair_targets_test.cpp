// SPDX-License-Identifier: GPL-3.0-or-later
// Where repairs go: one file per title, names that fit the file system, and the record
// that lets a later run use an unchanged repair again.
#include "authoring/repair_targets.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <sys/time.h>

#include "base/paths.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

constexpr const char* kPrefix = "(TaliroFixedDVD)";

TEST(RepairTargets, TitlesThatWouldShareAFileGetNamesOfTheirOwn) {
  RepairTargets targets("/w", kPrefix);
  EXPECT_EQ(targets.For("/a/movie.avi"), "/w/(TaliroFixedDVD)movie.avi");
  EXPECT_EQ(targets.For("/b/movie.avi"), "/w/(TaliroFixedDVD)movie (2).avi");
  // "movie.avi" is written as "movie.mpg": the MPEG of the same name must not meet it.
  EXPECT_EQ(targets.For("/a/movie.mpg"), "/w/(TaliroFixedDVD)movie (3).mpg");
  EXPECT_EQ(targets.For("/c/movie.MPG"), "/w/(TaliroFixedDVD)movie.MPG");
  EXPECT_EQ(targets.For("/a/movie.avi"), "/w/(TaliroFixedDVD)movie.avi");  // the same title twice
  EXPECT_EQ(targets.For("/a/README"), "/w/(TaliroFixedDVD)README");
  EXPECT_EQ(targets.For("/b/README"), "/w/(TaliroFixedDVD)README (2)");
}

TEST(RepairTargets, ALongNameIsShortenedInItsStemWithoutSplittingACharacter) {
  RepairTargets targets("/w", kPrefix);
  std::string stem;
  while (stem.size() < 246) stem += "视";  // 3 bytes each: 246 bytes, 250 with ".avi"
  const std::string first = targets.For("/a/" + stem + ".avi");
  const std::string name = first.substr(3);
  EXPECT_LE(name.size(), RepairTargets::kNameMax);
  EXPECT_EQ(name.rfind(kPrefix, 0), 0u);
  EXPECT_EQ(name.substr(name.size() - 4), ".avi");
  EXPECT_EQ((name.size() - 16 - 4) % 3, 0u) << "cut inside a character";
  const std::string second = targets.For("/b/" + stem + ".avi");
  EXPECT_LE(second.size() - 3, RepairTargets::kNameMax);
  EXPECT_NE(second, first);
  EXPECT_EQ(second.substr(second.size() - 8), " (2).avi");
}

TEST(RepairRecord, AnUnchangedSourceWithTheSameSettingsIsUsedAgain) {
  test::TempFolder temp;
  const std::string source = temp / "clip.avi", target = temp / "(TaliroFixedDVD)clip.mpg";
  test::WriteText(source, "source bytes");
  test::WriteText(target, "repaired bytes");
  RecordRepair(target, RepairOrigin::Of(source, "ntsc=0"));
  EXPECT_TRUE(RepairStillValid(target, RepairOrigin::Of(source, "ntsc=0")));
  EXPECT_FALSE(RepairStillValid(target, RepairOrigin::Of(source, "ntsc=1")));  // other settings
  EXPECT_FALSE(RepairStillValid(target, RepairOrigin::Of(temp / "other.avi", "ntsc=0")));

  // The source changed (same size, a new time): made again.
  test::WriteText(source, "SOURCE BYTES");
  EXPECT_FALSE(RepairStillValid(target, RepairOrigin::Of(source, "ntsc=0")));
  RecordRepair(target, RepairOrigin::Of(source, "ntsc=0"));
  EXPECT_TRUE(RepairStillValid(target, RepairOrigin::Of(source, "ntsc=0")));
  // The repair itself changed since.
  test::WriteText(target, "something else");
  EXPECT_FALSE(RepairStillValid(target, RepairOrigin::Of(source, "ntsc=0")));
  ForgetRepair(target);
  EXPECT_FALSE(FileExists(RepairRecordPath(target)));
}

// A source written to while it was converted is found out by its size or its time.
TEST(RepairRecord, ASourceIsUnchangedOnlyWithItsSizeAndTime) {
  test::TempFolder temp;
  const std::string source = temp / "clip.avi";
  test::WriteText(source, "source bytes");
  const RepairOrigin origin = RepairOrigin::Of(source, "ntsc=0");
  EXPECT_TRUE(origin.SourceUnchanged());
  const auto written = std::filesystem::last_write_time(source);
  std::filesystem::last_write_time(source, written + std::chrono::seconds(1));
  EXPECT_FALSE(origin.SourceUnchanged()) << "a new time";
  std::filesystem::last_write_time(source, written);
  EXPECT_TRUE(origin.SourceUnchanged());
  test::WriteText(source, "source bytes and more");
  std::filesystem::last_write_time(source, written);
  EXPECT_FALSE(origin.SourceUnchanged()) << "a new size";
  std::filesystem::remove(source);
  EXPECT_FALSE(origin.SourceUnchanged()) << "gone";
}

}  // namespace
}  // namespace vantrel
