// The surroundings the authoring tools run in: the tool folder as the current folder, so
// the bare tool names of the command lines resolve to the tool set, and VIDEO_FORMAT
// naming the run's video standard, which spumux and dvdauthor read. Both are put back
// when the object goes.
#pragma once

#include <optional>
#include <string>

namespace vantrel {

class ScopedToolEnvironment {
 public:
  ScopedToolEnvironment(const std::string& toolFolder, bool ntsc);
  ~ScopedToolEnvironment();
  ScopedToolEnvironment(const ScopedToolEnvironment&) = delete;
  ScopedToolEnvironment& operator=(const ScopedToolEnvironment&) = delete;

  // False when the tool folder could not be made the current folder.
  bool Entered() const { return entered_; }

 private:
  std::string previousFolder_;
  std::optional<std::string> previousFormat_;
  bool entered_ = false;
};

}  // namespace vantrel
