// SPDX-License-Identifier: GPL-3.0-or-later
// The page "字幕" of the properties sheet: binds its controls to SubtitlesPageLogic and
// shows the chosen cue on the title's picture.
#include <memory>

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/dataview.h>
#include <wx/filedlg.h>
#include <wx/image.h>
#include <wx/msgdlg.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "app/accessible_name.h"
#include "app/subtitles_page_logic.h"
#include "app/track_choices.h"
#include "app/track_list_editing.h"
#include "app/track_pages.h"
#include "app/wx_text.h"
#include "base/text_format.h"

namespace vantrel::app {
namespace {

using namespace subtitle_page_texts;

constexpr int kPreviewHeight = 270;

class SubtitlesPage : public wxPanel, public SheetPage {
 public:
  SubtitlesPage(wxWindow* book, const TitleRecord& title, const TitleMakingChoices& choices, const TitleInList& list)
      : wxPanel(book, kPageId), choices_(choices) {
    std::vector<SubtitleStreamInfo> streams;
    std::string error;
    ListSubtitleStreams(title.SourcePath, &streams, &error);  // an unreadable file offers none
    logic_ = std::make_unique<SubtitlesPageLogic>(title, streams);
    logic_->SetTitleList(list.sources, list.index);

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    auto* listRow = new wxBoxSizer(wxHORIZONTAL);
    list_ = new wxDataViewListCtrl(this, wxID_ANY, wxDefaultPosition, wxSize(330, 120));
    list_->AppendTextColumn(U(kTrackColumn), wxDATAVIEW_CELL_INERT, 150);
    list_->AppendTextColumn(U(kLanguageColumn), wxDATAVIEW_CELL_INERT, 80);
    list_->AppendTextColumn(U(kEncodingColumn), wxDATAVIEW_CELL_INERT, 120);
    list_->AppendTextColumn(U(kDefaultColumn), wxDATAVIEW_CELL_INERT, wxCOL_WIDTH_AUTOSIZE);
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

    auto* editRow = new wxFlexGridSizer(4, 4, 6);
    editRow->Add(new wxStaticText(this, wxID_ANY, U(kLanguage)), 0, wxALIGN_CENTER_VERTICAL);
    language_ = new wxChoice(this, wxID_ANY);
    for (const LanguageChoice& choice : LanguageChoices()) language_->Append(U(LanguageLabel(choice.code)));
    SetAccessibleName(language_, kLanguage);
    editRow->Add(language_, 0, wxALIGN_CENTER_VERTICAL);
    editRow->Add(new wxStaticText(this, wxID_ANY, U(kEncoding)), 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    encoding_ = new wxChoice(this, wxID_ANY);
    SetAccessibleName(encoding_, kEncoding);
    editRow->Add(encoding_, 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(editRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
    shown_ = new wxCheckBox(this, wxID_ANY, U(kShownByDefault));
    sizer->Add(shown_, 0, wxALL, 8);

    auto* previewRow = new wxBoxSizer(wxHORIZONTAL);
    previewRow->Add(new wxStaticText(this, wxID_ANY, U(kPreview)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    cues_ = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxSize(300, -1));
    SetAccessibleName(cues_, kPreview);
    previewRow->Add(cues_, 1, wxALIGN_CENTER_VERTICAL);
    sizer->Add(previewRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    picture_ = new wxStaticBitmap(this, wxID_ANY, wxBitmap(kPreviewHeight * 4 / 3, kPreviewHeight));
    SetAccessibleName(picture_, kPreview);
    sizer->Add(picture_, 0, wxALIGN_CENTER | wxALL, 8);
    count_ = new wxStaticText(this, wxID_ANY, U(logic_->CountText()));
    sizer->Add(count_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);
    SetSizer(sizer);

    list_->Bind(wxEVT_DATAVIEW_SELECTION_CHANGED, [this](wxDataViewEvent&) { ShowSelected(); });
    language_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) {
      if (const int row = Selected(); row >= 0) {
        logic_->SetLanguage(size_t(row), LanguageChoices()[size_t(language_->GetSelection())].code);
        Fill(row);
      }
    });
    encoding_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ChooseEncoding(); });
    shown_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
      if (const int row = Selected(); row >= 0) {
        logic_->SetShownByDefault(size_t(row), shown_->GetValue());
        Fill(row);
      }
    });
    cues_->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { ShowCue(); });
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
    wxBusyCursor busy;
    Report(logic_->AddFile(S(dialog.GetPath())));
  }

  void Report(const std::string& why) {
    if (!why.empty()) {
      wxMessageBox(U(why), "Vantrel", wxOK | wxICON_WARNING, this);
      return;
    }
    Fill(int(logic_->Tracks().size()) - 1);
  }

  void ChooseEncoding() {
    const int row = Selected();
    if (row < 0) return;
    const int choice = encoding_->GetSelection();
    const std::string encoding = choice <= 0 ? "" : EncodingChoices()[size_t(choice - 1)];
    wxBusyCursor busy;
    if (std::string why = logic_->SetEncoding(size_t(row), encoding); !why.empty())
      wxMessageBox(U(why), "Vantrel", wxOK | wxICON_WARNING, this);
    Fill(row);
  }

  void Fill(int select) {
    list_->DeleteAllItems();
    for (size_t row = 0; row < logic_->Tracks().size(); ++row) {
      wxVector<wxVariant> values;
      values.push_back(U(logic_->RowName(row)));
      values.push_back(U(logic_->RowLanguage(row)));
      values.push_back(U(logic_->RowEncoding(row)));
      values.push_back(U(logic_->RowDefault(row)));
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
    shown_->Enable(any);
    encoding_->Clear();
    encoding_->Enable(any && logic_->IsFile(size_t(row)));
    cues_->Clear();
    cues_->Enable(any);
    if (!any) return ShowPicture(nullptr);
    const SubtitleTrack& track = logic_->Tracks()[size_t(row)];
    language_->SetSelection(int(LanguageChoiceIndex(track.language)));
    shown_->SetValue(track.shownByDefault);
    if (logic_->IsFile(size_t(row))) {
      encoding_->Append(U(Format(Tr(kDetected), logic_->DetectedEncoding(size_t(row)).c_str())));
      int chosen = 0;
      for (size_t i = 0; i < EncodingChoices().size(); ++i) {
        encoding_->Append(Plain(EncodingChoices()[i]));
        if (EncodingChoices()[i] == track.encoding) chosen = int(i) + 1;
      }
      encoding_->SetSelection(chosen);
    }
    wxBusyCursor busy;  // a picture stream is read through its file
    for (const std::string& cue : logic_->CueList(size_t(row), choices_)) cues_->Append(Plain(cue));
    if (!cues_->IsEmpty()) cues_->SetSelection(0);
    ShowCue();
  }

  void ShowCue() {
    const int row = Selected(), cue = cues_->GetSelection();
    if (row < 0 || cue < 0) return ShowPicture(nullptr);
    RgbImage picture;
    std::string error;
    wxBusyCursor busy;
    ShowPicture(logic_->Preview(size_t(row), size_t(cue), choices_, &picture, &error) ? &picture : nullptr);
  }

  // The stored picture shown at the title's shape; grey when there is none.
  void ShowPicture(const RgbImage* picture) {
    // The title's shape on the disc, decided once a picture was asked for.
    const bool wide = picture && logic_->Wide(choices_);
    const int width = kPreviewHeight * (wide ? 16 : 4) / (wide ? 9 : 3);
    wxImage image;
    if (picture) {
      image = wxImage(picture->width, picture->height);
      std::copy(picture->pixels.begin(), picture->pixels.end(), image.GetData());
      image.Rescale(width, kPreviewHeight, wxIMAGE_QUALITY_HIGH);
    } else {
      image = wxImage(width, kPreviewHeight);
      image.SetRGB(wxRect(0, 0, width, kPreviewHeight), 96, 96, 96);
    }
    picture_->SetBitmap(wxBitmap(image));
    if (IsShownOnScreen()) Layout();  // a page not yet sized is laid out by its book
  }

  TitleMakingChoices choices_;
  std::unique_ptr<SubtitlesPageLogic> logic_;
  wxDataViewListCtrl* list_;
  wxChoice *language_, *encoding_, *cues_;
  wxCheckBox* shown_;
  wxStaticBitmap* picture_;
  wxStaticText* count_;
  wxButton *addFile_, *addStream_;
  std::unique_ptr<RowButtons> rows_;
};

}  // namespace

SheetPage* NewSubtitlesPage(wxWindow* book, const TitleRecord& title, const TitleMakingChoices& choices,
                            const TitleInList& list) {
  return new SubtitlesPage(book, title, choices, list);
}

}  // namespace vantrel::app
