// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foximager/fox_imager.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "platform/foximager/image_builder.h"
#include "platform/foximager/image_builder_ini.h"

struct DvdImageBuilder {
  vantrel::ImageBuilderInput input;
  bool loaded = false;
  std::string workFolder;
  DVDImageBuildProgress progress = nullptr;
  void* context = nullptr;
  std::string videoFormat;  // "" : the environment's VIDEO_FORMAT
  std::string error;
  std::unique_ptr<vantrel::ImageBuilder> work;

  // The host names the video standard, or the environment does, as for the authoring tools.
  vantrel::ImageBuilder& Builder() {
    if (!work) {
      const char* format = videoFormat.empty() ? std::getenv("VIDEO_FORMAT") : videoFormat.c_str();
      const vantrel::TvStandard standard = vantrel::StandardOfNtscFlag(format && std::strcmp(format, "NTSC") == 0);
      work = std::make_unique<vantrel::ImageBuilder>(
          input, workFolder, standard, [this](float percent, int step, int steps) {
            if (progress) progress(context, percent, step, steps);
          });
    }
    return *work;
  }
};

namespace {

bool Ready(DvdImageBuilder& builder) {
  if (!builder.loaded) builder.error = builder.error.empty() ? "no INI was loaded" : builder.error;
  else if (builder.workFolder.empty()) builder.error = "no output folder was given";
  return builder.loaded && !builder.workFolder.empty();
}

}  // namespace

extern "C" {

DVDImageBuildHandle DVDImageBuild_Create(void) { return new DvdImageBuilder; }

void DVDImageBuild_Destory(DVDImageBuildHandle builder) { delete builder; }

bool DVDImageBuild_LoadINI(DVDImageBuildHandle builder, const char* iniPath) {
  if (!builder || !iniPath) return false;
  builder->loaded = vantrel::ReadImageBuilderIni(iniPath, builder->input, builder->error);
  return builder->loaded;
}

void DVDImageBuild_SetOutputFolder(DVDImageBuildHandle builder, const char* workFolder) {
  if (builder && workFolder) builder->workFolder = workFolder;
}

void DVDImageBuild_SetProgressCallback(DVDImageBuildHandle builder, DVDImageBuildProgress callback,
                                       void* context) {
  if (!builder) return;
  builder->progress = callback;
  builder->context = context;
}

bool DVDImageBuild_CreateMenuImages(DVDImageBuildHandle builder) {
  if (!builder || !Ready(*builder)) return false;
  const bool made = builder->Builder().CreateMenuImages();
  builder->error = made ? "" : builder->Builder().Error();
  return made;
}

bool DVDImageBuild_BuildDVD(DVDImageBuildHandle builder) {
  if (!builder || !Ready(*builder)) return false;
  const bool built = builder->Builder().BuildDvd();
  builder->error = built ? "" : builder->Builder().Error();
  return built;
}

void DVDImageBuild_SetVideoFormat(DVDImageBuildHandle builder, const char* format) {
  if (builder && format) builder->videoFormat = format;
}

const char* DVDImageBuild_GetLastError(DVDImageBuildHandle builder) {
  return builder ? builder->error.c_str() : "";
}
}
