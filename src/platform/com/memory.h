// SPDX-License-Identifier: GPL-3.0-or-later
// Task memory: blocks that one module allocates and another frees (media type formats,
// strings handed out by GetCurFile).
#pragma once

#include <cstddef>

namespace vantrel::com {

void* CoTaskMemAlloc(size_t bytes);
void CoTaskMemFree(void* block);

}  // namespace vantrel::com
