// SPDX-License-Identifier: GPL-3.0-or-later
// Font names the program's texts ask for ("宋体", "SimSun", "Times New Roman", "arial")
// mapped to faces this machine has, so Chinese glyphs always find a font.
#pragma once

namespace vantrel::app {

// Adds the aliases to the process's fontconfig configuration; false when it refused them.
bool InstallFontAliases();

}  // namespace vantrel::app
