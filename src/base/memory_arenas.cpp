// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/memory_arenas.h"

#include <malloc.h>

namespace vantrel {

void SetUpMemoryAllocator() {
  mallopt(M_ARENA_MAX, 2);
  // Pictures come from pools, so a block mapped on its own is mapped once per pool entry.
  mallopt(M_MMAP_THRESHOLD, 512 * 1024);
  mallopt(M_TRIM_THRESHOLD, 128 * 1024);
}

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace vantrel
