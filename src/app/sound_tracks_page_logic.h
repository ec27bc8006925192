// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's page "音轨": the title's sound tracks in the order the disc gives
// them, each a sound stream of the title's own file or a sound file the user added (with
// its offset), each with its language.
#pragma once

#include <string>
#include <vector>

#include "base/translation.h"
#include "convert/source_sound_streams.h"
#include "project/title_record.h"

namespace vantrel::app {

namespace sound_page_texts {
inline constexpr int kPageId = 138;
inline constexpr const char* kPage = N_("音轨");
inline constexpr const char* kTrackColumn = N_("音轨");
inline constexpr const char* kLanguageColumn = N_("语言");
inline constexpr const char* kOffsetColumn = N_("偏移 (毫秒)");
inline constexpr const char* kSourceStream = N_("来源音轨 #%d (%s, %d 声道)");
inline constexpr const char* kAddStream = N_("添加来源音轨");
inline constexpr const char* kAddFile = N_("添加声音文件...");
inline constexpr const char* kRemove = N_("删除");
inline constexpr const char* kUp = N_("上移");
inline constexpr const char* kDown = N_("下移");
inline constexpr const char* kLanguage = N_("语言:");
inline constexpr const char* kOffset = N_("偏移 (毫秒):");
inline constexpr const char* kCount = N_("音轨: %d / %d");
inline constexpr const char* kChooseFile = N_("添加声音文件");
inline constexpr const char* kFileTypes =
    N_("声音文件 (*.mp3;*.wav;*.ac3;*.mp2;*.m4a;*.aac;*.flac;*.ogg;*.mka)|*.mp3;*.wav;*.ac3;*.mp2;*.m4a;*.aac;"
       "*.flac;*.ogg;*.mka|所有文件 (*)|*");
inline constexpr const char* kFull = N_("一个标题最多 %d 条音轨。");
inline constexpr const char* kUnusable = N_("无法使用此声音文件:\n%s");
}  // namespace sound_page_texts

class SoundTracksPageLogic {
 public:
  static constexpr size_t kMaxTracks = 8;

  // `sourceStreams`: the sound streams of the title's own file (ListSoundStreams).
  SoundTracksPageLogic(const TitleRecord& title, std::vector<SoundStreamInfo> sourceStreams);

  const std::vector<SoundTrack>& Tracks() const { return tracks_; }
  const std::vector<SoundStreamInfo>& SourceStreams() const { return streams_; }
  // "来源音轨 #1 (ac3, 2 声道)" for a stream of the title's file.
  std::string StreamName(size_t stream) const;
  // What the list shows of row `row`: the track, its language, its offset.
  std::string RowName(size_t row) const;
  std::string RowLanguage(size_t row) const;
  std::string RowOffset(size_t row) const;
  std::string CountText() const;

  bool CanAdd() const { return tracks_.size() < kMaxTracks; }
  // Each returns "" when the track was added, else why not (for the user to read).
  std::string AddSourceStream(size_t stream);
  std::string AddFile(const std::string& path);
  void Remove(size_t row);
  bool MoveUp(size_t row);
  bool MoveDown(size_t row);
  void SetLanguage(size_t row, const std::string& code);
  void SetOffset(size_t row, int milliseconds);
  // Only an added file has an offset of its own.
  bool HasOffset(size_t row) const { return row < tracks_.size() && !tracks_[row].source.empty(); }

  // Stores the list in the title; an untouched list of the file's own streams leaves a
  // title that had none as it was ("the file as it is").
  void Apply(TitleRecord& title) const;

 private:
  std::vector<SoundStreamInfo> streams_;
  std::vector<SoundTrack> tracks_;
  std::vector<SoundTrack> asLoaded_;
  bool titleHadNone_ = false;
};

}  // namespace vantrel::app
