// SPDX-License-Identifier: GPL-3.0-or-later
// Fitting a title list onto one disc: how many bytes the disc holds, how many of them the
// navigation files and the file system take, and the video bit rate of every title that is
// encoded, so that the disc is filled without overflowing it. Pure arithmetic; the
// authoring driver feeds it facts and the bytes each encoded title really came to, and the
// plan of the titles still to encode is made again from those bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vantrel {

inline constexpr std::int64_t kDiscSectorBytes = 2048;
inline constexpr std::int64_t kDvd5Sectors = 2295104;  // single layer, 4.7 GB
inline constexpr std::int64_t kDvd9Sectors = 4171712;  // dual layer, 8.5 GB

// The `disccapacity` setting: 0 DVD-5, 1 DVD-9; any other value counts as DVD-5.
std::int64_t DiscCapacitySectors(int disccapacity);
// "DVD-5 (4.7 GB)" or "DVD-9 (8.5 GB)", the names the disc format dialog offers.
const char* DiscCapacityName(int disccapacity);

// Below 2 Mbit/s a full-size MPEG-2 frame (720 x 576 at 25 or 720 x 480 at 29.97 frames/s,
// about 0.19 and 0.16 bit per pixel) breaks into blocks on ordinary motion; titles are
// never planned below it.
inline constexpr int kFitFloorBitRate = 2000000;

// One title of the list as the plan sees it.
struct FitTitle {
  double seconds = 0;
  // Picture pixels per second that the video bits are spread over: the picture's area in
  // the output frame (without letterbox bars) times the frame rate.
  double pixelsPerSecond = 0;
  int audioBitRate = 0;  // bits/s of the sound an encode writes (kept at its rate)
  // The title can go on the disc as it is, at this many bytes; such a title is encoded
  // only when the others cannot fit beside it.
  bool ready = false;
  std::int64_t readyBytes = 0;
};

// A subtitle stream of a whole title, bits/s: a subpicture for every cue, run-length coded
// (about 2 to 7 kbit/s for a film's dialogue), with room for dense or large ones.
inline constexpr int kSubtitleStreamBitRate = 12000;
// A sound track's rate when the title's own is not known: the disc's sound as encoded.
inline constexpr int kTrackSoundBitRate = 224000;

// The tracks a title carries besides its picture: its sound tracks at their rates on the
// disc (`soundTrackRates`, bits/s; they take the place of the file's own sound, counted in
// audioBitRate), every subtitle stream at kSubtitleStreamBitRate. Both the bytes an encode
// writes and those of a title used as it is change by them. No sound tracks means the
// file's sound as it is.
void AddTrackBitRates(FitTitle* title, const std::vector<int>& soundTrackRates, size_t subtitleStreams);

struct FitLimits {
  std::int64_t capacitySectors = kDvd5Sectors;
  std::int64_t menuBytes = 0;  // the menu streams (VIDEO_TS.VOB), already made
  int menuPages = 1;
  int ceilingBitRate = 6000000;  // the encoder's own DVD rate: no title grows beyond today's
  int floorBitRate = kFitFloorBitRate;
  double gopSeconds = 0.6;  // one navigation pack per group of pictures
};

class DiscFitPlan {
 public:
  DiscFitPlan(FitLimits limits, std::vector<FitTitle> titles);

  // False when the list overflows the disc even with every title encoded at the floor.
  bool Fits() const { return fits_; }
  // Whether title `index` is to be encoded, and at which average video rate (bits/s).
  bool Encodes(int index) const { return titles_[index].encode; }
  int VideoBitRate(int index) const { return titles_[index].encode ? titles_[index].rate : 0; }
  // Bytes title `index` takes when it goes on the disc without being encoded.
  std::int64_t ReadyBytes(int index) const { return titles_[index].facts.readyBytes; }

  // Title `index` is being encoded at its rate now: the rate stays, and its predicted
  // bytes are kept from the titles planned after it until it is written. Titles encoded at
  // once are each planned from what was settled when they started.
  void Started(int index);
  // Title `index` is done: it takes `bytes` on the disc. The titles not yet started are
  // planned again from what is left.
  void Written(int index, std::int64_t bytes);
  // The menu streams are made: they take `bytes` instead of what the plan allowed them.
  void SetMenuBytes(std::int64_t bytes);

  std::int64_t CapacityBytes() const { return limits_.capacitySectors * kDiscSectorBytes; }
  // Navigation files, file system and menus.
  std::int64_t OverheadBytes() const;
  // The whole disc as planned now (written titles at their real size).
  std::int64_t PlannedBytes() const;
  // The whole disc with every title that may be encoded at the floor.
  std::int64_t BytesAtFloor() const;

  // Bytes a title encoded at `videoBitRate` takes in its program stream.
  std::int64_t PredictBytes(int index, int videoBitRate) const;

  // The disc came out `excessBytes` too large: the written, encoded title with the most
  // bytes beyond its plan, or -1 when no encoded title overshot.
  int Overshooter() const;
  // The video rate that takes `excessBytes` (and the margin of a miss) off title `index` as
  // it was written, judged by how far its encode missed; 0 when that is below the floor.
  int RefitRate(int index, std::int64_t excessBytes) const;
  // The title to encode again to take `excessBytes` off the disc, with its `rate`: the
  // overshooter when it can, else the largest encoded title that can; -1 when none can.
  int TitleToEncodeAgain(std::int64_t excessBytes, int& rate) const;
  // Title `index` was encoded again at `videoBitRate` and now takes `bytes`.
  void Rewritten(int index, int videoBitRate, std::int64_t bytes);
  int WrittenRate(int index) const { return titles_[index].rate; }
  std::int64_t WrittenBytes(int index) const { return titles_[index].writtenBytes; }

 private:
  struct Entry {
    FitTitle facts;
    bool encode = false;
    bool written = false;
    bool started = false;  // its rate is fixed
    int rate = 0;
    std::int64_t writtenBytes = 0;
    std::int64_t predictedBytes = 0;  // at its rate when it was written, without correction
  };

  void Plan();
  // Rates for the titles to encode that fill `budget`; false when even the floor overflows.
  bool Share(std::int64_t budget);
  std::int64_t FixedBytes() const;
  std::int64_t EncodedBytes() const;
  double ModelBytes(const Entry& entry, double videoBitRate) const;
  double OwnVideoBitRate(const Entry& entry) const;
  int RateAt(const Entry& entry, double bitsPerPixel) const;

  FitLimits limits_;
  std::vector<Entry> titles_;
  double correction_ = 1.0;
  double level_ = 0;  // bits per pixel of the titles to encode
  bool fits_ = true;
};

// The lines of the event log that show a plan.
std::string FitCapacityText(const std::string& discName, std::int64_t capacityBytes);
std::string FitTitleText(int titleNumber, const std::string& name, int videoBitRate,
                         std::int64_t bytes);
// The question asked before anything is encoded when even the floor overflows the disc.
std::string FitOverflowQuestion(std::int64_t bytesAtFloor, std::int64_t capacityBytes,
                                int floorBitRate);
// The failure of a run whose authored disc is larger than the disc.
std::string FitTooLargeText(std::int64_t imageBytes, std::int64_t capacityBytes);
// The event log's line when a title is encoded again to make the disc fit.
std::string FitAgainText(int titleNumber, const std::string& name, int writtenRate, int newRate,
                         std::int64_t excessBytes);

}  // namespace vantrel
