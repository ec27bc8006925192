// SPDX-License-Identifier: GPL-3.0-or-later
// The four command lines of an authoring run, made from fixed templates whose `$` words are
// replaced by values. A value that lands inside quotes of the template is escaped for those
// quotes, so no file name can end the quoting; an ordinary path gives the plain template.
#pragma once

#include <map>
#include <string>

namespace vantrel {

inline constexpr const char* kStillToVideoTemplate =
    "j2v -n 1 -I t -L 1 -f $FRAME_RATE -j '$FILE_IN' | encmpeg -f 8 -b $BITRATE -o '$FILE_OUT' "
    "$VIDEO_NORM";
inline constexpr const char* kMultiplexTemplate =
    "mpx -f 8 -S 0 -o \"$FILE_OUT\" \"$FILE_VIDEO\" \"$FILE_AUDIO\"";
inline constexpr const char* kSpumuxTemplate = "spumux \"$FILE_CONF\" <\"$FILE_IN\"> \"$FILE_OUT\"";
inline constexpr const char* kAuthorTemplate = "ddas -o \"$DIR\" -x \"$FILE_CONF\"";

// Replaces every `$NAME` of the template that `values` names (keys without the "$") in one
// pass: text of a value is never expanded again. Values inside '...' or "..." are escaped
// for that quoting; values outside quotes are inserted as they are (constants only).
std::string FillTemplate(const std::string& commandTemplate,
                         const std::map<std::string, std::string>& values);

// Shell quoting on its own: 'text' with every ' written as '\''.
std::string ShellQuote(const std::string& text);

std::string StillToVideoCommand(const std::string& jpegIn, const std::string& videoOut, bool ntsc);
std::string MultiplexCommand(const std::string& programOut, const std::string& video,
                             const std::string& audio);
std::string SpumuxCommand(const std::string& script, const std::string& streamIn,
                          const std::string& streamOut);
std::string AuthorCommand(const std::string& outputFolder, const std::string& script);

}  // namespace vantrel
