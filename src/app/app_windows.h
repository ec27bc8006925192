// SPDX-License-Identifier: GPL-3.0-or-later
// The program's dialogs and windows, each in its own file, as the main window opens them.
#pragma once

#include <string>

#include "app/settings_dialog_logic.h"
#include "authoring/title_frame.h"
#include "base/tv_standard.h"
#include "project/app_settings.h"
#include "project/support_info.h"
#include "project/title_record.h"

class wxWindow;
class wxDialog;

namespace vantrel::app {

// Settings dialog ("设置..."); true on OK, when the values went into `settings`.
bool RunSettingsDialog(wxWindow* parent, AppSettings& settings);
// Disc format dialog, preset with the two values; true on OK with the choices in them.
bool RunDiscFormatDialog(wxWindow* parent, DiscFormatLogic& format);
// Title properties sheet on one title; true on OK. `standard` is the disc's: the subtitle
// preview draws its picture size.
// `sources`: the list's title files, `title` being number `index` of them.
bool RunPropertySheet(wxWindow* parent, TitleRecord& title, const TitleMakingChoices& choices,
                      const std::vector<std::string>& sources, size_t index);
void ShowAboutBox(wxWindow* parent, const SupportInfo& support);
// The tip window; at start-up it shows only when the profile asks for it.
void ShowTipWindow(wxWindow* parent, bool atStartUp);
// Decoder download notice (dialog 205), modal.
// The decoder notice; `path` names the file it is about ("" : none).
void ShowDecoderNotice(wxWindow* parent, const std::string& path = "");
// A help page of the application folder in the help viewer.
void ShowHelpTopic(const std::string& relativePath);
// An information message box with the program's caption.
void ShowInformation(wxWindow* parent, const std::string& text);

// Applies the active skin (or the platform's look) to a window and its children.
void ApplySkin(wxWindow* window);
// Every dialog of the program calls this before it shows: skin, position.
void PrepareDialog(wxDialog* dialog);

}  // namespace vantrel::app
