// SPDX-License-Identifier: GPL-3.0-or-later
// What the menu offers besides one button per title, as the designer or the command line
// chose it. Kept with the menu model across rebuilds, like the look of its pages.
#pragma once

#include <string>

namespace vantrel {

// A menu that moves or sounds: its pages become short films instead of still pictures.
struct MenuMotion {
  static constexpr double kDefaultSeconds = 10;
  static constexpr double kMinSeconds = 1;
  static constexpr double kMaxSeconds = 120;

  // Each title's button shows its title playing, from its thumbnail frame on.
  bool thumbnails = false;
  // The length of the menu's film: the clips, the background video and the music are cut
  // to it (a shorter clip or background video starts again from its beginning).
  double seconds = kDefaultSeconds;
  std::string backgroundVideo;  // a video file under the page, "" none
  std::string music;            // a sound file, cut and faded out at the end, "" silence
  // At the end the film starts again; otherwise it stays on its last picture.
  bool loop = true;

  // Whether the pages are films at all; a still page otherwise.
  bool Moving() const { return thumbnails || !backgroundVideo.empty() || !music.empty(); }
  bool operator==(const MenuMotion&) const = default;
};

struct MenuChoices {
  // A "全部播放" button on the first page: every title in order, then back to that page.
  // Each title's own button then plays that title alone and returns to its page.
  bool playAll = false;
  // A chapter page for each title of more than one chapter: the title's button leads to it,
  // and each of its buttons plays the title from one chapter on.
  bool chapterMenus = false;
  MenuMotion motion;
};

}  // namespace vantrel
