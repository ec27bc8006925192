// SPDX-License-Identifier: GPL-3.0-or-later
// A menu model over a small test layout: slot i (1-based) has its caption at
// (10i + 1, 170 + i), 150 x 30, and its thumbnail at (10i, 100), 80 x 60.
#pragma once

#include <memory>
#include <string>

#include "base/paths.h"
#include "menu/menu_model.h"
#include "project/title_list.h"
#include "support/temp_folder.h"

namespace vantrel::test {

class MenuFixture {
 public:
  explicit MenuFixture(int slots = 6) {
    std::string ini = "[0]\nsize=" + std::to_string(slots) + "\nmicx=80\nmicy=60\nmtcx=150\nmtcy=30\n";
    for (int i = 1; i <= slots; ++i) {
      std::string n = std::to_string(i);
      ini += "mix" + n + "=" + std::to_string(10 * i) + "\nmiy" + n + "=100\nmtx" + n + "=" +
             std::to_string(10 * i + 1) + "\nmty" + n + "=" + std::to_string(170 + i) + "\n";
    }
    WriteText(temp / "layout.ini", ini);
    model.SetLayoutIniPath(temp / "layout.ini");
  }
  // Adds titles with the given source paths and lays them out.
  void Build(const std::vector<std::string>& sources, bool ntsc = false) {
    for (const auto& source : sources) {
      auto r = std::make_unique<TitleRecord>();
      r->SourcePath = source;
      r->DisplayTitle = StemOf(source);
      titles.AppendTitle(std::move(r), titles.Count());
    }
    model.Rebuild(titles, 0, ntsc);
  }
  void Build(int count, bool ntsc = false) {
    std::vector<std::string> sources;
    for (int i = 1; i <= count; ++i) sources.push_back("/v/t" + std::to_string(i) + ".mpg");
    Build(sources, ntsc);
  }

  TempFolder temp;
  TitleList titles;
  MenuModel model;
};

}  // namespace vantrel::test
