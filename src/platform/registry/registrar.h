// SPDX-License-Identifier: GPL-3.0-or-later
// Registration scripts: a module describes the registry keys it owns as a nested script
// and the registrar writes or removes them in one locked edit of the root's hive.
//
//   HKCR
//   {
//     Vendor.Thing.1 = s 'Thing Class'
//     {
//       CLSID = s '{...}'
//     }
//     NoRemove CLSID
//     {
//       ForceRemove {...} = s 'Thing Class'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s 'Apartment'
//         }
//         'Programmable'
//       }
//     }
//   }
//
// A key may carry a default value (`= s 'text'` or `= d 123`) and named values
// (`val Name = s 'text'`). `ForceRemove` deletes the key with its subkeys before writing
// it again; `NoRemove` keys are never deleted on removal (their children are). Texts are
// in single quotes, a quote inside doubled (''); %NAME% is replaced from the variables,
// %% gives %.
#pragma once

#include <map>
#include <string>

namespace vantrel::registry {

enum class RegistrarMode { Register, Unregister };

struct RegistrarResult {
  bool ok = false;
  std::string error;  // what was wrong with the script, or which write failed
  int systemError = 0;  // errno of a write the system refused; 0 for a faulty script
};

RegistrarResult RunRegistrationScript(const std::string& script,
                                      const std::map<std::string, std::string>& variables,
                                      RegistrarMode mode);

}  // namespace vantrel::registry
