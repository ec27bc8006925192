// SPDX-License-Identifier: GPL-3.0-or-later
// Writes COUNT keys "Test\PREFIX\N" (each with a value) into the registry, one edit per key,
// so that several of these processes started together contend for the hive.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/registry/registry.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: registry_writer PREFIX COUNT\n");
    return 2;
  }
  using namespace vantrel::registry;
  std::string prefix = argv[1];
  int count = std::atoi(argv[2]);
  for (int i = 0; i < count; ++i) {
    std::string key = "Test\\" + prefix + "\\" + std::to_string(i);
    if (!SetString(Root::ClassesRoot, key, "owner", prefix)) return 1;
  }
  return 0;
}
