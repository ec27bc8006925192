// SPDX-License-Identifier: GPL-3.0-or-later
// A saved project's titles put into a title list: the files are added as any others are
// (probed, checked, a thumbnail grabbed), then each takes what the project says of it:
// its caption, its thumbnail frame, its tracks and chapters.
#pragma once

#include <string>
#include <vector>

#include "media/add_titles.h"
#include "project/disc_project.h"

namespace vantrel {

class ThumbnailOwner;
class TitleList;

// Adds the project's titles after the list's rows. A file the check refuses stays out (the
// view was told); the others take the project's values. Returns how many became titles.
int AddProjectTitleFiles(TitleList& titles, ThumbnailOwner& owner, AddTitlesView& view,
                         const std::vector<ProjectTitle>& wanted, const TitleCheck& check = {});

}  // namespace vantrel
