// SPDX-License-Identifier: GPL-3.0-or-later
#include "subtitles/subtitle_muxer.h"

#include <signal.h>

#include <cerrno>
#include <cstring>
#include <algorithm>
#include <regex>
#include <set>

#include "base/atomic_file.h"
#include "base/child_process.h"
#include "base/log.h"
#include "base/paths.h"
#include "base/run_cancel.h"
#include "base/text_format.h"
#include "base/xml_text.h"
#include "subtitles/language_code.h"
#include "subtitles/subpicture_png.h"

namespace vantrel {
namespace {

constexpr size_t kStreamColours = 15;  // besides the transparent one
constexpr int kWaitIntervalMs = 50;
constexpr int kStopGraceMs = 3000;

// spumux reads times as hours:minutes:seconds with a fraction.
std::string SpuTime(std::int64_t ms) {
  return Format("%d:%02d:%02d.%03d", int(ms / 3600000), int(ms / 60000 % 60), int(ms / 1000 % 60), int(ms % 1000));
}

// A subpicture's end is a delay after its start in ticks of 1024/90000 s, which spumux
// rounds up: the end written is the last whole tick before the cue's end, so the picture
// is gone by the first frame after the cue.
std::int64_t TickEnd(std::int64_t startMs, std::int64_t endMs) {
  const std::int64_t ticks = (endMs - startMs) * 90 / 1024;
  return startMs + std::max<std::int64_t>(1, ticks) * 1024 / 90;
}

bool RunSpumux(const SubtitleMuxInputs& inputs, const std::string& script, const std::string& output,
               const std::string& messages, std::string* error) {
  ChildOptions options;
  options.stdinPath = inputs.title;
  options.stdoutPath = output;
  options.stderrPath = messages;
  options.environment = ChildEnvironment("", {std::string("VIDEO_FORMAT=") + VideoFormatName(inputs.standard)});
  options.ownProcessGroup = CancelScopeActive();
  int spawnError = 0;
  const pid_t pid = SpawnChild({inputs.spumux, "-s", std::to_string(inputs.stream), script}, options, &spawnError);
  if (pid < 0) {
    *error = inputs.spumux + " cannot be started: " + std::strerror(spawnError);
    return false;
  }
  int waitedAfterStop = -1;
  const ChildExit exit = WaitForChild(pid, kWaitIntervalMs, [&] {
    if (waitedAfterStop < 0 && CancelRequested()) {
      kill(options.ownProcessGroup ? -pid : pid, SIGTERM);
      waitedAfterStop = 0;
    } else if (waitedAfterStop >= 0 && (waitedAfterStop += kWaitIntervalMs) >= kStopGraceMs) {
      kill(options.ownProcessGroup ? -pid : pid, SIGKILL);
    }
  });
  if (exit.Succeeded() && waitedAfterStop < 0) return true;
  *error = waitedAfterStop >= 0 ? std::string("cancelled")
                                : Format("spumux failed (status %d): ", exit.Status()) + LastLinesOf(messages, 5);
  return false;
}

// spumux ends well also when it found no place for a single picture (a title that is not
// a program stream, cues after its end); only its count tells.
bool CheckAdded(size_t pictures, const std::string& messages, std::string* error) {
  std::string text;
  ReadWholeFile(messages, text);
  static const std::regex kCount(R"((\d+) subtitles added, (\d+) subtitles skipped)");
  std::smatch count;
  if (!std::regex_search(text, count, kCount)) {
    *error = "spumux did not say how many subtitles it added: " + LastLinesOf(messages, 5);
    return false;
  }
  const size_t added = std::stoul(count[1]), skipped = std::stoul(count[2]);
  if (added == 0 && pictures > 0) {
    *error = "spumux found no place for any subtitle: the title is not an MPEG-2 program stream it can read, "
             "or every cue lies beyond its end";
    return false;
  }
  if (added < pictures)
    LogWarning(Format("spumux added %zu of %zu subtitle pictures (%zu skipped, after the title's end)", added,
                      pictures, skipped));
  return true;
}

}  // namespace

void FitStreamPalette(std::vector<Subpicture>* pictures, const SubtitleStyle& style) {
  std::set<std::uint32_t> colours;
  const std::uint32_t styleShade = (((style.fill >> 16 & 0xFF) + (style.outline >> 16 & 0xFF)) / 2) << 16 |
                                   (((style.fill >> 8 & 0xFF) + (style.outline >> 8 & 0xFF)) / 2) << 8 |
                                   ((style.fill & 0xFF) + (style.outline & 0xFF)) / 2;
  const std::array<std::uint32_t, 4> stylePalette{0, style.fill, style.outline, styleShade};
  colours.insert(stylePalette.begin() + 1, stylePalette.end());
  for (Subpicture& picture : *pictures) {
    std::set<std::uint32_t> with = colours;
    with.insert(picture.bitmap.palette.begin() + 1, picture.bitmap.palette.end());
    if (with.size() <= kStreamColours)
      colours = std::move(with);
    else
      picture.bitmap.palette = stylePalette;
  }
}

std::string SpumuxSubtitleScript(const std::vector<Subpicture>& pictures,
                                 const std::vector<std::string>& pictureNames, TvStandard standard) {
  std::string text = Format("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<subpictures format=\"%s\">\n<stream>\n",
                            VideoFormatName(standard));
  for (size_t i = 0; i < pictures.size(); ++i) {
    const Subpicture& picture = pictures[i];
    text += "<spu start=\"" + SpuTime(picture.startMs) + "\" end=\"" + SpuTime(TickEnd(picture.startMs, picture.endMs)) + "\" image=\"" +
            XmlEscape(pictureNames[i]) + Format("\" xoffset=\"%d\" yoffset=\"%d\"/>\n", picture.bitmap.x,
                                                picture.bitmap.y);
  }
  return text + "</stream>\n</subpictures>\n";
}

bool MuxSubtitles(const std::vector<Subpicture>& pictures, const SubtitleMuxInputs& inputs, std::string* error) {
  if (inputs.stream < 0 || inputs.stream > 31) {
    *error = Format("subtitle stream %d is not one of the 32 a title may have", inputs.stream);
    return false;
  }
  if (inputs.output == inputs.title) {
    *error = "the subtitles cannot be written over their title " + inputs.title;
    return false;
  }
  if (!MakeFolder(inputs.workFolder)) {
    *error = "cannot make the folder " + inputs.workFolder + ": " + std::strerror(errno);
    return false;
  }
  const std::string prefix = JoinPath(inputs.workFolder, Format("subtitles%02d_", inputs.stream));
  std::vector<std::string> names;
  names.reserve(pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    names.push_back(prefix + Format("%05zu.png", i + 1));
    if (!WriteSubpicturePng(names.back(), pictures[i].bitmap)) {
      *error = "cannot write the subtitle picture " + names.back() + ": " + std::strerror(errno);
      return false;
    }
  }
  const std::string script = prefix + "spumux.xml";
  if (!WriteFileAtomically(script, SpumuxSubtitleScript(pictures, names, inputs.standard))) {
    *error = "cannot write " + script + ": " + std::strerror(errno);
    return false;
  }
  PendingFile output;
  if (!output.Create(inputs.output)) {
    *error = "cannot write " + inputs.output + ": " + std::strerror(errno);
    return false;
  }
  const std::string messages = prefix + "spumux.log";
  if (!RunSpumux(inputs, script, output.Path(), messages, error)) return false;
  if (!CheckAdded(pictures.size(), messages, error)) return false;
  if (!output.Commit()) {
    *error = "cannot write " + inputs.output + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

std::string SubpictureElement(const std::string& language) {
  const std::string code = DvdLanguageOf(language);
  return code.empty() ? "<subpicture/>" : "<subpicture lang=\"" + code + "\"/>";
}

}  // namespace vantrel
