// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/command_templates.h"

namespace vantrel {
namespace {

enum class Quoting { None, Single, Double };

std::string Escape(const std::string& value, Quoting quoting) {
  std::string out;
  for (char c : value) {
    if (quoting == Quoting::Single && c == '\'') {
      out += "'\\''";
      continue;
    }
    if (quoting == Quoting::Double && (c == '\\' || c == '"' || c == '$' || c == '`')) out += '\\';
    out += c;
  }
  return out;
}

bool IsNameChar(char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_'; }

}  // namespace

std::string FillTemplate(const std::string& commandTemplate,
                         const std::map<std::string, std::string>& values) {
  std::string out;
  Quoting quoting = Quoting::None;
  for (size_t i = 0; i < commandTemplate.size(); ++i) {
    char c = commandTemplate[i];
    if (c == '$') {
      size_t end = i + 1;
      while (end < commandTemplate.size() && IsNameChar(commandTemplate[end])) ++end;
      auto value = values.find(commandTemplate.substr(i + 1, end - i - 1));
      if (value != values.end()) {
        out += Escape(value->second, quoting);
        i = end - 1;
        continue;
      }
    }
    if (c == '\'' && quoting != Quoting::Double)
      quoting = quoting == Quoting::Single ? Quoting::None : Quoting::Single;
    else if (c == '"' && quoting != Quoting::Single)
      quoting = quoting == Quoting::Double ? Quoting::None : Quoting::Double;
    out += c;
  }
  return out;
}

std::string ShellQuote(const std::string& text) { return "'" + Escape(text, Quoting::Single) + "'"; }

std::string StillToVideoCommand(const std::string& jpegIn, const std::string& videoOut, bool ntsc) {
  return FillTemplate(kStillToVideoTemplate,
                      {{"FRAME_RATE", ntsc ? "29.97" : "25"},
                       {"FILE_IN", jpegIn},
                       {"BITRATE", "9000"},
                       {"FILE_OUT", videoOut},
                       {"VIDEO_NORM", ntsc ? " --video-norm n --frame-rate 4" : ""}});
}

std::string MultiplexCommand(const std::string& programOut, const std::string& video,
                             const std::string& audio) {
  return FillTemplate(kMultiplexTemplate,
                      {{"FILE_OUT", programOut}, {"FILE_VIDEO", video}, {"FILE_AUDIO", audio}});
}

std::string SpumuxCommand(const std::string& script, const std::string& streamIn,
                          const std::string& streamOut) {
  return FillTemplate(kSpumuxTemplate,
                      {{"FILE_CONF", script}, {"FILE_IN", streamIn}, {"FILE_OUT", streamOut}});
}

std::string AuthorCommand(const std::string& outputFolder, const std::string& script) {
  return FillTemplate(kAuthorTemplate, {{"DIR", outputFolder}, {"FILE_CONF", script}});
}

}  // namespace vantrel
