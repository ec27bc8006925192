// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop can open for a finished disc folder is asked off the caller's thread,
// and each answer is the desktop's own.
#include "burn/desktop_handlers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "support/temp_folder.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

TEST(DesktopHandlers, AreAskedOnAThreadOfTheirOwnAndAnswerEachType) {
  // A slow MIME tool that knows a DVD player and no file manager.
  test::TempFolder bin;
  test::WriteText(bin / "xdg-mime",
                  "#!/bin/sh\n"
                  "sleep 0.3\n"
                  "[ \"$3\" = x-scheme-handler/dvd ] && echo player.desktop\n"
                  "exit 0\n");
  ASSERT_EQ(std::system(("chmod +x '" + bin / "xdg-mime" + "'").c_str()), 0);
  test::ScopedEnv path("PATH", bin.Path() + ":" + std::getenv("PATH"));

  std::shared_future<DesktopHandlers> asked = AskDesktopHandlers();
  EXPECT_EQ(asked.wait_for(0s), std::future_status::timeout) << "the questions ran on the caller's thread";
  const DesktopHandlers can = asked.get();
  EXPECT_FALSE(can.openFolders);
  EXPECT_TRUE(can.playVideoTs);
}

TEST(DesktopHandlers, NoMimeToolMeansNothingIsOffered) {
  test::TempFolder empty;
  test::ScopedEnv path("PATH", empty.Path());
  const DesktopHandlers can = AskDesktopHandlers().get();
  EXPECT_FALSE(can.openFolders);
  EXPECT_FALSE(can.playVideoTs);
}

}  // namespace
}  // namespace vantrel
