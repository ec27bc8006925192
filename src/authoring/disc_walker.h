// SPDX-License-Identifier: GPL-3.0-or-later
// A remote control on a built disc: libdvdnav plays the disc's navigation, and the walker
// stops wherever a viewer would be asked for something or would be watching a title.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "authoring/navigation_design.h"

struct dvdnav_s;

namespace vantrel {

// Where playing on came to: a menu page showing its buttons, or the start of a title.
struct DiscLanding {
  NavigationTarget where;  // kNothing: the disc stopped, or could not be read (`problem`)
  int buttons = 0;         // on a menu page: its buttons
  int highlight = 0;       // on a menu page: the button a player shows selected
  std::string problem;
};

class DiscWalker {
 public:
  DiscWalker() = default;
  ~DiscWalker();
  DiscWalker(const DiscWalker&) = delete;
  DiscWalker& operator=(const DiscWalker&) = delete;

  // Opens the disc in `folder` as a player does when it is put in; false with `why`.
  bool Open(const std::string& folder, std::string& why);
  // How many menu pages the video manager holds.
  int MenuPages() const { return int(pageSectors_.size()); }

  // Plays on until the walker lands.
  DiscLanding PlayOn();
  // On a menu page: moves the highlight to `button` and presses it; false with `why`.
  bool Press(int button, std::string& why);
  // Starts a title directly, as a player's title key does.
  bool PlayTitle(int title);
  // Inside a title: skips to its last moments, so the next PlayOn lands where its end leads.
  bool SkipToTitleEnd(std::string& why);

 private:
  int PageOfSector(std::uint32_t sector) const;
  bool NextEvent(int& event, std::string& why);

  dvdnav_s* nav_ = nullptr;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pageSectors_;  // first, last
  bool still_ = false;            // held on a still picture
  bool skipRepeatedCell_ = false;  // a skip within a title announces its cell again
};

}  // namespace vantrel
