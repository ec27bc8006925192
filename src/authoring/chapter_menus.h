// SPDX-License-Identifier: GPL-3.0-or-later
// The chapter pages of a menu: for each title of more than one chapter, pages of buttons,
// one per chapter, each showing the picture at its chapter's start and its time, with a
// way back to the title's page. The chapter starts are planned once, before the pages are
// drawn, and the disc's titles get the same starts.
#pragma once

#include <string>
#include <vector>

#include "project/title_tracks.h"

namespace vantrel {

class MenuModel;
class TitleList;

// A title's chapter starts in seconds from its first picture, as its disc title will have
// them. `fileSeconds` is the length of the title's file and `picturesFrom` when its first
// picture comes; the user's times and the file's own marks count from the file's start.
// False with the reason when the file's marks cannot be read.
bool PlanChapterStarts(const ChapterPlan& plan, const std::string& source, double fileSeconds, double picturesFrom,
                       std::vector<double>& starts, std::string& why);

// Adds the chapter pages of every title to the model (its geometry applied), `starts` and
// `picturesFrom` by title in list order, each chapter's picture read from its title's file
// at the size its button shows it (without `pictures` the buttons show their title's
// thumbnail). False with the reason when a picture cannot be read.
bool AddChapterMenus(MenuModel& model, const std::vector<std::vector<double>>& starts,
                     const std::vector<double>& picturesFrom, std::string& why, bool pictures = true);

// What a run adds, for the commands that lay out or draw a menu without one: the chapter
// pages of `titles`, their lengths read from their files.
// `starts`, when given, takes each title's chapter starts.
bool AddTitleChapterMenus(MenuModel& model, const TitleList& titles, bool pictures, std::string& why,
                          std::vector<std::vector<double>>* starts = nullptr);

}  // namespace vantrel
