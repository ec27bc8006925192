// SPDX-License-Identifier: GPL-3.0-or-later
// The registry: one hive file per root in a folder of its own, shared by every process of
// the program. Each change is a read-modify-write under an exclusive lock on the root's
// lock file, and the hive is replaced atomically, so concurrent writers lose nothing and
// readers always see a whole hive.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/hive.h"

namespace vantrel::registry {

enum class Root { ClassesRoot, CurrentUser };

// VANTREL_REGISTRY_DIR, else $XDG_DATA_HOME/vantrel/registry; ends in "/".
std::string Folder();
std::string HivePath(Root root);

// Runs `change` on the current hive under the root's lock and stores the result when it
// returns true. False when the lock or the write fails (or `change` declines).
bool Edit(Root root, const std::function<bool(Hive&)>& change);
// The hive as it is now on disk (empty when there is none yet).
Hive Snapshot(Root root);

bool CreateKey(Root root, const std::string& key);
bool KeyExists(Root root, const std::string& key);
bool DeleteKey(Root root, const std::string& key);
std::vector<std::string> SubKeyNames(Root root, const std::string& key);

// `name` empty means the key's default value.
bool SetString(Root root, const std::string& key, const std::string& name,
               const std::string& value);
std::optional<std::string> GetString(Root root, const std::string& key, const std::string& name);
bool SetDword(Root root, const std::string& key, const std::string& name, std::uint32_t value);
std::optional<std::uint32_t> GetDword(Root root, const std::string& key, const std::string& name);
bool DeleteValue(Root root, const std::string& key, const std::string& name);

}  // namespace vantrel::registry
