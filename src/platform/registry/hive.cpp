// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry/hive.h"

#include <cstdlib>

#include "base/paths.h"
#include "base/text_format.h"

namespace vantrel {
namespace {

constexpr const char* kHeader = "VANTREL REGISTRY HIVE 1";

std::string Quote(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

// Reads a quoted string starting at line[pos] == '"'; pos ends after the closing quote.
bool Unquote(const std::string& line, size_t& pos, std::string& out) {
  if (pos >= line.size() || line[pos] != '"') return false;
  out.clear();
  for (++pos; pos < line.size(); ++pos) {
    char c = line[pos];
    if (c == '"') {
      ++pos;
      return true;
    }
    if (c == '\\' && pos + 1 < line.size()) {
      char next = line[++pos];
      out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    } else {
      out += c;
    }
  }
  return false;
}

bool HasControlCharacters(const std::string& text) {
  for (unsigned char c : text)
    if (c < 0x20) return true;
  return false;
}

std::string Lookup(const std::string& path) { return AsciiLower(NormalizeKeyPath(path)); }

}  // namespace

std::string NormalizeKeyPath(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == '\\') out.pop_back();
  return out;
}

Hive::Key* Hive::Find(const std::string& path) {
  auto it = keys_.find(Lookup(path));
  return it == keys_.end() ? nullptr : &it->second;
}

const Hive::Key* Hive::Find(const std::string& path) const {
  auto it = keys_.find(Lookup(path));
  return it == keys_.end() ? nullptr : &it->second;
}

bool Hive::CreateKey(const std::string& path) {
  std::string normal = NormalizeKeyPath(path);
  if (normal.empty() || HasControlCharacters(normal)) return false;
  for (size_t end = 0; end != std::string::npos;) {
    end = normal.find('\\', end + 1);
    std::string prefix = normal.substr(0, end);
    auto [it, added] = keys_.try_emplace(AsciiLower(prefix));
    if (added) it->second.path = prefix;
  }
  return true;
}

bool Hive::KeyExists(const std::string& path) const { return Find(path) != nullptr; }

bool Hive::DeleteKey(const std::string& path) {
  std::string lookup = Lookup(path);
  if (lookup.empty() || !keys_.count(lookup)) return false;
  std::string childPrefix = lookup + "\\";
  for (auto it = keys_.lower_bound(lookup); it != keys_.end();) {
    if (it->first == lookup || it->first.compare(0, childPrefix.size(), childPrefix) == 0)
      it = keys_.erase(it);
    else if (it->first > childPrefix && it->first.compare(0, lookup.size(), lookup) != 0)
      break;
    else
      ++it;
  }
  return true;
}

std::vector<std::string> Hive::SubKeyNames(const std::string& path) const {
  std::string lookup = Lookup(path);
  std::string prefix = lookup.empty() ? "" : lookup + "\\";
  std::vector<std::string> names;
  for (const auto& [id, key] : keys_) {
    if (id.compare(0, prefix.size(), prefix) != 0) continue;
    if (id.find('\\', prefix.size()) != std::string::npos) continue;
    names.push_back(key.path.substr(prefix.size()));
  }
  return names;
}

bool Hive::SetValue(const std::string& path, const std::string& name, RegistryValue value) {
  if (HasControlCharacters(name) || !CreateKey(path)) return false;
  Key* key = Find(path);
  for (auto& [existing, stored] : key->values) {
    if (EqualsNoCase(existing, name)) {
      stored = std::move(value);
      return true;
    }
  }
  key->values.emplace_back(name, std::move(value));
  return true;
}

std::optional<RegistryValue> Hive::GetValue(const std::string& path,
                                            const std::string& name) const {
  const Key* key = Find(path);
  if (!key) return std::nullopt;
  for (const auto& [existing, stored] : key->values)
    if (EqualsNoCase(existing, name)) return stored;
  return std::nullopt;
}

bool Hive::DeleteValue(const std::string& path, const std::string& name) {
  Key* key = Find(path);
  if (!key) return false;
  for (auto it = key->values.begin(); it != key->values.end(); ++it) {
    if (EqualsNoCase(it->first, name)) {
      key->values.erase(it);
      return true;
    }
  }
  return false;
}

std::vector<std::string> Hive::ValueNames(const std::string& path) const {
  std::vector<std::string> names;
  if (const Key* key = Find(path))
    for (const auto& entry : key->values) names.push_back(entry.first);
  return names;
}

std::string Hive::Serialize() const {
  std::string out = std::string(kHeader) + "\n";
  for (const auto& [id, key] : keys_) {
    out += "\n[" + key.path + "]\n";
    for (const auto& [name, value] : key.values) {
      out += name.empty() ? std::string("@") : Quote(name);
      out += "=";
      out += value.type == RegistryValue::Type::Dword ? Format("dword:%08x", value.number)
                                                      : Quote(value.text);
      out += "\n";
    }
  }
  return out;
}

Hive Hive::Parse(const std::string& text) {
  Hive hive;
  std::string current;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      if (!hive.CreateKey(current)) current.clear();
      continue;
    }
    if (current.empty() || line.empty()) continue;
    std::string name;
    size_t pos = 0;
    if (line[0] == '@') {
      pos = 1;
    } else if (!Unquote(line, pos, name)) {
      continue;
    }
    if (pos >= line.size() || line[pos] != '=') continue;
    ++pos;
    std::string valueText;
    if (line.compare(pos, 6, "dword:") == 0) {
      char* stop = nullptr;
      unsigned long number = std::strtoul(line.c_str() + pos + 6, &stop, 16);
      hive.SetValue(current, name, RegistryValue::Dword(std::uint32_t(number)));
    } else if (Unquote(line, pos, valueText)) {
      hive.SetValue(current, name, RegistryValue::String(std::move(valueText)));
    }
  }
  return hive;
}

}  // namespace vantrel
