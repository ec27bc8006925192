// SPDX-License-Identifier: GPL-3.0-or-later
// A small host window for the GUI tests of the menu and burn dialogs: its "菜单", "运行" and
// "刻录" buttons open the designer, the burn dialog and the folder-burn dialog over a title
// list made from the files named on the command line, as the main window does. A 10 ms
// timer records the longest gap between its ticks (how long the event loop was held), and
// at exit the menu look and that gap are written to the report file. Time the loop's thread
// spent waiting for a core that other programs held (the kernel's run-queue delay of the
// thread) is no hold of the loop, and neither is the time the display server waited for one
// while the loop's thread waited for its answer (a round trip to the X server, which a busy
// machine leaves unscheduled): the "own" gaps leave both out, so that they tell the same on
// a busy machine as on an idle one. Nor is the time the loop sat in its poll waiting for
// something to do: a loop that waits there is not held, whatever kept the timer from firing.
//
//   vantrel_dialog_driver --work DIR --report FILE [--swatch RRGGBB] [--burn-folder DIR] VIDEO...
// The media headers come first: the toolkit's headers define TRUE and FALSE as macros.
#include "media/add_titles.h"
#include "media/thumbnail_owner.h"
#include "burn/disc_library.h"
#include "burn/ui/burn_dialog.h"
#include "burn/ui/burn_folder_dialog.h"
#include "menu/menu_model.h"
#include "menu/ui/menu_design_dialog.h"
#include "menu/ui/wx_text.h"
#include "project/app_settings.h"
#include "project/title_list.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <glib.h>

#include <sys/socket.h>

#include <algorithm>
#include <filesystem>
#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace vantrel {
namespace {

struct ThreadTimes {
  double ranMs = 0;     // on a core
  double waitedMs = 0;  // runnable, waiting on a run queue for a core
};

// What /proc/.../schedstat says of one thread since it started.
ThreadTimes TimesOf(const std::string& schedstat) {
  std::ifstream stat(schedstat);
  unsigned long long ran = 0, waited = 0;
  if (!(stat >> ran >> waited)) return {};
  return {double(ran) / 1e6, double(waited) / 1e6};
}

// The X server at the other end of this program's display connection, found among its
// sockets by the peer's credentials; 0 when there is none. Its main thread answers the
// round trips.
pid_t DisplayServerPid() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    ucred peer{};
    socklen_t length = sizeof peer;
    const int fd = std::atoi(entry.path().filename().c_str());
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &length) != 0 || peer.pid <= 0) continue;
    std::ifstream comm("/proc/" + std::to_string(peer.pid) + "/comm");
    std::string name;
    if (std::getline(comm, name) && (name == "Xvfb" || name == "Xorg")) return peer.pid;
  }
  return 0;
}

// Milliseconds the loop's thread has slept in the main context's poll, its waits for a core
// after the poll ended left out (those are counted with the thread's own).
double gPollIdleMs = 0;
GPollFunc gSystemPoll = nullptr;

gint CountedPoll(GPollFD* fds, guint count, gint timeout) {
  const ThreadTimes before = TimesOf("/proc/thread-self/schedstat");
  const auto start = std::chrono::steady_clock::now();
  const gint result = gSystemPoll(fds, count, timeout);
  const double elapsed = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const ThreadTimes after = TimesOf("/proc/thread-self/schedstat");
  gPollIdleMs += std::max(0.0, elapsed - (after.ranMs - before.ranMs) - (after.waitedMs - before.waitedMs));
  return result;
}

class QuietAddView : public AddTitlesView {
 public:
  bool ChooseFiles(std::vector<std::string>&) override { return false; }
  void ShowProgress(const std::string&) override {}
  void CloseProgress() override {}
  void ShowDecoderNotice(const std::string&) override {}
  void ShowTotalDuration(int) override {}
};

class HostFrame : public wxFrame {
 public:
  HostFrame(AppSettings& settings, TitleList& titles, std::string report, wxColour swatch,
            std::string burnFolder)
      : wxFrame(nullptr, wxID_ANY, U("Vantrel 对话框测试"), wxPoint(0, 0), wxSize(520, 160)),
        settings_(settings), titles_(titles), report_(std::move(report)),
        burnFolder_(std::move(burnFolder)), gapTimer_(this) {
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* menu = new wxButton(this, wxID_ANY, U("菜单"));
    auto* run = new wxButton(this, wxID_ANY, U("运行"));
    auto* burn = new wxButton(this, wxID_ANY, U("刻录"));
    auto* quit = new wxButton(this, wxID_ANY, U("退出"));
    quit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    row->Add(menu, 0, wxALL, 6);
    row->Add(run, 0, wxALL, 6);
    row->Add(burn, 0, wxALL, 6);
    row->Add(quit, 0, wxALL, 6);
    // A window of known colour away from the dialogs, for the eyedropper to read.
    auto* sample = new wxFrame(this, wxID_ANY, U("取色样本"), wxPoint(1000, 800), wxSize(120, 90),
                               wxFRAME_TOOL_WINDOW | wxBORDER_NONE | wxFRAME_FLOAT_ON_PARENT);
    auto* patch = new wxPanel(sample, wxID_ANY);
    patch->SetBackgroundColour(swatch);
    sample->Show();
    SetSizer(row);
    model_.Rebuild(titles_, settings_.layout, settings_.IsNtsc());
    menu->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      model_.Rebuild(titles_, settings_.layout, settings_.IsNtsc());
      CMenuDesignDlg(this, model_, titles_, settings_).ShowModal();
    });
    run->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { CBurnDlg(this, settings_, model_, titles_).ShowModal(); });
    burn->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
      wxBusyCursor wait;
      CBurnFolderDlg(this, ImageRecorderList(settings_.temppath, settings_.IniPath()), burnFolder_)
          .ShowModal();
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { Tick(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& e) {
      WriteReport();
      e.Skip();
    });
    last_ = started_ = Clock::now();
    displayServer_ = DisplayServerPid();
    displayStat_ = "/proc/" + std::to_string(displayServer_) + "/schedstat";
    lastLoop_ = TimesOf("/proc/thread-self/schedstat");
    if (displayServer_) lastDisplay_ = TimesOf(displayStat_);
    // Only the loop's thread polls the main context.
    gSystemPoll = g_main_context_get_poll_func(nullptr);
    g_main_context_set_poll_func(nullptr, CountedPoll);
    gapTimer_.Start(10);
  }

 private:
  using Clock = std::chrono::steady_clock;
  void Tick() {
    const auto now = Clock::now();
    const double gap = std::chrono::duration<double, std::milli>(now - last_).count();
    last_ = now;
    const ThreadTimes loop = TimesOf("/proc/thread-self/schedstat");
    const ThreadTimes display = displayServer_ ? TimesOf(displayStat_) : ThreadTimes{};
    const double ran = loop.ranMs - lastLoop_.ranMs;
    const double displayWait = display.waitedMs - lastDisplay_.waitedMs;
    const double idle = gPollIdleMs - lastPollIdleMs_;
    const double ownGap = std::max(0.0, gap - (loop.waitedMs - lastLoop_.waitedMs) - displayWait - idle);
    lastLoop_ = loop;
    lastDisplay_ = display;
    lastPollIdleMs_ = gPollIdleMs;
    // A modal message box runs its own loop and ticks on; only a held loop shows here.
    if (gap > maxGapMs_) maxGapMs_ = gap;
    const CBurnDlg* burn = OpenBurnDialog();
    const bool busy = burn && burn->Busy();
    if (busy && wasBusy_ && gap > maxRunGapMs_) maxRunGapMs_ = gap;
    if (busy && wasBusy_ && ownGap > maxOwnRunGapMs_) maxOwnRunGapMs_ = ownGap;
    if (gap > 80) {
      const std::string last = !burn                        ? "(no burn dialog)"
                               : burn->Log().Lines().empty() ? "(burn dialog, empty log)"
                                                             : burn->Log().Lines().back().text;
      const double at = std::chrono::duration<double>(now - started_).count();
      longGaps_ += std::to_string(int(gap)) + " ms (own " + std::to_string(int(ownGap)) + " ms, ran " +
                   std::to_string(int(ran)) + " ms, display server waited " + std::to_string(int(displayWait)) + " ms, idle " +
                   std::to_string(int(idle)) + " ms)" + (busy && wasBusy_ ? " (run)" : "") +
                   " at " + std::to_string(at).substr(0, 5) + " s, after: " + last + "; ";
    }
    wasBusy_ = busy;
  }
  void WriteReport() {
    const MenuAppearance& look = model_.Appearance();
    std::ofstream out(report_);
    out << "display_server_pid=" << displayServer_ << "\nmax_gap_ms=" << maxGapMs_ << "\nrun_max_gap_ms=" << maxRunGapMs_
        << "\nrun_max_own_gap_ms=" << maxOwnRunGapMs_ << "\nlong_gaps=" << longGaps_ << "\n"
        << "layout=" << settings_.layout << "\nheadline=" << settings_.headline
        << "\nfootline=" << settings_.footline << "\nbackground_picture=" << look.backgroundPicture
        << "\nbackground_colour=" << look.backgroundColour << "\nheader_text=" << look.headerText
        << "\nheader_face=" << look.headerFont.face << "\nheader_height=" << look.headerFont.height
        << "\nheader_colour=" << look.headerColour << "\nfooter_colour=" << look.footerColour
        << "\nplay_all=" << model_.Choices().playAll << "\n";
  }

  AppSettings& settings_;
  TitleList& titles_;
  MenuModel model_;
  std::string report_;
  std::string burnFolder_;  // preset in the folder-burn dialog, as after a failed write
  wxTimer gapTimer_;
  Clock::time_point last_;
  Clock::time_point started_;
  double maxGapMs_ = 0;
  double maxRunGapMs_ = 0;  // while a run or a write was in progress
  double maxOwnRunGapMs_ = 0;  // the same without the waits for a core
  pid_t displayServer_ = 0;
  std::string displayStat_;
  ThreadTimes lastLoop_, lastDisplay_;
  double lastPollIdleMs_ = 0;
  bool wasBusy_ = false;
  std::string longGaps_;  // each gap over 80 ms, with the log line shown before it
};

class DriverApp : public wxApp {
 public:
  bool OnInit() override {
    std::string work, report = "/dev/null", burnFolder;
    unsigned long swatch = 0x0AC81E;
    std::vector<std::string> videos;
    for (int i = 1; i < argc; ++i) {
      const std::string arg = argv[i].utf8_string();
      if (arg == "--work" && i + 1 < argc) work = argv[++i].utf8_string();
      else if (arg == "--report" && i + 1 < argc) report = argv[++i].utf8_string();
      else if (arg == "--burn-folder" && i + 1 < argc) burnFolder = argv[++i].utf8_string();
      else if (arg == "--swatch" && i + 1 < argc) swatch = std::stoul(argv[++i].utf8_string(), nullptr, 16);
      else videos.push_back(arg);
    }
    settings_ = AppSettings(work + "/Settings.ini");
    settings_.temppath = work;
    settings_.resolution = 0;
    settings_.layout = 0;
    ThumbnailHost host;
    QuietAddView view;
    AddTitleFiles(titles_, host, view, videos);
    auto* frame = new HostFrame(settings_, titles_, report,
                                wxColour((swatch >> 16) & 0xFF, (swatch >> 8) & 0xFF, swatch & 0xFF),
                                burnFolder);
    frame->Show();
    return true;
  }

 private:
  AppSettings settings_;
  TitleList titles_;
};

}  // namespace
}  // namespace vantrel

wxIMPLEMENT_APP(vantrel::DriverApp);
