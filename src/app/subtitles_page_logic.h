// SPDX-License-Identifier: GPL-3.0-or-later
// The properties sheet's page "字幕": the title's subtitle tracks, from text files (SRT,
// ASS/SSA, WebVTT, in a detected or chosen character encoding) and the subtitle streams of
// the title's file, each with its language, one of them shown by default; and a preview of a
// cue (of a text track, or a picture of a DVD or PGS subtitle stream) drawn on the title's
// picture as the disc shows it.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "authoring/cue_preview.h"
#include "authoring/title_frame.h"
#include "base/rgb_image.h"
#include "base/translation.h"
#include "base/tv_standard.h"
#include "project/title_record.h"
#include "subtitles/subpicture_renderer.h"
#include "subtitles/subtitle_reader.h"
#include "subtitles/text_subtitles.h"

namespace vantrel::app {

namespace subtitle_page_texts {
inline constexpr int kPageId = 139;
inline constexpr const char* kPage = N_("字幕");
inline constexpr const char* kTrackColumn = N_("字幕");
inline constexpr const char* kLanguageColumn = N_("语言");
inline constexpr const char* kEncodingColumn = N_("编码");
inline constexpr const char* kDefaultColumn = N_("默认");
inline constexpr const char* kSourceStream = N_("来源字幕 #%d (%s)");
inline constexpr const char* kAddStream = N_("添加来源字幕");
inline constexpr const char* kAddFile = N_("添加字幕文件...");
inline constexpr const char* kRemove = N_("删除");
inline constexpr const char* kUp = N_("上移");
inline constexpr const char* kDown = N_("下移");
inline constexpr const char* kLanguage = N_("语言:");
inline constexpr const char* kEncoding = N_("字符编码:");
inline constexpr const char* kDetected = N_("自动检测 (%s)");
inline constexpr const char* kShownByDefault = N_("默认显示");
inline constexpr const char* kPreview = N_("预览:");
inline constexpr const char* kCount = N_("字幕: %d / %d");
inline constexpr const char* kChooseFile = N_("添加字幕文件");
inline constexpr const char* kFileTypes =
    N_("字幕文件 (*.srt;*.ass;*.ssa;*.vtt)|*.srt;*.ass;*.ssa;*.vtt;*.SRT;*.ASS;*.SSA;*.VTT|所有文件 (*)|*");
inline constexpr const char* kFull = N_("一个标题最多 %d 条字幕。");
inline constexpr const char* kUnreadable = N_("无法读取此字幕:\n%s");
inline constexpr const char* kYes = N_("是");
inline constexpr const char* kPictureCue = N_("图片 %d x %d");
}  // namespace subtitle_page_texts

class SubtitlesPageLogic {
 public:
  static constexpr size_t kMaxTracks = 32;

  // `sourceStreams`: the subtitle streams of the title's file (ListSubtitleStreams), text
  // and picture ones.
  SubtitlesPageLogic(const TitleRecord& title, const std::vector<SubtitleStreamInfo>& sourceStreams);

  // The title is number `index` of the list of title files `sources`: whether the run
  // converts it depends on the others too (a disc has one shape). Alone unless told.
  void SetTitleList(std::vector<std::string> sources, size_t index);

  const std::vector<SubtitleTrack>& Tracks() const { return tracks_; }
  const std::vector<SubtitleStreamInfo>& SourceStreams() const { return streams_; }
  std::string StreamName(size_t stream) const;
  std::string RowName(size_t row) const;
  std::string RowLanguage(size_t row) const;
  // The encoding the row's file is read in ("" for a stream of a container).
  std::string RowEncoding(size_t row);
  std::string RowDefault(size_t row) const;
  std::string CountText() const;
  // A file's encoding as detected, "" for a stream.
  std::string DetectedEncoding(size_t row);
  bool IsFile(size_t row) const { return row < tracks_.size() && !tracks_[row].source.empty() && tracks_[row].stream < 0; }

  bool CanAdd() const { return tracks_.size() < kMaxTracks; }
  // "" when the track was added, else why not.
  std::string AddFile(const std::string& path);
  std::string AddSourceStream(size_t stream);
  void Remove(size_t row);
  bool MoveUp(size_t row);
  bool MoveDown(size_t row);
  void SetLanguage(size_t row, const std::string& code);
  // At most one track is shown by default: marking one clears the others.
  void SetShownByDefault(size_t row, bool shown);
  // "" (detection) or an iconv name; "" when the file reads in it, else why not (the
  // encoding stays as it was).
  std::string SetEncoding(size_t row, const std::string& encoding);

  // The row's cues as "00:01:02.500  text" (a picture stream's as "00:01:02.500  图片 W x H"),
  // for picking the one to preview; empty when the track cannot be read. A picture stream
  // is read as the run brings it onto the disc the settings `choices` make.
  std::vector<std::string> CueList(size_t row, const TitleMakingChoices& choices = {});
  // The title's picture with cue `cue` of row `row` drawn on it, as the disc shows it: in
  // the frame the run makes for the title (bars and all), in the colours the title's
  // tracks leave this one.
  bool Preview(size_t row, size_t cue, const TitleMakingChoices& choices, RgbImage* picture, std::string* error);
  // Whether the title is 16:9 on the disc.
  bool Wide(const TitleMakingChoices& choices);

  void Apply(TitleRecord& title) const;

 private:
  const TextSubtitles& Text(size_t row);
  bool IsPictureStream(size_t row) const;
  // The title's tracks as the run draws them for a disc of `choices`, made when first asked.
  TitleCuePreview& Drawn(const TitleMakingChoices& choices);

  std::string source_;
  std::vector<SubtitleStreamInfo> streams_;
  std::vector<SubtitleTrack> tracks_;
  // What each row reads as, kept while the sheet is open; keyed by the track itself.
  std::deque<std::pair<SubtitleTrack, TextSubtitles>> read_;
  std::vector<std::string> list_;
  size_t listIndex_ = 0;
  std::unique_ptr<TitleCuePreview> drawn_;
  TitleMakingChoices drawnFor_;
};

// The words of an ASS event, without its fields and override tags, line breaks as spaces.
std::string CueText(const SubtitleCue& cue);

}  // namespace vantrel::app
