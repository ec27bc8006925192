// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program: start-up (registrations, component runtime, settings, skin, display
// check), the main window run modally, and shutdown (filter restored, settings saved).
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

// The core's headers come before wx's: the toolkit defines TRUE and FALSE as macros.
#include "base/app_folder.h"
#include "base/launch.h"
#include "base/log.h"
#include "base/memory_arenas.h"
#include "base/message_pump.h"
#include "base/translation.h"
#include "platform/com/runtime.h"
#include "platform/skin/skin_library.h"
#include "platform/window/window.h"
#include "project/app_settings.h"

#include "app/app_windows.h"
#include "app/dialog_slots.h"
#include "app/font_aliases.h"
#include "app/main_dialog.h"
#include "app/startup_steps.h"
#include "app/wx_text.h"
#include "vantrel_version.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/msgdlg.h>
#include <wx/translation.h>

namespace vantrel::app {
namespace {

// The program's texts and wx's own in the language chosen for the core: wx's translations
// read the same catalogue (for texts marked with wx's _()) and wx's standard one.
void UseLanguageInWx(const std::string& language) {
  for (const std::string& folder : LocaleFolders(ApplicationFolder()))
    wxFileTranslationsLoader::AddCatalogLookupPathPrefix(Plain(folder));
  auto* translations = new wxTranslations;
  wxTranslations::Set(translations);
  translations->SetLanguage(Plain(language));
  translations->AddStdCatalog();
  translations->AddCatalog(kTextDomain, wxLANGUAGE_CHINESE_SIMPLIFIED);
}

}  // namespace

class VantrelApp : public wxApp {
 public:
  bool OnInit() override;
  int OnRun() override;
  int OnExit() override;

 private:
  std::vector<std::string> files_;
  bool oleReady_ = false;
  bool settingsLoaded_ = false;
  bool automation_ = false;
};

bool VantrelApp::OnInit() {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(S(argv[i]));
  automation_ = IsAutomationStart(args);
  // Everything else on the command line is a project to open or a video file to add
  // ("Open with").
  for (const std::string& arg : args)
    if (!arg.empty() && arg[0] != '-' && !IsAutomationStart({arg})) {
      wxFileName name(U(arg));
      name.MakeAbsolute();
      files_.push_back(S(name.GetFullPath()));
    }

  // The core's warnings and errors go where a desktop session keeps a program's standard
  // error (the terminal it was started from, or the session's journal); -v adds its notes.
  bool verbose = false;
  for (const std::string& arg : args) verbose = verbose || arg == "-v" || arg == "--verbose";
  const LogLevel least = verbose ? LogLevel::kDebug : LogLevel::kWarning;
  SetLogSink([least](LogLevel level, const std::string& text) {
    static std::mutex mutex;
    if (level < least) return;
    std::lock_guard lock(mutex);
    std::fprintf(stderr, "vantrel: %s\n", text.c_str());
  });

  SetAppName("vantrel");
  UseLanguageInWx(UseLanguageOfUser(ApplicationFolder()));
  wxInitAllImageHandlers();
  InstallFontAliases();
  // 1. The system's decoder filter stays out while the program runs.
  LaunchHidden(DecoderFilterCommand(true));
  // 2. The component runtime.
  if (com::FAILED(com::CoInitialize())) {
    ShowInformation(nullptr, kOleInitFailed);
    return true;  // OnRun sees no runtime and ends; OnExit still runs the shutdown steps
  }
  oleReady_ = true;
  // 3. Settings.
  Settings().Load();
  settingsLoaded_ = true;
  // The language chosen in the settings wins over the locale's.
  if (Settings().language == 1 || Settings().language == 2)
    UseLanguageInWx(UseLanguageOfUser(ApplicationFolder(), Settings().language == 1 ? kOriginalLanguage : "en"));
  // 4, 5. The skin.
  skin::SkinLibrary& skins = skin::Skins();
  skins.Init();
  const int skin = Settings().skin;
  if (skin >= 1 && skin <= 3) {
    skins.LoadSkin(ApplicationFolder() + SkinFileName(skin));
    skins.SetDialogSkin("Dialog");
  }
  // 6. The shipped components, never waited for.
  for (const std::string& line : ComponentRegistrationCommands()) LaunchHidden(line);
  // Long waits of the core keep the windows alive through wx's own loop.
  SetMessagePump([] {
    if (wxTheApp) wxTheApp->Yield(true);
  });
  return true;
}

int VantrelApp::OnRun() {
  if (!oleReady_) return 1;
  // 8. The main window, modally; closing it ends the program.
  MainWindowSlots slots;
  InstallDialogSlots(slots);
  auto* window = new MainDialog(Settings(), std::move(slots));
  window->SetStartUpTips(!automation_);
  // A crashed run's changes are offered first, then what the command line names.
  const std::vector<std::string> files = files_;
  window->CallAfter([window, files] { window->StartWith(files); });
  window->ShowModal();
  window->Destroy();
  return 0;
}

int VantrelApp::OnExit() {
  SetMessagePump({});
  // Shutdown: the decoder filter back, the settings written, the skin library released.
  LaunchHidden(DecoderFilterCommand(false));
  // Without the runtime the settings were never read; writing them would replace the
  // user's file with defaults.
  if (settingsLoaded_) Settings().Save();
  skin::Skins().Release();
  if (oleReady_) com::CoUninitialize();
  return wxApp::OnExit();
}

}  // namespace vantrel::app

wxIMPLEMENT_APP_NO_MAIN(vantrel::app::VantrelApp);

int main(int argc, char** argv) {
  vantrel::SetUpMemoryAllocator();
  // Answered before the toolkit starts, so that they work without a display too.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("vantrel %s\n", VANTREL_VERSION);
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(vantrel::app::kUsage, stdout);
      return 0;
    }
  }
  // The toolkit's known, harmless complaints (a notebook's pages asked for their tab labels
  // by the accessibility layer while they go) are kept off the terminal; this has to be
  // allowed before the toolkit starts.
  wxApp::GTKAllowDiagnosticsControl();
  // Without a display there is nothing to show: say so plainly and end with a status that
  // tells the caller, instead of failing inside the toolkit.
  if (!wxEntryStart(argc, argv)) {
    vantrel::UseLanguageOfUser(vantrel::ApplicationFolder());
    std::fputs(vantrel::Tr(vantrel::app::kNoDisplay), stderr);
    return 2;
  }
  int status = 1;
  if (wxTheApp->CallOnInit()) status = wxTheApp->OnRun();
  wxTheApp->OnExit();
  wxEntryCleanup();
  return status;
}
