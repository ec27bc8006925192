// SPDX-License-Identifier: GPL-3.0-or-later
// The built disc walked as a remote control would: every menu page reached, every button
// on it selected and pressed, and where it leads compared with the design; every title's
// end followed to where it returns. libdvdnav plays the disc's own navigation commands, so
// what is proven is what a player does, whatever script made the disc.
#pragma once

#include <string>

#include "authoring/navigation_design.h"

namespace vantrel {

struct NavigationProof {
  bool passed = false;
  int buttons = 0;      // buttons that lead where the design says
  std::string failure;  // the first fault, naming the page, the button and both targets
};

// `dvdFolder` holds VIDEO_TS (or is it).
NavigationProof ProveNavigation(const std::string& dvdFolder, const NavigationDesign& design);

// The event log's line for a proof that passed, and its English text.
std::string NavigationProofText(int buttons);
std::string NavigationProofEnglishText(int buttons);

}  // namespace vantrel
