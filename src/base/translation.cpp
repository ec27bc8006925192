// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/translation.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <mutex>
#include <unordered_map>

namespace vantrel {
namespace {

// One loaded catalogue: original -> translation.
struct Catalogue {
  std::string language;
  std::string source;  // the files it was read from, as FileStamp gives them
  std::unordered_map<std::string, std::string> texts;
};

// Catalogues are never freed, so a translation handed out stays valid however often the
// language changes (it changes once or twice per run).
std::mutex gLoadMutex;
std::list<Catalogue> gLoaded;
std::atomic<const Catalogue*> gCurrent{nullptr};

uint32_t Word(const std::string& data, size_t at, bool swap) {
  uint32_t value = 0;
  std::memcpy(&value, data.data() + at, 4);
  return swap ? __builtin_bswap32(value) : value;
}

// Reads a compiled catalogue (GNU .mo). Plural forms keep their first form; the header
// entry (empty original) is left out.
bool ReadCatalogue(const std::string& path, Catalogue& catalogue) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (data.size() < 28) return false;
  uint32_t magic = 0;
  std::memcpy(&magic, data.data(), 4);
  const bool swap = magic == 0xde120495u;
  if (!swap && magic != 0x950412deu) return false;
  const uint32_t count = Word(data, 8, swap);
  const uint32_t originals = Word(data, 12, swap);
  const uint32_t translations = Word(data, 16, swap);
  auto text = [&](uint32_t table, uint32_t i, std::string& out) {
    const size_t entry = size_t(table) + size_t(i) * 8;
    if (entry + 8 > data.size()) return false;
    const uint32_t length = Word(data, entry, swap);
    const uint32_t offset = Word(data, entry + 4, swap);
    if (size_t(offset) + length > data.size()) return false;
    out.assign(data.data() + offset, length);
    const size_t nul = out.find('\0');
    if (nul != std::string::npos) out.resize(nul);
    return true;
  };
  for (uint32_t i = 0; i < count; ++i) {
    std::string original, translation;
    if (!text(originals, i, original) || !text(translations, i, translation)) return false;
    if (original.empty() || translation.empty()) continue;
    catalogue.texts.insert_or_assign(std::move(original), std::move(translation));
  }
  return true;
}

// "en_GB.UTF-8@euro" -> "en_GB".
std::string LanguageOfLocale(const std::string& locale) {
  return locale.substr(0, locale.find_first_of(".@"));
}

bool IsCLocale(const std::string& locale) {
  const std::string name = LanguageOfLocale(locale);
  return name.empty() || name == "C" || name == "POSIX";
}

// A catalogue file as it is now: its path, size and time of change, so that a catalogue
// read once is used again only while it is the same file ("" for none).
std::string FileStamp(const std::string& path) {
  std::error_code error;
  if (path.empty()) return "";
  const auto size = std::filesystem::file_size(path, error);
  const auto changed = std::filesystem::last_write_time(path, error);
  if (error) return path;
  return path + "|" + std::to_string(size) + "|" + std::to_string(changed.time_since_epoch().count());
}

}  // namespace

const char* Tr(const char* original) {
  const Catalogue* catalogue = gCurrent.load(std::memory_order_acquire);
  if (catalogue == nullptr || original == nullptr) return original;
  const auto found = catalogue->texts.find(original);
  return found == catalogue->texts.end() ? original : found->second.c_str();
}

std::string Tr(const std::string& original) { return Tr(original.c_str()); }

LocaleVariables LocaleVariablesOfEnvironment() {
  auto get = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value ? value : "");
  };
  return {get("LANGUAGE"), get("LC_ALL"), get("LC_MESSAGES"), get("LANG")};
}

std::string ChooseLanguage(const LocaleVariables& variables,
                           const std::function<bool(const std::string& language)>& hasCatalogue) {
  std::string locale = variables.lcAll;
  if (locale.empty()) locale = variables.lcMessages;
  if (locale.empty()) locale = variables.lang;
  if (IsCLocale(locale)) return kOriginalLanguage;
  std::vector<std::string> wanted;
  for (size_t start = 0; start <= variables.language.size();) {
    const size_t colon = std::min(variables.language.find(':', start), variables.language.size());
    if (colon > start) wanted.push_back(variables.language.substr(start, colon - start));
    start = colon + 1;
  }
  wanted.push_back(locale);
  for (const std::string& entry : wanted) {
    const std::string name = LanguageOfLocale(entry);
    if (name.rfind("zh", 0) == 0) return kOriginalLanguage;
    if (hasCatalogue(name)) return name;
    const std::string base = name.substr(0, name.find('_'));
    if (base != name && hasCatalogue(base)) return base;
  }
  return "en";
}

std::vector<std::string> LocaleFolders(const std::string& app) {
  return {app + "locale/", app + "../../share/locale/"};
}

std::string CatalogueFile(const std::string& language, const std::vector<std::string>& folders) {
  for (const std::string& folder : folders) {
    const std::string path = folder + language + "/LC_MESSAGES/" + kTextDomain + ".mo";
    if (std::ifstream(path).good()) return path;
  }
  return "";
}

bool UseLanguage(const std::string& language, const std::vector<std::string>& folders) {
  std::lock_guard lock(gLoadMutex);
  // A partial catalogue of another language shows English for what it lacks.
  const std::string english =
      language != "en" && language != kOriginalLanguage ? CatalogueFile("en", folders) : std::string();
  const std::string path = CatalogueFile(language, folders);
  // Loaded before from the same files: used again. Other folders, or a file changed since,
  // are read anew, so a switch always shows what the named folders hold.
  const std::string source = FileStamp(path) + "+" + FileStamp(english);
  for (const Catalogue& loaded : gLoaded)
    if (loaded.language == language && loaded.source == source) {
      gCurrent.store(&loaded, std::memory_order_release);
      return true;
    }
  Catalogue catalogue;
  catalogue.language = language;
  catalogue.source = source;
  if (!english.empty()) ReadCatalogue(english, catalogue);
  const bool read = !path.empty() && ReadCatalogue(path, catalogue);
  // The originals' language reads fine without its (identity) catalogue.
  if (!read && language != kOriginalLanguage) {
    gCurrent.store(nullptr, std::memory_order_release);
    return false;
  }
  gLoaded.push_back(std::move(catalogue));
  gCurrent.store(&gLoaded.back(), std::memory_order_release);
  return true;
}

std::string CurrentLanguage() {
  const Catalogue* catalogue = gCurrent.load(std::memory_order_acquire);
  return catalogue ? catalogue->language : kOriginalLanguage;
}

std::string LocalisedFile(const std::string& applicationFolder, const std::string& relative) {
  const std::string language = CurrentLanguage();
  if (language != kOriginalLanguage) {
    const std::string own = applicationFolder + "locale/" + language + "/" + relative;
    if (std::ifstream(own.substr(0, own.find('#'))).good()) return own;
  }
  return applicationFolder + relative;
}

std::string UseLanguageOfUser(const std::string& applicationFolder, const std::string& choice) {
  const std::vector<std::string> folders = LocaleFolders(applicationFolder);
  std::string language = choice;
  if (language.empty())
    language = ChooseLanguage(LocaleVariablesOfEnvironment(), [&](const std::string& name) {
      return name == kOriginalLanguage || !CatalogueFile(name, folders).empty();
    });
  if (!UseLanguage(language, folders)) return CurrentLanguage();
  return language;
}

}  // namespace vantrel
