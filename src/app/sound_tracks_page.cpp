// SPDX-License-Identifier: GPL-3.0-or-later
// The page "音轨" of the properties sheet: binds its controls to SoundTracksPageLogic.
#include <memory>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dataview.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "app/accessible_name.h"
#include "app/sound_tracks_page_logic.h"
#include "app/track_choices.h"
#include "app/track_list_editing.h"
#include "app/track_pages.h"
#include "app/wx_text.h"

namespace vantrel::app {
namespace {

using namespace sound_page_texts;

class SoundTracksPage : public wxPanel, public SheetPage {
 public:
  SoundTracksPage(wxWindow* book, const TitleRecord& title) : wxPanel(book, kPageId) {
    std::vector<SoundStreamInfo> streams;
    std::string error;
    ListSoundStreams(title.SourcePath, &streams, &error);  // an unreadable file offers none
    logic_ = std::make_unique<SoundTracksPageLogic>(title, std::move(streams));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* listRow = new wxBoxSizer(wxHORIZONTAL);
    list_ = new wxDataViewListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(330, 170));
    list_->AppendTextColumn(U(kTrackColumn), wxDATAVIEW_CELL_INERT, 180);
    list_->AppendTextColumn(U(kLanguageColumn), wxDATAVIEW_CELL_INERT, 80);
    list_->AppendTextColumn(U(kOffsetColumn), wxDATAVIEW_CELL_INERT, wxCOL_WIDTH_AUTOSIZE);
    listRow->Add(list_, 1, wxEXPAND);
    auto* buttons = new wxBoxSizer(wxVERTICAL);
    // The chooser opens after the click has returned: a modal window inside the click
    // would hold up whoever pressed the button (a screen reader waits for its answer).
    addFile_ = AddColumnButton(this, buttons, kAddFile, [this] { CallAfter([this] { AddFile(); }); });
    rows_ = std::make_unique<RowButtons>(this, buttons, list_, RowButtons::Labels{kRemove, kUp, kDown},
                                         RowEditsOf(*logic_), [this](int select) { Fill(select); });
    listRow->Add(buttons, 0, wxLEFT, 6);
    sizer->Add(listRow, 1, wxEXPAND | wxALL, 8);

    std::vector<std::string> streamNames;
    for (size_t i = 0; i < logic_->SourceStreams().size(); ++i) streamNames.push_back(logic_->StreamName(i));
    addStream_ = AddStreamRow(this, sizer, streamNames, kAddStream,
                              [this](size_t stream) { Report(logic_->AddSourceStream(stream)); })
                     .add;

    auto* editRow = new wxBoxSizer(wxHORIZONTAL);
    editRow->Add(new wxStaticText(this, wxID_ANY, U(kLanguage)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    language_ = new wxChoice(this, wxID_ANY);
    for (const LanguageChoice& choice : LanguageChoices()) language_->Append(U(LanguageLabel(choice.code)));
    SetAccessibleName(language_, kLanguage);
    editRow->Add(language_, 1, wxALIGN_CENTER_VERTICAL);
    editRow->Add(new wxStaticText(this, wxID_ANY, U(kOffset)), 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    offset_ = new wxSpinCtrl(this, wxID_ANY, "0", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, -3600000,
                             3600000, 0);
    SetAccessibleName(offset_, kOffset);
    editRow->Add(offset_, 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(editRow, 0, wxEXPAND | wxALL, 8);
    count_ = new wxStaticText(this, wxID_ANY, U(logic_->CountText()));
    sizer->Add(count_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizer(sizer);

    list_->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent&) { ShowSelected(); });
    language_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      const int row = Selected();
      if (row < 0) return;
      logic_->SetLanguage(size_t(row), LanguageChoices()[size_t(language_->GetSelection())].code);
      Fill(row);
    });
    offset_->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { SetOffset(); });
    offset_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { SetOffset(); });
    Fill(logic_->Tracks().empty() ? -1 : 0);
  }

  wxWindow* Window() override { return this; }
  void Apply(TitleRecord& title) override { logic_->Apply(title); }

 private:
  int Selected() const { return rows_->Selected(); }

  void AddFile() {
    wxFileDialog dialog(this, U(kChooseFile), wxEmptyString, wxEmptyString, U(kFileTypes),
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return;
    Report(logic_->AddFile(S(dialog.GetPath())));
  }

  // After an addition: its refusal shown, or the new last row selected.
  void Report(const std::string& why) {
    if (!why.empty()) {
      wxMessageBox(U(why), "Vantrel", wxOK | wxICON_WARNING, this);
      return;
    }
    Fill(int(logic_->Tracks().size()) - 1);
  }

  void SetOffset() {
    const int row = Selected();
    if (row < 0 || !logic_->HasOffset(size_t(row))) return;
    logic_->SetOffset(size_t(row), offset_->GetValue());
    list_->SetTextValue(U(logic_->RowOffset(size_t(row))), unsigned(row), 2);
  }

  // The list again, `select` chosen.
  void Fill(int select) {
    list_->DeleteAllItems();
    for (size_t row = 0; row < logic_->Tracks().size(); ++row) {
      wxVector<wxVariant> values;
      values.push_back(U(logic_->RowName(row)));
      values.push_back(U(logic_->RowLanguage(row)));
      values.push_back(U(logic_->RowOffset(row)));
      list_->AppendItem(values);
    }
    if (select >= 0) list_->SelectRow(unsigned(select));
    count_->SetLabel(U(logic_->CountText()));
    addFile_->Enable(logic_->CanAdd());
    addStream_->Enable(logic_->CanAdd() && !logic_->SourceStreams().empty());
    ShowSelected();
  }

  void ShowSelected() {
    const int row = Selected();
    const bool any = row >= 0;
    rows_->Enable();
    language_->Enable(any);
    offset_->Enable(any && logic_->HasOffset(size_t(row)));
    if (!any) return;
    language_->SetSelection(int(LanguageChoiceIndex(logic_->Tracks()[size_t(row)].language)));
    offset_->SetValue(logic_->Tracks()[size_t(row)].offsetMs);
  }

  std::unique_ptr<SoundTracksPageLogic> logic_;
  wxDataViewListCtrl* list_;
  wxChoice* language_;
  wxSpinCtrl* offset_;
  wxStaticText* count_;
  wxButton *addFile_, *addStream_;
  std::unique_ptr<RowButtons> rows_;
};

}  // namespace

SheetPage* NewSoundTracksPage(wxWindow* book, const TitleRecord& title) { return new SoundTracksPage(book, title); }

}  // namespace vantrel::app
