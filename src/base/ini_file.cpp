// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/ini_file.h"

#include <climits>
#include <cstdlib>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/utf.h"

namespace vantrel {
namespace {

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  auto first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return std::string();
  auto last = text.find_last_not_of(blanks);
  return text.substr(first, last - first + 1);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    auto end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// "[name]" -> true with the trimmed name.
bool ParseSection(const std::string& line, std::string& name) {
  std::string trimmed = Trim(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return false;
  auto close = trimmed.find(']');
  if (close == std::string::npos) return false;
  name = Trim(trimmed.substr(1, close - 1));
  return true;
}

// "key = value" -> true with the trimmed key; comment lines are not keys.
bool ParseKey(const std::string& line, std::string& key, std::string& value) {
  std::string trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() == ';') return false;
  auto equals = trimmed.find('=');
  if (equals == std::string::npos) return false;
  key = Trim(trimmed.substr(0, equals));
  value = Trim(trimmed.substr(equals + 1));
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return true;
}

}  // namespace

int LeadingInt(const std::string& text) {
  const char* start = text.c_str();
  char* end = nullptr;
  long value = std::strtol(start, &end, 10);
  if (end == start) return 0;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return int(value);
}

bool IniFile::FindValue(const std::string& text, const std::string& section,
                        const std::string& key, std::string& value) {
  bool inSection = false;
  for (const auto& line : SplitLines(text)) {
    std::string name, candidate;
    if (ParseSection(line, name)) {
      if (inSection) return false;  // the first section of that name decides
      inSection = EqualsNoCase(name, section);
    } else if (inSection && ParseKey(line, name, candidate) && EqualsNoCase(name, key)) {
      value = std::move(candidate);
      return true;
    }
  }
  return false;
}

std::string IniFile::WithValue(const std::string& text, const std::string& section,
                               const std::string& key, const std::string& value) {
  const std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::vector<std::string> lines = SplitLines(text);
  // Line breaks inside a value would add lines of their own to the file.
  std::string entry = key + "=" + value;
  for (char& c : entry)
    if (c == '\n' || c == '\r') c = ' ';

  int sectionLine = -1;  // the header of the target section
  int insertAt = -1;     // after the last non-blank line of that section
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name, existing;
    if (ParseSection(lines[i], name)) {
      if (sectionLine >= 0) break;
      if (EqualsNoCase(name, section)) insertAt = sectionLine = int(i);
    } else if (sectionLine >= 0) {
      if (ParseKey(lines[i], name, existing) && EqualsNoCase(name, key)) {
        lines[i] = entry;
        insertAt = -2;
        break;
      }
      if (!Trim(lines[i]).empty()) insertAt = int(i);
    }
  }
  if (insertAt >= 0) {
    lines.insert(lines.begin() + insertAt + 1, entry);
  } else if (sectionLine < 0) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.push_back("");
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  }
  std::string out;
  for (const auto& line : lines) out += line + eol;
  return out;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& fallback) const {
  std::string text, value;
  if (!ReadWholeFile(path_, text) || !FindValue(text, section, key, value)) value = fallback;
  return Utf8Prefix(value, kReadBufferSize - 1);
}

int IniFile::ReadInt(const std::string& section, const std::string& key, int current) const {
  std::string text = ReadString(section, key, "");
  return text.empty() ? current : LeadingInt(text);
}

bool IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& text) {
  std::string current;
  ReadWholeFile(path_, current);  // a missing file starts empty
  return WriteFileAtomically(path_, WithValue(current, section, key, text));
}

bool IniFile::WriteAll(const std::vector<Entry>& entries) {
  std::string text;
  ReadWholeFile(path_, text);
  for (const Entry& entry : entries) text = WithValue(text, entry.section, entry.key, entry.value);
  return WriteFileAtomically(path_, text);
}

bool IniFile::WriteInt(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, Format("%d", value));
}

}  // namespace vantrel
