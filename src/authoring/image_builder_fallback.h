// SPDX-License-Identifier: GPL-3.0-or-later
// The second way to build the disc: the image builder, described by tmpFoxImage.ini,
// after the menu background movie of page 1 has been made by the movie maker.
#pragma once

#include <string>

namespace vantrel {

struct AppSettings;
class MenuModel;
class MovieMaker;
class RunQuestion;
class RunStatus;
struct RunFolders;

// "tmpFoxImage-PID-N.ini" in the run-time folder (the application folder, or the user's
// cache folder when the application folder cannot be written), a name of this run alone.
// The fallback removes it once the builder has read it.
std::string ImageBuilderIniPath();

// Writes the builder's INI for the model's titles; other keys of the file stay.
bool WriteImageBuilderIni(const std::string& path, const MenuModel& model, const RunFolders& folders);

// Runs the whole fallback, reporting to `status` and `question`; true when the output
// folder's VIDEO_TS is complete.
bool RunImageBuilderFallback(MenuModel& model, const AppSettings& settings, const RunFolders& folders,
                             MovieMaker* movieMaker, RunStatus& status, RunQuestion& question);

}  // namespace vantrel
