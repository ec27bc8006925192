// SPDX-License-Identifier: GPL-3.0-or-later
// The title properties sheet: page "属性" with the title's facts, page "菜单" with the
// preview, the caption and the thumbnail position slider.
#include <algorithm>
#include <string>
#include <vector>

#include <wx/bookctrl.h>
#include <wx/panel.h>
#include <wx/propdlg.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "app/app_windows.h"
#include "app/property_sheet_logic.h"
#include "app/chapters_page_logic.h"
#include "app/sound_tracks_page_logic.h"
#include "app/subtitles_page_logic.h"
#include "app/track_pages.h"
#include "app/wx_text.h"
#include "platform/preview/ui/preview_panel.h"

namespace vantrel::app {
namespace {

wxPanel* FactsPage(wxWindow* book, const TitleRecord& title) {
  using namespace property_texts;
  auto* page = new wxPanel(book, kPage1Id);
  const PropertyPage1 values = Page1Values(title);
  auto* group = new wxStaticBoxSizer(wxVERTICAL, page, U(kBasicGroup));
  auto* grid = new wxFlexGridSizer(2, 6, 10);
  grid->AddGrowableCol(1);
  struct Row {
    const char* label;
    int id;
    std::string value;
  };
  std::vector<Row> rows = {{kFile, kFileId, values.file},
                           {kContainer, wxID_ANY, values.container},
                           {kVideo, wxID_ANY, values.video},
                           {kResolution, kResolutionId, values.resolution},
                           {kFrameRate, kFrameRateId, values.frameRate},
                           {kDuration, kDurationId, values.duration}};
  // One row per sound stream; the label stands beside the first.
  for (size_t k = 0; k < values.sound.size(); ++k) rows.push_back({k == 0 ? kSound : "", wxID_ANY, values.sound[k]});
  rows.push_back({kFileSize, wxID_ANY, values.size});
  for (const Row& row : rows) {
    grid->Add(new wxStaticText(group->GetStaticBox(), wxID_ANY, *row.label ? U(row.label) : wxString()));
    grid->Add(new wxTextCtrl(group->GetStaticBox(), row.id, U(row.value), wxDefaultPosition, wxSize(340, -1),
                             wxTE_READONLY),
              1, wxEXPAND);
  }
  group->Add(grid, 1, wxEXPAND | wxALL, 8);
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(group, 1, wxEXPAND | wxALL, 8);
  page->SetSizer(sizer);
  return page;
}

// The slider's position (hundredths of a second) as the time into the title.
wxString SliderTimeText(int hundredths) {
  hundredths = std::max(0, hundredths);
  const int seconds = hundredths / 100;
  return wxString::Format("%02d:%02d:%02d.%02d", seconds / 3600, seconds / 60 % 60, seconds % 60, hundredths % 100);
}

class MenuPage : public wxPanel, private PageTimer {
 public:
  MenuPage(wxWindow* book, TitleRecord& title)
      : wxPanel(book, property_texts::kPage2Id), positionTimer_(this, property_texts::kPositionTimer) {
    using namespace property_texts;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    preview_ = new preview::PreviewPanel(this, kPlayerId, wxSize(360, 240));
    sizer->Add(preview_, 1, wxEXPAND | wxALL, 8);
    // The slider with the time it points at beside it.
    auto* sliderRow = new wxBoxSizer(wxHORIZONTAL);
    slider_ = new wxSlider(this, kSliderId, 0, 0, 1, wxDefaultPosition, wxSize(280, -1));
    sliderRow->Add(slider_, 1, wxALIGN_CENTER_VERTICAL);
    time_ = new wxStaticText(this, wxID_ANY, SliderTimeText(0));
    sliderRow->Add(time_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT, 6);
    sizer->Add(sliderRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 8);
    sizer->Add(new wxStaticText(this, wxID_ANY, U(kHint)), 0, wxALL, 8);
    auto* titleRow = new wxBoxSizer(wxHORIZONTAL);
    titleRow->Add(new wxStaticText(this, wxID_ANY, U(kTitle)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    edit_ = new wxTextCtrl(this, kTitleId);
    titleRow->Add(edit_, 1);
    sizer->Add(titleRow, 0, wxEXPAND | wxALL, 8);
    SetSizer(sizer);

    logic_ = std::make_unique<PropertyPage2Logic>(title, preview_->Player(), static_cast<PageTimer&>(*this));
    preview_->Player().onPlayStateChange = [this] { logic_->OnPlayStateChange(); };
    for (auto type : {wxEVT_SCROLL_THUMBRELEASE, wxEVT_SCROLL_CHANGED})
      slider_->Bind(type, [this](wxScrollEvent&) {
        logic_->OnSliderReleased(slider_->GetValue());
        ShowTime();
        preview_->Refresh();
      });
    slider_->Bind(wxEVT_SCROLL_THUMBTRACK, [this](wxScrollEvent& event) {
      ShowTime();
      event.Skip();
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
      logic_->OnTimer();
      slider_->SetValue(logic_->sliderPosition);  // the caption box keeps what the user typed
      ShowTime();
    });
  }
  ~MenuPage() override { positionTimer_.Stop(); }

  // First showing of the page.
  void Init() {
    if (logic_->Shown()) return;
    logic_->Init();
    slider_->SetRange(logic_->sliderMin, logic_->sliderMax);
    slider_->SetValue(logic_->sliderPosition);
    slider_->SetPageSize(logic_->pageSize);
    ShowTime();
    edit_->ChangeValue(U(logic_->title));
    preview_->Refresh();
  }
  void Ok() { logic_->OnOk(S(edit_->GetValue())); }

 private:
  void ShowTime() { time_->SetLabel(SliderTimeText(slider_->GetValue())); }
  void StartTimer(int, int intervalMs) override { positionTimer_.Start(intervalMs); }
  void StopTimer(int) override { positionTimer_.Stop(); }

  preview::PreviewPanel* preview_;
  wxSlider* slider_;
  wxStaticText* time_;
  wxTextCtrl* edit_;
  wxTimer positionTimer_;
  std::unique_ptr<PropertyPage2Logic> logic_;
};

}  // namespace

bool RunPropertySheet(wxWindow* parent, TitleRecord& title, const TitleMakingChoices& choices,
                      const std::vector<std::string>& sources, size_t index) {
  wxPropertySheetDialog sheet(parent, wxID_ANY, wxString());
  sheet.CreateButtons(wxOK | wxCANCEL);
  if (wxWindow* ok = sheet.FindWindow(wxID_OK)) ok->SetLabel(U("确定"));
  if (wxWindow* cancel = sheet.FindWindow(wxID_CANCEL)) cancel->SetLabel(U("取消"));
  wxBookCtrlBase* book = sheet.GetBookCtrl();
  book->AddPage(FactsPage(book, title), U(property_texts::kPage1));
  auto* menuPage = new MenuPage(book, title);
  book->AddPage(menuPage, U(property_texts::kPage2));
  SheetPage* trackPages[] = {NewSoundTracksPage(book, title), NewSubtitlesPage(book, title, choices, {sources, index}),
                             NewChaptersPage(book, title)};
  const char* trackPageNames[] = {sound_page_texts::kPage, subtitle_page_texts::kPage, chapter_page_texts::kPage};
  for (int page = 0; page < 3; ++page) book->AddPage(trackPages[page]->Window(), U(trackPageNames[page]));
  bool closing = false;
  book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, [&](wxBookCtrlEvent& event) {
    if (event.GetSelection() == 1 && !closing) menuPage->Init();
    event.Skip();
  });
  sheet.LayoutDialog();
  PrepareDialog(&sheet);
  const bool ok = sheet.ShowModal() == wxID_OK;
  if (ok) {
    menuPage->Ok();
    for (SheetPage* page : trackPages) page->Apply(title);
  }
  // The pages go before the book: a book destroyed with its pages has the toolkit's
  // accessibility layer ask it for tab labels it no longer has, and complain.
  closing = true;
  book->DeleteAllPages();
  return ok;
}

}  // namespace vantrel::app
