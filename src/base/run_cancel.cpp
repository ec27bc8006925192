// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/run_cancel.h"

namespace vantrel {
namespace {

thread_local const CancelScope* tScope = nullptr;

}  // namespace

CancelScope::CancelScope(const std::atomic<bool>& flag) : CancelScope(flag, tScope) {}

CancelScope::CancelScope(const std::atomic<bool>& flag, const CancelScope* outer)
    : flag_(flag), outer_(outer), previous_(tScope) {
  tScope = this;
}

CancelScope::~CancelScope() { tScope = previous_; }

bool CancelScope::Requested() const {
  for (const CancelScope* scope = this; scope; scope = scope->outer_)
    if (scope->flag_.load()) return true;
  return false;
}

bool CancelRequested() { return tScope && tScope->Requested(); }

bool CancelScopeActive() { return tScope != nullptr; }

const CancelScope* CurrentCancelScope() { return tScope; }

}  // namespace vantrel
