// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/title_length_memo.h"

namespace vantrel {

TitleLength TitleLengthMemo::operator()(const std::string& path) {
  const std::optional<FileVersion> before = FileVersionOf(path);
  if (!before) return read_(path);
  {
    std::lock_guard lock(lock_);
    if (auto known = known_.find(path); known != known_.end() && known->second.version == *before)
      return known->second.length;
  }
  // Read without the lock: other titles' lengths are not held up by this one's.
  const TitleLength length = read_(path);
  // A file that changed while it was read is not kept for either version.
  if (FileVersionOf(path) != before) return length;
  std::lock_guard lock(lock_);
  known_[path] = Known{*before, length};
  return length;
}

}  // namespace vantrel
