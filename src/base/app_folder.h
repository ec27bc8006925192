// SPDX-License-Identifier: GPL-3.0-or-later
// Where the program's own files live: the application folder and the user's config folder.
#pragma once

#include <string>

namespace vantrel {

// Folder of the running program, always ending in "/". VANTREL_APPDIR overrides it.
std::string ApplicationFolder();
// $XDG_CONFIG_HOME/vantrel/ (default ~/.config/vantrel/), ending in "/"; not created here.
std::string UserConfigFolder();
// $XDG_DATA_HOME/vantrel/ (default ~/.local/share/vantrel/), ending in "/"; not created here.
std::string UserDataFolder();
// $XDG_STATE_HOME/vantrel/ (default ~/.local/state/vantrel/), ending in "/"; not created here.
std::string UserStateFolder();
// $XDG_CACHE_HOME/vantrel/ (default ~/.cache/vantrel/), ending in "/"; not created here.
std::string UserCacheFolder();
// Where the program writes its scratch files while it runs: the application folder when a
// file can be created there, else the user's cache folder (created here). Ends in "/".
std::string RuntimeFolder();
// RuntimeFolder() + stem + "-PID" + extension: a scratch file no other process shares.
std::string RuntimeFilePath(const std::string& stem, const std::string& extension);
// The user's home folder, without a trailing "/".
std::string HomeFolder();
// True when a file can be created in the folder (tried, not guessed from mode bits).
bool IsFolderWritable(const std::string& folder);

}  // namespace vantrel
