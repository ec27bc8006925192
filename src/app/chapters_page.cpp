// SPDX-License-Identifier: GPL-3.0-or-later
// The page "章节" of the properties sheet: binds its controls to ChaptersPageLogic and shows
// the chapter times the choice gives.
#include <memory>

#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/accessible_name.h"
#include "app/chapters_page_logic.h"
#include "app/track_pages.h"
#include "app/wx_text.h"
#include "authoring/chapter_plan.h"

namespace vantrel::app {
namespace {

using namespace chapter_page_texts;

class ChaptersPage : public wxPanel, public SheetPage {
 public:
  ChaptersPage(wxWindow* book, const TitleRecord& title) : wxPanel(book, kPageId) {
    std::vector<double> marks;
    std::string error;
    ReadSourceChapterMarks(title.SourcePath, &marks, &error);  // an unreadable file has none
    logic_ = std::make_unique<ChaptersPageLogic>(title, std::move(marks));

    auto* sizer = new wxBoxSizer(wxVERTICAL);
    modes_[0] = new wxRadioButton(this, wxID_ANY, U(kDefault), wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    sizer->Add(modes_[0], 0, wxALL, 8);

    auto* everyRow = new wxBoxSizer(wxHORIZONTAL);
    modes_[1] = new wxRadioButton(this, wxID_ANY, U(kEvery));
    everyRow->Add(modes_[1], 0, wxALIGN_CENTER_VERTICAL);
    minutes_ = new wxSpinCtrl(this, wxID_ANY, "5", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 1, 999,
                              std::max(1, logic_->EveryMinutes() > 0 ? logic_->EveryMinutes() : 5));
    SetAccessibleName(minutes_, kMinutes);
    everyRow->Add(minutes_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    everyRow->Add(new wxStaticText(this, wxID_ANY, U(kMinutes)), 0, wxALIGN_CENTER_VERTICAL);
    sizer->Add(everyRow, 0, wxLEFT | wxRIGHT | wxBOTTOM, 8);

    modes_[2] = new wxRadioButton(this, wxID_ANY, U(kTimes));
    sizer->Add(modes_[2], 0, wxLEFT | wxRIGHT, 8);
    times_ = new wxTextCtrl(this, wxID_ANY, U(logic_->TimesText()));
    SetAccessibleName(times_, kTimes);
    sizer->Add(times_, 0, wxEXPAND | wxLEFT | wxRIGHT, 28);
    timesNote_ = new wxStaticText(this, wxID_ANY, U(kTimesHint));
    sizer->Add(timesNote_, 0, wxLEFT | wxRIGHT | wxBOTTOM, 28);

    modes_[3] = new wxRadioButton(this, wxID_ANY, U(logic_->HasSourceMarks() ? kSourceMarks : kNoSourceMarks));
    modes_[3]->Enable(logic_->HasSourceMarks() || logic_->Mode() == ChapterMode::kSourceMarks);
    sizer->Add(modes_[3], 0, wxALL, 8);

    sizer->Add(new wxStaticText(this, wxID_ANY, U(kResult)), 0, wxLEFT | wxRIGHT | wxTOP, 8);
    count_ = new wxStaticText(this, wxID_ANY, wxEmptyString);
    sizer->Add(count_, 0, wxLEFT | wxRIGHT, 8);
    result_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(360, 80),
                             wxTE_READONLY | wxTE_MULTILINE);
    SetAccessibleName(result_, kResult);
    sizer->Add(result_, 1, wxEXPAND | wxALL, 8);
    SetSizer(sizer);

    modes_[int(logic_->Mode())]->SetValue(true);
    for (int mode = 0; mode < 4; ++mode)
      modes_[mode]->Bind(wxEVT_RADIOBUTTON, [this, mode](wxCommandEvent&) {
        logic_->SetMode(ChapterMode(mode));
        if (mode == int(ChapterMode::kEveryMinutes)) logic_->SetEveryMinutes(minutes_->GetValue());
        Show();
      });
    minutes_->Bind(wxEVT_SPINCTRL, [this](wxSpinEvent&) { EveryChanged(); });
    minutes_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { EveryChanged(); });
    times_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) {
      logic_->SetTimesText(S(times_->GetValue()));
      Show();
    });
    Show();
  }

  wxWindow* Window() override { return this; }
  void Apply(TitleRecord& title) override { logic_->Apply(title); }

 private:
  void EveryChanged() {
    if (logic_->Mode() != ChapterMode::kEveryMinutes) return;
    logic_->SetEveryMinutes(minutes_->GetValue());
    Show();
  }

  void Show() {
    const ChapterMode mode = logic_->Mode();
    minutes_->Enable(mode == ChapterMode::kEveryMinutes);
    times_->Enable(mode == ChapterMode::kTimes);
    const std::string& error = logic_->TimesError();
    timesNote_->SetLabel(U(error.empty() || mode != ChapterMode::kTimes ? std::string(kTimesHint) : error));
    count_->SetLabel(U(logic_->CountText()));
    result_->ChangeValue(U(logic_->TimesShown()));
    // Not before the book has given the page its size: laid out at none, the toolkit's
    // radio and spin buttons are squeezed below their least and complain.
    if (IsShownOnScreen()) Layout();
  }

  std::unique_ptr<ChaptersPageLogic> logic_;
  wxRadioButton* modes_[4];
  wxSpinCtrl* minutes_;
  wxTextCtrl* times_;
  wxStaticText* timesNote_;
  wxStaticText* count_;
  wxTextCtrl* result_;
};

}  // namespace

SheetPage* NewChaptersPage(wxWindow* book, const TitleRecord& title) { return new ChaptersPage(book, title); }

}  // namespace vantrel::app
