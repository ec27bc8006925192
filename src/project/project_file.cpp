// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/project_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {
namespace {

using Json = nlohmann::json;
namespace fs = std::filesystem;

// Bounds that keep a damaged or hostile file from asking for absurd work.
constexpr int kMaxFontHeight = 200;
constexpr int kMaxTitles = 999;
constexpr int kMaxTracks = 64;
constexpr double kMaxSeconds = 100.0 * 3600;

const std::map<ChapterMode, const char*> kChapterModes = {
    {ChapterMode::kDefault, "default"},
    {ChapterMode::kEveryMinutes, "every"},
    {ChapterMode::kTimes, "times"},
    {ChapterMode::kSourceMarks, "source"}};
constexpr const char* kAlignments[] = {"left", "centre", "right"};

std::string ColourText(Colour c) {
  return Format("#%02x%02x%02x", ColourRed(c), ColourGreen(c), ColourBlue(c));
}

bool ParseColour(const std::string& text, Colour& out) {
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned value = 0;
  for (size_t i = 1; i < 7; ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    value = value * 16 + unsigned(digit);
  }
  out = MakeColour(int(value >> 16), int((value >> 8) & 0xFF), int(value & 0xFF));
  return true;
}

// A path as the file keeps it: relative to the project's folder when it lies in it.
std::string StoredPath(const std::string& path, const std::string& folder) {
  if (path.empty() || folder.empty()) return path;
  const fs::path full = fs::path(path).lexically_normal();
  const fs::path relative = full.lexically_relative(fs::path(folder).lexically_normal());
  if (relative.empty() || *relative.begin() == "..") return path;
  return relative.generic_string();
}

std::string ResolvedPath(const std::string& stored, const std::string& folder) {
  if (stored.empty()) return stored;
  fs::path path(stored);
  if (path.is_relative() && !folder.empty()) path = fs::path(folder) / path;
  return path.lexically_normal().string();
}

// A control character in a path would end a line of the scripts and tool commands.
bool HasControlCharacter(const std::string& text) {
  return std::any_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x20 || c == 0x7F; });
}

Json FontJson(const LogicalFont& font) {
  return {{"face", font.face}, {"height", font.height}, {"weight", font.weight},
          {"italic", font.italic}, {"charset", font.charset}};
}

Json TitleJson(const ProjectTitle& title, const std::string& folder) {
  Json sounds = Json::array();
  for (const SoundTrack& t : title.soundTracks)
    sounds.push_back({{"source", StoredPath(t.source, folder)}, {"stream", t.stream},
                      {"language", t.language}, {"offsetMs", t.offsetMs}});
  Json subtitles = Json::array();
  for (const SubtitleTrack& t : title.subtitles)
    subtitles.push_back({{"source", StoredPath(t.source, folder)}, {"stream", t.stream},
                         {"language", t.language}, {"encoding", t.encoding}, {"default", t.shownByDefault}});
  return {{"source", StoredPath(title.source, folder)},
          {"caption", title.caption},
          {"thumbnailTime", title.thumbnailTime},
          {"thumbnailShownAt", title.thumbnailShownAt},
          {"soundTracks", sounds},
          {"subtitles", subtitles},
          {"chapters",
           {{"mode", kChapterModes.at(title.chapters.mode)},
            {"everyMinutes", title.chapters.everyMinutes},
            {"times", title.chapters.times}}}};
}

Json MenuJson(const MenuDesign& menu, const std::string& folder) {
  const MenuAppearance& look = menu.look;
  auto headline = [](const std::string& text, const LogicalFont& font, Colour colour, bool shadow,
                     Colour shadowColour, int alignment) {
    return Json{{"text", text}, {"font", FontJson(font)}, {"colour", ColourText(colour)},
                {"shadow", shadow}, {"shadowColour", ColourText(shadowColour)},
                {"alignment", kAlignments[std::clamp(alignment, 0, 2)]}};
  };
  return {{"layout", menu.layout},
          {"headerLine", menu.headerLine},
          {"footerLine", menu.footerLine},
          {"playAll", menu.playAll},
          {"chapterMenus", menu.chapterMenus},
          {"header", headline(look.headerText, look.headerFont, look.headerColour, look.headerShadow,
                              look.headerShadowColour, look.headerAlignment)},
          {"footer", headline(look.footerText, look.footerFont, look.footerColour, look.footerShadow,
                              look.footerShadowColour, look.footerAlignment)},
          {"captions",
           {{"colour", ColourText(look.captionColour)}, {"font", FontJson(look.captionFont)},
            {"highlightColour", ColourText(look.highlightColour)}, {"highlightFont", FontJson(look.highlightFont)},
            {"selectColour", ColourText(look.selectColour)}, {"selectFont", FontJson(look.selectFont)}}},
          {"pageNumberFont", FontJson(look.pageNumberFont)},
          {"motion",
           {{"thumbnails", menu.motion.thumbnails},
            {"seconds", menu.motion.seconds},
            {"video", StoredPath(menu.motion.backgroundVideo, folder)},
            {"music", StoredPath(menu.motion.music, folder)},
            {"loop", menu.motion.loop}}},
          {"background",
           {{"colour", ColourText(look.backgroundColour)},
            {"picture", StoredPath(look.backgroundPicture, folder)}}}};
}

// Reads the members of one object of the file into their fields: a member that is absent
// keeps the field's value, one of the wrong kind or out of bounds keeps it too and is noted.
class Reader {
 public:
  Reader(const Json& object, std::string where, std::vector<std::string>& notes)
      : object_(object), where_(std::move(where)), notes_(notes) {}

  bool Has(const char* key) const { return object_.is_object() && object_.contains(key); }
  const Json* Member(const char* key) const {
    return Has(key) ? &object_.at(key) : nullptr;
  }
  Reader Object(const char* key) const {
    const Json* member = Member(key);
    if (member && !member->is_object()) Wrong(key);
    return Reader(member && member->is_object() ? *member : kEmpty, where_ + "." + key, notes_);
  }

  void Text(const char* key, std::string& out) const {
    if (const Json* m = Member(key)) {
      if (m->is_string()) out = m->get<std::string>();
      else Wrong(key);
    }
  }
  void Flag(const char* key, bool& out) const {
    if (const Json* m = Member(key)) {
      if (m->is_boolean()) out = m->get<bool>();
      else Wrong(key);
    }
  }
  void Whole(const char* key, int& out, long long low, long long high) const {
    if (const Json* m = Member(key)) {
      if (m->is_number_integer() && m->get<long long>() >= low && m->get<long long>() <= high)
        out = int(m->get<long long>());
      else
        Wrong(key);
    }
  }
  void Seconds(const char* key, double& out) const {
    if (const Json* m = Member(key)) {
      if (m->is_number() && std::isfinite(m->get<double>()) && m->get<double>() >= 0 &&
          m->get<double>() <= kMaxSeconds)
        out = m->get<double>();
      else
        Wrong(key);
    }
  }
  void ColourOf(const char* key, Colour& out) const {
    if (const Json* m = Member(key)) {
      if (!m->is_string() || !ParseColour(m->get<std::string>(), out)) Wrong(key);
    }
  }
  void Font(const char* key, LogicalFont& out) const {
    const Reader font = Object(key);
    LogicalFont read = out;
    font.Text("face", read.face);
    font.Whole("height", read.height, -kMaxFontHeight, kMaxFontHeight);
    font.Whole("weight", read.weight, 0, 1000);
    font.Flag("italic", read.italic);
    font.Whole("charset", read.charset, 0, 255);
    if (HasControlCharacter(read.face) || read.face.empty()) font.Wrong("face");
    else out = read;
  }
  template <typename Choices>
  void Choice(const char* key, int& out, const Choices& names) const {
    if (const Json* m = Member(key)) {
      if (m->is_string()) {
        for (size_t i = 0; i < std::size(names); ++i) {
          if (m->get<std::string>() == names[i]) {
            out = int(i);
            return;
          }
        }
      }
      Wrong(key);
    }
  }
  void Wrong(const char* key) const { notes_.push_back(Format(Tr("忽略了无效的值 %s.%s"), where_.c_str(), key)); }
  const Json& Value() const { return object_; }
  const std::string& Where() const { return where_; }
  std::vector<std::string>& Notes() const { return notes_; }

 private:
  static inline const Json kEmpty = Json::object();
  const Json& object_;
  std::string where_;
  std::vector<std::string>& notes_;
};

// A file written before menus could move has no "motion": its menu stays still.
void ReadMotion(const Reader& motion, const std::string& folder, MenuMotion& out) {
  motion.Flag("thumbnails", out.thumbnails);
  double seconds = out.seconds;
  motion.Seconds("seconds", seconds);
  if (seconds >= MenuMotion::kMinSeconds && seconds <= MenuMotion::kMaxSeconds) out.seconds = seconds;
  else if (motion.Has("seconds")) motion.Wrong("seconds");
  for (auto [key, path] : {std::pair{"video", &out.backgroundVideo}, std::pair{"music", &out.music}}) {
    if (!motion.Has(key)) continue;
    std::string stored;
    motion.Text(key, stored);
    if (HasControlCharacter(stored)) motion.Wrong(key);
    else *path = ResolvedPath(stored, folder);
  }
  motion.Flag("loop", out.loop);
}

void ReadMenu(const Reader& menu, const std::string& folder, MenuDesign& design) {
  MenuAppearance& look = design.look;
  menu.Whole("layout", design.layout, 0, 2);
  menu.Flag("headerLine", design.headerLine);
  menu.Flag("footerLine", design.footerLine);
  menu.Flag("playAll", design.playAll);
  menu.Flag("chapterMenus", design.chapterMenus);
  auto headline = [](const Reader& r, std::string& text, LogicalFont& font, Colour& colour, bool& shadow,
                     Colour& shadowColour, int& alignment) {
    r.Text("text", text);
    r.Font("font", font);
    r.ColourOf("colour", colour);
    r.Flag("shadow", shadow);
    r.ColourOf("shadowColour", shadowColour);
    r.Choice("alignment", alignment, kAlignments);
  };
  headline(menu.Object("header"), look.headerText, look.headerFont, look.headerColour, look.headerShadow,
           look.headerShadowColour, look.headerAlignment);
  headline(menu.Object("footer"), look.footerText, look.footerFont, look.footerColour, look.footerShadow,
           look.footerShadowColour, look.footerAlignment);
  const Reader captions = menu.Object("captions");
  captions.ColourOf("colour", look.captionColour);
  captions.Font("font", look.captionFont);
  captions.ColourOf("highlightColour", look.highlightColour);
  captions.Font("highlightFont", look.highlightFont);
  captions.ColourOf("selectColour", look.selectColour);
  captions.Font("selectFont", look.selectFont);
  menu.Font("pageNumberFont", look.pageNumberFont);
  ReadMotion(menu.Object("motion"), folder, design.motion);
  const Reader background = menu.Object("background");
  background.ColourOf("colour", look.backgroundColour);
  std::string picture = look.backgroundPicture;
  background.Text("picture", picture);
  if (HasControlCharacter(picture)) background.Wrong("picture");
  else look.backgroundPicture = ResolvedPath(picture, folder);
}

void ReadDisc(const Reader& disc, DiscChoices& choices) {
  static constexpr const char* kStandards[] = {"PAL", "NTSC"};
  static constexpr const char* kShapes[] = {"4:3", "16:9"};
  static constexpr const char* kCapacities[] = {"DVD-5", "DVD-9"};
  disc.Choice("standard", choices.resolution, kStandards);
  disc.Choice("shape", choices.shape, kShapes);
  disc.Choice("capacity", choices.capacity, kCapacities);
  disc.Flag("menu", choices.menu);
}

// A track's file: "" for the title's own, else a path without control characters.
bool ReadTrackSource(const Reader& r, const std::string& folder, std::string& source) {
  std::string stored;
  r.Text("source", stored);
  if (HasControlCharacter(stored)) return false;
  source = ResolvedPath(stored, folder);
  return true;
}

void ReadTracks(const Reader& title, const std::string& folder, ProjectTitle& out) {
  auto list = [&](const char* key) -> const Json* {
    const Json* m = title.Member(key);
    if (m && (!m->is_array() || m->size() > size_t(kMaxTracks))) {
      title.Wrong(key);
      return nullptr;
    }
    return m;
  };
  if (const Json* sounds = list("soundTracks")) {
    for (const Json& item : *sounds) {
      const Reader r(item, title.Where() + ".soundTracks", title.Notes());
      SoundTrack track;
      if (!item.is_object() || !ReadTrackSource(r, folder, track.source)) {
        title.Wrong("soundTracks");
        continue;
      }
      r.Whole("stream", track.stream, -1, 1 << 16);
      r.Text("language", track.language);
      r.Whole("offsetMs", track.offsetMs, -(1 << 30), 1 << 30);
      out.soundTracks.push_back(std::move(track));
    }
  }
  if (const Json* subtitles = list("subtitles")) {
    for (const Json& item : *subtitles) {
      const Reader r(item, title.Where() + ".subtitles", title.Notes());
      SubtitleTrack track;
      if (!item.is_object() || !ReadTrackSource(r, folder, track.source)) {
        title.Wrong("subtitles");
        continue;
      }
      r.Whole("stream", track.stream, -1, 1 << 16);
      r.Text("language", track.language);
      r.Text("encoding", track.encoding);
      r.Flag("default", track.shownByDefault);
      out.subtitles.push_back(std::move(track));
    }
  }
  const Reader chapters = title.Object("chapters");
  if (const Json* mode = chapters.Member("mode")) {
    bool known = false;
    for (const auto& [value, name] : kChapterModes)
      if (mode->is_string() && mode->get<std::string>() == name) out.chapters.mode = value, known = true;
    if (!known) chapters.Wrong("mode");
  }
  chapters.Whole("everyMinutes", out.chapters.everyMinutes, 0, 24 * 60);
  if (const Json* times = chapters.Member("times")) {
    bool good = times->is_array() && times->size() <= 999;
    for (size_t i = 0; good && i < times->size(); ++i) {
      const Json& t = (*times)[i];
      good = t.is_number() && std::isfinite(t.get<double>()) && t.get<double>() >= 0 && t.get<double>() <= kMaxSeconds;
    }
    if (good) out.chapters.times = times->get<std::vector<double>>();
    else chapters.Wrong("times");
  }
}

// False, with a note, for a title the file gives no usable source for.
bool ReadTitle(const Json& item, size_t index, const std::string& folder, std::vector<std::string>& notes,
               ProjectTitle& title) {
  const Reader r(item, Format("titles[%d]", int(index)), notes);
  std::string stored;
  r.Text("source", stored);
  if (!item.is_object() || stored.empty() || HasControlCharacter(stored)) {
    notes.push_back(Format(Tr("忽略了第 %d 个标题: 它的文件名无效"), int(index) + 1));
    return false;
  }
  title.source = ResolvedPath(stored, folder);
  title.caption = StemOf(title.source);
  r.Text("caption", title.caption);
  // A caption ends up in the menu scripts as one line.
  if (HasControlCharacter(title.caption)) {
    r.Wrong("caption");
    title.caption = StemOf(title.source);
  }
  r.Seconds("thumbnailTime", title.thumbnailTime);
  r.Seconds("thumbnailShownAt", title.thumbnailShownAt);
  ReadTracks(r, folder, title);
  return true;
}

}  // namespace

std::string ProjectText(const DiscProject& project, const std::string& projectFolder) {
  Json titles = Json::array();
  for (const ProjectTitle& title : project.titles) titles.push_back(TitleJson(title, projectFolder));
  const DiscChoices& disc = project.disc;
  Json file = {
      {"format", kProjectFormatName},
      {"version", kProjectFormatVersion},
      {"titles", titles},
      {"menu", MenuJson(project.menu, projectFolder)},
      {"disc",
       {{"standard", disc.resolution == 1 ? "NTSC" : "PAL"},
        {"shape", disc.shape == 0 ? "4:3" : "16:9"},
        {"capacity", disc.capacity == 1 ? "DVD-9" : "DVD-5"},
        {"menu", disc.menu}}}};
  // Text that is not UTF-8 (a file name from an old file system) is kept readable rather
  // than failing the save.
  return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

ProjectRead ProjectOfText(const std::string& text, const std::string& projectFolder, const std::string& fileName) {
  ProjectRead read;
  const Json file = Json::parse(text, nullptr, false);
  if (file.is_discarded()) {
    // Name where the text stops making sense: a cut-off file ends early.
    std::string where;
    try {
      const Json strict = Json::parse(text);
      (void)strict;
    } catch (const Json::parse_error& e) {
      where = Format(Tr(" (第 %d 字节)"), int(e.byte));
    }
    read.error = Format(Tr("项目文件 %s 已损坏，无法读取%s"), fileName.c_str(), where.c_str());
    return read;
  }
  if (!file.is_object() || !file.contains("format") || file["format"] != kProjectFormatName) {
    read.error = Format(Tr("文件 %s 不是 Vantrel 项目文件"), fileName.c_str());
    return read;
  }
  const Json& version = file.contains("version") ? file["version"] : Json();
  if (!version.is_number_integer() || version.get<long long>() < 1) {
    read.error = Format(Tr("项目文件 %s 没有有效的格式版本"), fileName.c_str());
    return read;
  }
  if (version.get<long long>() > kProjectFormatVersion) {
    read.error = Format(Tr("项目文件 %s 由更新版本的 Vantrel 写成 (格式 %lld)，本程序只能读取格式 %d"), fileName.c_str(),
                        version.get<long long>(), kProjectFormatVersion);
    return read;
  }
  DiscProject& project = read.project;
  const Reader top(file, "project", read.notes);
  if (const Json* titles = top.Member("titles")) {
    if (!titles->is_array()) {
      read.error = Format(Tr("项目文件 %s 的标题列表无效"), fileName.c_str());
      return read;
    }
    if (titles->size() > size_t(kMaxTitles)) {
      read.error = Format(Tr("项目文件 %s 的标题太多 (%d)"), fileName.c_str(), int(titles->size()));
      return read;
    }
    for (size_t i = 0; i < titles->size(); ++i) {
      ProjectTitle title;
      if (ReadTitle((*titles)[i], i, projectFolder, read.notes, title)) project.titles.push_back(std::move(title));
    }
  }
  ReadMenu(top.Object("menu"), projectFolder, project.menu);
  ReadDisc(top.Object("disc"), project.disc);
  read.missing = MissingTitles(project);
  for (int i : read.missing) read.notes.push_back(Format(Tr("标题文件不存在: %s"), project.titles[size_t(i)].source.c_str()));
  read.opened = true;
  return read;
}

bool WriteProjectFile(const DiscProject& project, const std::string& path, std::string& error) {
  std::error_code ec;
  const std::string full = fs::absolute(path, ec).lexically_normal().string();
  if (!WriteFileAtomically(full, ProjectText(project, FolderOf(full)))) {
    error = Format(Tr("无法保存项目文件 %s: %s"), path.c_str(), std::strerror(errno));
    return false;
  }
  return true;
}

ProjectRead ReadProjectFile(const std::string& path) {
  ProjectRead read;
  std::error_code ec;
  const std::string full = fs::absolute(path, ec).lexically_normal().string();
  struct stat facts {};
  if (::stat(full.c_str(), &facts) != 0) {
    read.error = Format(Tr("无法读取项目文件 %s: %s"), path.c_str(), std::strerror(errno));
    return read;
  }
  if (!S_ISREG(facts.st_mode)) {
    read.error = Format(Tr("无法读取项目文件 %s: 它不是一个文件"), path.c_str());
    return read;
  }
  if (facts.st_size > kProjectFileLimitBytes) {
    read.error = Format(Tr("项目文件 %s 太大，不是 Vantrel 项目文件"), path.c_str());
    return read;
  }
  std::string text;
  if (!ReadWholeFile(full, text)) {
    read.error = Format(Tr("无法读取项目文件 %s: %s"), path.c_str(), std::strerror(errno));
    return read;
  }
  return ProjectOfText(text, FolderOf(full), path);
}

bool IsProjectFileName(const std::string& path) {
  return EqualsNoCase("." + ExtensionOf(path), kProjectExtension);
}

std::vector<int> MissingTitles(const DiscProject& project) {
  std::vector<int> missing;
  for (size_t i = 0; i < project.titles.size(); ++i) {
    struct stat facts {};
    // Only plain files: a pipe or a device named by a damaged file would hang the probe.
    if (::stat(project.titles[i].source.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
      missing.push_back(int(i));
  }
  return missing;
}

int FindMissingTitles(DiscProject& project, std::vector<int>& missing, const std::string& folder) {
  std::map<std::string, std::vector<int>> wanted;  // file name -> titles looking for it
  for (int i : missing) wanted[FileNameOf(project.titles[size_t(i)].source)].push_back(i);
  int found = 0;
  std::error_code ec;
  fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
  for (; !ec && it != end && !wanted.empty(); it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    auto match = wanted.find(it->path().filename().string());
    if (match == wanted.end()) continue;
    for (int i : match->second) project.titles[size_t(i)].source = it->path().lexically_normal().string();
    found += int(match->second.size());
    wanted.erase(match);
  }
  missing = MissingTitles(project);
  return found;
}

}  // namespace vantrel
