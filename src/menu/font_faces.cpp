// SPDX-License-Identifier: GPL-3.0-or-later
#include "menu/font_faces.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstring>

namespace vantrel {

std::vector<std::string> InstalledScalableFaces() {
  std::vector<std::string> faces;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, nullptr);
  FcFontSet* set = FcFontList(nullptr, pattern, objects);
  if (set) {
    for (int i = 0; i < set->nfont; ++i) {
      FcChar8* format = nullptr;
      FcChar8* family = nullptr;
      if (FcPatternGetString(set->fonts[i], FC_FONTFORMAT, 0, &format) != FcResultMatch) continue;
      // Type 1 and bitmap faces are left out, as the lists always offered outline fonts only.
      const char* f = reinterpret_cast<const char*>(format);
      if (std::strcmp(f, "TrueType") != 0 && std::strcmp(f, "CFF") != 0) continue;
      if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch) continue;
      faces.emplace_back(reinterpret_cast<const char*>(family));
    }
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  std::sort(faces.begin(), faces.end());
  faces.erase(std::unique(faces.begin(), faces.end()), faces.end());
  return faces;
}

}  // namespace vantrel
