// SPDX-License-Identifier: GPL-3.0-or-later
// The program's texts in the user's language. Every text a user reads is written in the
// source as the program's Chinese original and passed through Tr(); the catalogue of the
// chosen language (po/LANG.po, compiled to share/locale/LANG/LC_MESSAGES/vantrel.mo) gives
// its translation. Without a catalogue, or for a text it lacks, the original is the answer.
//
//   Format(Tr("标题 %d (%s): 保持原样"), number, name.c_str())
//
// The front end chooses the language once at start-up (UseLanguage); library code only
// translates. A sentence with parts is one text with printf conversions, never pieces
// glued together, so a translator can order it.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Marks a text for the catalogue where it is stored untranslated (a table) and passed
// through Tr() where it is shown. Spelt as the toolkit spells its own, so that the two
// definitions agree wherever both headers meet.
#define N_(s) (s)

namespace vantrel {

// The catalogue's name: LOCALEDIR/LANG/LC_MESSAGES/vantrel.mo.
inline constexpr const char* kTextDomain = "vantrel";
// The language of the originals, which needs no catalogue.
inline constexpr const char* kOriginalLanguage = "zh_CN";

// The translation of an original text in the chosen language (the original itself when
// there is none). The pointer stays valid for the whole run.
const char* Tr(const char* original) __attribute__((format_arg(1)));
std::string Tr(const std::string& original);

// The locale variables that choose the language, as the environment has them.
struct LocaleVariables {
  std::string language;    // LANGUAGE: a list of languages, "en_GB:fr"
  std::string lcAll;       // LC_ALL
  std::string lcMessages;  // LC_MESSAGES
  std::string lang;        // LANG
};
LocaleVariables LocaleVariablesOfEnvironment();

// The language to show: the first of LANGUAGE's list, then the locale (LC_ALL, else
// LC_MESSAGES, else LANG) that has a catalogue ("en_GB" takes "en" when there is no
// "en_GB"); any Chinese takes the originals. The C and POSIX locales (and no locale)
// keep the originals, as gettext does. Anything else falls back to "en".
std::string ChooseLanguage(const LocaleVariables& variables,
                           const std::function<bool(const std::string& language)>& hasCatalogue);

// The folders that hold the catalogues, for the application folder (ending in "/"):
// APPDIR/locale/ in the build tree, and the installed share/locale/ beside lib/vantrel/.
std::vector<std::string> LocaleFolders(const std::string& applicationFolder);
// FOLDER/LANG/LC_MESSAGES/vantrel.mo of the first folder that has one, or "".
std::string CatalogueFile(const std::string& language, const std::vector<std::string>& folders);

// Shows the language's texts from now on: loads its catalogue from the folders (the
// originals' language needs none; English stands in for what another language lacks). False, with the originals kept, when the catalogue is
// missing or unreadable. Called by a front end at start-up, before any thread translates.
bool UseLanguage(const std::string& language, const std::vector<std::string>& folders);
// The language chosen by UseLanguage (kOriginalLanguage until then).
std::string CurrentLanguage();

// A file shipped beside the program in the chosen language: APPDIR/locale/LANG/RELATIVE
// when that language has its own copy (tips, help pages), else APPDIR/RELATIVE. A
// "#anchor" after the path is kept.
std::string LocalisedFile(const std::string& applicationFolder, const std::string& relative);

// ChooseLanguage from the environment and UseLanguage with the application folder's
// catalogues; returns the language now shown. An explicit choice ("zh_CN", "en"; empty
// means the system's) wins over the locale.
std::string UseLanguageOfUser(const std::string& applicationFolder, const std::string& choice = "");

}  // namespace vantrel
