// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/dvd_script_writer.h"

#include <regex>
#include <set>

#include "authoring/run_folders.h"
#include "base/atomic_file.h"
#include "base/text_format.h"
#include "base/xml_text.h"
#include "menu/menu_model.h"

namespace vantrel {
namespace {

constexpr const char* kTitleSetMenu = "<menus>\n<pgc>\n<post>jump vmgm menu 1;</post>\n</pgc>\n</menus>\n";

// With a play-all button, a title's own button (and a chapter's) clears the register that
// makes the titles play on, so the title plays alone.
DvdMenuChain MenuChainOf(const MenuPage& page, const std::string& intermediateFolder, bool playAll) {
  DvdMenuChain menu{intermediateFolder + PageFileName("menu", page.Number, ".mpg"), {}};
  for (const MenuEntry* entry : page.Titles) {
    std::string command = entry->Command.empty()
                              ? Format(playAll ? "g0 = 0; jump title %d;" : "jump title %d;", entry->TitleNumber)
                              : entry->Command;
    if (playAll && entry->Chapter > 0) command = "g0 = 0; " + command;
    menu.buttons.emplace_back(Format("%d", entry->Position - 1), command);
  }
  if (page.PlayAll) menu.buttons.emplace_back("a", page.PlayAll->Command);
  if (page.Previous) menu.buttons.emplace_back("p", page.Previous->Command);
  if (page.Back) menu.buttons.emplace_back("b", page.Back->Command);
  if (page.Next) menu.buttons.emplace_back("n", page.Next->Command);
  return menu;
}

void AppendMenu(std::string& text, const DvdMenuChain& menu) {
  text += "<pgc>\n";
  text += "<vob file=\"" + XmlEscape(menu.vob) + (menu.loop ? "\"/>\n" : "\" pause=\"inf\"/>\n");
  for (const auto& [name, command] : menu.buttons)
    text += "<button name=\"" + XmlEscape(name) + "\">\n" + XmlEscape(command) + "</button>\n";
  if (menu.loop) text += "<post>jump cell 1;</post>\n";
  text += "</pgc>\n";
}

void AppendLayout(std::string& text, const DvdStreamLayout& layout) {
  for (const std::string& language : layout.sound)
    text += language.empty() ? "<audio/>\n" : "<audio lang=\"" + XmlEscape(language) + "\"/>\n";
  for (const std::string& language : layout.subtitles)
    text += language.empty() ? "<subpicture/>\n" : "<subpicture lang=\"" + XmlEscape(language) + "\"/>\n";
}

void AppendTitles(std::string& text, const std::vector<DvdTitleChain>& titles, const DvdStreamLayout& layout) {
  text += "<titles>\n";
  AppendLayout(text, layout);
  for (const DvdTitleChain& title : titles) {
    text += title.palette.empty() ? "<pgc>\n" : "<pgc palette=\"" + XmlEscape(title.palette) + "\">\n";
    if (!title.pre.empty()) text += "<pre>" + XmlEscape(title.pre) + "</pre>\n";
    text += "<vob file=\"" + XmlEscape(title.vob) + "\" chapters=\"" +
            (title.chapters.empty() ? DvdScriptWriter::kChapters : XmlEscape(title.chapters)) + "\"/>\n";
    text += "<post>" + XmlEscape(title.post) + "</post>\n";
    text += "</pgc>";
  }
  text += "</titles>\n</titleset>";
}

// A title set declares the streams of its titles once for all of them, so titles of
// different layouts go into title sets of their own. Consecutive titles of one layout share
// one; the disc's title numbers stay the list's.
struct TitleSets {
  std::vector<DvdStreamLayout> layouts;   // per title set
  std::vector<std::size_t> setOf, local;  // per title: its set and its number within it
};

TitleSets PlanTitleSets(std::size_t count, const std::vector<DvdTitleTracks>& tracks) {
  TitleSets sets;
  for (std::size_t i = 0; i < count; ++i) {
    DvdStreamLayout layout;
    if (i < tracks.size()) layout = {tracks[i].sound, tracks[i].subtitles};
    if (sets.layouts.empty() || !(sets.layouts.back() == layout)) sets.layouts.push_back(layout);
    sets.setOf.push_back(sets.layouts.size() - 1);
    sets.local.push_back(i == 0 || sets.setOf[i - 1] != sets.setOf[i] ? 1 : sets.local[i - 1] + 1);
  }
  return sets;
}

// A title's "jump title N" names title N of its own title set. A title in another set is
// reached through the video manager: the title leaves N in g1 and calls the first menu,
// whose pre commands go on to it.
std::string RouteJumps(const std::string& post, std::size_t from, const TitleSets& sets, std::set<int>& routed) {
  static const std::regex kJump(R"(jump title (\d+);)");
  std::string out;
  auto last = post.cbegin();
  for (std::sregex_iterator it(post.begin(), post.end(), kJump), end; it != end; ++it) {
    const int target = std::stoi((*it)[1]);
    out.append(last, (*it)[0].first);
    last = (*it)[0].second;
    const std::size_t index = std::size_t(target - 1);
    if (index >= sets.setOf.size() || sets.setOf[index] == sets.setOf[from]) {
      out += Format("jump title %d;", index < sets.local.size() ? int(sets.local[index]) : target);
    } else {
      out += Format("{ g1 = %d; call vmgm menu 1; }", target);
      routed.insert(target);
    }
  }
  out.append(last, post.cend());
  return out;
}

std::string RoutingPre(const std::set<int>& routed) {
  std::string pre;
  for (int target : routed) pre += Format("if (g1 == %d) { g1 = 0; jump title %d; } ", target, target);
  if (!pre.empty()) pre.pop_back();
  return pre;
}

void AppendTitleSets(std::string& text, const std::vector<DvdTitleChain>& titles, const TitleSets& sets,
                     bool menus) {
  for (std::size_t set = 0; set < sets.layouts.size(); ++set) {
    if (set > 0) text += "\n";
    text += "<titleset>\n";
    if (menus) text += kTitleSetMenu;
    std::vector<DvdTitleChain> own;
    for (std::size_t i = 0; i < titles.size(); ++i)
      if (sets.setOf[i] == set) own.push_back(titles[i]);
    AppendTitles(text, own, sets.layouts[set]);
  }
  text += "\n</dvdauthor>";
}

// The run's additions put on each title's chain.
void AddTracks(std::vector<DvdTitleChain>& titles, const std::vector<DvdTitleTracks>& tracks) {
  for (size_t i = 0; i < titles.size() && i < tracks.size(); ++i) {
    if (!tracks[i].vob.empty()) titles[i].vob = tracks[i].vob;
    titles[i].chapters = tracks[i].chapters;
    titles[i].palette = tracks[i].palette;
    // Bit 6 of the subtitle register turns the stream on.
    if (tracks[i].shownSubtitle >= 0) titles[i].pre = Format("subtitle = %d;", 64 + tracks[i].shownSubtitle);
  }
}

constexpr const char* kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<dvdauthor>\n<vmgm>\n<menus>";

// After a title: the next one; after the last the first menu page (or, without menus, the
// first title). With a play-all button a title played alone returns to its own page, and
// only the play-all run goes on to the next title.
std::string PostCommand(const MenuEntry& entry, int titleCount, bool createMenu, int playAllPage, int page) {
  if (playAllPage > 0) {
    const std::string alone = Format("call vmgm menu %d;", page);
    if (entry.TitleNumber != titleCount) return Format("if (g0 == 1) jump title %d; ", entry.TitleNumber + 1) + alone;
    return playAllPage == page ? alone : Format("if (g0 == 1) call vmgm menu %d; ", playAllPage) + alone;
  }
  if (entry.TitleNumber != titleCount) return Format("jump title %d;", entry.TitleNumber + 1);
  return createMenu ? "call vmgm menu 1;" : "jump title 1;";
}

}  // namespace

std::string DvdScriptWriter::ScriptPath(const std::string& intermediateFolder) {
  return intermediateFolder + "dvd.xml";
}

std::string DvdScriptWriter::ComposeWithMenus(const std::vector<DvdMenuChain>& menus,
                                              const std::vector<DvdTitleChain>& titles,
                                              const std::vector<std::string>& chapters,
                                              const DvdStreamLayout& layout) {
  std::string text = kHead;
  for (const DvdMenuChain& menu : menus) AppendMenu(text, menu);
  text += "</menus>\n</vmgm>\n<titleset>\n";
  text += kTitleSetMenu;
  std::vector<DvdTitleChain> planned = titles;
  for (size_t i = 0; i < planned.size() && i < chapters.size(); ++i)
    if (!chapters[i].empty()) planned[i].chapters = chapters[i];
  AppendTitles(text, planned, layout);
  return text + "\n</dvdauthor>";
}

std::string DvdScriptWriter::Compose(const MenuModel& model, const DvdScriptInputs& inputs,
                                     const std::vector<DvdTitleTracks>& tracks) {
  const bool playAll = inputs.createMenu && model.PageCount() > 0 && model.Page(0).PlayAll;
  std::vector<int> pageOfTitle(std::size_t(model.TitleCount()) + 1, 1);
  for (int i = 0; i < model.PageCount(); ++i)
    for (const MenuEntry* entry : model.Page(i).Titles)
      if (entry->Chapter == 0) pageOfTitle[std::size_t(entry->TitleNumber)] = model.Page(i).Number;
  std::vector<DvdTitleChain> titles;
  for (const auto& entry : model.Titles()) {
    const std::string& vob = entry->RepairedPath.empty() ? entry->SourcePath : entry->RepairedPath;
    DvdTitleChain title;
    title.vob = vob;
    title.post = PostCommand(*entry, model.TitleCount(), inputs.createMenu, playAll ? 1 : 0,
                             pageOfTitle[std::size_t(entry->TitleNumber)]);
    titles.push_back(std::move(title));
  }
  AddTracks(titles, tracks);
  const TitleSets sets = PlanTitleSets(titles.size(), tracks);
  std::set<int> routed;
  for (std::size_t i = 0; i < titles.size(); ++i) titles[i].post = RouteJumps(titles[i].post, i, sets, routed);
  const std::string pre = routed.empty() ? "" : "<pre>" + XmlEscape(RoutingPre(routed)) + "</pre>";
  std::string text = kHead;
  // A menu of the video manager reaches a title's chapter only through the jump pads the
  // authoring tool then adds to the title sets.
  if (inputs.createMenu && model.PageCount() > model.TitlePageCount())
    text.replace(text.find("<dvdauthor>"), 11, "<dvdauthor jumppad=\"1\">");
  if (inputs.createMenu) {
    const MenuMotion& motion = model.Choices().motion;
    for (int i = 0; i < model.PageCount(); ++i) {
      DvdMenuChain chain = MenuChainOf(model.Page(i), inputs.intermediateFolder, playAll);
      chain.loop = motion.Moving() && motion.loop;
      std::string menu;
      AppendMenu(menu, chain);
      if (i == 0 && !pre.empty()) menu.insert(std::string("<pgc>\n").size(), pre + "\n");
      text += menu;
    }
    text += "</menus>\n</vmgm>\n";
  } else {
    const std::string clip = inputs.applicationFolder + (IsNtsc(inputs.standard) ? "bn.mpg" : "bp.mpg");
    // The authoring tool takes whole seconds (or "inf") and rejects "0.1" outright, which
    // would fail every disc without a menu; 0 gives the same immediate jump to title 1.
    text += "<pgc>" + pre + "<vob file=\"" + XmlEscape(clip) + "\" pause=\"0\"/>";
    text += "<post>jump title 1;</post></pgc>";
    text += "</menus>\n</vmgm>\n";
  }
  AppendTitleSets(text, titles, sets, inputs.createMenu);
  return text;
}

bool DvdScriptWriter::Write(const MenuModel& model, const DvdScriptInputs& inputs,
                            const std::vector<DvdTitleTracks>& tracks) {
  return WriteFileAtomically(ScriptPath(inputs.intermediateFolder), Compose(model, inputs, tracks));
}

}  // namespace vantrel
