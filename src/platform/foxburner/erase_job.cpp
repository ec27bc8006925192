// SPDX-License-Identifier: GPL-3.0-or-later
// Erase: blanking what can be blanked, formatting what needs it, emptying an image file.
#include <libburn/libburn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/text_format.h"
#include "platform/foxburner/burn_messages.h"
#include "platform/foxburner/library.h"
#include "platform/foxburner/result_text.h"

namespace vantrel::foxburner {

using namespace burn;
namespace {

// Waits until the drive has finished a blank or format run; true when it went well.
bool WaitIdle(burn_drive* drive, MessageDrain& messages) {
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  while (burn_drive_get_status(drive, nullptr) != BURN_DRIVE_IDLE) {
    messages.Drain();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
  messages.Drain();
  return burn_drive_wrote_well(drive) == 1;
}

}  // namespace

int Library::StartErase(bool quick) {
  if (!CurrentRecorder()) return Fail(FB_ERR_NO_DEVICE, "");
  if (!StartJob([this, quick] { EraseJob(quick); })) return Fail(FB_ERR_NOT_INITIALIZED, "");
  return FB_OK;
}

void Library::EraseJob(bool quick) {
  std::string note, detail;
  int code = FB_OK;
  const Recorder& recorder = *CurrentRecorder();
  if (recorder.IsImageFile()) {
    struct stat st {};
    if (stat(recorder.imagePath.c_str(), &st) != 0) {
      note = "the image file does not exist: nothing to erase";
    } else if (!S_ISREG(st.st_mode)) {
      code = FB_ERR_NOT_ERASABLE;
      detail = recorder.imagePath + " is not a regular file";
    } else if (const int locked = LockImage(recorder.imagePath, false, detail); locked != FB_OK) {
      code = locked;
    } else if (ftruncate(imageLockFd_, 0) != 0) {
      code = FB_ERR_ERASE_FAILED;
      detail = std::strerror(errno);
    } else {
      note = "the image file was emptied";
    }
  } else {
    burn_drive* drive = DriveOf(driveInfo_);
    MessageDrain messages;
    int profile = 0;
    char name[80] = "";
    burn_disc_get_profile(drive, &profile, name);
    enum burn_disc_status status = burn_disc_get_status(drive);
    if (status == BURN_DISC_EMPTY || profile == 0) {
      code = FB_ERR_NO_MEDIUM;
    } else if (profile == 0x14 || profile == 0x0a) {
      // Sequential DVD-RW and CD-RW are blanked.
      if (status == BURN_DISC_BLANK) {
        note = "the medium is already blank";
      } else if (status != BURN_DISC_FULL && status != BURN_DISC_APPENDABLE) {
        code = FB_ERR_NOT_ERASABLE;
        detail = "the medium state cannot be read";
      } else {
        burn_disc_erase(drive, quick ? 1 : 0);
        if (WaitIdle(drive, messages)) {
          note = quick ? "the medium was blanked quickly" : "the medium was blanked in full";
        } else {
          code = FB_ERR_ERASE_FAILED;
          detail = messages.Worst();
        }
      }
    } else if (profile == 0x13 || profile == 0x1a || profile == 0x12) {
      // Overwritable media are written over in place; only an unformatted one is formatted.
      int formatStatus = 0, formats = 0;
      off_t size = 0;
      unsigned blockLength = 0;
      if (burn_disc_get_formats(drive, &formatStatus, &size, &blockLength, &formats) > 0 &&
          formatStatus == BURN_FORMAT_IS_UNFORMATTED) {
        burn_disc_format(drive, 0, 0);
        if (WaitIdle(drive, messages)) {
          note = Format("the %s was formatted", name);
        } else {
          code = FB_ERR_ERASE_FAILED;
          detail = messages.Worst();
        }
      } else {
        note = Format("the %s needs no erasing: it is written over in place", name);
      }
    } else {
      code = FB_ERR_NOT_ERASABLE;
      detail = name;
    }
    burn_drive_re_assess(drive, 0);
    messages.Drain();
  }
  {
    std::lock_guard lock(mutex_);
    lastNote_ = note;
  }
  if (code != FB_OK) Fail(code, detail);
  FinishErase(code, code == FB_OK ? "" : ResultText(code) + (detail.empty() ? "" : ": " + detail));
}

}  // namespace vantrel::foxburner
