// SPDX-License-Identifier: GPL-3.0-or-later
// The test run keeps a registry of its own: a conversion started the way the tests start
// vantrel-author loads this build's encoder, whatever module the user's registry names
// (another build's, or none that works).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>

#include "authoring/command_templates.h"
#include "base/paths.h"
#include "convert/encoder_interfaces.h"
#include "platform/com/guid.h"
#include "platform/registry/registry.h"
#include "support/media_maker.h"
#include "support/temp_folder.h"
#include "support/video_ts_fixture.h"

namespace vantrel {
namespace {

// The shared objects a program loaded while it ran, as the dynamic loader reports them.
std::set<std::string> LoadedModules(const std::string& loaderLog) {
  std::set<std::string> modules;
  const std::regex line(R"(file=(\S+\.so)\s+\[\d+\];\s+dynamically loaded)");
  for (auto it = std::sregex_iterator(loaderLog.begin(), loaderLog.end(), line); it != std::sregex_iterator(); ++it)
    modules.insert(std::filesystem::weakly_canonical((*it)[1].str()).string());
  return modules;
}

TEST(TestRegistry, AConversionLoadsThisBuildsEncoderWhateverTheUsersRegistryNames) {
  const char* own = std::getenv("VANTREL_REGISTRY_DIR");
  ASSERT_TRUE(own && *own) << "the tests run without a registry of their own";

  test::TempFolder temp;
  const std::string home = temp / "home";
  // The user's registry names a module of another build as the encoder: one that loads
  // but makes no encoder, so a run that took it fails.
  const std::string decoy = std::string(VANTREL_TEST_HELPER_DIR) + "/libvantrel_counter_module.so";
  ASSERT_TRUE(FileExists(decoy));
  const std::string classKey = "CLSID\\" + com::GuidToString(CLSID_MpegEncoderFilter) + "\\InprocServer32";
  const std::string usersRegistry = home + "/.local/share/vantrel/registry";
  {
    test::ScopedEnv users("VANTREL_REGISTRY_DIR", usersRegistry);
    ASSERT_TRUE(registry::SetString(registry::Root::ClassesRoot, classKey, "", decoy));
  }
  const std::string hive = usersRegistry + "/HKEY_CLASSES_ROOT.reg";
  const std::string hiveBefore = test::ReadText(hive);

  const std::string clip = temp / "clip.avi";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 -c:v mpeg4 " + ShellQuote(clip)));
  const std::string author = std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author";
  std::string out;
  const int status = test::RunCapture("env HOME=" + ShellQuote(home) + " XDG_DATA_HOME=" +
                                          ShellQuote(home + "/.local/share") + " LD_DEBUG=files " +
                                          ShellQuote(author) + " convert " + ShellQuote(clip) + " " +
                                          ShellQuote(temp / "out.mpg") + " 2>&1",
                                      out);
  const std::set<std::string> loaded = LoadedModules(out);
  const std::string encoder = std::filesystem::weakly_canonical(std::string(VANTREL_APP_BUILD_DIR) + "/" +
                                                                kMpegEncoderModule).string();
  EXPECT_TRUE(loaded.count(encoder)) << "this build's encoder was not loaded";
  EXPECT_FALSE(loaded.count(std::filesystem::weakly_canonical(decoy).string()))
      << "the run took the encoder the user's registry names";
  EXPECT_EQ(status, 0);
  EXPECT_TRUE(FileExists(temp / "out.mpg"));
  EXPECT_EQ(test::ReadText(hive), hiveBefore) << "the run wrote into the user's registry";
}

// A registration left by a build folder or an installation removed since does not stop the
// run: the encoder beside the program takes its place.
TEST(TestRegistry, AnEncoderRegisteredFromAFolderSinceRemovedIsReplacedByTheOneBesideTheProgram) {
  test::TempFolder temp;
  test::ScopedEnv registryDir("VANTREL_REGISTRY_DIR", temp / "registry");
  const std::string classKey = "CLSID\\" + com::GuidToString(CLSID_MpegEncoderFilter) + "\\InprocServer32";
  ASSERT_TRUE(registry::SetString(registry::Root::ClassesRoot, classKey, "", temp / "removed build/mpgfiltr.so"));
  const std::string clip = temp / "clip.avi";
  ASSERT_TRUE(test::Ffmpeg("-f lavfi -i testsrc=size=320x240:rate=25 -t 1 -c:v mpeg4 " + ShellQuote(clip)));
  std::string out;
  EXPECT_EQ(test::RunCapture(ShellQuote(std::string(VANTREL_APP_BUILD_DIR) + "/vantrel-author") + " convert " +
                                 ShellQuote(clip) + " " + ShellQuote(temp / "out.mpg") + " 2>&1",
                             out),
            0)
      << out;
  EXPECT_TRUE(FileExists(temp / "out.mpg"));
  EXPECT_EQ(registry::GetString(registry::Root::ClassesRoot, classKey, ""),
            std::string(VANTREL_APP_BUILD_DIR) + "/" + kMpegEncoderModule);
}

}  // namespace
}  // namespace vantrel
