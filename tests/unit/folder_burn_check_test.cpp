// SPDX-License-Identifier: GPL-3.0-or-later
// The six-name check of a DVD-Video folder.
#include "burn/folder_burn_check.h"

#include <gtest/gtest.h>

#include <initializer_list>

#include "base/paths.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

constexpr std::initializer_list<const char*> kSix = {"VIDEO_TS.BUP", "VIDEO_TS.IFO",
                                                     "VIDEO_TS.VOB", "VTS_01_0.BUP",
                                                     "VTS_01_0.IFO", "VTS_01_1.VOB"};

void Touch(const std::string& folder, std::initializer_list<const char*> names) {
  MakeFolder(folder);
  for (const char* name : names) test::WriteText(JoinPath(folder, name), "x");
}

TEST(ValidateVideoTsFolder, AcceptsTheFolderOrItsVideoTsSubfolder) {
  test::TempFolder temp;
  std::string accepted;
  Touch(temp / "direct", kSix);
  EXPECT_TRUE(ValidateVideoTsFolder(temp / "direct", accepted));
  EXPECT_EQ(accepted, temp / "direct");

  Touch(temp / "parent/VIDEO_TS", kSix);
  EXPECT_TRUE(ValidateVideoTsFolder(temp / "parent", accepted));
  EXPECT_EQ(accepted, temp / "parent/VIDEO_TS");
}

TEST(ValidateVideoTsFolder, RefusesFiveNamesAndDoesNotCountFolders) {
  test::TempFolder temp;
  std::string accepted = "stale";
  Touch(temp / "five", {"VIDEO_TS.IFO", "VIDEO_TS.VOB", "VTS_01_0.BUP", "VTS_01_0.IFO",
                        "VTS_01_1.VOB"});
  EXPECT_FALSE(ValidateVideoTsFolder(temp / "five", accepted));
  EXPECT_EQ(accepted, "");

  MakeFolder(temp / "five/VIDEO_TS.BUP");  // a folder with the missing name
  EXPECT_FALSE(ValidateVideoTsFolder(temp / "five", accepted));
  EXPECT_FALSE(ValidateVideoTsFolder(temp / "does not exist", accepted));
  EXPECT_FALSE(ValidateVideoTsFolder("", accepted));
}

TEST(ValidateVideoTsFolder, CountsMatchingFilesNotDistinctNames) {
  test::TempFolder temp;
  std::string accepted;
  Touch(temp / "copies", {"VIDEO_TS.IFO", "VIDEO_TS.VOB", "VTS_01_0.IFO", "VTS_01_1.VOB",
                          "x_VTS_01_1.VOB", "VTS_01_1.VOB.bak"});
  EXPECT_TRUE(ValidateVideoTsFolder(temp / "copies", accepted));
  EXPECT_EQ(accepted, temp / "copies");
}

}  // namespace
}  // namespace vantrel
