// SPDX-License-Identifier: GPL-3.0-or-later
// Times the disc plan of a list of titles (reading each title's facts, then sharing the
// disc) and prints the rate each title is planned at. Usage: fit_plan_bench SECTORS FILE...
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "authoring/disc_fit_plan.h"
#include "base/paths.h"
#include "convert/dvd_title_facts.h"

int main(int argc, char** argv) {
  using namespace vantrel;
  if (argc < 3) {
    std::fprintf(stderr, "usage: fit_plan_bench SECTORS FILE...\n");
    return 2;
  }
  const auto start = std::chrono::steady_clock::now();
  std::vector<FitTitle> titles;
  for (int i = 2; i < argc; ++i) {
    DvdTitleFacts facts;
    if (!DvdTitleFactsOf(argv[i], TvStandard::Pal, facts)) {
      std::fprintf(stderr, "cannot read %s\n", argv[i]);
      return 1;
    }
    FitTitle title;
    title.seconds = facts.seconds;
    title.pixelsPerSecond = facts.pixelsPerSecond;
    title.audioBitRate = facts.audioBitRate;
    title.ready = facts.copied;
    title.readyBytes = facts.copied ? std::int64_t(FileSize(argv[i])) : 0;
    titles.push_back(title);
  }
  const auto facts = std::chrono::steady_clock::now();
  FitLimits limits;
  limits.capacitySectors = std::atoll(argv[1]);
  DiscFitPlan plan(limits, titles);
  const auto planned = std::chrono::steady_clock::now();
  auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  std::printf("planning: %.1f ms (title facts %.1f ms, sharing %.3f ms)\n", ms(start, planned),
              ms(start, facts), ms(facts, planned));
  for (std::size_t i = 0; i < titles.size(); ++i)
    std::printf("  title %zu: %7.1f s, %.2f Mpixel/s, %s %.2f Mbit/s\n", i + 1, titles[i].seconds,
                titles[i].pixelsPerSecond / 1e6, plan.Encodes(int(i)) ? "video" : "kept",
                plan.VideoBitRate(int(i)) / 1e6);
  std::printf("planned: %.1f%% of %lld sectors%s\n", 100.0 * plan.PlannedBytes() / plan.CapacityBytes(),
              static_cast<long long>(limits.capacitySectors), plan.Fits() ? "" : " (does not fit)");
  return 0;
}
