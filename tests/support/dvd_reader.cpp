// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/dvd_reader.h"

#include <dvdread/dvd_reader.h>
#include <dvdread/ifo_read.h>
#include <dvdread/nav_read.h>
#include <dvdread/nav_types.h>

#include <vector>

namespace vantrel::test {
namespace {

int Bcd(uint8_t value) { return (value >> 4) * 10 + (value & 0x0F); }

double Seconds(const dvd_time_t& t) {
  const int rateBits = (t.frame_u & 0xC0) >> 6;
  const double fps = rateBits == 3 ? 29.97 : 25.0;
  return Bcd(t.hour) * 3600.0 + Bcd(t.minute) * 60.0 + Bcd(t.second) + Bcd(t.frame_u & 0x3F) / fps;
}

int ButtonsAt(dvd_reader_t* dvd, uint32_t sector) {
  dvd_file_t* vob = DVDOpenFile(dvd, 0, DVD_READ_MENU_VOBS);
  if (!vob) return -1;
  std::vector<unsigned char> block(DVD_VIDEO_LB_LEN);
  int buttons = -1;
  if (DVDReadBlocks(vob, int(sector), 1, block.data()) == 1 && block[0x26] == 0 &&
      block[0x27] == 0 && block[0x28] == 1 && block[0x29] == 0xBF) {
    pci_t pci;
    navRead_PCI(&pci, block.data() + 0x2d);
    buttons = pci.hli.hl_gi.btn_ns;
  }
  DVDCloseFile(vob);
  return buttons;
}

// BT.601 studio range, as players turn the table's entries into colours.
std::uint32_t RgbOf(std::uint32_t ycrcb) {
  const double y = double(ycrcb >> 16 & 0xFF) - 16, cr = double(ycrcb >> 8 & 0xFF) - 128,
               cb = double(ycrcb & 0xFF) - 128;
  auto clamp = [](double v) { return std::uint32_t(v < 0 ? 0 : v > 255 ? 255 : v + 0.5); };
  return clamp(1.164 * y + 1.596 * cr) << 16 | clamp(1.164 * y - 0.813 * cr - 0.391 * cb) << 8 |
         clamp(1.164 * y + 2.018 * cb);
}

}  // namespace

DvdFacts ReadDvd(const std::string& folder) {
  DvdFacts facts;
  dvd_reader_t* dvd = DVDOpen(folder.c_str());
  if (!dvd) return facts;
  ifo_handle_t* vmg = ifoOpen(dvd, 0);
  if (!vmg) {
    DVDClose(dvd);
    return facts;
  }
  facts.opened = true;
  if (vmg->pgci_ut && vmg->pgci_ut->nr_of_lus > 0) {
    pgcit_t* menus = vmg->pgci_ut->lu[0].pgcit;
    for (int i = 0; menus && i < menus->nr_of_pgci_srp; ++i) {
      pgc_t* pgc = menus->pgci_srp[i].pgc;
      DvdMenuFacts menu;
      menu.seconds = Seconds(pgc->playback_time);
      if (pgc->nr_of_cells > 0) menu.buttons = ButtonsAt(dvd, pgc->cell_playback[0].first_sector);
      facts.menus.push_back(menu);
    }
  }
  for (int t = 0; vmg->tt_srpt && t < vmg->tt_srpt->nr_of_srpts; ++t) {
    const title_info_t& info = vmg->tt_srpt->title[t];
    DvdTitleFacts title;
    title.titleSet = info.title_set_nr;
    title.chapters = info.nr_of_ptts;
    if (ifo_handle_t* vts = ifoOpen(dvd, info.title_set_nr)) {
      const ttu_t& ttu = vts->vts_ptt_srpt->title[info.vts_ttn - 1];
      if (ttu.nr_of_ptts > 0) {
        int pgcn = ttu.ptt[0].pgcn;
        const pgc_t* pgc = vts->vts_pgcit->pgci_srp[pgcn - 1].pgc;
        title.seconds = Seconds(pgc->playback_time);
        for (std::uint32_t entry : pgc->palette) {
          title.paletteYcrcb.push_back(entry & 0xFFFFFF);
          title.paletteRgb.push_back(RgbOf(entry & 0xFFFFFF));
        }
      }
      ifoClose(vts);
    }
    facts.titles.push_back(title);
  }
  ifoClose(vmg);
  DVDClose(dvd);
  return facts;
}

}  // namespace vantrel::test
