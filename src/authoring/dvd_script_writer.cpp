#include "authoring/dvd_script_writer.h"

#include "authoring/run_folders.h"
#include "base/atomic_file.h"
#include "base/text_format.h"
#include "base/xml_text.h"
#include "menu/menu_model.h"

namespace vantrel {
namespace {

void AppendMenuPage(std::string& text, const MenuPage& page, const std::string& folder) {
  text += "<pgc>\n";
  text += "<vob file=\"" + folder + PageFileName("menu", page.Number, ".mpg") + "\" pause=\"inf\"/>\n";
  for (const MenuEntry* entry : page.Titles) {
    std::string command =
        entry->Command.empty() ? Format("jump title %d;", entry->TitleNumber) : entry->Command;
    text += Format("<button name=\"%d\">\n", entry->Position - 1) + XmlEscape(command) +
            "</button>\n";
  }
  if (page.Previous)
    text += "<button name=\"p\">\n" + XmlEscape(page.Previous->Command) + "</button>\n";
  if (page.Next) text += "<button name=\"n\">\n" + XmlEscape(page.Next->Command) + "</button>\n";
  text += "</pgc>\n";
}

std::string PostCommand(const MenuEntry& entry, int titleCount, bool createMenu) {
  if (entry.TitleNumber != titleCount) return Format("jump title %d;", entry.TitleNumber + 1);
  return createMenu ? "call vmgm menu 1;" : "jump title 1;";
}

}  // namespace

std::string DvdScriptWriter::ScriptPath(const std::string& intermediateFolder) {
  return intermediateFolder + "dvd.xml";
}

std::string DvdScriptWriter::Compose(const MenuModel& model, const DvdScriptInputs& inputs) {
  const std::string folder = XmlEscape(inputs.intermediateFolder);
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
  text += "<dvdauthor>\n<vmgm>\n<menus>";
  if (inputs.createMenu) {
    for (int i = 0; i < model.PageCount(); ++i) AppendMenuPage(text, model.Page(i), folder);
  } else {
    const std::string clip = inputs.applicationFolder + (inputs.ntsc ? "bn.mpg" : "bp.mpg");
    // The authoring tool takes whole seconds (or "inf") and rejects "0.1" outright, which
    // would fail every disc without a menu; 0 gives the same immediate jump to title 1.
    text += "<pgc><vob file=\"" + XmlEscape(clip) + "\" pause=\"0\"/>";
    text += "<post>jump title 1;</post></pgc>";
  }
  text += "</menus>\n</vmgm>\n";
  text += "<titleset>\n";
  if (inputs.createMenu)
    text += "<menus>\n<pgc>\n<post>jump vmgm menu 1;</post>\n</pgc>\n</menus>\n";
  text += "<titles>\n";
  for (const auto& entry : model.Titles()) {
    const std::string& vob = entry->RepairedPath.empty() ? entry->SourcePath : entry->RepairedPath;
    text += "<pgc>\n";
    text += "<vob file=\"" + XmlEscape(vob) + "\" chapters=\"" + kChapters + "\"/>\n";
    text += "<post>" + PostCommand(*entry, model.TitleCount(), inputs.createMenu) + "</post>\n";
    text += "</pgc>";
  }
  text += "</titles>\n</titleset>\n</dvdauthor>";
  return text;
}

bool DvdScriptWriter::Write(const MenuModel& model, const DvdScriptInputs& inputs) {
  return WriteFileAtomically(ScriptPath(inputs.intermediateFolder), Compose(model, inputs));
}

}  // namespace vantrel
