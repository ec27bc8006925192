// SPDX-License-Identifier: GPL-3.0-or-later
// Calls of the disc-writing library beyond its standard ones: what the program's front ends need
// to show the library's own windows and to report what a write or erase did.
#ifndef VANTREL_FOXBURNER_EXT_H
#define VANTREL_FOXBURNER_EXT_H

#include "platform/foxburner/foxburner.h"

#ifdef __cplusplus
extern "C" {
#endif

// An image-file recorder's device name is "LETTER: " FB_IMAGE_FILE_LABEL " (PATH)".
#define FB_IMAGE_FILE_LABEL "映像文件"

// The windows of BurnDialog and EraseDialog. A GUI installs its own; without one the
// library reports to the program's log. Every function is called on the calling thread of
// the dialog call, which stays inside the dialog call until the operation has ended.
typedef struct FoxBurnerWindowHost {
  void (*Open)(const char* title, void* user);
  void (*Progress)(float percent, void* user);
  // `error` is empty on success.
  void (*Close)(const char* error, void* user);
  void* user;
} FoxBurnerWindowHost;

// NULL restores the log's windows. The table is copied.
FOXBURNER_API void SetWindowHost(const FoxBurnerWindowHost* host);

// The SHA-256 (64 hex digits) of the image data last sent to a recorder, which the
// read-back check compared the written data with; empty until a write has sent its whole
// image (a cancelled or failed write leaves it empty).
FOXBURNER_API int32_t GetLastWriteDigest(char* buffer, int32_t size);

// 1 while the library is initialised (a front end may already hold it open), else 0.
FOXBURNER_API int32_t IsInitialized(void);

// A note on what the last erase did (for example that the medium needed nothing).
FOXBURNER_API int32_t GetLastNote(char* buffer, int32_t size);

#ifdef __cplusplus
}
#endif

#endif  // VANTREL_FOXBURNER_EXT_H
