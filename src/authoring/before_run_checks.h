// SPDX-License-Identifier: GPL-3.0-or-later
// What a run checks before it empties, encodes or writes anything: that its folders are
// its own (no link out of the work folder, no file where a folder belongs), that no title
// lies in a folder the run empties, and that the disc can hold the list at all.
#pragma once

#include <cstddef>
#include <string>

#include "authoring/run_folders.h"

namespace vantrel {

// A DVD holds at most 99 titles (dvd.xml numbers them 1 to 99) and the menus of a title
// set at most 99 pages.
inline constexpr int kMaxDiscTitles = 99;
inline constexpr int kMaxMenuPages = 99;
// A title carries at most 8 sound streams and 32 subpicture streams.
inline constexpr int kMaxSoundTracks = 8;
inline constexpr int kMaxSubtitleTracks = 32;

// Why the work folder's path cannot be used ("" when it can): a line feed (the tools take
// one path per line) or a name longer than the system allows for the files a run makes.
std::string WorkFolderProblem(const std::string& workFolder);
// Why DVD, TEMP or DVD.previous cannot be used ("" when each is a folder or missing): a
// symbolic link would have the run empty and fill a folder elsewhere; a file in a folder's
// place is not the run's to remove.
std::string RunFoldersProblem(const RunFolders& folders);
// Why a title cannot be authored from where it lies ("" when it can): inside a folder the
// run empties or sets aside.
std::string TitlePlaceProblem(const RunFolders& folders, const std::string& title);
// Why the disc cannot be made of this many titles and menu pages ("" when it can), with
// what to change.
std::string DiscLimitsProblem(int titles, int menuPages);
// Why title `number` cannot carry this many tracks ("" when it can).
std::string TitleTrackLimitsProblem(int number, const std::string& name, std::size_t soundTracks,
                                    std::size_t subtitleTracks);

}  // namespace vantrel
