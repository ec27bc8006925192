// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foxburner/result_text.h"

#include "base/text_format.h"
#include "platform/foxburner/foxburner.h"

namespace vantrel::foxburner {

std::string ResultText(int code) {
  switch (code) {
    case FB_OK: return "The operation completed successfully";
    case FB_ERR_NOT_INITIALIZED: return "The library is not initialized";
    case FB_ERR_BUSY: return "The recorder is busy with a write or an erase";
    case FB_ERR_BAD_ARGUMENT: return "Invalid argument";
    case FB_ERR_NO_DEVICE: return "No recorder is selected";
    case FB_ERR_DEVICE_UNUSABLE: return "The recorder cannot be used";
    case FB_ERR_DEVICE_IN_USE: return "The recorder is in use by another program";
    case FB_ERR_NO_PROJECT: return "No disc project has been created";
    case FB_ERR_PROJECT_KIND: return "This kind of disc project is not supported";
    case FB_ERR_NOT_DVD_VIDEO: return "The folder does not hold a DVD-Video VIDEO_TS folder";
    case FB_ERR_NOT_PREPARED: return "The disc project has not been prepared";
    case FB_ERR_TOO_BIG: return "The disc project does not fit on the medium";
    case FB_ERR_IMAGE_TOOL: return "The disc image could not be built";
    case FB_ERR_MEDIUM_NOT_WRITABLE: return "The medium in the recorder cannot be written";
    case FB_ERR_WRITE_FAILED: return "Writing the disc failed";
    case FB_ERR_VERIFY_FAILED: return "The written data differ from the data sent";
    case FB_ERR_CANCELLED: return "The write was cancelled";
    case FB_ERR_ERASE_FAILED: return "Erasing the medium failed";
    case FB_ERR_NOT_ERASABLE: return "The medium cannot be erased";
    case FB_ERR_NO_MEDIUM: return "No medium is loaded";
    default: return Format("Unknown error %d", code);
  }
}

}  // namespace vantrel::foxburner
