// SPDX-License-Identifier: GPL-3.0-or-later
// One registry root in memory: keys named by "\"-separated paths (compared without regard
// to case), each holding a default value and named string or number values.
// Text form, one block per key:
//   [Software\quorvane\LastDir]
//   @="/home/user/videos"
//   "Name"="text with \" and \\ escaped"
//   "Count"=dword:0000002a
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

struct RegistryValue {
  enum class Type { String, Dword };
  Type type = Type::String;
  std::string text;
  std::uint32_t number = 0;

  static RegistryValue String(std::string text) { return {Type::String, std::move(text), 0}; }
  static RegistryValue Dword(std::uint32_t number) { return {Type::Dword, {}, number}; }
  bool operator==(const RegistryValue&) const = default;
};

class Hive {
 public:
  // Reads the text form; lines that cannot be read are skipped.
  static Hive Parse(const std::string& text);
  std::string Serialize() const;

  // Creates the key and its missing parents. False for a path with control characters.
  bool CreateKey(const std::string& path);
  bool KeyExists(const std::string& path) const;
  // Deletes the key with all its subkeys; false when it did not exist.
  bool DeleteKey(const std::string& path);
  // Names (last component, as written) of the direct subkeys, in sorted order.
  std::vector<std::string> SubKeyNames(const std::string& path) const;

  // `name` empty means the key's default value. Setting creates the key.
  bool SetValue(const std::string& path, const std::string& name, RegistryValue value);
  std::optional<RegistryValue> GetValue(const std::string& path, const std::string& name) const;
  bool DeleteValue(const std::string& path, const std::string& name);
  // Names of the key's values in the order they were first set ("" for the default).
  std::vector<std::string> ValueNames(const std::string& path) const;

  size_t KeyCount() const { return keys_.size(); }

 private:
  struct Key {
    std::string path;  // as first written
    std::vector<std::pair<std::string, RegistryValue>> values;
  };
  Key* Find(const std::string& path);
  const Key* Find(const std::string& path) const;

  std::map<std::string, Key> keys_;  // by lower-case normalised path
};

// Strips leading, trailing and doubled separators: "\a\\b\" -> "a\b".
std::string NormalizeKeyPath(const std::string& path);

}  // namespace vantrel
