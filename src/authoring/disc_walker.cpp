// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/disc_walker.h"

#include <dvdnav/dvdnav.h>
#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>

#include <cstdarg>
#include <cstdio>

#include "base/log.h"
#include "base/translation.h"

namespace vantrel {
namespace {

// Reading stops after this many sectors without landing: a disc that loops forever
// without a menu or title to stop at.
constexpr int kSectorLimit = 1 << 20;

void Note(const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  LogDebug(std::string("dvdnav: ") + text);
}
void NavLog(void*, dvdnav_logger_level_t, const char* format, va_list args) { Note(format, args); }
void ReadLog(void*, dvd_logger_level_t, const char* format, va_list args) { Note(format, args); }

// The sector ranges of the video manager's menu program chains, page 1 first.
std::vector<std::pair<std::uint32_t, std::uint32_t>> MenuSectors(const std::string& folder) {
  std::vector<std::pair<std::uint32_t, std::uint32_t>> pages;
  static const dvd_logger_cb logger{ReadLog};
  dvd_reader_t* dvd = DVDOpen2(nullptr, &logger, folder.c_str());
  if (!dvd) return pages;
  if (ifo_handle_t* vmg = ifoOpen(dvd, 0)) {
    if (vmg->pgci_ut && vmg->pgci_ut->nr_of_lus > 0) {
      const pgcit_t* pgcit = vmg->pgci_ut->lu[0].pgcit;
      for (int i = 0; pgcit && i < pgcit->nr_of_pgci_srp; ++i) {
        const pgc_t* pgc = pgcit->pgci_srp[i].pgc;
        if (!pgc || pgc->nr_of_cells == 0 || !pgc->cell_playback) {
          pages.emplace_back(1u, 0u);  // a chain without pictures holds no sector
          continue;
        }
        const std::uint32_t first = pgc->cell_playback[0].first_sector;
        const std::uint32_t last = pgc->cell_playback[pgc->nr_of_cells - 1].last_sector;
        pages.emplace_back(first, last);
      }
    }
    ifoClose(vmg);
  }
  DVDClose(dvd);
  return pages;
}

}  // namespace

DiscWalker::~DiscWalker() {
  if (nav_) dvdnav_close(nav_);
}

bool DiscWalker::Open(const std::string& folder, std::string& why) {
  static const dvdnav_logger_cb logger{NavLog};
  if (dvdnav_open2(&nav_, nullptr, &logger, folder.c_str()) != DVDNAV_STATUS_OK) {
    nav_ = nullptr;
    why = Tr("无法打开光盘 ") + folder;
    return false;
  }
  dvdnav_set_readahead_flag(nav_, 0);
  dvdnav_set_PGC_positioning_flag(nav_, 1);
  pageSectors_ = MenuSectors(folder);
  return true;
}

int DiscWalker::PageOfSector(std::uint32_t sector) const {
  for (std::size_t i = 0; i < pageSectors_.size(); ++i)
    if (sector >= pageSectors_[i].first && sector <= pageSectors_[i].second) return int(i) + 1;
  return 0;
}

bool DiscWalker::NextEvent(int& event, std::string& why) {
  static thread_local std::uint8_t block[DVD_VIDEO_LB_LEN];
  int length = 0;
  if (dvdnav_get_next_block(nav_, block, &event, &length) != DVDNAV_STATUS_OK) {
    why = Tr("读取光盘失败: ") + std::string(dvdnav_err_to_string(nav_));
    return false;
  }
  if (event == DVDNAV_STILL_FRAME) {
    const auto* still = reinterpret_cast<const dvdnav_still_event_t*>(block);
    still_ = still->length == 0xff;
    if (!still_) dvdnav_still_skip(nav_);  // a timed still: a viewer would just wait
  } else if (event == DVDNAV_WAIT) {
    dvdnav_wait_skip(nav_);
  }
  return true;
}

DiscLanding DiscWalker::PlayOn() {
  DiscLanding landing;
  for (int sectors = 0; sectors < kSectorLimit; ++sectors) {
    int event = 0;
    if (!NextEvent(event, landing.problem)) return landing;
    switch (event) {
      case DVDNAV_BLOCK_OK:
        skipRepeatedCell_ = false;
        break;
      case DVDNAV_CELL_CHANGE:
        if (dvdnav_is_domain_vts(nav_) && !skipRepeatedCell_) {
          int32_t title = 0, part = 0;
          dvdnav_current_title_info(nav_, &title, &part);
          landing.where = NavigationTarget::Title(title, part);
          return landing;
        }
        break;
      case DVDNAV_NAV_PACKET:
      case DVDNAV_STILL_FRAME: {
        if (!dvdnav_is_domain_vmgm(nav_)) {
          if (still_) {  // held for ever inside a title: nothing more happens
            landing.problem = Tr("标题停在静止画面上");
            return landing;
          }
          break;
        }
        const pci_t* pci = dvdnav_get_current_nav_pci(nav_);
        if (pci->hli.hl_gi.btn_ns == 0 && !still_) break;  // the buttons may come later
        landing.where = NavigationTarget::Page(PageOfSector(pci->pci_gi.nv_pck_lbn));
        landing.buttons = pci->hli.hl_gi.btn_ns;
        int32_t button = 0;
        dvdnav_get_current_highlight(nav_, &button);
        landing.highlight = button;
        return landing;
      }
      case DVDNAV_STOP:
        landing.problem = Tr("光盘停止播放");
        return landing;
      default:
        break;
    }
  }
  landing.problem = Tr("播放没有停在菜单或标题上");
  return landing;
}

bool DiscWalker::Press(int button, std::string& why) {
  pci_t* pci = dvdnav_get_current_nav_pci(nav_);
  if (still_) dvdnav_still_skip(nav_);
  still_ = false;
  int32_t shown = 0;
  if (dvdnav_button_select(nav_, pci, button) != DVDNAV_STATUS_OK ||
      dvdnav_get_current_highlight(nav_, &shown) != DVDNAV_STATUS_OK || shown != button) {
    why = Tr("无法选中");
    return false;
  }
  if (dvdnav_button_activate(nav_, pci) != DVDNAV_STATUS_OK) {
    why = Tr("无法按下: ") + std::string(dvdnav_err_to_string(nav_));
    return false;
  }
  return true;
}

bool DiscWalker::PlayTitle(int title) {
  if (still_) dvdnav_still_skip(nav_);
  still_ = false;
  return dvdnav_title_play(nav_, title) == DVDNAV_STATUS_OK;
}

bool DiscWalker::SkipToTitleEnd(std::string& why) {
  // The position is known once the title's first navigation pack has been read.
  for (int sectors = 0; sectors < kSectorLimit; ++sectors) {
    int event = 0;
    if (!NextEvent(event, why)) return false;
    if (event != DVDNAV_NAV_PACKET) continue;
    uint32_t position = 0, length = 0;
    dvdnav_get_position(nav_, &position, &length);
    // The last navigation unit before the chain's last sectors holds its end.
    if (length > 16 && dvdnav_sector_search(nav_, int64_t(length) - 16, SEEK_SET) != DVDNAV_STATUS_OK) {
      why = Tr("无法跳到标题结尾: ") + std::string(dvdnav_err_to_string(nav_));
      return false;
    }
    skipRepeatedCell_ = true;
    return true;
  }
  why = Tr("标题没有导航包");
  return false;
}

}  // namespace vantrel
