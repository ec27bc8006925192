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

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// One spumux per stream, each adding its stream to what the one before it passes on, all
// at once in one pipeline: the title is read once and written once however many streams
// it gets. Each tool's messages go to its own log.
bool RunSpumuxPipeline(const SubtitleMuxInputs& inputs, const std::vector<std::pair<int, std::string>>& stages,
                       const std::string& output, const std::string& messages, std::string* error) {
  std::string command;
  for (size_t k = 0; k < stages.size(); ++k) {
    if (k) command += " | ";
    command += Quoted(inputs.spumux) + Format(" -s %d ", stages[k].first) + Quoted(stages[k].second + ".xml");
    if (k == 0) command += " < " + Quoted(inputs.title);
    command += " 2> " + Quoted(stages[k].second + ".log");
  }
  command += " > " + Quoted(output);
  ChildOptions options;
  options.stderrPath = messages;
  options.environment = ChildEnvironment("", {std::string("VIDEO_FORMAT=") + VideoFormatName(inputs.standard)});
  options.ownProcessGroup = CancelScopeActive();
  int spawnError = 0;
  const pid_t pid = SpawnChild({"/bin/sh", "-c", command}, options, &spawnError);
  if (pid < 0) {
    *error = "the subtitle multiplexer cannot be started: " + std::string(std::strerror(spawnError));
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
  if (waitedAfterStop >= 0) {
    *error = "cancelled";
    return false;
  }
  if (!exit.Succeeded()) {
    const std::string last = stages.back().second + ".log";
    *error = Format("spumux failed (status %d): ", exit.Status()) + LastLinesOf(last, 5) + LastLinesOf(messages, 3);
    return false;
  }
  return true;
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

bool MuxSubtitleStreams(const std::vector<SubtitleStreamPictures>& streams, const SubtitleMuxInputs& inputs,
                        std::string* error) {
  std::set<int> numbers;
  for (const SubtitleStreamPictures& stream : streams) {
    if (stream.stream < 0 || stream.stream > 31 || !numbers.insert(stream.stream).second) {
      *error = Format("subtitle stream %d is not one of the 32 a title may have, or comes twice", stream.stream);
      return false;
    }
  }
  if (streams.empty()) {
    *error = "no subtitle stream to add";
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
  std::vector<std::pair<int, std::string>> stages;  // stream number, its files' stem
  for (const SubtitleStreamPictures& stream : streams) {
    const std::string stem = JoinPath(inputs.workFolder, Format("subtitles%02d", stream.stream));
    std::vector<std::string> names;
    names.reserve(stream.pictures->size());
    for (size_t i = 0; i < stream.pictures->size(); ++i) {
      names.push_back(stem + Format("_%05zu.png", i + 1));
      if (!WriteSubpicturePng(names.back(), (*stream.pictures)[i].bitmap)) {
        *error = "cannot write the subtitle picture " + names.back() + ": " + std::strerror(errno);
        return false;
      }
    }
    if (!WriteFileAtomically(stem + ".xml", SpumuxSubtitleScript(*stream.pictures, names, inputs.standard))) {
      *error = "cannot write " + stem + ".xml: " + std::strerror(errno);
      return false;
    }
    stages.emplace_back(stream.stream, stem);
  }
  PendingFile output;
  if (!output.Create(inputs.output)) {
    *error = "cannot write " + inputs.output + ": " + std::strerror(errno);
    return false;
  }
  if (!RunSpumuxPipeline(inputs, stages, output.Path(), JoinPath(inputs.workFolder, "subtitles.log"), error))
    return false;
  for (size_t k = 0; k < streams.size(); ++k)
    if (!CheckAdded(streams[k].pictures->size(), stages[k].second + ".log", error)) return false;
  if (!output.Commit()) {
    *error = "cannot write " + inputs.output + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

bool MuxSubtitles(const std::vector<Subpicture>& pictures, const SubtitleMuxInputs& inputs, std::string* error) {
  return MuxSubtitleStreams({{inputs.stream, &pictures}}, inputs, error);
}

std::string SubpictureElement(const std::string& language) {
  const std::string code = DvdLanguageOf(language);
  return code.empty() ? "<subpicture/>" : "<subpicture lang=\"" + code + "\"/>";
}

}  // namespace vantrel
