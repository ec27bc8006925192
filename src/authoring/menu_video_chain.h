// SPDX-License-Identifier: GPL-3.0-or-later
// Turns every rendered menu page into a DVD menu stream: the page picture encoded as a
// still MPEG-2 frame, multiplexed with the silent track (or, for a menu that moves or has
// music, the page's film: motion_menu.h), and combined with the button images as a
// sub-picture overlay. The streams are judged by their size, not by the tools'
// exit codes; when one is missing or too small the user decides whether the run goes on
// without a menu.
#pragma once

#include <cstdint>
#include <string>

#include "base/tv_standard.h"
#include "base/translation.h"
#include "convert/encoder_preset.h"

namespace vantrel {

class MenuModel;
struct AppSettings;
class RunStatus;
class RunQuestion;

struct MenuChainInputs {
  std::string intermediateFolder;  // ends in "/": the rendered images, scripts and streams
  std::string toolFolder;          // the written tool set; the tools run from here
  std::string applicationFolder;   // ends in "/": silence.mp2
  TvStandard standard = TvStandard::Pal;
  std::string toolLog;             // the tools' output is appended here; "" : ours
  AudioCodec sound = AudioCodec::Mp2;  // a moving menu's sound, the disc's format
};

enum class MenuChainResult {
  kMenusMade,            // every page has its menu stream
  kContinueWithoutMenu,  // a stream failed and the user chose to go on: createmenu is cleared
  kStopRun,              // a stream failed and the user chose to stop
};

// The event log's line on the menus once they are made: their pages, size and time.
std::string MenuTimeText(int pages, double seconds, std::int64_t bytes);

class MenuVideoChain {
 public:
  static constexpr const char* kStatusText = N_("生成菜单...");
  static constexpr const char* kFailedQuestion = N_("创建菜单失败，您想要继续吗？");
  // A menu stream smaller than this did not get its video, audio or buttons.
  static constexpr std::uint64_t kMinimumStreamBytes = 102400;

  // Runs the three tool steps for every page in page order, reporting progress to
  // `status`; asks `question` when a stream is missing or short, and on Yes clears
  // `settings.createmenu`.
  static MenuChainResult Run(const MenuModel& model, const MenuChainInputs& inputs,
                             AppSettings& settings, RunStatus& status, RunQuestion& question);

  // intermediate folder + "menu%02d.mpg": the stream dvd.xml names for the page.
  static std::string MenuStreamPath(const std::string& intermediateFolder, int pageNumber);
  static bool StreamIsGood(const std::string& path);
};

}  // namespace vantrel
