// SPDX-License-Identifier: GPL-3.0-or-later
// The menu design dialogs' rules: list selections on opening, immediate write-back and
// which changes repaint, and what OK and Cancel keep.
#include "menu/menu_design.h"

#include <gtest/gtest.h>

#include "menu/font_faces.h"
#include "project/app_settings.h"
#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

const std::vector<std::string> kFaces = {"DejaVu Sans", "Liberation Sans", "Liberation Serif"};

TEST(MenuDesign, OpeningSelectsExactFaceAndListedSizeOnly) {
  MenuAppearance look;
  look.headerFont = {"Liberation Serif", 13, 700, true, 1};
  look.footerFont = {"liberation sans", 48, 400, false, 1};  // case differs
  look.headerAlignment = kAlignRight;
  look.headerShadow = false;
  MenuTextEdit edit(look, kFaces);
  HeadlineControls header = edit.Opening(true);
  EXPECT_EQ(header.face, 2);
  EXPECT_EQ(header.size, -1);  // 13 is not in the list
  EXPECT_EQ(header.alignment, 2);
  EXPECT_TRUE(header.bold);
  EXPECT_TRUE(header.italic);
  EXPECT_FALSE(header.shadow);
  HeadlineControls footer = edit.Opening(false);
  EXPECT_EQ(footer.face, 0);  // no exact match: the first entry
  EXPECT_EQ(footer.size, SizeListSelection(48));
  EXPECT_FALSE(footer.bold);
  // The model keeps its values until the user picks.
  EXPECT_EQ(look.footerFont.face, "liberation sans");
  EXPECT_EQ(look.headerFont.height, 13);
  look.headerFont.weight = 600;  // bold only at exactly 700
  EXPECT_FALSE(MenuTextEdit(look, kFaces).Opening(true).bold);
}

TEST(MenuDesign, ChangesWriteBackAtOnceAndCancelKeepsAllButTheTexts) {
  MenuAppearance look;
  look.headerText = "old header";
  look.footerText = "old footer";
  {
    MenuTextEdit edit(look, kFaces);
    EXPECT_TRUE(edit.ChooseFace(true, 1));
    EXPECT_TRUE(edit.ChooseSize(true, 18));
    EXPECT_TRUE(edit.ChooseAlignment(false, 0));
    EXPECT_TRUE(edit.SetStyle(false, true, true));
    EXPECT_TRUE(edit.SetColour(true, 0x00FF00));
    EXPECT_TRUE(edit.SetShadowColour(false, 0x0000FF));
    EXPECT_FALSE(edit.SetShadow(true, false));  // no repaint for the shadow boxes
    EXPECT_FALSE(edit.ChooseSize(true, 19));     // out of the list: nothing changes
    // Cancel: nothing more happens.
  }
  EXPECT_EQ(look.headerFont.face, "Liberation Sans");
  EXPECT_EQ(look.headerFont.height, 72);
  EXPECT_EQ(look.footerAlignment, kAlignLeft);
  EXPECT_EQ(look.footerFont.weight, 700);
  EXPECT_TRUE(look.footerFont.italic);
  EXPECT_EQ(look.headerColour, 0x00FF00u);
  EXPECT_EQ(look.footerShadowColour, 0x0000FFu);
  EXPECT_FALSE(look.headerShadow);
  EXPECT_EQ(look.headerText, "old header");
  MenuTextEdit(look, kFaces).Ok("new header", "");
  EXPECT_EQ(look.headerText, "new header");
  EXPECT_EQ(look.footerText, "");
}

TEST(MenuDesign, BackgroundPictureRemovedOnlyByCancellingTheFileDialog) {
  MenuAppearance look;
  look.backgroundPicture = "/pics/sea.png";
  look.backgroundColour = 0x112233;
  BackgroundChoice choice = OpenBackgroundChoice(look);
  EXPECT_FALSE(choice.ColourLabelEnabled());
  ApplyBackgroundChoice(look, choice);  // plain OK keeps the picture
  EXPECT_EQ(look.backgroundPicture, "/pics/sea.png");
  choice.FileDialogClosed(false, "");
  EXPECT_TRUE(choice.ColourLabelEnabled());
  choice.colour = 0x445566;
  ApplyBackgroundChoice(look, choice);
  EXPECT_EQ(look.backgroundPicture, "");
  EXPECT_EQ(look.backgroundColour, 0x445566u);
}

TEST(MenuDesign, LayoutOkRebuildsEvenWhenUnchanged) {
  test::MenuFixture fixture;
  fixture.Build(8);
  AppSettings settings;
  settings.layout = 0;
  ASSERT_EQ(fixture.model.PageCount(), 2);
  // Titles added after the last rebuild show up only through a rebuild.
  for (int i = 0; i < 5; ++i) {
    auto r = std::make_unique<TitleRecord>();
    r->SourcePath = "/v/extra" + std::to_string(i) + ".mpg";
    fixture.titles.AppendTitle(std::move(r), fixture.titles.Count());
  }
  ApplyLayoutChoice(settings, fixture.model, fixture.titles, 0, false, true, false);
  EXPECT_EQ(fixture.model.PageCount(), 3);
  EXPECT_EQ(settings.headline, 0);
  EXPECT_EQ(settings.footline, 1);
  EXPECT_EQ(fixture.model.Page(0).PlayAll, nullptr);
  // Play all takes the first page's free place, and only the first page's.
  ApplyLayoutChoice(settings, fixture.model, fixture.titles, 0, false, true, true);
  EXPECT_TRUE(fixture.model.Choices().playAll);
  ASSERT_NE(fixture.model.Page(0).PlayAll, nullptr);
  EXPECT_EQ(fixture.model.Page(1).PlayAll, nullptr);
  EXPECT_EQ(fixture.model.PageCount(), 3) << "the pages hold as many titles as before";
  EXPECT_FALSE(fixture.model.Choices().chapterMenus);
  // The chapter pages are the run's to lay out: the choice is kept, the pages stay those of titles.
  ApplyLayoutChoice(settings, fixture.model, fixture.titles, 0, false, true, false, true);
  EXPECT_TRUE(fixture.model.Choices().chapterMenus);
  EXPECT_FALSE(fixture.model.Choices().playAll);
  EXPECT_EQ(fixture.model.PageCount(), 3);
}

TEST(MenuDesign, FontListHoldsInstalledOutlineFaces) {
  std::vector<std::string> faces = InstalledScalableFaces();
  ASSERT_FALSE(faces.empty());
  EXPECT_TRUE(std::is_sorted(faces.begin(), faces.end()));
  EXPECT_NE(std::find(faces.begin(), faces.end(), "Liberation Sans"), faces.end());
}

}  // namespace
}  // namespace vantrel
