// SPDX-License-Identifier: GPL-3.0-or-later
// One disc as the user makes it, free of any toolkit: its titles, the design of its menu
// and the disc's own choices. Both front ends edit it, a project file holds it, and a job
// takes a copy of it at its start; the menu model, the scripts and the run are made from
// that copy. Settings.ini keeps the program's settings; what belongs to one disc is here.
#pragma once

#include <string>
#include <vector>

#include "base/rgb_image.h"
#include "menu/menu_appearance.h"
#include "menu/menu_choices.h"
#include "project/title_tracks.h"

namespace vantrel {

struct AppSettings;
class TitleList;

// What was measured when a title was added: shown in the list, not part of the disc.
struct TitleMedia {
  double duration = 0;  // seconds
  float frameRate = 0;
  std::string resolutionText;  // "%dx%d"
  RgbImage thumbnail;          // 80 x 60; empty until grabbed
};

struct ProjectTitle {
  std::string source;   // full path of the video file
  std::string caption;  // the menu button's text
  double thumbnailTime = 0.5;  // seconds into the title of its thumbnail frame
  // The frame the thumbnail shows: the first (0) until the properties sheet grabs the
  // frame at thumbnailTime.
  double thumbnailShownAt = 0;
  // Empty track lists and the default chapters: the title's file as it is.
  std::vector<SoundTrack> soundTracks;
  std::vector<SubtitleTrack> subtitles;
  ChapterPlan chapters;
  TitleMedia media;

  // Two titles are the same when everything the disc is made of is: the measured facts
  // and the thumbnail follow from the file and the time.
  bool operator==(const ProjectTitle& other) const {
    return source == other.source && caption == other.caption && thumbnailTime == other.thumbnailTime &&
           thumbnailShownAt == other.thumbnailShownAt &&
           soundTracks == other.soundTracks && subtitles == other.subtitles && chapters == other.chapters;
  }
};

// The menu's design: the layout style with its two rules, and the pages' look. New parts of
// the design are added as members with their defaults; the file keeps unknown ones out.
struct MenuDesign {
  int layout = 2;  // 0, 1 or 2: 6, 8 or 12 buttons per page
  bool headerLine = true;
  bool footerLine = true;
  // A "全部播放" button on the first page.
  bool playAll = false;
  // A chapter page for each title of more than one chapter, reached from its button.
  bool chapterMenus = false;
  // Pages that move or play music instead of still pictures.
  MenuMotion motion;
  MenuAppearance look;
  bool operator==(const MenuDesign&) const = default;
};

// The disc's choices; their defaults for a new project come from the settings.
struct DiscChoices {
  int resolution = 1;    // 1 NTSC, 0 PAL
  int shape = 1;         // the disc's picture shape when titles differ: 0 4:3, 1 16:9
  int capacity = 0;      // the disc planned for: 0 DVD-5, 1 DVD-9
  bool menu = true;      // with a DVD menu
  bool operator==(const DiscChoices&) const = default;
};

struct DiscProject {
  std::vector<ProjectTitle> titles;
  MenuDesign menu;
  DiscChoices disc;
  bool operator==(const DiscProject&) const = default;
};

// A new, empty project whose choices and menu layout are the settings' (its look the
// default one).
DiscProject NewProject(const AppSettings& settings);
// The project's choices and menu layout put into settings a run works with.
void ApplyProjectChoices(const DiscProject& project, AppSettings& settings);
// The settings' choices and menu layout taken into the project.
void TakeProjectChoices(DiscProject& project, const AppSettings& settings);

// The titles of a title list with their facts and thumbnails, in list order.
std::vector<ProjectTitle> ProjectTitlesOf(const TitleList& titles);
// The project of a title list, with the settings' choices and the given look.
DiscProject ProjectOf(const TitleList& titles, const AppSettings& settings, const MenuAppearance& look = {});
// Appends the project's titles to a title list: their records, facts and thumbnails.
void AppendProjectTitles(TitleList& list, const std::vector<ProjectTitle>& titles);

}  // namespace vantrel
