// SPDX-License-Identifier: GPL-3.0-or-later
// The allocator, set once by a program at start-up. A run decodes and encodes on many
// threads at once (tasks, readers, codec threads), and by default each thread may get an
// arena of its own: pictures freed in one are not reused by another, and the process keeps
// the sum. Two arenas hold what the pictures need; the threads barely wait on them, as
// every picture is a single large allocation. ReturnFreedMemory is for the core, after a
// piece of work whose memory is not needed again.
#pragma once

namespace vantrel {

// Two arenas, and blocks of a large picture's size (720x576 and up) mapped on their own,
// so that their pages go back to the system when they are freed. By default the allocator
// raises those limits to the largest block freed so far and then keeps up to twice that
// unused at the top of each arena: with two titles encoded at once, about a megabyte more
// at the run's peak.
void SetUpMemoryAllocator();

// Gives the pages of freed memory back to the system. An encode frees pictures of its
// source's size when it ends; the next title's are of another size and may not fit the
// places freed, so that the process would keep both.
void ReturnFreedMemory();

}  // namespace vantrel
