// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/navigation_proof.h"

#include <deque>
#include <set>

#include "authoring/disc_walker.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {
namespace {

using Kind = NavigationTarget::Kind;

std::string Fault(const std::string& text) { return Format(Tr("菜单检查失败: %s"), text.c_str()); }

std::string Where(const DiscLanding& landing) {
  return landing.where.kind == Kind::kNothing ? landing.problem : DescribeTarget(landing.where);
}

class Proof {
 public:
  Proof(std::string folder, const NavigationDesign& design) : folder_(std::move(folder)), design_(design) {}

  NavigationProof Run() {
    NavigationProof proof;
    proof.passed = CheckStart() && CheckPages(proof.buttons) && CheckRemainingTitleEnds();
    proof.failure = failure_;
    return proof;
  }

 private:
  bool Fail(const std::string& text) {
    failure_ = Fault(text);
    return false;
  }

  // A fresh disc, played until it first lands.
  bool Start(DiscWalker& walker, DiscLanding& landing) {
    std::string why;
    if (!walker.Open(folder_, why)) return Fail(why);
    landing = walker.PlayOn();
    return true;
  }

  bool CheckStart() {
    DiscWalker walker;
    DiscLanding landing;
    if (!Start(walker, landing)) return false;
    if (landing.where != design_.start)
      return Fail(Format(Tr("光盘放入后到了%s，设计为%s"), Where(landing).c_str(), DescribeTarget(design_.start).c_str()));
    if (int(design_.pages.size()) != walker.MenuPages() && !design_.pages.empty())
      return Fail(Format(Tr("光盘有 %d 个菜单页，设计为 %d 个"), walker.MenuPages(), int(design_.pages.size())));
    if (landing.where.kind == Kind::kMenuPage && landing.highlight != 1)
      return Fail(Format(Tr("菜单第 1 页的默认按钮是 %d，应为第 1 个"), landing.highlight));
    return true;
  }

  // Replays `path` (buttons pressed from the start) and lands on the page it leads to.
  bool Reach(DiscWalker& walker, const std::vector<int>& path, int page, DiscLanding& landing) {
    if (!Start(walker, landing)) return false;
    for (int button : path) {
      std::string why;
      if (!walker.Press(button, why)) return Fail(Format(Tr("无法再次按下按钮 %d: %s"), button, why.c_str()));
      landing = walker.PlayOn();
    }
    if (landing.where != NavigationTarget::Page(page))
      return Fail(Format(Tr("无法再次到达菜单第 %d 页"), page));
    return true;
  }

  // Every page reached from the start through its page buttons, every button pressed.
  bool CheckPages(int& proven) {
    if (design_.pages.empty()) return true;
    std::deque<std::pair<int, std::vector<int>>> queue{{1, {}}};
    std::set<int> reached{1};
    while (!queue.empty()) {
      auto [page, path] = queue.front();
      queue.pop_front();
      const auto& buttons = design_.pages[std::size_t(page - 1)];
      for (std::size_t b = 0; b < buttons.size(); ++b) {
        const int number = int(b) + 1;
        DiscWalker walker;
        DiscLanding landing;
        if (!Reach(walker, path, page, landing)) return false;
        if (landing.buttons != int(buttons.size()))
          return Fail(Format(Tr("菜单第 %d 页有 %d 个按钮，设计为 %d 个"), page, landing.buttons, int(buttons.size())));
        const std::string name = Format(Tr("菜单第 %d 页的按钮 %d (%s)"), page, number, buttons[b].label.c_str());
        std::string why;
        if (!walker.Press(number, why)) return Fail(name + why);
        landing = walker.PlayOn();
        if (landing.where != buttons[b].target)
          return Fail(Format(Tr("%s 通向%s，设计为%s"), name.c_str(), Where(landing).c_str(), DescribeTarget(buttons[b].target).c_str()));
        ++proven;
        if (landing.where.kind == Kind::kMenuPage && reached.insert(landing.where.number).second) {
          auto next = path;
          next.push_back(number);
          queue.emplace_back(landing.where.number, std::move(next));
        }
        if (!buttons[b].sequel.empty()) {
          if (!CheckSequel(walker, name, buttons[b].target, buttons[b].sequel)) return false;
        } else if (landing.where.kind == Kind::kTitle && !CheckTitleEnd(walker, landing.where.number)) {
          return false;
        }
      }
    }
    for (int page = 1; page <= int(design_.pages.size()); ++page)
      if (!reached.count(page)) return Fail(Format(Tr("菜单第 %d 页无法到达"), page));
    return true;
  }

  // Plays on from the title a button started, title end after title end.
  bool CheckSequel(DiscWalker& walker, const std::string& button, NavigationTarget playing,
                   const std::vector<NavigationTarget>& sequel) {
    for (std::size_t i = 0; i < sequel.size(); ++i) {
      std::string why;
      if (!walker.SkipToTitleEnd(why)) return Fail(button + ": " + why);
      const DiscLanding landing = walker.PlayOn();
      if (landing.where != sequel[i])
        return Fail(Format(Tr("%s 播放中标题 %d 结束后到了%s，设计为%s"), button.c_str(), playing.number, Where(landing).c_str(),
                           DescribeTarget(sequel[i]).c_str()));
      if (landing.where.kind != Kind::kTitle) break;
      playing = landing.where;
    }
    return true;
  }

  // Follows the end of the title the walker is in; each title's end is followed once.
  bool CheckTitleEnd(DiscWalker& walker, int title) {
    if (title < 1 || title > int(design_.titleEnds.size()) || !ended_.insert(title).second) return true;
    std::string why;
    if (!walker.SkipToTitleEnd(why)) return Fail(Format(Tr("标题 %d: %s"), title, why.c_str()));
    const DiscLanding landing = walker.PlayOn();
    const NavigationTarget& designed = design_.titleEnds[std::size_t(title - 1)];
    if (landing.where != designed)
      return Fail(Format(Tr("标题 %d 结束后到了%s，设计为%s"), title, Where(landing).c_str(), DescribeTarget(designed).c_str()));
    return true;
  }

  // Titles no button leads to (a disc without menus) are started directly.
  bool CheckRemainingTitleEnds() {
    for (int title = 1; title <= int(design_.titleEnds.size()); ++title) {
      if (ended_.count(title)) continue;
      DiscWalker walker;
      DiscLanding landing;
      if (!Start(walker, landing)) return false;
      if (!walker.PlayTitle(title)) return Fail(Format(Tr("无法播放标题 %d"), title));
      landing = walker.PlayOn();
      if (landing.where != NavigationTarget::Title(title))
        return Fail(Format(Tr("播放标题 %d 时到了%s"), title, Where(landing).c_str()));
      if (!CheckTitleEnd(walker, title)) return false;
    }
    return true;
  }

  std::string folder_;
  const NavigationDesign& design_;
  std::set<int> ended_;
  std::string failure_;
};

}  // namespace

NavigationProof ProveNavigation(const std::string& dvdFolder, const NavigationDesign& design) {
  return Proof(dvdFolder, design).Run();
}

std::string NavigationProofText(int buttons) { return Format(Tr("菜单检查: %d 个按钮正确"), buttons); }

std::string NavigationProofEnglishText(int buttons) {
  return Format("Menu check: %d buttons correct", buttons);
}

}  // namespace vantrel
