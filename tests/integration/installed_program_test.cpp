// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a user gets it: installed with `cmake --install` into a prefix, the
// installed tree made read-only (a read-only bind mount, which holds for root too), and
// vantrel-author started through its link in bin/ with a home of its own. The discs read
// back and the installed tree is as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>

#include "authoring/command_templates.h"
#include "authoring/shell_command.h"
#include "base/paths.h"
#include "support/dvd_reader.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Every file and link of a tree with its size and change time.
std::map<std::string, std::string> Listing(const std::string& root) {
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(root)) {
    struct stat info {};
    lstat(entry.path().c_str(), &info);
    files[entry.path().string()] = std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
                                   std::to_string(info.st_mtim.tv_nsec) + " " + std::to_string(info.st_ctim.tv_sec);
  }
  return files;
}

class ReadOnlyBind {
 public:
  explicit ReadOnlyBind(const std::string& path) : path_(path) {
    const std::string q = ShellQuote(path);
    bound_ = ShellCommand("mount --bind " + q + " " + q + " 2>/dev/null");
    if (bound_) readOnly_ = ShellCommand("mount -o remount,bind,ro " + q + " " + q + " 2>/dev/null");
  }
  ~ReadOnlyBind() {
    if (bound_) ShellCommand("umount " + ShellQuote(path_));
  }
  bool ReadOnly() const { return readOnly_; }

 private:
  std::string path_;
  bool bound_ = false;
  bool readOnly_ = false;
};

TEST(InstalledProgram, RunsFromAReadOnlyTreeAndWritesOnlyIntoTheUsersFolders) {
  test::TempFolder temp;
  const std::string prefix = temp / "prefix";
  ShellResult installed = RunShell("cmake --install " + ShellQuote(VANTREL_BUILD_DIR) + " --prefix " +
                                   ShellQuote(prefix) + " > " + ShellQuote(temp / "install.log") + " 2>&1");
  ASSERT_TRUE(installed.Succeeded()) << test::ReadText(temp / "install.log");
  const std::string program = prefix + "/bin/vantrel-author";
  ASSERT_TRUE(fs::is_symlink(program));
  for (const char* file : {"vantrel-author", "regsvr32", "Encorva.so", "mpgfiltr.so", "layout.ini", "silence.mp2",
                           "bn.mpg", "bp.mpg", "support.ini", "tips.txt"})
    EXPECT_TRUE(FileExists(prefix + "/lib/vantrel/" + file)) << file;

  const auto before = Listing(prefix);
  ReadOnlyBind readOnly(prefix);
  if (!readOnly.ReadOnly()) GTEST_SKIP() << "mounting is not permitted here, so the installed tree cannot be made read-only";
  EXPECT_FALSE(ShellCommand("touch " + ShellQuote(prefix + "/lib/vantrel/probe") + " 2>/dev/null"));

  const std::string home = temp / "home";
  MakeFolder(home);
  const std::string clip = temp / "videos/海边 clip.mpg";
  MakeFolder(temp / "videos");
  ASSERT_TRUE(test::MakeDvdClip(clip, 2, false));
  // A user's environment: none of the test's overrides, the XDG folders in the home.
  const std::string user = "cd " + ShellQuote(home) + " && env -u VANTREL_APPDIR -u VANTREL_REGISTRY_DIR -u VANTREL_IMAGE_DRIVES HOME=" +
                           ShellQuote(home) + " XDG_CONFIG_HOME=" + ShellQuote(home + "/.config") +
                           " XDG_DATA_HOME=" + ShellQuote(home + "/.local/share") + " XDG_CACHE_HOME=" +
                           ShellQuote(home + "/.cache") + " ";

  const std::string log = temp / "author.log";
  ShellResult author = RunShell(user + ShellQuote(program) + " author --pal --yes --work " + ShellQuote(home + "/dvd") +
                                " " + ShellQuote(clip) + " > " + ShellQuote(log) + " 2>&1");
  ASSERT_TRUE(author.Succeeded()) << test::ReadText(log);
  test::DvdFacts disc = test::ReadDvd(home + "/dvd/DVD");
  ASSERT_TRUE(disc.opened);
  ASSERT_EQ(disc.titles.size(), 1u);
  EXPECT_NEAR(disc.titles[0].seconds, 2.0, 0.2);
  ASSERT_EQ(disc.menus.size(), 1u);
  EXPECT_EQ(disc.menus[0].buttons, 1);

  ShellResult demo = RunShell(user + ShellQuote(program) + " demo --pal --work " + ShellQuote(home + "/demo") + " > " +
                              ShellQuote(log) + " 2>&1");
  ASSERT_TRUE(demo.Succeeded()) << test::ReadText(log);
  test::DvdFacts demoDisc = test::ReadDvd(home + "/demo/DVD");
  ASSERT_TRUE(demoDisc.opened);
  EXPECT_EQ(demoDisc.titles.size(), 3u);
  EXPECT_EQ(demoDisc.menus.size(), 1u);

  // The run's own files went to the user's folders; the installed tree did not change.
  EXPECT_TRUE(FolderExists(home + "/.local/share/vantrel/registry"));
  EXPECT_EQ(Listing(prefix), before);
  EXPECT_EQ(test::ReadText(clip).size(), FileSize(clip));
}

}  // namespace
}  // namespace vantrel
