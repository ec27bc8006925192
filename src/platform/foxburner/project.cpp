// SPDX-License-Identifier: GPL-3.0-or-later
// The disc project: one VIDEO_TS folder, staged for genisoimage, measured by Prepare.
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

#include "base/atomic_file.h"
#include "base/paths.h"
#include "base/text_format.h"
#include "platform/foxburner/child_process.h"
#include "platform/foxburner/library.h"

namespace vantrel::foxburner {
namespace {

namespace fs = std::filesystem;

// Text of a fixed-size field: up to its first zero byte; false when it has none.
bool FieldText(const char* field, size_t size, std::string& text) {
  const void* end = std::memchr(field, 0, size);
  if (!end) return false;
  text.assign(field, static_cast<const char*>(end));
  return true;
}

bool IsVideoTsTarget(std::string target) {
  for (char& c : target)
    if (c == '\\') c = '/';
  while (!target.empty() && target.back() == '/') target.pop_back();
  while (!target.empty() && target.front() == '/') target.erase(0, 1);
  return EqualsNoCase(target, "VIDEO_TS");
}

// The folder with the DVD-Video files: the source itself, or its VIDEO_TS subfolder.
std::string VideoTsFolderOf(const std::string& source) {
  if (FileExists(JoinPath(source, "VIDEO_TS.IFO"))) return source;
  std::string sub = JoinPath(source, "VIDEO_TS");
  if (FileExists(JoinPath(sub, "VIDEO_TS.IFO"))) return sub;
  return "";
}

// The tool's messages on one line, short enough for a status line.
std::string FirstLine(const std::string& text) {
  std::string joined;
  size_t start = 0;
  while (start < text.size() && joined.size() < 400) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty()) joined += (joined.empty() ? "" : " ") + line;
    start = end + 1;
  }
  return joined;
}

}  // namespace

std::string Library::ToolMessages(const std::string& text) const {
  std::string result = FirstLine(text);
  if (project_.stagingFolder.empty()) return result;
  const std::string link = project_.stagingFolder + "/VIDEO_TS";
  for (size_t at = result.find(link); at != std::string::npos;
       at = result.find(link, at + project_.videoTsFolder.size()))
    result.replace(at, link.size(), project_.videoTsFolder);
  return result;
}

int Library::DeleteProject() {
  if (!project_.stagingFolder.empty()) DeleteFolderTree(project_.stagingFolder);
  project_ = Project{};
  return FB_OK;
}

int Library::CreateProject(int kind) {
  if (kind != FB_PROJECT_DVD_VIDEO) return Fail(FB_ERR_PROJECT_KIND, Format("kind %d", kind));
  DeleteProject();
  project_.created = true;
  return FB_OK;
}

int Library::AddDir(const DirRecord& record) {
  if (!project_.created) return Fail(FB_ERR_NO_PROJECT, "");
  std::string source, target, mask;
  // A path that does not fit the record would be cut; it is refused instead.
  if (!FieldText(record.Source, sizeof record.Source, source) || source.empty())
    return Fail(FB_ERR_BAD_ARGUMENT, "the source folder is missing or longer than 259 bytes");
  if (!FieldText(record.Target, sizeof record.Target, target) || !IsVideoTsTarget(target))
    return Fail(FB_ERR_NOT_DVD_VIDEO, "a DVD-Video disc takes its files in \\VIDEO_TS\\");
  if (!project_.videoTsFolder.empty())
    return Fail(FB_ERR_BAD_ARGUMENT, "the project already holds a VIDEO_TS folder");
  if (!FolderExists(source)) return Fail(FB_ERR_NOT_DVD_VIDEO, "no such folder: " + source);
  std::string videoTs = VideoTsFolderOf(source);
  if (videoTs.empty()) return Fail(FB_ERR_NOT_DVD_VIDEO, source);
  std::error_code ec;
  project_.videoTsFolder = fs::absolute(videoTs, ec).lexically_normal().string();
  project_.prepared = false;
  Callbacks cb = CallbacksCopy();
  if (cb.addFile) {
    for (const auto& entry : fs::directory_iterator(project_.videoTsFolder, ec))
      if (entry.is_regular_file(ec)) cb.addFile(entry.path().c_str(), cb.addFileUser);
  }
  return FB_OK;
}

// genisoimage's -graft-points cannot place a folder under -dvd-video, so the project is a
// folder of its own that holds only a VIDEO_TS link to the source.
int Library::Prepare() {
  if (!project_.created) return Fail(FB_ERR_NO_PROJECT, "");
  if (project_.videoTsFolder.empty()) return Fail(FB_ERR_NOT_DVD_VIDEO, "the project is empty");
  if (!CurrentRecorder()) return Fail(FB_ERR_NO_DEVICE, "");
  MediumInfo medium{};
  int rc = GetMediumInformation(&medium);
  if (rc != FB_OK) return rc;
  if (!CurrentRecorder()->IsImageFile() && medium.State != 0)
    return Fail(FB_ERR_MEDIUM_NOT_WRITABLE, Format("the %s is not blank", medium.Type));

  if (project_.stagingFolder.empty()) {
    const char* tmp = getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantrel-disc-XXXXXX";
    if (!mkdtemp(pattern.data()))
      return Fail(FB_ERR_IMAGE_TOOL, "cannot create a staging folder: " + pattern);
    project_.stagingFolder = pattern;
    std::error_code ec;
    fs::create_directory_symlink(project_.videoTsFolder, project_.stagingFolder + "/VIDEO_TS", ec);
    if (ec) return Fail(FB_ERR_IMAGE_TOOL, ec.message());
  }
  std::string label;
  FieldText(options_.VolumeLabel, sizeof options_.VolumeLabel, label);
  std::string errors = project_.stagingFolder + ".log";
  int status = -1;
  std::string out = RunAndCapture({"genisoimage", "-f", "-quiet", "-print-size", "-dvd-video",
                                   "-udf", "-V", label, project_.stagingFolder},
                                  errors, status);
  std::string errorText;
  ReadWholeFile(errors, errorText);
  unlink(errors.c_str());
  char* end = nullptr;
  unsigned long long sectors = std::strtoull(out.c_str(), &end, 10);
  if (status != 0 || end == out.c_str() || sectors == 0) {
    if (status < 0) errorText = "genisoimage could not be started";
    return Fail(FB_ERR_IMAGE_TOOL, ToolMessages(errorText.empty() ? out : errorText));
  }
  project_.bytes = std::uint64_t(sectors) * 2048;
  std::uint64_t capacity = CapacityBytes();
  if (project_.bytes > capacity)
    return Fail(FB_ERR_TOO_BIG, Format("the image needs %.2f MB, the medium holds %.2f MB",
                                       double(project_.bytes) / 1048576.0,
                                       double(capacity) / 1048576.0));
  project_.prepared = true;
  return FB_OK;
}

}  // namespace vantrel::foxburner
