// SPDX-License-Identifier: GPL-3.0-or-later
// Resources of a module. What a module elsewhere carries as resources (its registration
// script, icon, toolbox bitmap, strings, version block) a module here hands out through
// one exported function, `ModuleResource`; a host reads them without creating anything.
#pragma once

#include <cstddef>
#include <string>

#include "platform/com/types.h"

namespace vantrel::com {

// The export's shape: S_OK with `data`/`size` set (the bytes live as long as the module is
// loaded), or HRESULT_FROM_WIN32(ERROR_RESOURCE_NAME_NOT_FOUND) for an unknown type or id.
using ModuleResourceFunction = HRESULT (*)(const char* type, int id, const void** data, std::size_t* size);
inline constexpr const char* kModuleResourceExport = "ModuleResource";
inline constexpr HRESULT kResourceNotFound = Code(0x80070716);

// Loads the module at `modulePath` (without running any of its classes), copies resource
// `type`/`id` into `bytes` and unloads it again. False when the module cannot be loaded,
// has no resources or not that one; `error` says which.
bool LoadModuleResource(const std::string& modulePath, const std::string& type, int id, std::string& bytes,
                        std::string* error = nullptr);

}  // namespace vantrel::com
