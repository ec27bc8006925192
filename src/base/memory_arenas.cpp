// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/memory_arenas.h"

#include <malloc.h>

namespace vantrel {

void UseFewMemoryArenas() { mallopt(M_ARENA_MAX, 2); }

void ReturnFreedMemory() { malloc_trim(0); }

}  // namespace vantrel
