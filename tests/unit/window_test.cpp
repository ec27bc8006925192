// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window/window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/message_pump.h"

namespace vantrel::window {
namespace {

TEST(WindowTest, PostedMessagesReachTheOwnerInOrderAndOnlyWhenDispatched) {
  std::vector<UINT> seen;
  std::thread::id ownerThread = std::this_thread::get_id();
  std::thread::id handlerThread;
  HWND hwnd = CreateNotifyWindow([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message != WM_DESTROY) seen.push_back(message);
    handlerThread = std::this_thread::get_id();
    return 0;
  });
  std::thread poster([&] {
    for (UINT m = WM_APP + 1; m <= WM_APP + 3; ++m) EXPECT_TRUE(PostMessage(hwnd, m, 0, 0));
  });
  poster.join();
  EXPECT_TRUE(seen.empty());
  PumpPendingMessages();
  EXPECT_EQ(seen, (std::vector<UINT>{WM_APP + 1, WM_APP + 2, WM_APP + 3}));
  EXPECT_EQ(handlerThread, ownerThread);
  EXPECT_TRUE(DestroyWindow(hwnd));
  EXPECT_FALSE(PostMessage(hwnd, WM_APP, 0, 0));
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(WindowTest, SendFromAnotherThreadWaitsForTheOwnersAnswer) {
  HWND hwnd = CreateNotifyWindow(
      [](HWND, UINT, WPARAM w, LPARAM l) -> LRESULT { return LRESULT(w) + l; });
  std::atomic<LRESULT> answer{-1};
  std::thread sender([&] { answer = SendMessage(hwnd, WM_APP, 40, 2); });
  while (answer == -1) {
    WaitMessage(100);
    PumpPendingMessages();
  }
  sender.join();
  EXPECT_EQ(answer, 42);
  DestroyWindow(hwnd);
}

TEST(WindowTest, SendToAWindowDestroyedBeforeDispatchReturnsZero) {
  HWND hwnd = CreateNotifyWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 7; });
  std::atomic<bool> done{false};
  LRESULT answer = -1;
  std::thread sender([&] {
    answer = SendMessage(hwnd, WM_APP, 0, 0);
    done = true;
  });
  // Destroying drops the pending send, whether it arrived already or not.
  while (!done) {
    DestroyWindow(hwnd);
    std::this_thread::yield();
  }
  sender.join();
  EXPECT_EQ(answer, 0);
}

TEST(WindowTest, TimersFireRepeatedlyUntilKilled) {
  int ticks = 0;
  HWND hwnd = CreateNotifyWindow([&](HWND, UINT message, WPARAM id, LPARAM) -> LRESULT {
    if (message == WM_TIMER && id == 5) ++ticks;
    return 0;
  });
  ASSERT_TRUE(SetTimer(hwnd, 5, 1));
  while (ticks < 3) {
    WaitMessage(-1);
    PumpPendingMessages();
  }
  EXPECT_TRUE(KillTimer(hwnd, 5));
  EXPECT_FALSE(KillTimer(hwnd, 5));
  EXPECT_FALSE(WaitMessage(20));
  DestroyWindow(hwnd);
}

TEST(WindowTest, InstalledPumpDispatchesDuringLongWaits) {
  int received = 0;
  HWND hwnd = CreateNotifyWindow([&](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
    if (message == WM_APP) ++received;
    return 0;
  });
  InstallMessagePump();
  PostMessage(hwnd, WM_APP, 0, 0);
  PumpMessages();  // what ShellCommand calls every 50 ms
  EXPECT_EQ(received, 1);
  SetMessagePump({});
  DestroyWindow(hwnd);
}

TEST(WindowTest, OnlyTheOwnerMayDestroyAWindow) {
  HWND hwnd = CreateNotifyWindow([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return 0; });
  bool destroyedElsewhere = true;
  std::thread other([&] { destroyedElsewhere = DestroyWindow(hwnd); });
  other.join();
  EXPECT_FALSE(destroyedElsewhere);
  EXPECT_TRUE(DestroyWindow(hwnd));
}

}  // namespace
}  // namespace vantrel::window
