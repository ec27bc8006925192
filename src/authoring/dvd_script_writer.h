// SPDX-License-Identifier: GPL-3.0-or-later
// dvd.xml: one video manager whose menus are the menu pages (or a black clip when the disc
// has no menu) and one title set with a program chain per title, in list order.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "base/tv_standard.h"

namespace vantrel {

class MenuModel;

// What a run adds to a title beyond its file: the file with its subtitle streams, its
// chapters and the languages of its streams (DVD codes, "" unknown, in stream order).
struct DvdTitleTracks {
  std::string vob;       // "" : the repaired or source file
  std::string chapters;  // ChaptersText; "" : the fixed list
  std::vector<std::string> sound;
  std::vector<std::string> subtitles;
  int shownSubtitle = -1;  // the subtitle stream shown from the start; -1 none
  std::string palette;     // the file of the subpictures' 16 colours; "" none
};

struct DvdScriptInputs {
  bool createMenu = true;
  TvStandard standard = TvStandard::Pal;
  std::string intermediateFolder;  // ends in "/"
  std::string applicationFolder;   // ends in "/"
};

// A disc with menus as data: the video manager's menu program chains, each a still menu
// stream with its buttons (name, command), and the title set's titles, each a stream and
// the command that follows it. The title set's menu returns to the video manager's first.
struct DvdMenuChain {
  std::string vob;
  std::vector<std::pair<std::string, std::string>> buttons;
  // A still menu (and a film that stays on its last picture) holds at its end; a film that
  // loops starts again instead.
  bool loop = false;
};
struct DvdTitleChain {
  DvdTitleChain() = default;
  DvdTitleChain(std::string vobFile, std::string postCommand) : vob(std::move(vobFile)), post(std::move(postCommand)) {}
  std::string vob;
  std::string post;
  std::string chapters;  // "" : the fixed list
  std::string pre;       // commands before the title plays
  std::string palette;   // the subpictures' colours (a ".rgb" file); "" the tool's own
};
// The streams a title set declares for all its titles: their languages in stream order.
struct DvdStreamLayout {
  std::vector<std::string> sound;
  std::vector<std::string> subtitles;
  bool operator==(const DvdStreamLayout&) const = default;
};

class DvdScriptWriter {
 public:
  static constexpr const char* kChapters = "0,15:00,30:00,45:00,1:00:00";

  // dvd.xml of a disc with menus; paths and commands are escaped here. `chapters` holds
  // each title's chapters attribute (ChaptersText) in title order; a title it does not
  // reach, or an empty entry, gets the fixed kChapters.
  static std::string ComposeWithMenus(const std::vector<DvdMenuChain>& menus,
                                      const std::vector<DvdTitleChain>& titles,
                                      const std::vector<std::string>& chapters = {},
                                      const DvdStreamLayout& layout = {});

  // `tracks` by title, in list order; titles beyond it add nothing.
  static std::string Compose(const MenuModel& model, const DvdScriptInputs& inputs,
                             const std::vector<DvdTitleTracks>& tracks = {});
  // Writes intermediate folder + "dvd.xml", replacing an earlier file.
  static bool Write(const MenuModel& model, const DvdScriptInputs& inputs,
                    const std::vector<DvdTitleTracks>& tracks = {});
  static std::string ScriptPath(const std::string& intermediateFolder);
};

}  // namespace vantrel
