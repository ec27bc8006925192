// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/before_run_checks.h"

#include <limits.h>
#include <sys/stat.h>

#include <filesystem>

#include "authoring/work_folder_guard.h"
#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

std::string WithoutSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// The longest name a run makes below the work folder ("TEMP/menu_mpg_spumux01.xml",
// "DVD.previous/VIDEO_TS/VIDEO_TS.BUP") and the room a repair's name needs.
constexpr std::size_t kRunNameRoom = 64;

// True when `path` lies in `folder` (both as the system resolves them).
bool Inside(const fs::path& path, const fs::path& folder) {
  std::error_code ec;
  const fs::path real = fs::weakly_canonical(folder, ec);
  if (ec) return false;
  auto p = path.begin();
  for (auto f = real.begin(); f != real.end(); ++f, ++p)
    if (p == path.end() || *p != *f) return false;
  return true;
}

}  // namespace

std::string WorkFolderProblem(const std::string& workFolder) {
  if (workFolder.find_first_of("\r\n") != std::string::npos)
    return Tr("工作文件夹的路径中有换行符，DVD 工具无法使用它；请选择别的工作文件夹");
  if (workFolder.size() + kRunNameRoom >= PATH_MAX)
    return Format(Tr("工作文件夹的路径太长（%d 字节，系统最多允许 %d 字节，运行还要在里面建立文件）；请选择路径短一些的工作文件夹"),
                  int(workFolder.size()), PATH_MAX - 1);
  for (const auto& part : fs::path(workFolder))
    if (part.native().size() > NAME_MAX)
      return Format(Tr("工作文件夹路径中有一个名字太长（%d 字节，系统最多允许 %d 字节）；请选择别的工作文件夹"),
                    int(part.native().size()), NAME_MAX);
  return "";
}

std::string RunFoldersProblem(const RunFolders& folders) {
  for (const std::string& folder :
       {WithoutSlash(folders.output), WithoutSlash(folders.intermediate), PreviousOutput::AsidePath(folders.output)}) {
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0) continue;  // made by the run
    if (S_ISLNK(info.st_mode))
      return Format(Tr("工作文件夹中的 %s 是一个符号链接。运行会清空并写入这个文件夹，不会跟随链接到工作文件夹以外；"
                    "请删除这个链接后再试"),
                    folder.c_str());
    if (!S_ISDIR(info.st_mode))
      return Format(Tr("工作文件夹中的 %s 不是文件夹，运行需要在这里建立文件夹；请把它移走后再试"), folder.c_str());
  }
  return "";
}

std::string TitlePlaceProblem(const RunFolders& folders, const std::string& title) {
  std::error_code ec;
  const fs::path real = fs::weakly_canonical(title, ec);
  if (ec) return "";
  const struct {
    std::string folder;
    const char* name;
  } emptied[] = {{WithoutSlash(folders.intermediate), "TEMP"},
                 {WithoutSlash(folders.output), "DVD"},
                 {PreviousOutput::AsidePath(folders.output), "DVD.previous"}};
  for (const auto& [folder, name] : emptied)
    if (Inside(real, folder))
      return Format(Tr("它在工作文件夹的 %s 文件夹里，运行开始时会清空这个文件夹；请把它移到别处再添加"), name);
  return "";
}

std::string DiscLimitsProblem(int titles, int menuPages) {
  if (titles > kMaxDiscTitles)
    return Format(Tr("一张 DVD 最多可以有 %d 个标题，列表中有 %d 个；请去掉 %d 个标题，或把它们分到两张光盘上"), kMaxDiscTitles,
                  titles, titles - kMaxDiscTitles);
  if (menuPages > kMaxMenuPages)
    return Format(Tr("一张 DVD 的菜单最多可以有 %d 页，这次有 %d 页；请选择每页按钮更多的版面，或去掉一些标题"), kMaxMenuPages,
                  menuPages);
  return "";
}

std::string TitleTrackLimitsProblem(int number, const std::string& name, std::size_t soundTracks,
                                    std::size_t subtitleTracks) {
  if (soundTracks > std::size_t(kMaxSoundTracks))
    return Format(Tr("标题 %d (%s) 有 %d 个声音轨，一个 DVD 标题最多可以有 %d 个；请去掉 %d 个"), number, name.c_str(),
                  int(soundTracks), kMaxSoundTracks, int(soundTracks) - kMaxSoundTracks);
  if (subtitleTracks > std::size_t(kMaxSubtitleTracks))
    return Format(Tr("标题 %d (%s) 有 %d 个字幕轨，一个 DVD 标题最多可以有 %d 个；请去掉 %d 个"), number, name.c_str(),
                  int(subtitleTracks), kMaxSubtitleTracks, int(subtitleTracks) - kMaxSubtitleTracks);
  return "";
}

}  // namespace vantrel
