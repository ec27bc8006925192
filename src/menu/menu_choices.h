// SPDX-License-Identifier: GPL-3.0-or-later
// What the menu offers besides one button per title, as the designer or the command line
// chose it. Kept with the menu model across rebuilds, like the look of its pages.
#pragma once

namespace vantrel {

struct MenuChoices {
  // A "全部播放" button on the first page: every title in order, then back to that page.
  // Each title's own button then plays that title alone and returns to its page.
  bool playAll = false;
};

}  // namespace vantrel
