// SPDX-License-Identifier: GPL-3.0-or-later
// Spumux scripts of menu pages, compared character for character.
#include "authoring/spumux_script_writer.h"

#include <gtest/gtest.h>

#include "unit/menu_fixture.h"

namespace vantrel {
namespace {

const std::string kHead =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?><subpictures><stream>"
    "<spu start=\"0:0.5\" image=\"/w/TEMP/button_normal%02d.png\" "
    "highlight=\"/w/TEMP/button_highlighted%02d.png\" select=\"/w/TEMP/button_selected%02d.png\" "
    "transparent=\"000000\" force=\"yes\">";
const std::string kTail = "</spu></stream></subpictures>";

std::string Head(int page) {
  std::string head = kHead;
  std::string number = (page < 10 ? "0" : "") + std::to_string(page);
  for (size_t at; (at = head.find("%02d")) != std::string::npos;) head.replace(at, 4, number);
  return head;
}

// Title button at position t with the fixture's caption rectangle for slot t (top 170 + t,
// bottom 200 + t), widened outwards to even lines.
std::string Button(int t, const std::string& navigation) {
  return "<button name=\"" + std::to_string(t - 1) + "\" x0=\"" + std::to_string(10 * t + 1) +
         "\" y0=\"" + std::to_string((170 + t) & ~1) + "\" x1=\"" + std::to_string(10 * t + 151) +
         "\" y1=\"" + std::to_string((201 + t) & ~1) + "\"" + navigation;
}

TEST(SpumuxScript, FirstPageOfThree) {
  test::MenuFixture menu;
  menu.Build(13);
  std::string expected = Head(1) + Button(1, " right=\"1\"/>") +
                         Button(2, " left=\"0\" right=\"2\"/>") +
                         Button(3, " left=\"1\" right=\"3\"/>") +
                         Button(4, " left=\"2\" right=\"4\"/>") +
                         Button(5, " left=\"3\" right=\"5\"/>") +
                         Button(6, " left=\"4\" right=\"n\"/>") +
                         "<button name=\"n\" x0=\"500\" y0=\"480\" x1=\"680\" y1=\"536\" left=\"5\"/>" +
                         kTail;
  EXPECT_EQ(SpumuxScriptWriter::Compose(menu.model.Page(0), "/w/TEMP/", TvStandard::Pal), expected);
}

TEST(SpumuxScript, MiddleAndLastPages) {
  test::MenuFixture menu;
  menu.Build(13);
  EXPECT_EQ(SpumuxScriptWriter::Compose(menu.model.Page(1), "/w/TEMP/", TvStandard::Pal),
            Head(2) + Button(1, " right=\"1\"/>") + Button(2, " left=\"0\" right=\"2\"/>") +
                Button(3, " left=\"1\" right=\"3\"/>") + Button(4, " left=\"2\" right=\"4\"/>") +
                Button(5, " left=\"3\" right=\"5\"/>") + Button(6, " left=\"4\" right=\"p\"/>") +
                "<button name=\"p\" x0=\"80\" y0=\"480\" x1=\"220\" y1=\"536\" right=\"n\" "
                "left=\"5\"/><button name=\"n\" x0=\"500\" y0=\"480\" x1=\"680\" y1=\"536\" "
                "left=\"p\"/>" +
                kTail);

  EXPECT_EQ(SpumuxScriptWriter::Compose(menu.model.Page(2), "/w/TEMP/", TvStandard::Pal),
            Head(3) + Button(1, " right=\"p\"/>") +
                "<button name=\"p\" x0=\"80\" y0=\"480\" x1=\"220\" y1=\"536\" left=\"0\"/>" +
                kTail);
}

TEST(SpumuxScript, SinglePages) {
  test::MenuFixture one;
  one.Build(1);
  EXPECT_EQ(SpumuxScriptWriter::Compose(one.model.Page(0), "/w/TEMP/", TvStandard::Pal),
            Head(1) + Button(1, " right=\"1\"/>") + kTail);
  test::MenuFixture three;
  three.Build(3);
  EXPECT_EQ(SpumuxScriptWriter::Compose(three.model.Page(0), "/w/TEMP/", TvStandard::Pal),
            Head(1) + Button(1, " right=\"1\"/>") + Button(2, " left=\"0\" right=\"2\"/>") +
                Button(3, " left=\"1\"/>") + kTail);
}

TEST(SpumuxScript, NtscNavigationAndEscapedFolder) {
  test::MenuFixture menu;
  menu.Build(8, true);
  std::string script = SpumuxScriptWriter::Compose(menu.model.Page(1), "/a&b <\"c\">/TEMP/", TvStandard::Ntsc);
  EXPECT_NE(script.find("<button name=\"p\" x0=\"80\" y0=\"400\" x1=\"220\" y1=\"446\" left=\"1\"/>"),
            std::string::npos);
  EXPECT_NE(script.find("image=\"/a&amp;b &lt;&quot;c&quot;&gt;/TEMP/button_normal02.png\""),
            std::string::npos);
  // Title rectangles arrive scaled by the model: slot 1 caption top 171 -> 142, bottom
  // 167 -> 168 on the next even line.
  EXPECT_NE(script.find("<button name=\"0\" x0=\"11\" y0=\"142\" x1=\"161\" y1=\"168\""),
            std::string::npos);
  std::string first = SpumuxScriptWriter::Compose(menu.model.Page(0), "/w/", TvStandard::Ntsc);
  EXPECT_NE(first.find("<button name=\"n\" x0=\"500\" y0=\"400\" x1=\"680\" y1=\"446\" left=\"5\"/>"),
            std::string::npos);
}

TEST(SpumuxScript, WritesTheNumberedFileWithoutLineEnd) {
  test::MenuFixture menu;
  menu.Build(13);
  const std::string folder = menu.temp.Path() + "/";
  ASSERT_TRUE(SpumuxScriptWriter::Write(menu.model.Page(2), folder, TvStandard::Pal));
  std::string written = test::ReadText(folder + "menu_mpg_spumux03.xml");
  EXPECT_EQ(written, SpumuxScriptWriter::Compose(menu.model.Page(2), folder, TvStandard::Pal));
  EXPECT_EQ(written.find('\n'), std::string::npos);
}

TEST(SpumuxScript, AnyOverlayThroughTheSameWriter) {
  SpumuxButton first{"b0", 10, 20, 110, 81, {{"right", "b1"}, {"down", "b1"}}};
  SpumuxButton second{"b1", 200, 20, 300, 81, {{"left", "b0"}, {"up", "b0"}}};
  EXPECT_EQ(SpumuxScriptWriter::ComposeButtons({"/f & g/n.png", "/f & g/h.png", "/f & g/s.png"}, {first, second}),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?><subpictures><stream><spu start=\"0:0.5\" "
            "image=\"/f &amp; g/n.png\" highlight=\"/f &amp; g/h.png\" select=\"/f &amp; g/s.png\" "
            "transparent=\"000000\" force=\"yes\">"
            "<button name=\"b0\" x0=\"10\" y0=\"20\" x1=\"110\" y1=\"81\" right=\"b1\" down=\"b1\"/>"
            "<button name=\"b1\" x0=\"200\" y0=\"20\" x1=\"300\" y1=\"81\" left=\"b0\" up=\"b0\"/>"
            "</spu></stream></subpictures>");
}

}  // namespace
}  // namespace vantrel
