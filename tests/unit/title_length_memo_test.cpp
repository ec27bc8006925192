// SPDX-License-Identifier: GPL-3.0-or-later
// A file's length is read once for each version of the file, and again once it is
// rewritten or replaced, even when its size and time stay the same.
#include "authoring/title_length_memo.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "support/temp_folder.h"

namespace vantrel {
namespace {

// Gives each file the length of its text in seconds, and counts the readings.
struct CountingReader {
  std::map<std::string, int> reads;
  std::mutex lock;
  TitleLength operator()(const std::string& path) {
    {
      std::lock_guard guard(lock);
      ++reads[path];
    }
    return TitleLength{double(test::ReadText(path).size()), 0.5};
  }
};

void SetTime(const std::string& path, const timespec& when) {
  const timespec times[2] = {when, when};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(TitleLengthMemo, ReadsEachVersionOfAFileOnce) {
  test::TempFolder folder;
  CountingReader reader;
  TitleLengthMemo lengths([&reader](const std::string& path) { return reader(path); });
  const std::string made = folder / "made.mpg", source = folder / "source.avi";
  test::WriteText(made, "12345");
  test::WriteText(source, "123");
  const timespec when{1700000000, 123};
  SetTime(made, when);

  EXPECT_EQ(lengths(made).seconds, 5);
  EXPECT_EQ(lengths(source).seconds, 3);
  EXPECT_EQ(lengths(made).seconds, 5);
  EXPECT_EQ(lengths(made).picturesFrom, 0.5);
  EXPECT_EQ(reader.reads[made], 1);
  EXPECT_EQ(reader.reads[source], 1);

  // Made again at another length (a title encoded again to fit the disc).
  test::WriteText(made, "1234567");
  EXPECT_EQ(lengths(made).seconds, 7);
  EXPECT_EQ(reader.reads[made], 2);

  // Replaced by another file of the same size and time: a new file all the same.
  const std::string other = folder / "other.mpg";
  test::WriteText(other, "abcdefg");
  struct stat before {};
  ASSERT_EQ(stat(made.c_str(), &before), 0);
  SetTime(other, before.st_mtim);
  ASSERT_EQ(std::rename(other.c_str(), made.c_str()), 0);
  lengths(made);
  EXPECT_EQ(reader.reads[made], 3);

  // Nothing to tell apart: asked of the reader every time.
  const std::string missing = folder / "missing.avi";
  lengths(missing);
  lengths(missing);
  EXPECT_EQ(reader.reads[missing], 2);
}

TEST(TitleLengthMemo, TitlesMadeAtOnceAskSafely) {
  test::TempFolder folder;
  CountingReader reader;
  TitleLengthMemo lengths([&reader](const std::string& path) { return reader(path); });
  std::vector<std::string> files;
  for (int i = 0; i < 4; ++i) {
    files.push_back(folder / ("title " + std::to_string(i) + ".mpg"));
    test::WriteText(files.back(), std::string(std::size_t(i + 1), 'x'));
  }
  std::vector<std::thread> titles;
  for (int t = 0; t < 4; ++t)
    titles.emplace_back([&] {
      for (int round = 0; round < 50; ++round)
        for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(lengths(files[i]).seconds, double(i + 1));
    });
  for (std::thread& title : titles) title.join();
  // Two titles may read the same file at the same moment, never more than once each.
  for (const std::string& file : files) EXPECT_LE(reader.reads[file], 4);
}

}  // namespace
}  // namespace vantrel
