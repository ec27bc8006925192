// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/regrab.h"

#include <cstdio>

#include "base/app_folder.h"
#include "base/launch.h"
#include "base/paths.h"
#include "media/add_titles.h"
#include "base/text_format.h"
#include "media/bitmap_file.h"
#include "media/frame_grabber.h"

namespace vantrel {
namespace {

void RunRegistrations(bool unregister) {
  // The modules may not exist here: the lines are still started and their failure ignored.
  for (const char* module : {"Mpeg2Parser.ax", "Mpeg2Decoder.ax"})
    LaunchHidden(ModuleRegistrationCommand(module, unregister));
}

}  // namespace

std::string ModuleRegistrationCommand(const std::string& module, bool unregister) {
  return "regsvr32 " + DoubleQuotedShellWord(ApplicationFolder() + module) +
         (unregister ? " /s /u" : " /s");
}

bool RegrabThumbnail(ThumbnailOwner& owner, RegrabView& view, TitleRecord& title, int row,
                     ThumbnailImageList& images, const std::string& temporaryFolder) {
  std::string folder = JoinPath(temporaryFolder, "TEMP");
  MakeFolder(folder);
  std::string scratch = JoinPath(folder, ScratchBitmapName(row));
  ThumbnailGrabJob job{title.SourcePath, scratch, title.ThumbnailTime, &owner};
  RunRegistrations(false);
  unsigned char result = RunThumbnailGrab(job);
  RunRegistrations(true);
  if (result == 0) view.ShowDecoderNotice();
  owner.ScaleToThumbnail(scratch, 80, 60, scratch);
  DibImage picture;
  bool loaded = picture.ReadFile(scratch);
  std::remove(scratch.c_str());
  if (loaded) {
    title.ImageIndex = images.Replace(title.ImageIndex, picture.ToRgbImage());
    title.ThumbnailShownAt = title.ThumbnailTime;
  }
  view.SetListColumn3(row, title.DisplayTitle);
  return result != 0;
}

}  // namespace vantrel
