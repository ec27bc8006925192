// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registry/registrar.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/paths.h"
#include "platform/registry/registry.h"

namespace vantrel::registry {
namespace {

struct ScriptValue {
  std::string name;  // empty: the key's default value
  RegistryValue value;
};

struct ScriptKey {
  std::string name;
  bool forceRemove = false;
  bool noRemove = false;
  std::vector<ScriptValue> values;
  std::vector<ScriptKey> children;
};

class Parser {
 public:
  Parser(const std::string& text, const std::map<std::string, std::string>& variables)
      : text_(text), variables_(variables) {}

  bool ParseRoots(std::vector<std::pair<Root, ScriptKey>>& roots) {
    for (;;) {
      std::string token;
      if (!NextToken(token)) return error_.empty();
      Root root;
      if (EqualsNoCase(token, "HKCR") || EqualsNoCase(token, "HKEY_CLASSES_ROOT"))
        root = Root::ClassesRoot;
      else if (EqualsNoCase(token, "HKCU") || EqualsNoCase(token, "HKEY_CURRENT_USER"))
        root = Root::CurrentUser;
      else
        return Fail("unknown root " + token);
      ScriptKey body;
      if (!Expect("{") || !ParseBody(body)) return false;
      roots.emplace_back(root, std::move(body));
    }
  }
  const std::string& Error() const { return error_; }

 private:
  // Keys and named values up to the closing brace.
  bool ParseBody(ScriptKey& parent) {
    for (;;) {
      std::string token;
      bool quoted = false;
      if (!NextToken(token, &quoted)) return Fail("missing }");
      if (!quoted && token == "}") return true;
      if (!quoted && EqualsNoCase(token, "val")) {
        ScriptValue value;
        if (!NextToken(value.name) || !Expect("=") || !ParseValue(value.value)) return false;
        parent.values.push_back(std::move(value));
        continue;
      }
      ScriptKey key;
      while (!quoted && (EqualsNoCase(token, "ForceRemove") || EqualsNoCase(token, "NoRemove"))) {
        (EqualsNoCase(token, "ForceRemove") ? key.forceRemove : key.noRemove) = true;
        if (!NextToken(token, &quoted)) return Fail("key name missing");
      }
      key.name = token;
      if (Peek() == '=') {
        Expect("=");
        ScriptValue value;
        if (!ParseValue(value.value)) return false;
        key.values.push_back(std::move(value));
      }
      if (Peek() == '{') {
        Expect("{");
        if (!ParseBody(key)) return false;
      }
      parent.children.push_back(std::move(key));
    }
  }

  bool ParseValue(RegistryValue& value) {
    std::string type, data;
    bool quoted = false;
    if (!NextToken(type) || !NextToken(data, &quoted)) return Fail("value missing");
    if (EqualsNoCase(type, "s")) {
      value = RegistryValue::String(data);
    } else if (EqualsNoCase(type, "d")) {
      char* end = nullptr;
      unsigned long number = std::strtoul(data.c_str(), &end, 0);
      if (data.empty() || *end) return Fail("not a number: " + data);
      value = RegistryValue::Dword(std::uint32_t(number));
    } else {
      return Fail("unknown value type " + type);
    }
    return true;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  char Peek() {
    SkipBlanks();
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  bool Expect(const char* symbol) {
    std::string token;
    bool quoted = false;
    if (!NextToken(token, &quoted) || quoted || token != symbol)
      return Fail(std::string("expected ") + symbol);
    return true;
  }
  bool Fail(const std::string& what) {
    if (error_.empty()) error_ = what;
    return false;
  }

  bool NextToken(std::string& token, bool* quoted = nullptr) {
    SkipBlanks();
    token.clear();
    if (quoted) *quoted = false;
    if (pos_ >= text_.size()) return false;
    char c = text_[pos_];
    // A class id as a key name: "{" directly followed by a hex digit, up to its "}".
    if (c == '{' && pos_ + 1 < text_.size() && std::isxdigit(static_cast<unsigned char>(text_[pos_ + 1]))) {
      size_t close = text_.find('}', pos_);
      if (close == std::string::npos) return Fail("unterminated class id");
      token = text_.substr(pos_, close - pos_ + 1);
      pos_ = close + 1;
      return true;
    }
    if (c == '{' || c == '}' || c == '=') {
      token = c;
      ++pos_;
      return true;
    }
    if (c == '\'') {
      if (quoted) *quoted = true;
      for (++pos_; pos_ < text_.size(); ++pos_) {
        if (text_[pos_] == '\'') {
          if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
            token += '\'';
            ++pos_;
            continue;
          }
          ++pos_;
          return Substitute(token);
        }
        token += text_[pos_];
      }
      return Fail("unterminated text");
    }
    while (pos_ < text_.size() && !std::isspace(static_cast<unsigned char>(text_[pos_])) &&
           text_[pos_] != '{' && text_[pos_] != '}' && text_[pos_] != '=')
      token += text_[pos_++];
    return Substitute(token);
  }

  bool Substitute(std::string& token) {
    std::string out;
    for (size_t i = 0; i < token.size(); ++i) {
      if (token[i] != '%') {
        out += token[i];
        continue;
      }
      size_t end = token.find('%', i + 1);
      if (end == std::string::npos) return Fail("unpaired % in " + token);
      std::string name = token.substr(i + 1, end - i - 1);
      if (name.empty()) {
        out += '%';
      } else {
        auto it = variables_.find(name);
        if (it == variables_.end()) return Fail("unknown variable %" + name + "%");
        out += it->second;
      }
      i = end;
    }
    token = std::move(out);
    return true;
  }

  const std::string& text_;
  const std::map<std::string, std::string>& variables_;
  size_t pos_ = 0;
  std::string error_;
};

bool Register(Hive& hive, const std::string& parentPath, const ScriptKey& key) {
  const std::string path = parentPath.empty() ? key.name : parentPath + "\\" + key.name;
  if (key.forceRemove) hive.DeleteKey(path);
  if (!hive.CreateKey(path)) return false;
  for (const ScriptValue& value : key.values)
    if (!hive.SetValue(path, value.name, value.value)) return false;
  for (const ScriptKey& child : key.children)
    if (!Register(hive, path, child)) return false;
  return true;
}

void Unregister(Hive& hive, const std::string& parentPath, const ScriptKey& key) {
  const std::string path = parentPath.empty() ? key.name : parentPath + "\\" + key.name;
  if (!key.noRemove) {
    hive.DeleteKey(path);
    return;
  }
  for (const ScriptKey& child : key.children) Unregister(hive, path, child);
}

}  // namespace

RegistrarResult RunRegistrationScript(const std::string& script,
                                      const std::map<std::string, std::string>& variables,
                                      RegistrarMode mode) {
  RegistrarResult result;
  std::vector<std::pair<Root, ScriptKey>> roots;
  Parser parser(script, variables);
  if (!parser.ParseRoots(roots)) {
    result.error = "registration script: " + parser.Error();
    return result;
  }
  for (const auto& [root, body] : roots) {
    errno = 0;
    bool written = Edit(root, [&](Hive& hive) {
      for (const ScriptKey& key : body.children) {
        if (mode == RegistrarMode::Unregister)
          Unregister(hive, "", key);
        else if (!Register(hive, "", key))
          return false;
      }
      return true;
    });
    if (!written) {
      result.systemError = errno;
      result.error = "cannot write the registry in " + HivePath(root);
      if (errno) result.error += std::string(": ") + std::strerror(errno);
      return result;
    }
  }
  result.ok = true;
  return result;
}

}  // namespace vantrel::registry
