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

// "tmpFoxImage-PID.ini" in the run-time folder (the application folder, or the user's
// cache folder when the application folder cannot be written): the process's own, since
// two programs building at once would write one shared file under each other. It is kept,
// and the next run of the process rewrites it in place (sections of an earlier run's
// further titles stay; "选择" says how many count). The first call of a process removes
// the files of processes that have ended, so they do not pile up.
std::string ImageBuilderIniPath();

// Writes the builder's INI for the model's titles; other keys of the file stay.
bool WriteImageBuilderIni(const std::string& path, const MenuModel& model, const RunFolders& folders);

// Runs the whole fallback, reporting to `status` and `question`; true when the output
// folder's VIDEO_TS is complete.
bool RunImageBuilderFallback(MenuModel& model, const AppSettings& settings, const RunFolders& folders,
                             MovieMaker* movieMaker, RunStatus& status, RunQuestion& question);

}  // namespace vantrel
