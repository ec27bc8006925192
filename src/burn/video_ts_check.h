// SPDX-License-Identifier: GPL-3.0-or-later
// The older name of the folder burn's counting rule; new code includes burn/folder_burn_check.h.
#pragma once

#include "burn/folder_burn_check.h"
