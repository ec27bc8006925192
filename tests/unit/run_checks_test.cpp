// SPDX-License-Identifier: GPL-3.0-or-later
// The navigation-pack test and the VIDEO_TS result check.
#include <gtest/gtest.h>

#include "authoring/dvd_compliance.h"
#include "authoring/six_file_check.h"
#include "base/paths.h"
#include "support/recording_status.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

const std::string kPci("\x00\x00\x01\xBF\x03\xD4", 6);
const std::string kDsi("\x00\x00\x01\xBF\x03\xFA", 6);

TEST(DvdCompliance, BothNavigationPacketsWithinTheFirst16K) {
  test::TempFolder temp;
  test::RecordingStatus status;
  auto check = [&](const std::string& content) {
    test::WriteText(temp / "f.mpg", content);
    return DvdCompliance(temp / "f.mpg", status);
  };
  EXPECT_TRUE(check(std::string(100, 'x') + kPci + std::string(10, 'y') + kDsi + "z"));
  EXPECT_TRUE(check(kDsi + kPci + "z"));  // any order
  EXPECT_FALSE(check(kPci + std::string(50, 'y')));
  EXPECT_FALSE(check(std::string(16384 - 8, 'x') + kPci + kDsi + std::string(100, 'z')));
  EXPECT_FALSE(check(kPci.substr(0, 6)));      // shorter than 7 bytes: never
  EXPECT_FALSE(check(kPci + "x" + kDsi));      // the scan stops 6 bytes before the end
  EXPECT_TRUE(check(kPci + "x" + kDsi + "z"));
  EXPECT_FALSE(check(""));
  EXPECT_TRUE(status.messages.empty());

  // A file that cannot be opened is reported and counts as compliant.
  EXPECT_TRUE(DvdCompliance(temp / "missing.mpg", status));
  ASSERT_EQ(status.messages.size(), 1u);
  EXPECT_EQ(status.messages[0].rfind("无法打开文件 " + temp / "missing.mpg", 0), 0u);
}

TEST(VideoTsCheck, SixExpectedNames) {
  test::TempFolder temp;
  const std::string folder = temp / "VIDEO_TS";
  MakeFolder(folder);
  for (const char* name : {"video_ts.bup", "VIDEO_TS.IFO", "VIDEO_TS.VOB", "VTS_01_0.BUP",
                           "VTS_01_0.IFO", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_02_0.IFO"})
    test::WriteText(folder + "/" + name, "x");
  EXPECT_TRUE(PassesSixFileCheck(folder));
  DeleteFolderTree(folder + "/video_ts.bup");
  EXPECT_EQ(CountSixFileCheckFiles(folder), 5);
  EXPECT_FALSE(PassesSixFileCheck(folder));
  MakeFolder(folder + "/VIDEO_TS.BUP");  // a folder does not count
  EXPECT_FALSE(PassesSixFileCheck(folder));
  DeleteFolderTree(folder + "/VTS_01_1.VOB");
  test::WriteText(folder + "/vts_01_1.vob", "x");  // these two are compared exactly
  test::WriteText(folder + "/VIDEO_TS.bup", "x");
  EXPECT_EQ(CountSixFileCheckFiles(folder), 5);
  EXPECT_FALSE(PassesSixFileCheck(temp / "none"));
}

}  // namespace
}  // namespace vantrel
