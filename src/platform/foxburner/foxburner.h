// SPDX-License-Identifier: GPL-3.0-or-later
// The disc-writing library: the C calls, records, result codes and callbacks the program
// writes discs and image files through. Every call but the callback setters returns 0 on
// success or an error code that GetText turns into a message.
#ifndef VANTREL_FOXBURNER_H
#define VANTREL_FOXBURNER_H

#include <stddef.h>
#include <stdint.h>

#define FOXBURNER_API __attribute__((visibility("default")))

#ifdef __cplusplus
extern "C" {
#endif

enum {
  FB_OK = 0,
  FB_ERR_NOT_INITIALIZED = 1,
  FB_ERR_BUSY = 2,
  FB_ERR_BAD_ARGUMENT = 3,
  FB_ERR_NO_DEVICE = 4,
  FB_ERR_DEVICE_UNUSABLE = 5,
  FB_ERR_DEVICE_IN_USE = 6,
  FB_ERR_NO_PROJECT = 7,
  FB_ERR_PROJECT_KIND = 8,
  FB_ERR_NOT_DVD_VIDEO = 9,
  FB_ERR_NOT_PREPARED = 10,
  FB_ERR_TOO_BIG = 11,
  FB_ERR_IMAGE_TOOL = 12,
  FB_ERR_MEDIUM_NOT_WRITABLE = 13,
  FB_ERR_WRITE_FAILED = 14,
  FB_ERR_VERIFY_FAILED = 15,
  FB_ERR_CANCELLED = 16,
  FB_ERR_ERASE_FAILED = 17,
  FB_ERR_NOT_ERASABLE = 18,
  FB_ERR_NO_MEDIUM = 23,
};

#define FB_NDEF_TEXT "BS_NDEF"
#define FB_DEVICE_COUNT 26
#define FB_DEVICE_NAME_SIZE 50
#define FB_TEXT_SIZE 2048
#define FB_PROJECT_DVD_VIDEO 5

#pragma pack(push, 1)

// Facts of the loaded medium.
typedef struct MediumInfo {
  char Type[28];     // "DVD+RW", "DVD-R", "CD-R", ...
  int32_t State;     // 0 blank, 1 holds data
  double Reserved32;
  double Reserved40;
  double Capacity;   // bytes that can be written
  int32_t Reserved56;
  int32_t Reserved60;
  int32_t Reserved64;
  int16_t Reserved68;
  uint8_t Padding70[2];
} MediumInfo;

// Options of the next write. Fields named Reserved keep the library's own values.
typedef struct BurnOptions {
  char VolumeLabel[128];
  int32_t WriteSpeed;        // 0 the fastest the drive offers
  uint8_t Reserved132;
  uint8_t Reserved133;
  char Reserved134[260];
  uint8_t CloseDisc;         // 1: no further session can be added
  uint8_t TestWrite;         // 1: the laser stays off (a simulated write)
  uint8_t Reserved396;
  uint8_t Reserved397;
  uint8_t Padding398[2];
  int32_t WriteMode;
  uint8_t UnderrunProtection;
  uint8_t Verify;
  uint8_t Padding406[2];
  int32_t Copies;
} BurnOptions;

// One folder of the disc project.
typedef struct DirRecord {
  char Source[260];          // folder on disk
  char Target[260];          // folder inside the disc image
  char Mask[12];
  uint32_t AttributeMask;
  uint8_t Flag;
  uint8_t Padding537[3];
  int32_t Value;
} DirRecord;

#pragma pack(pop)

#ifdef __cplusplus
static_assert(sizeof(MediumInfo) == 72, "MediumInfo layout");
static_assert(offsetof(MediumInfo, State) == 28, "MediumInfo layout");
static_assert(offsetof(MediumInfo, Capacity) == 48, "MediumInfo layout");
static_assert(offsetof(MediumInfo, Reserved68) == 68, "MediumInfo layout");
static_assert(sizeof(BurnOptions) == 412, "BurnOptions layout");
static_assert(offsetof(BurnOptions, WriteSpeed) == 128, "BurnOptions layout");
static_assert(offsetof(BurnOptions, Reserved134) == 134, "BurnOptions layout");
static_assert(offsetof(BurnOptions, CloseDisc) == 394, "BurnOptions layout");
static_assert(offsetof(BurnOptions, WriteMode) == 400, "BurnOptions layout");
static_assert(offsetof(BurnOptions, UnderrunProtection) == 404, "BurnOptions layout");
static_assert(offsetof(BurnOptions, Verify) == 405, "BurnOptions layout");
static_assert(offsetof(BurnOptions, Copies) == 408, "BurnOptions layout");
static_assert(sizeof(DirRecord) == 544, "DirRecord layout");
static_assert(offsetof(DirRecord, Target) == 260, "DirRecord layout");
static_assert(offsetof(DirRecord, Mask) == 520, "DirRecord layout");
static_assert(offsetof(DirRecord, AttributeMask) == 532, "DirRecord layout");
static_assert(offsetof(DirRecord, Flag) == 536, "DirRecord layout");
static_assert(offsetof(DirRecord, Value) == 540, "DirRecord layout");
#else
_Static_assert(sizeof(MediumInfo) == 72, "MediumInfo layout");
_Static_assert(sizeof(BurnOptions) == 412, "BurnOptions layout");
_Static_assert(sizeof(DirRecord) == 544, "DirRecord layout");
#endif

// Done callbacks get an empty text on success, else the reason.
typedef void (*BurnDoneCallback)(const char* error, void* user);
typedef void (*EraseDoneCallback)(const char* error, void* user);
// Percentage of the write; then the sectors written, the sectors in all, the fill of the
// drive's buffer in percent, the fill of the stream buffer in percent, and two zeros.
typedef void (*ProcessCallback)(float percent, int32_t sector, int32_t sectors,
                                int32_t driveBufferPercent, int32_t streamBufferPercent,
                                int32_t reserved1, int32_t reserved2, void* user);
typedef void (*FinalizeCallback)(void* user);
typedef void (*AddFileCallback)(const char* path, void* user);

// `startup` lists the image files offered as recorders, separated by ";" (may be empty).
FOXBURNER_API int32_t Initialize(const char* startup, int32_t flag);
FOXBURNER_API void DeInitialize(void);
FOXBURNER_API int32_t SetASPI(int32_t flag);
FOXBURNER_API int32_t GetText(int32_t code, char* buffer, int32_t* size);

FOXBURNER_API int32_t GetDevices(char devices[FB_DEVICE_COUNT][FB_DEVICE_NAME_SIZE],
                                 int32_t* count, int32_t flag);
FOXBURNER_API int32_t SetDevice(int32_t letter);
FOXBURNER_API int32_t GetMediumInformation(MediumInfo* info);

FOXBURNER_API int32_t ClearAll(void);
FOXBURNER_API int32_t DeleteProject(void);
FOXBURNER_API int32_t CreateProject(int32_t kind);
FOXBURNER_API int32_t AddDir(DirRecord record);
FOXBURNER_API int32_t GetOptions(BurnOptions* options);
FOXBURNER_API int32_t SetOptions(BurnOptions options);
FOXBURNER_API int32_t Prepare(void);
FOXBURNER_API int32_t Burn(void);
FOXBURNER_API int32_t Abort(void);
FOXBURNER_API int32_t Erase(int32_t quick);

FOXBURNER_API int32_t BurnDialog(int32_t flag1, int32_t flag2, const char* title, const char* text);
FOXBURNER_API int32_t EraseDialog(const char* title);

FOXBURNER_API void SetBurnDoneEventCallback(BurnDoneCallback callback, void* user);
FOXBURNER_API void SetEraseDoneEventCallback(EraseDoneCallback callback, void* user);
FOXBURNER_API void SetProcessEventCallback(ProcessCallback callback, void* user);
FOXBURNER_API void SetFinalizeEventCallback(FinalizeCallback callback, void* user);
FOXBURNER_API void SetAddFileEventCallback(AddFileCallback callback, void* user);

#ifdef __cplusplus
}
#endif

#endif  // VANTREL_FOXBURNER_H
