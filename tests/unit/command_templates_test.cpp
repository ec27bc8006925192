// SPDX-License-Identifier: GPL-3.0-or-later
// The four command lines and the escaping of the values put into them.
#include "authoring/command_templates.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(CommandTemplates, OrdinaryPathsGiveThePlainTemplates) {
  EXPECT_EQ(StillToVideoCommand("/w/TEMP/menu_background01.jpg", "/w/TEMP/menu01.m2v", false),
            "j2v -n 1 -I t -L 1 -f 25 -j '/w/TEMP/menu_background01.jpg' | encmpeg -f 8 -b 9000 "
            "-o '/w/TEMP/menu01.m2v' ");
  EXPECT_EQ(StillToVideoCommand("/i.jpg", "/o.m2v", true),
            "j2v -n 1 -I t -L 1 -f 29.97 -j '/i.jpg' | encmpeg -f 8 -b 9000 -o '/o.m2v'  "
            "--video-norm n --frame-rate 4");
  EXPECT_EQ(MultiplexCommand("/w/o.mpg", "/w/v.m2v", "/app/silence.mp2"),
            "mpx -f 8 -S 0 -o \"/w/o.mpg\" \"/w/v.m2v\" \"/app/silence.mp2\"");
  EXPECT_EQ(SpumuxCommand("/w/s.xml", "/w/in.mpg", "/w/out.mpg"),
            "spumux \"/w/s.xml\" <\"/w/in.mpg\"> \"/w/out.mpg\"");
  EXPECT_EQ(AuthorCommand("/w/DVD", "/w/TEMP/dvd.xml"), "ddas -o \"/w/DVD\" -x \"/w/TEMP/dvd.xml\"");
}

TEST(CommandTemplates, ValuesCannotLeaveTheirQuotes) {
  EXPECT_EQ(StillToVideoCommand("/m/a'; touch pwned; '.jpg", "/o", false),
            "j2v -n 1 -I t -L 1 -f 25 -j '/m/a'\\''; touch pwned; '\\''.jpg' | encmpeg -f 8 -b 9000 "
            "-o '/o' ");
  EXPECT_EQ(AuthorCommand("/d/\"$(touch pwned)\"", "/x/`id` \\ $HOME"),
            "ddas -o \"/d/\\\"\\$(touch pwned)\\\"\" -x \"/x/\\`id\\` \\\\ \\$HOME\"");
  // A value that names a variable is not expanded again.
  EXPECT_EQ(FillTemplate("a \"$X\" '$Y'", {{"X", "$Y"}, {"Y", "y"}}), "a \"\\$Y\" 'y'");
  EXPECT_EQ(FillTemplate("$UNKNOWN $X", {{"X", "v"}}), "$UNKNOWN v");
  EXPECT_EQ(ShellQuote("it's"), "'it'\\''s'");
}

}  // namespace
}  // namespace vantrel
