// SPDX-License-Identifier: GPL-3.0-or-later
// The component's type information as ITypeInfo objects, read from the one type
// description (type_description.h): IEncorvaObj, the event interface and the coclass.
#pragma once

#include "platform/com/object.h"
#include "platform/com/type_info.h"

namespace vantrel::encorva {

using namespace com;

// Each call makes a new object with one reference for the caller; the objects keep the
// module loaded while they live.
HRESULT CreateObjTypeInfo(ModuleLockCount* locks, ITypeInfo** info);
HRESULT CreateEventsTypeInfo(ModuleLockCount* locks, ITypeInfo** info);
HRESULT CreateCoclassTypeInfo(ModuleLockCount* locks, ITypeInfo** info);

}  // namespace vantrel::encorva
