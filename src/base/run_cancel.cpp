// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/run_cancel.h"

namespace vantrel {
namespace {

thread_local const std::atomic<bool>* tFlag = nullptr;

}  // namespace

CancelScope::CancelScope(const std::atomic<bool>& flag) : previous_(tFlag) { tFlag = &flag; }

CancelScope::~CancelScope() { tFlag = previous_; }

bool CancelRequested() { return tFlag && tFlag->load(); }

bool CancelScopeActive() { return tFlag != nullptr; }

}  // namespace vantrel
