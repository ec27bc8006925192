// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/com/running_objects.h"

#include <map>
#include <mutex>

namespace vantrel::com {
namespace {

struct Entry {
  std::string name;
  ComPtr<IUnknown> object;
};

std::mutex gLock;
std::map<DWORD, Entry> gTable;
DWORD gNext = 1;

}  // namespace

HRESULT RegisterRunningObject(const std::string& displayName, IUnknown* object, DWORD* cookie) {
  if (!object || !cookie) return E_POINTER;
  std::lock_guard lock(gLock);
  *cookie = gNext++;
  gTable[*cookie] = Entry{displayName, ComPtr<IUnknown>(object)};
  return S_OK;
}

HRESULT RevokeRunningObject(DWORD cookie) {
  ComPtr<IUnknown> released;  // let go of it outside the lock
  std::lock_guard lock(gLock);
  auto it = gTable.find(cookie);
  if (it == gTable.end()) return E_INVALIDARG;
  released = std::move(it->second.object);
  gTable.erase(it);
  return S_OK;
}

HRESULT GetRunningObject(const std::string& displayName, IUnknown** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  std::lock_guard lock(gLock);
  for (auto& [cookie, entry] : gTable)
    if (entry.name == displayName) {
      *object = entry.object.Get();
      (*object)->AddRef();
      return S_OK;
    }
  return MK_E_UNAVAILABLE;
}

std::vector<std::string> RunningObjectNames() {
  std::lock_guard lock(gLock);
  std::vector<std::string> names;
  for (auto& [cookie, entry] : gTable) names.push_back(entry.name);
  return names;
}

}  // namespace vantrel::com
