// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/title_check.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/readable_file.h"
#include "base/translation.h"
#include "platform/media/ffmpeg_file.h"

namespace vantrel {

std::string TitleUnusableReason(const std::string& path) {
  // The authoring tools and the image builder's INI take one path per line.
  if (path.find_first_of("\r\n") != std::string::npos) return Tr("文件名中有换行符，DVD 工具无法使用它，请重命名该文件");
  if (std::string why = UnreadableFileReason(path); !why.empty()) return Tr("无法读取文件: ") + why;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::string(Tr("无法读取文件: ")) + std::strerror(errno);
  char byte;
  const ssize_t got = read(fd, &byte, 1);
  const int readError = errno;
  close(fd);
  if (got < 0) return std::string(Tr("无法读取文件: ")) + std::strerror(readError);
  if (got == 0) return Tr("文件是空的");

  media::MediaFile file;
  if (com::FAILED(file.Open(path))) return Tr("不是可以读取的视频文件");
  const int video = file.FirstOf(media::StreamFacts::Kind::Video);
  if (video < 0) return Tr("文件中没有视频流");
  media::VideoDecoder decoder;
  media::DibFrame picture;
  if (com::FAILED(decoder.Open(file, file.Streams()[size_t(video)].fileIndex)) ||
      com::FAILED(decoder.FrameAt(0, picture, 80, 60)))
    return Tr("无法解码视频中的任何画面");
  return "";
}

}  // namespace vantrel
