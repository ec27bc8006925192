// SPDX-License-Identifier: GPL-3.0-or-later
// The settings dialog ("设置...") and the disc format dialog, bound to their logic.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/dirdlg.h>
#include <wx/radiobox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "app/app_windows.h"
#include "app/settings_dialog_logic.h"
#include "app/wx_text.h"
#include "authoring/disc_fit_plan.h"

namespace vantrel::app {
namespace {

class SettingsDialog : public wxDialog {
 public:
  SettingsDialog(wxWindow* parent, SettingsDialogLogic& logic)
      : wxDialog(parent, settings_texts::kDialogId, U(settings_texts::kTitle)), logic_(logic) {
    using namespace settings_texts;
    auto* sizer = new wxBoxSizer(wxVERTICAL);

    auto* other = new wxStaticBoxSizer(wxVERTICAL, this, U(kOtherOptions));
    convertBefore_ = new wxCheckBox(other->GetStaticBox(), kConvertBefore, U(kConvertBeforeText));
    createMenu_ = new wxCheckBox(other->GetStaticBox(), kCreateMenu, U(kCreateMenuText));
    deleteTemp_ = new wxCheckBox(other->GetStaticBox(), kDeleteTemp, U(kDeleteTempText));
    for (wxCheckBox* box : {convertBefore_, createMenu_, deleteTemp_}) other->Add(box, 0, wxALL, 4);
    sizer->Add(other, 0, wxEXPAND | wxALL, 8);

    auto* temp = new wxStaticBoxSizer(wxVERTICAL, this, U(kTempGroup));
    auto* folderRow = new wxBoxSizer(wxHORIZONTAL);
    folder_ = new wxStaticText(temp->GetStaticBox(), kFolder, wxString(), wxDefaultPosition, wxSize(320, -1),
                               wxST_ELLIPSIZE_MIDDLE);
    folderRow->Add(folder_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    auto* browse = new wxButton(temp->GetStaticBox(), kBrowse, U(kBrowseText));
    browse->SetToolTip(U(kBrowseTip));
    folderRow->Add(browse);
    temp->Add(folderRow, 0, wxEXPAND | wxALL, 4);
    temp->Add(new wxStaticText(temp->GetStaticBox(), wxID_ANY, U(kFreeSpaceLabel)), 0, wxLEFT | wxTOP, 4);
    freeSpace_ = new wxStaticText(temp->GetStaticBox(), kFreeSpace, wxString());
    temp->Add(freeSpace_, 0, wxALL, 4);
    sizer->Add(temp, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);

    auto* audio = new wxStaticBoxSizer(wxVERTICAL, this, U(kAudioGroup));
    auto* codecRow = new wxBoxSizer(wxHORIZONTAL);
    codecRow->Add(new wxStaticText(audio->GetStaticBox(), wxID_ANY, U(kAudioLabel)), 0,
                  wxALIGN_CENTER_VERTICAL | wxALL, 4);
    codec_ = new wxChoice(audio->GetStaticBox(), kAudioCodec);
    for (const char* name : kCodecs) codec_->Append(U(name));
    codecRow->Add(codec_, 0, wxALL, 4);
    audio->Add(codecRow);
    codecNote_ = new wxStaticText(audio->GetStaticBox(), wxID_ANY, wxString());
    audio->Add(codecNote_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 4);
    codec_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ShowCodecNote(); });
    sizer->Add(audio, 0, wxEXPAND | wxALL, 8);

    auto* zoomRow = new wxBoxSizer(wxHORIZONTAL);
    zoomRow->Add(new wxStaticText(this, wxID_ANY, U(kZoomLabel)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    zoom43_ = new wxRadioButton(this, kZoom43, U(kZooms[0]), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    zoom169_ = new wxRadioButton(this, kZoom169, U(kZooms[1]));
    zoomRow->Add(zoom43_, 0, wxRIGHT, 8);
    zoomRow->Add(zoom169_);
    sizer->Add(zoomRow, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);

    auto* languageRow = new wxBoxSizer(wxHORIZONTAL);
    languageRow->Add(new wxStaticText(this, wxID_ANY, U(kLanguageLabel)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    for (int i = 0; i < 3; ++i) {
      languages_[i] = new wxRadioButton(this, kLanguageFirst + i, Plain(Tr(kLanguages[i])), wxDefaultPosition,
                                        wxDefaultSize, i == 0 ? wxRB_GROUP : 0);
      languageRow->Add(languages_[i], 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 8);
    }
    languageRow->Add(new wxStaticText(this, wxID_ANY, U(kLanguageNote)), 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(languageRow, 0, wxLEFT | wxRIGHT | wxBOTTOM, 12);

    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, U(kOk)), 0, wxRIGHT, 6);
    buttons->Add(new wxButton(this, wxID_CANCEL, U(kCancel)));
    sizer->Add(buttons, 0, wxEXPAND | wxALL, 8);
    SetSizerAndFit(sizer);

    // The chooser opens after the click has returned (it is modal).
    browse->Bind(wxEVT_BUTTON, [this](wxCommandEvent& event) { CallAfter([this, event] {
      wxCommandEvent copy(event);
      OnBrowse(copy);
    }); });
    PrepareDialog(this);
  }

  void ShowCodecNote() {
    codecNote_->SetLabel(Plain(AudioCodecNote(codec_->GetSelection())));
    Layout();
    Fit();
  }

  bool TransferDataToWindow() override {
    convertBefore_->SetValue(logic_.convertBefore);
    createMenu_->SetValue(logic_.createMenu);
    deleteTemp_->SetValue(logic_.deleteTemp);
    folder_->SetLabel(U(logic_.folder));
    freeSpace_->SetLabel(U(logic_.FreeSpace()));
    codec_->SetSelection(logic_.audioCodec >= 0 && logic_.audioCodec < 4 ? logic_.audioCodec : wxNOT_FOUND);
    ShowCodecNote();
    (logic_.zoom == 1 ? zoom169_ : zoom43_)->SetValue(true);
    languages_[logic_.language]->SetValue(true);
    Layout();
    return true;
  }

  bool TransferDataFromWindow() override {
    logic_.convertBefore = convertBefore_->GetValue();
    logic_.createMenu = createMenu_->GetValue();
    logic_.deleteTemp = deleteTemp_->GetValue();
    logic_.audioCodec = codec_->GetSelection() == wxNOT_FOUND ? logic_.audioCodec : codec_->GetSelection();
    logic_.zoom = zoom169_->GetValue() ? 1 : 0;
    for (int i = 0; i < 3; ++i)
      if (languages_[i]->GetValue()) logic_.language = i;
    return true;
  }

 private:
  void OnBrowse(wxCommandEvent&) {
    TransferDataFromWindow();
    wxDirDialog chooser(this, U(settings_texts::kChooserTitle), U(logic_.folder),
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (chooser.ShowModal() == wxID_OK) logic_.FolderChosen(S(chooser.GetPath()));
    TransferDataToWindow();
  }

  SettingsDialogLogic& logic_;
  wxCheckBox *convertBefore_, *createMenu_, *deleteTemp_;
  wxStaticText *folder_, *freeSpace_;
  wxChoice* codec_;
  wxStaticText* codecNote_;
  wxRadioButton *zoom43_, *zoom169_;
  wxRadioButton* languages_[3] = {};
};

}  // namespace

bool RunSettingsDialog(wxWindow* parent, AppSettings& settings) {
  SettingsDialogLogic logic(settings);
  SettingsDialog dialog(parent, logic);
  if (dialog.ShowModal() != wxID_OK) return false;
  logic.Apply(settings);
  return true;
}

bool RunDiscFormatDialog(wxWindow* parent, DiscFormatLogic& logic) {
  using namespace disc_format_texts;
  wxDialog dialog(parent, kDialogId, U(kTitle));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  wxString systems[] = {U(kFileSystems[0]), U(kFileSystems[1])};
  wxString standards[] = {U(kStandards[0]), U(kStandards[1])};
  auto* fs = new wxRadioBox(&dialog, kIso, U(kFileSystemGroup), wxDefaultPosition, wxDefaultSize, 2, systems, 1,
                            wxRA_SPECIFY_ROWS);
  auto* tv = new wxRadioBox(&dialog, kPal, U(kFormatGroup), wxDefaultPosition, wxDefaultSize, 2, standards, 1,
                            wxRA_SPECIFY_ROWS);
  wxString capacities[] = {U(DiscCapacityName(0)), U(DiscCapacityName(1))};
  auto* disc = new wxRadioBox(&dialog, wxID_ANY, U(kCapacityGroup), wxDefaultPosition, wxDefaultSize, 2,
                              capacities, 1, wxRA_SPECIFY_ROWS);
  fs->SetSelection(logic.fileSystem == 0 ? 0 : 1);
  tv->SetSelection(logic.standard == 0 ? 0 : 1);
  disc->SetSelection(logic.discCapacity == 1 ? 1 : 0);
  sizer->Add(fs, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
  auto* fsNote = new wxStaticText(&dialog, wxID_ANY, wxString(), wxDefaultPosition, wxSize(300, -1));
  sizer->Add(fsNote, 0, wxEXPAND | wxALL, 8);
  auto showNote = [&dialog, fs, fsNote] {
    fsNote->SetLabel(Plain(FileSystemNote(fs->GetSelection())));
    fsNote->Wrap(300);
    dialog.Layout();
    dialog.Fit();
  };
  fs->Bind(wxEVT_RADIOBOX, [showNote](wxCommandEvent&) { showNote(); });
  sizer->Add(tv, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
  sizer->Add(disc, 0, wxEXPAND | wxALL, 8);
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(new wxButton(&dialog, wxID_OK, U(settings_texts::kOk)), 0, wxRIGHT, 6);
  buttons->Add(new wxButton(&dialog, wxID_CANCEL, U(settings_texts::kCancel)));
  sizer->Add(buttons, 0, wxEXPAND | wxALL, 8);
  sizer->SetMinSize(wxSize(300, -1));
  dialog.SetSizerAndFit(sizer);
  showNote();
  PrepareDialog(&dialog);
  if (dialog.ShowModal() != wxID_OK) return false;
  logic.fileSystem = fs->GetSelection();
  logic.standard = tv->GetSelection();
  logic.discCapacity = disc->GetSelection();
  return true;
}

}  // namespace vantrel::app
