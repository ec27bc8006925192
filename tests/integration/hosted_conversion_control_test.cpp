// SPDX-License-Identifier: GPL-3.0-or-later
// The burn dialog's hosted conversion control: made by class id from the registered
// component, its Complete event connected to the first auto-reset event and to nothing else.
#include "burn/hosted_conversion_control.h"

#include <gtest/gtest.h>

#include "platform/com/runtime.h"
#include "support/encorva_instance.h"

namespace vantrel {
namespace {

TEST(HostedConversionControl, CreatedByClassIdWithOnlyCompleteSignallingTheFirstEvent) {
  // The process's registry, with the component registered as start-up registers it.
  com::ScopedCoInitialize com;
  ASSERT_TRUE(test::RegisterAndCreateEncorva());
  {
    HostedConversionControl control;
    ASSERT_EQ(control.Create(), com::S_OK);
    EXPECT_TRUE(control.Created());
    EXPECT_TRUE(control.Connected());
    com::DISPPARAMS none{};
    // StatusChanged, Error and AboutToRun leave both events alone.
    for (com::DISPID other : {1, 3, 4})
      control.Sink()->Invoke(other, com::IID(), 0, 1, &none, nullptr, nullptr, nullptr);
    EXPECT_FALSE(control.CompleteEvent().Wait(50));
    control.Sink()->Invoke(kCompleteDispid, com::IID(), 0, 1, &none, nullptr, nullptr, nullptr);
    EXPECT_TRUE(control.CompleteEvent().Wait(1000));
    EXPECT_FALSE(control.CompleteEvent().Wait(50));  // auto-reset: one signal, one waiter
    EXPECT_FALSE(control.SecondEvent().Wait(50));
  }
}

}  // namespace
}  // namespace vantrel
