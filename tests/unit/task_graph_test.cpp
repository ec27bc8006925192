// SPDX-License-Identifier: GPL-3.0-or-later
// The run's task graph and its ordered event log: the core budget is never exceeded,
// dependencies hold, the first failure stops the others and is the one named, a job's
// cancel reaches every task; lines of channels working at once come out channel by channel.
#include "authoring/task_graph.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "authoring/ordered_status.h"
#include "base/run_cancel.h"
#include "support/recording_status.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;

// Waits like a long tool: until the run stops it or `limit` has passed; false when stopped.
bool Work(std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (CancelRequested()) return false;
    std::this_thread::sleep_for(2ms);
  }
  return true;
}

TEST(TaskGraph, KeepsToItsCoresAndOrder) {
  TaskGraph graph(3);
  std::mutex mutex;
  int busy = 0, peak = 0;
  std::vector<int> order, granted(6, 0);
  auto task = [&](int id, int cores) {
    {
      std::lock_guard lock(mutex);
      busy += cores;
      peak = std::max(peak, busy);
      order.push_back(id);
      granted[id] = cores;
    }
    Work(30ms);
    std::lock_guard lock(mutex);
    busy -= cores;
    return true;
  };
  const int first = graph.Add("first", [&](int c) { return task(0, c); }, {}, 2);
  // Four that share what is free once the first has ended; the heaviest starts first.
  std::vector<int> shares;
  for (int i = 1; i <= 4; ++i)
    shares.push_back(graph.Add("share", [&, i](int c) { return task(i, c); }, {first}, TaskGraph::kShareCores, i));
  graph.Add("last", [&](int c) { return task(5, c); }, shares, 5);  // more than the pool: the pool's all
  ASSERT_TRUE(graph.Run());
  // Never beyond the pool: the last share starts while others still work, and takes only
  // the cores they left free (how many have ended by then depends on the machine).
  EXPECT_LE(peak, 3);
  EXPECT_LE(graph.PeakCores(), 3);
  ASSERT_EQ(order.size(), 6u);
  EXPECT_EQ(order.front(), 0);
  // The three heaviest start together (in no fixed order between their threads); the
  // lightest waits for a free core.
  EXPECT_EQ((std::set<int>{order[1], order[2], order[3]}), (std::set<int>{2, 3, 4}));
  EXPECT_EQ(order[4], 1);
  EXPECT_EQ(order.back(), 5);
  EXPECT_EQ(granted[5], 3);
  EXPECT_EQ(granted[4], 1);  // 3 free cores among 4 ready tasks
  EXPECT_EQ(graph.FirstFailure(), -1);
}

TEST(TaskGraph, TheLastShareTakesTheCoresOthersStillHold) {
  // One title beside the menus: the title must not keep one core for its whole length
  // because the menus' pictures held the other when it started, and the menus must not
  // wait for the title's end because it was given both cores.
  TaskGraph graph(2);
  std::mutex mutex;
  std::vector<int> granted(5, 0);
  std::atomic<bool> titleAtWork{false}, menusBesideTitle{false};
  auto task = [&](int id, int cores, std::chrono::milliseconds length) {
    {
      std::lock_guard lock(mutex);
      granted[id] = cores;
    }
    Work(length);
    return true;
  };
  const int plan = graph.Add("plan", [&](int c) { return task(0, c, 5ms); });
  const int pictures = graph.Add("render", [&](int c) { return task(1, c, 60ms); }, {}, 1, 1e30);
  graph.Add("menus", [&](int c) {
    menusBesideTitle = titleAtWork.load();
    return task(2, c, 10ms);
  }, {plan, pictures}, 1, 1e30);
  graph.Add("title 1", [&](int c) {
    titleAtWork = true;
    const bool done = task(3, c, 600ms);
    titleAtWork = false;
    return done;
  }, {plan}, TaskGraph::kShareCores, 2);
  ASSERT_TRUE(graph.Run());
  EXPECT_EQ(granted[3], 2);  // nothing is to come after it
  EXPECT_TRUE(menusBesideTitle) << "the menus waited for the title";
  EXPECT_LE(graph.PeakCores(), 2);

  // A title with another still to come takes its share of the free cores.
  TaskGraph two(2);
  std::vector<int> shares(2, 0);
  const int before = two.Add("menus", [&](int) { return Work(5ms); }, {}, 1, 1e30);
  const int one = two.Add("title 1", [&](int c) { return shares[0] = c, Work(100ms); }, {}, TaskGraph::kShareCores, 2);
  two.Add("title 2", [&](int c) { return shares[1] = c, Work(5ms); }, {before, one}, TaskGraph::kShareCores, 1);
  ASSERT_TRUE(two.Run());
  EXPECT_EQ(shares[0], 1);
  EXPECT_EQ(shares[1], 2);

  // The last two start together: they run side by side, each on its share.
  TaskGraph last(2);
  std::vector<int> together(3, 0);
  const int first = last.Add("title 1", [&](int c) { return together[0] = c, Work(5ms); }, {}, 1);
  last.Add("title 2", [&](int c) { return together[1] = c, Work(5ms); }, {first}, TaskGraph::kShareCores, 2);
  last.Add("title 3", [&](int c) { return together[2] = c, Work(5ms); }, {first}, TaskGraph::kShareCores, 1);
  ASSERT_TRUE(last.Run());
  EXPECT_EQ(together, (std::vector<int>{1, 1, 1}));
  EXPECT_LE(last.PeakCores(), 2);

  // The last title starts while another is still encoding: it keeps to its share, or two
  // encoders would run on three threads.
  TaskGraph beside(2);
  std::atomic<int> titleOne{0}, titleTwo{0};  // the cores each title was given
  const int tool = beside.Add("menus", [&](int) { return Work(5ms); }, {}, 1, 1e30);
  beside.Add("title 1", [&](int c) {
    titleOne = c;
    // At work until the other title has started, however slow the machine.
    for (int waited = 0; titleTwo == 0 && waited < 5000; ++waited) std::this_thread::sleep_for(2ms);
    return true;
  }, {}, TaskGraph::kShareCores, 2);
  beside.Add("title 2", [&](int c) { return titleTwo = c, Work(5ms); }, {tool}, TaskGraph::kShareCores, 1);
  ASSERT_TRUE(beside.Run());
  EXPECT_EQ(titleOne, 1);
  EXPECT_EQ(titleTwo, 1);
  EXPECT_LE(beside.PeakCores(), 2);
}

TEST(TaskGraph, ASingleTaskThatSharesTakesEveryCore) {
  TaskGraph graph(4);
  int granted = 0;
  graph.Add("alone", [&](int c) { return granted = c, true; }, {}, TaskGraph::kShareCores);
  ASSERT_TRUE(graph.Run());
  EXPECT_EQ(granted, 4);
}

TEST(TaskGraph, TheFirstFailureStopsTheOthersAndIsNamed) {
  TaskGraph graph(4);
  std::atomic<int> stopped{0}, started{0};
  for (int i = 0; i < 3; ++i)
    graph.Add("long", [&](int) {
      ++started;
      if (Work(10s)) return true;
      ++stopped;
      return false;  // a stopped task fails too, but is not the failure
    });
  const int bad = graph.Add("bad", [&](int) { return Work(40ms) && false; });
  std::atomic<bool> neverRan{true};
  graph.Add("after", [&](int) { return neverRan = false, true; }, {bad});
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_FALSE(graph.Run());
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 5s);
  EXPECT_EQ(graph.FirstFailure(), bad);
  EXPECT_EQ(graph.Name(bad), "bad");
  EXPECT_FALSE(graph.Cancelled());
  EXPECT_EQ(started.load(), 3);
  EXPECT_EQ(stopped.load(), 3);
  EXPECT_TRUE(neverRan);
}

TEST(TaskGraph, TheJobsCancelReachesEveryTask) {
  std::atomic<bool> cancel{false};
  CancelScope job(cancel);
  TaskGraph graph(2);
  std::atomic<int> stopped{0};
  for (int i = 0; i < 4; ++i)
    graph.Add("long", [&](int) {
      if (Work(10s)) return true;
      ++stopped;
      return false;
    });
  std::thread canceller([&] {
    std::this_thread::sleep_for(50ms);
    cancel = true;
  });
  EXPECT_FALSE(graph.Run());
  canceller.join();
  EXPECT_TRUE(graph.Cancelled());
  EXPECT_EQ(graph.FirstFailure(), -1);
  EXPECT_EQ(stopped.load(), 2);  // two ran and were stopped; the other two never started
}

TEST(OrderedStatus, ChannelsComeOutInTheirOrder) {
  test::RecordingStatus out(false, false);
  {
    OrderedStatus log(out, 3);
    log.Channel(2).ShowStatus("c1", 0, kStatusLogAndProgress, 1);
    log.Channel(1).ShowStatus("b1", 0, kStatusLogAndProgress, 1);
    log.Channel(1).ShowStatus("b 50%", 50, kStatusProgress, 1);  // not the front: dropped
    log.Channel(0).ShowStatus("a1", 0, kStatusLogAndProgress, 1);
    log.Channel(0).ShowStatus("a 50%", 50, kStatusProgress, 1);  // the front: shown
    log.Channel(2).ShowStatus("c2", 0, kStatusLogAndProgress, 3);
    log.Finish(2);
    ASSERT_EQ(out.lines.size(), 2u);
    log.Finish(0);  // 1 comes up, 2 waits for it
    ASSERT_EQ(out.lines.size(), 3u);
    log.Channel(1).ShowStatus("b2", 0, kStatusLogAndProgress, 1);
    log.Finish(1);
  }
  std::vector<std::string> texts;
  for (const auto& line : out.lines) texts.push_back(line.text);
  EXPECT_EQ(texts, (std::vector<std::string>{"a1", "a 50%", "b1", "b2", "c1", "c2"}));
  EXPECT_EQ(out.lines[5].kind, 3);
}

}  // namespace
}  // namespace vantrel
