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
  std::string error;
  std::unique_ptr<vantrel::ImageBuilder> work;

  // The run names its video standard in the environment, as for the authoring tools.
  vantrel::ImageBuilder& Builder() {
    if (!work) {
      const char* format = std::getenv("VIDEO_FORMAT");
      const bool ntsc = format && std::strcmp(format, "NTSC") == 0;
      work = std::make_unique<vantrel::ImageBuilder>(
          input, workFolder, ntsc, [this](float percent, int step, int steps) {
            if (progress) progress(context, percent, step, steps);
          });
    }
    return *work;
  }
};

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
  if (!builder || !builder->loaded || builder->workFolder.empty()) return false;
  const bool ok = builder->Builder().CreateMenuImages();
  builder->error = ok ? "" : builder->Builder().Error();
  return ok;
}

bool DVDImageBuild_BuildDVD(DVDImageBuildHandle builder) {
  if (!builder || !builder->loaded || builder->workFolder.empty()) return false;
  const bool ok = builder->Builder().BuildDvd();
  builder->error = ok ? "" : builder->Builder().Error();
  return ok;
}

const char* DVDImageBuild_GetLastError(DVDImageBuildHandle builder) {
  return builder ? builder->error.c_str() : "";
}
}
