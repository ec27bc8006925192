// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/dvd_script_writer.h"

#include "authoring/run_folders.h"
#include "base/atomic_file.h"
#include "base/text_format.h"
#include "base/xml_text.h"
#include "menu/menu_model.h"

namespace vantrel {
namespace {

// With a play-all button, a title's own button clears the register that makes the titles
// play on, so the title plays alone.
DvdMenuChain MenuChainOf(const MenuPage& page, const std::string& intermediateFolder, bool playAll) {
  DvdMenuChain menu{intermediateFolder + PageFileName("menu", page.Number, ".mpg"), {}};
  for (const MenuEntry* entry : page.Titles) {
    std::string command = entry->Command.empty()
                              ? Format(playAll ? "g0 = 0; jump title %d;" : "jump title %d;", entry->TitleNumber)
                              : entry->Command;
    menu.buttons.emplace_back(Format("%d", entry->Position - 1), command);
  }
  if (page.PlayAll) menu.buttons.emplace_back("a", page.PlayAll->Command);
  if (page.Previous) menu.buttons.emplace_back("p", page.Previous->Command);
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
    text += "<pgc>\n";
    if (!title.pre.empty()) text += "<pre>" + XmlEscape(title.pre) + "</pre>\n";
    text += "<vob file=\"" + XmlEscape(title.vob) + "\" chapters=\"" +
            (title.chapters.empty() ? DvdScriptWriter::kChapters : XmlEscape(title.chapters)) + "\"/>\n";
    text += "<post>" + XmlEscape(title.post) + "</post>\n";
    text += "</pgc>";
  }
  text += "</titles>\n</titleset>\n</dvdauthor>";
}

// The title set declares the streams of its titles. One title set holds them all, so it
// declares the first title's that has any.
DvdStreamLayout LayoutOf(const std::vector<DvdTitleTracks>& tracks) {
  for (const DvdTitleTracks& title : tracks)
    if (!title.sound.empty() || !title.subtitles.empty()) return {title.sound, title.subtitles};
  return {};
}

// The run's additions put on each title's chain.
void AddTracks(std::vector<DvdTitleChain>& titles, const std::vector<DvdTitleTracks>& tracks) {
  for (size_t i = 0; i < titles.size() && i < tracks.size(); ++i) {
    if (!tracks[i].vob.empty()) titles[i].vob = tracks[i].vob;
    titles[i].chapters = tracks[i].chapters;
    // Bit 6 of the subtitle register turns the stream on.
    if (tracks[i].shownSubtitle >= 0) titles[i].pre = Format("subtitle = %d;", 64 + tracks[i].shownSubtitle);
  }
}

constexpr const char* kHead = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<dvdauthor>\n<vmgm>\n<menus>";
constexpr const char* kTitleSetMenu = "<menus>\n<pgc>\n<post>jump vmgm menu 1;</post>\n</pgc>\n</menus>\n";

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
  return text;
}

std::string DvdScriptWriter::Compose(const MenuModel& model, const DvdScriptInputs& inputs,
                                     const std::vector<DvdTitleTracks>& tracks) {
  const bool playAll = inputs.createMenu && model.PageCount() > 0 && model.Page(0).PlayAll;
  std::vector<int> pageOfTitle(std::size_t(model.TitleCount()) + 1, 1);
  for (int i = 0; i < model.PageCount(); ++i)
    for (const MenuEntry* entry : model.Page(i).Titles) pageOfTitle[std::size_t(entry->TitleNumber)] = model.Page(i).Number;
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
  if (inputs.createMenu) {
    std::vector<DvdMenuChain> menus;
    const MenuMotion& motion = model.Choices().motion;
    for (int i = 0; i < model.PageCount(); ++i) {
      menus.push_back(MenuChainOf(model.Page(i), inputs.intermediateFolder, playAll));
      menus.back().loop = motion.Moving() && motion.loop;
    }
    return ComposeWithMenus(menus, titles, {}, LayoutOf(tracks));
  }
  const std::string clip = inputs.applicationFolder + (IsNtsc(inputs.standard) ? "bn.mpg" : "bp.mpg");
  std::string text = kHead;
  // The authoring tool takes whole seconds (or "inf") and rejects "0.1" outright, which
  // would fail every disc without a menu; 0 gives the same immediate jump to title 1.
  text += "<pgc><vob file=\"" + XmlEscape(clip) + "\" pause=\"0\"/>";
  text += "<post>jump title 1;</post></pgc>";
  text += "</menus>\n</vmgm>\n<titleset>\n";
  AppendTitles(text, titles, LayoutOf(tracks));
  return text;
}

bool DvdScriptWriter::Write(const MenuModel& model, const DvdScriptInputs& inputs,
                            const std::vector<DvdTitleTracks>& tracks) {
  return WriteFileAtomically(ScriptPath(inputs.intermediateFolder), Compose(model, inputs, tracks));
}

}  // namespace vantrel
