// SPDX-License-Identifier: GPL-3.0-or-later
// A conversion component made as its callers make one: the module registered with
// regsvr32 into the process's registry (where the encoder module is registered too), then
// created through the component runtime.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "authoring/command_templates.h"
#include "encorva/encorva_interfaces.h"
#include "platform/com/runtime.h"

namespace vantrel::test {

inline com::ComPtr<encorva::IEncorvaObj> RegisterAndCreateEncorva() {
  const std::string dir = VANTREL_APP_BUILD_DIR;
  // A failed registration shows in the creation below.
  (void)!std::system((ShellQuote(dir + "/regsvr32") + " " + ShellQuote(dir + "/Encorva.so") + " /s")
                  .c_str());
  com::ComPtr<encorva::IEncorvaObj> object;
  EXPECT_EQ(com::CoCreateInstance(encorva::CLSID_Encorva, nullptr, com::CLSCTX_INPROC_SERVER,
                                  encorva::IID_IEncorvaObj, object.PutVoid()),
            com::S_OK);
  return object;
}

}  // namespace vantrel::test
