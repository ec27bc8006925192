// SPDX-License-Identifier: GPL-3.0-or-later
// Files' lengths, each read once for each version of the file. A run asks for a title's
// length when the title is made and again for its tracks, of its source and of the file
// made from it; each reading opens the file and reads seconds of it to find its streams.
// Safe to call from several threads at once.
#pragma once

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "authoring/authoring_driver.h"
#include "base/file_version.h"

namespace vantrel {

class TitleLengthMemo {
 public:
  using Reader = std::function<TitleLength(const std::string& path)>;
  explicit TitleLengthMemo(Reader read) : read_(std::move(read)) {}

  // The length of the file at `path` as it is now: read again once it was rewritten or
  // replaced; read every time when there is no file to tell apart.
  TitleLength operator()(const std::string& path);

 private:
  struct Known {
    FileVersion version;
    TitleLength length;
  };
  Reader read_;
  std::mutex lock_;
  std::map<std::string, Known> known_;
};

}  // namespace vantrel
