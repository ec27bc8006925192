// SPDX-License-Identifier: GPL-3.0-or-later
// Burn: the image builder's output streamed through a pipe into a libburn track of the
// size Prepare measured, then read back and compared with the SHA-256 of what was sent.
#include <libburn/libburn.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "platform/foxburner/burn_messages.h"
#include "platform/foxburner/child_process.h"
#include "platform/foxburner/library.h"
#include "platform/foxburner/pipe_source.h"
#include "platform/foxburner/result_text.h"

namespace vantrel::foxburner {

using namespace burn;
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollInterval = std::chrono::milliseconds(100);
constexpr auto kProgressInterval = std::chrono::milliseconds(250);
constexpr int kFifoChunk = 32768;
constexpr int kFifoChunks = 128;  // 4 MB between the pipe and the drive
constexpr off_t kReadChunk = 1024 * 1024;
constexpr auto kLibburnSettle = std::chrono::milliseconds(1000);

// Ends the image builder: at once when asked to, else after it had a moment to exit.
int StopChild(pid_t pid, bool terminate) {
  if (terminate) kill(pid, SIGTERM);
  for (int i = 0; i < 100; ++i) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  return WaitChild(pid);
}

// libburn keeps the thread of a failed write registered for a moment after its drive went
// idle, and refuses the next write on that drive slot meanwhile ("still going on"); such a
// refusal is waited out instead of being reported as a failed write.
void StartDiscWrite(burn_write_opts* opts, burn_disc* disc, MessageDrain& messages) {
  burn_drive* drive = burn_write_opts_get_drive(opts);
  for (int attempt = 0; attempt < 50; ++attempt) {
    burn_disc_write(opts, disc);
    if (burn_drive_get_status(drive, nullptr) != BURN_DRIVE_IDLE) return;
    MessageDrain refusal;
    refusal.Drain();
    if (refusal.Worst().find("still going on") == std::string::npos) {
      messages = refusal;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

int Percent(unsigned part, unsigned whole) {
  return whole ? int(100.0 * double(whole - part) / double(whole)) : 0;
}

}  // namespace

int Library::StartBurn() {
  if (!project_.prepared) return Fail(FB_ERR_NOT_PREPARED, "");
  if (!CurrentRecorder()) return Fail(FB_ERR_NO_DEVICE, "");
  // An image file that cannot be taken is known now: Burn says so itself, and the caller
  // can offer another way at once instead of hearing of it as a failed write.
  const Recorder& recorder = *CurrentRecorder();
  std::string problem;
  if (recorder.IsImageFile())
    if (const int locked = LockImage(recorder.imagePath, true, problem); locked != FB_OK) return Fail(locked, problem);
  {
    std::lock_guard lock(mutex_);
    lastDigest_.clear();
  }
  if (!StartJob([this] { WriteJob(); })) return Fail(FB_ERR_NOT_INITIALIZED, "");
  return FB_OK;
}

void Library::WriteJob() {
  std::string detail;
  int code = WriteAndVerify(detail);
  if (code != FB_OK) {
    // An image that was not written and checked whole is never left to pass for a disc;
    // a cancelled one is not left at all (the user stopped it: nothing half-made stays).
    EmptyImage();
    if (code == FB_ERR_CANCELLED) RemoveCancelledImage(detail);
    Fail(code, detail);
    // libburn's write and fifo threads of a failed or cancelled write unregister a moment
    // after the drive went idle, and there is no call to wait for them. The end is reported
    // only after that moment: a close that follows would otherwise finish libburn under
    // them (they touch freed state, and its next start refuses writes).
    std::this_thread::sleep_for(kLibburnSettle);
  }
  FinishWrite(code, code == FB_OK ? "" : ResultText(code) + (detail.empty() ? "" : ": " + detail));
}

void Library::RemoveCancelledImage(std::string& detail) {
  const Recorder* recorder = CurrentRecorder();
  if (!recorder || !recorder->IsImageFile()) return;
  struct stat info {};
  // Only a plain file is the recorder's own; a pipe or a device stays where it is.
  if (stat(recorder->imagePath.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return;
  if (unlink(recorder->imagePath.c_str()) == 0)
    detail = "the unfinished image file was removed: " + recorder->imagePath;
  else
    detail = "the image file was emptied: " + recorder->imagePath;
}

int Library::WriteAndVerify(std::string& detail) {
  const Recorder recorder = *CurrentRecorder();
  if (recorder.IsImageFile()) {
    if (const int locked = LockImage(recorder.imagePath, true, detail); locked != FB_OK) return locked;
    // libburn writes over a file in place: a shorter image would keep the old tail.
    if (!EmptyImage()) {
      detail = recorder.imagePath + ": " + std::strerror(errno);
      return FB_ERR_WRITE_FAILED;
    }
  }
  if (abort_) return FB_ERR_CANCELLED;
  burn_drive* drive = DriveOf(driveInfo_);
  const std::int64_t bytes = std::int64_t(project_.bytes);
  std::string label(options_.VolumeLabel, strnlen(options_.VolumeLabel, sizeof options_.VolumeLabel));
  std::string errors = project_.stagingFolder + ".log";
  Child child;
  if (!StartChild({"genisoimage", "-f", "-quiet", "-dvd-video", "-udf", "-V", label, "-o", "-",
                   project_.stagingFolder},
                  errors, child)) {
    detail = "genisoimage could not be started";
    return FB_ERR_IMAGE_TOOL;
  }
  burn_source* pipe = NewPipeSource(child.stdoutFd, bytes);
  burn_source* fifo = burn_fifo_source_new(pipe, kFifoChunk, kFifoChunks, 1);
  burn_disc* disc = burn_disc_create();
  burn_session* session = burn_session_create();
  burn_disc_add_session(disc, session, BURN_POS_END);
  burn_track* track = burn_track_create();
  burn_track_define_data(track, 0, 0, 1, BURN_MODE1);
  burn_track_set_source(track, fifo);
  // The known size lets sequential DVD-R/RW be written in one DAO run and gives progress.
  burn_track_set_size(track, off_t(bytes));
  burn_session_add_track(session, track, BURN_POS_END);

  burn_write_opts* opts = burn_write_opts_new(drive);
  burn_write_opts_set_simulate(opts, options_.TestWrite == 1);
  burn_write_opts_set_underrun_proof(opts, options_.UnderrunProtection == 1);
  burn_write_opts_set_multi(opts, 0);
  // An image file is flushed once at its end, as a copy would be; libburn's default forces
  // a flush every 16 MB.
  if (recorder.IsImageFile()) burn_write_opts_set_stdio_fsync(opts, 1);
  burn_drive_set_speed(drive, 0, options_.WriteSpeed > 0 ? options_.WriteSpeed : 0);

  MessageDrain messages;
  char reasons[BURN_REASONS_LEN] = "";
  bool started = burn_write_opts_auto_write_type(opts, disc, reasons, 0) != BURN_WRITE_NONE;
  bool wroteWell = false;
  if (started) {
    StartDiscWrite(opts, disc, messages);
    Clock::time_point lastReport = Clock::now() - kProgressInterval;
    burn_progress progress{};
    for (;;) {
      enum burn_drive_status status = burn_drive_get_status(drive, &progress);
      if (status == BURN_DRIVE_IDLE) break;
      if (abort_) {
        burn_drive_cancel(drive);
        kill(child.pid, SIGTERM);
      }
      messages.Drain();
      if (Clock::now() - lastReport >= kProgressInterval && progress.sectors > 0) {
        lastReport = Clock::now();
        int fifoSize = 0, fifoFree = 0;
        char* fifoStatus = nullptr;
        burn_fifo_inquire_status(fifo, &fifoSize, &fifoFree, &fifoStatus);
        ReportProgress(float(100.0 * progress.sector / progress.sectors), progress.sector,
                       progress.sectors,
                       Percent(progress.buffer_available, progress.buffer_capacity),
                       Percent(unsigned(fifoFree), unsigned(fifoSize)));
      }
      std::this_thread::sleep_for(kPollInterval);
    }
    messages.Drain();
    wroteWell = burn_drive_wrote_well(drive) == 1 && !messages.HasFailure();
  }
  messages.Drain();
  std::string sentDigest = PipeSourceDigest(pipe);
  std::int64_t sent = PipeSourceBytes(pipe);
  bool stopTool = abort_ || !wroteWell;
  if (stopTool) kill(child.pid, SIGTERM);
  burn_write_opts_free(opts);
  burn_disc_free(disc);
  burn_session_free(session);
  burn_track_free(track);
  burn_source_free(fifo);
  burn_source_free(pipe);  // closes the pipe: a builder with more to say gets EPIPE
  int toolStatus = StopChild(child.pid, stopTool);
  std::string toolErrors;
  ReadWholeFile(errors, toolErrors);
  unlink(errors.c_str());

  if (abort_) {
    detail = recorder.IsImageFile() ? "the image file was emptied" : "the disc may be unusable";
    return FB_ERR_CANCELLED;
  }
  if (!started) {
    detail = reasons;
    return FB_ERR_MEDIUM_NOT_WRITABLE;
  }
  if (!wroteWell) {
    detail = messages.Worst();
    return FB_ERR_WRITE_FAILED;
  }
  if (toolStatus != 0 || sent != bytes) {
    detail = Format("genisoimage delivered %lld of %lld bytes (exit status %d) %s",
                    (long long)sent, (long long)bytes, toolStatus, ToolMessages(toolErrors).c_str());
    while (!detail.empty() && detail.back() == ' ') detail.pop_back();
    return FB_ERR_IMAGE_TOOL;
  }
  {
    std::lock_guard lock(mutex_);
    lastDigest_ = sentDigest;
  }
  if (options_.TestWrite == 1) return FB_OK;  // a simulated write leaves nothing to read
  return VerifyWritten(sentDigest, detail);
}

// Reads the written data back through libburn (the same calls for a disc and for an image
// file) after grabbing the drive anew, so the drive's view of the new medium is used.
int Library::VerifyWritten(const std::string& sentDigest, std::string& detail) {
  const Recorder recorder = *CurrentRecorder();
  int lockFd = imageLockFd_;
  imageLockFd_ = -1;  // the lock outlives the new grab
  ReleaseDrive();
  imageLockFd_ = lockFd;
  if (!recorder.IsImageFile()) burn_drive_clear_whitelist();
  std::string address = recorder.address;
  MessageDrain messages;
  if (burn_drive_scan_and_grab(&driveInfo_, address.data(), 1) <= 0) {
    driveInfo_ = nullptr;
    current_ = -1;
    messages.Drain();
    detail = "the recorder could not be opened to read back: " + messages.Worst();
    return FB_ERR_VERIFY_FAILED;
  }
  burn_drive* drive = DriveOf(driveInfo_);
  if (burn_drive_get_drive_role(drive) == 3) {
    detail = "this recorder cannot read back what it wrote";
    return FB_ERR_VERIFY_FAILED;
  }
  const off_t total = off_t(project_.bytes);
  std::vector<char> buffer(kReadChunk);
  Sha256 sha;
  for (off_t at = 0; at < total; at += kReadChunk) {
    if (abort_) {
      detail = recorder.IsImageFile() ? "the image file was emptied" : "the disc may be unusable";
      return FB_ERR_CANCELLED;
    }
    off_t want = std::min(kReadChunk, total - at);
    off_t got = 0;
    if (burn_read_data(drive, at, buffer.data(), want, &got, 2) <= 0 || got != want) {
      messages.Drain();
      detail = Format("reading back failed at byte %lld", (long long)at) +
               (messages.Worst().empty() ? "" : ": " + messages.Worst());
      return FB_ERR_VERIFY_FAILED;
    }
    sha.Update(buffer.data(), size_t(want));
  }
  messages.Drain();
  if (sentDigest.empty() || sha.HexDigest() != sentDigest) {
    detail = "SHA-256 of the written data differs from the data sent";
    return FB_ERR_VERIFY_FAILED;
  }
  if (recorder.IsImageFile() && FileSize(recorder.imagePath) != project_.bytes) {
    detail = Format("the image file holds %llu bytes instead of %llu",
                    (unsigned long long)FileSize(recorder.imagePath),
                    (unsigned long long)project_.bytes);
    return FB_ERR_VERIFY_FAILED;
  }
  return FB_OK;
}

}  // namespace vantrel::foxburner
