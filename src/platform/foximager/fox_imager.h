// SPDX-License-Identifier: GPL-3.0-or-later
// The DVD image builder: the second way to build a disc when the authoring tool fails.
// It is described by an INI file (the menu background movie and every title with its
// button rectangle), makes a one-page menu of those buttons and builds VIDEO_TS in the
// output folder's DVD folder, every title brought to DVD-compliant MPEG-2 first.
// Plain C exports, called in this order: Create, LoadINI, SetOutputFolder,
// SetProgressCallback, CreateMenuImages, BuildDVD, Destory.
#pragma once

extern "C" {

typedef struct DvdImageBuilder* DVDImageBuildHandle;
// Progress of the current step in percent, the step's index and the number of steps.
typedef void (*DVDImageBuildProgress)(void* context, float percent, int step, int steps);

DVDImageBuildHandle DVDImageBuild_Create(void);
void DVDImageBuild_Destory(DVDImageBuildHandle builder);
// True when the INI names at least one title and every title's values are usable.
bool DVDImageBuild_LoadINI(DVDImageBuildHandle builder, const char* iniPath);
void DVDImageBuild_SetOutputFolder(DVDImageBuildHandle builder, const char* workFolder);
void DVDImageBuild_SetProgressCallback(DVDImageBuildHandle builder, DVDImageBuildProgress callback,
                                       void* context);
// True when the menu's button images and its sub-picture script were made.
bool DVDImageBuild_CreateMenuImages(DVDImageBuildHandle builder);
// True when VIDEO_TS was built in the work folder's DVD folder.
bool DVDImageBuild_BuildDVD(DVDImageBuildHandle builder);

// Beyond the builder's standard calls, for a host that runs several builds in one process:
// the video standard of the build ("NTSC" or "PAL"), given before CreateMenuImages (without
// it the builder reads VIDEO_FORMAT of the environment, as the authoring tools do), and why
// the last call failed ("" when none did). The text stays valid until the next call.
void DVDImageBuild_SetVideoFormat(DVDImageBuildHandle builder, const char* format);
const char* DVDImageBuild_GetLastError(DVDImageBuildHandle builder);
}
