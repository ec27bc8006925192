// SPDX-License-Identifier: GPL-3.0-or-later
#include "authoring/disc_fit_plan.h"

#include <algorithm>
#include <cmath>

#include "base/text_format.h"
#include "base/translation.h"

namespace vantrel {
namespace {

// What the authoring tool and the image writer add around the titles' program streams.
// Measured by authoring lists of 1, 4, 10 and 60 titles (30 s to 4 h in all) with
// dvdauthor and imaging them with genisoimage -dvd-video -udf, as the disc writer does:
//  - the title VOBs are the program streams byte for byte (the navigation packs are
//    already in them), VIDEO_TS.VOB is the menu streams byte for byte;
//  - each IFO and its BUP came to 12 KiB for one title, 14 KiB for 4 and 10 titles and
//    176 KiB for 60 titles of 4 minutes: 4 bytes per VOBU, about 1.2 KiB per title
//    (program chain, cell table, time map of at most 2048 entries);
//  - the ISO 9660/UDF image was 427 sectors larger than the files with one title VOB and
//    428 with two (the VOB is cut into 1 GiB pieces), whatever the title count.
// The model below rounds every one of these up.
constexpr std::int64_t kFileSystemSectors = 430;
constexpr std::int64_t kVobPieceBytes = 1LL << 30;
constexpr double kShortestVobuSeconds = 0.4;
// Pack and packet headers of the program stream over the elementary streams: measured
// 1.4 to 2.0 % for MPEG-2 video between 1.5 and 6 Mbit/s with 192 kbit/s AC-3.
constexpr double kPackOverhead = 0.016;
// What the rate control may miss by on a title, kept free for the titles planned last (the
// last one has nothing after it to make up for a miss). Measured misses of one-pass
// encodes of noisy video, 20 s to 5 min long, between 1.5 and 6 Mbit/s: within 1 %;
// the planning loop holds that without a second pass.
constexpr double kEncodeMargin = 0.015;
// A ready title is encoded again only when that takes a quarter off its rate or more:
// each encode of a lossy stream costs some picture.
constexpr double kReencodeGain = 1.25;
// A full-size PAL picture, for a title whose picture was not measured.
constexpr double kFramePixelsPerSecond = 720.0 * 576 * 25;

std::int64_t RoundToSector(double bytes) {
  const auto whole = std::int64_t(std::ceil(bytes));
  return (whole + kDiscSectorBytes - 1) / kDiscSectorBytes * kDiscSectorBytes;
}

double PixelsPerSecond(const FitTitle& title) {
  return title.pixelsPerSecond > 0 ? title.pixelsPerSecond : kFramePixelsPerSecond;
}

}  // namespace

std::int64_t DiscCapacitySectors(int disccapacity) {
  return disccapacity == 1 ? kDvd9Sectors : kDvd5Sectors;
}

const char* DiscCapacityName(int disccapacity) {
  return disccapacity == 1 ? "DVD-9 (8.5 GB)" : "DVD-5 (4.7 GB)";
}

void AddTrackBitRates(FitTitle* title, const std::vector<int>& soundTrackRates, size_t subtitleStreams) {
  double sound = 0;
  for (int rate : soundTrackRates) sound += rate;
  double extra = double(subtitleStreams) * kSubtitleStreamBitRate;
  if (!soundTrackRates.empty()) extra += sound - title->audioBitRate;
  if (extra == 0) return;
  title->audioBitRate = std::max(0, title->audioBitRate + int(extra));
  if (title->ready && title->seconds > 0)
    title->readyBytes += std::int64_t(std::ceil(title->seconds * extra / 8 * (1 + kPackOverhead)));
}

DiscFitPlan::DiscFitPlan(FitLimits limits, std::vector<FitTitle> titles) : limits_(limits) {
  limits_.floorBitRate = std::max(1, limits_.floorBitRate);
  limits_.ceilingBitRate = std::max(limits_.floorBitRate, limits_.ceilingBitRate);
  if (!(limits_.gopSeconds > 0)) limits_.gopSeconds = 0.6;
  for (FitTitle& facts : titles) {
    facts.seconds = std::max(0.0, facts.seconds);
    Entry entry;
    entry.facts = facts;
    titles_.push_back(entry);
  }
  Plan();
}

std::int64_t DiscFitPlan::OverheadBytes() const {
  double seconds = 0, titleTables = 0;
  for (const Entry& e : titles_) {
    seconds += e.facts.seconds;
    titleTables += 4 * std::min(e.facts.seconds, 2048.0) + 1024;
  }
  const double vobus = std::ceil(seconds / kShortestVobuSeconds) + double(titles_.size());
  const std::int64_t titleIfo = RoundToSector(16384 + 4 * vobus + titleTables);
  const std::int64_t managerIfo =
      RoundToSector(16384 + 2048.0 * std::max(1, limits_.menuPages) + 16.0 * double(titles_.size()));
  // Every file is a directory entry; the title VOB is cut into 1 GiB pieces.
  const std::int64_t vobPieces = CapacityBytes() / kVobPieceBytes + 1;
  const std::int64_t fileSystem = (kFileSystemSectors + vobPieces) * kDiscSectorBytes;
  return 2 * titleIfo + 2 * managerIfo + fileSystem + RoundToSector(double(limits_.menuBytes));
}

double DiscFitPlan::ModelBytes(const Entry& e, double videoBitRate) const {
  const double perSecond = (videoBitRate + e.facts.audioBitRate) / 8.0 * (1 + kPackOverhead) +
                           kDiscSectorBytes / limits_.gopSeconds;
  return e.facts.seconds * perSecond;
}

std::int64_t DiscFitPlan::PredictBytes(int index, int videoBitRate) const {
  return RoundToSector(ModelBytes(titles_[index], videoBitRate) * correction_);
}

// The video rate a ready title already has, from its size.
double DiscFitPlan::OwnVideoBitRate(const Entry& e) const {
  if (!(e.facts.seconds > 0)) return 0;
  const double perSecond = double(e.facts.readyBytes) / e.facts.seconds - kDiscSectorBytes / limits_.gopSeconds;
  return std::max(0.0, perSecond * 8 / (1 + kPackOverhead) - e.facts.audioBitRate);
}

int DiscFitPlan::RateAt(const Entry& e, double bitsPerPixel) const {
  const double rate = bitsPerPixel * PixelsPerSecond(e.facts);
  return int(std::clamp(rate, double(limits_.floorBitRate), double(limits_.ceilingBitRate)));
}

// Bytes already settled: overhead, titles written, ready titles kept as they are.
std::int64_t DiscFitPlan::FixedBytes() const {
  std::int64_t bytes = OverheadBytes();
  for (int i = 0; i < int(titles_.size()); ++i) {
    const Entry& e = titles_[i];
    bytes += e.written ? e.writtenBytes : e.started ? PredictBytes(i, e.rate) : e.encode ? 0 : e.facts.readyBytes;
  }
  return bytes;
}

std::int64_t DiscFitPlan::EncodedBytes() const {
  std::int64_t bytes = 0;
  for (int i = 0; i < int(titles_.size()); ++i)
    if (!titles_[i].written && !titles_[i].started && titles_[i].encode) bytes += PredictBytes(i, titles_[i].rate);
  return bytes;
}

bool DiscFitPlan::Share(std::int64_t budget) {
  std::vector<Entry*> open;
  for (Entry& e : titles_)
    if (!e.written && !e.started && e.encode) open.push_back(&e);
  const double target = double(budget) * (1 - kEncodeMargin);
  auto total = [&](double bitsPerPixel) {
    double bytes = 0;
    for (const Entry* e : open) bytes += ModelBytes(*e, RateAt(*e, bitsPerPixel)) * correction_;
    return bytes;
  };
  auto assign = [&](double bitsPerPixel) {
    level_ = bitsPerPixel;
    for (Entry* e : open) e->rate = RateAt(*e, bitsPerPixel);
  };
  double high = 0;
  for (const Entry* e : open) high = std::max(high, limits_.ceilingBitRate / PixelsPerSecond(e->facts));
  if (open.empty()) return level_ = 0, budget >= 0;
  if (total(high) <= target) return assign(high), true;
  if (total(0) > target) return assign(0), false;
  // The same bits per pixel for every title: the largest share that still fits.
  double low = 0;
  for (int step = 0; step < 60; ++step) {
    const double middle = (low + high) / 2;
    (total(middle) <= target ? low : high) = middle;
  }
  assign(low);
  return true;
}

void DiscFitPlan::Plan() {
  for (Entry& e : titles_)
    if (!e.written && !e.started) e.encode = !e.facts.ready;
  const std::int64_t capacity = CapacityBytes();
  fits_ = Share(capacity - FixedBytes());
  // A ready title kept as it is while the others are squeezed below the ceiling would take
  // more than its share: the ready title with the most bits per pixel is encoded too, when
  // the list overflows or it has clearly more than the level the others get, and as long
  // as that makes it smaller.
  for (;;) {
    bool squeezed = !fits_;
    for (const Entry& e : titles_)
      squeezed = squeezed || (!e.written && !e.started && e.encode && e.rate < limits_.ceilingBitRate);
    if (!squeezed) break;
    Entry* richest = nullptr;
    for (Entry& e : titles_) {
      if (e.written || e.started || e.encode || !e.facts.ready) continue;
      if (!richest || OwnVideoBitRate(e) / PixelsPerSecond(e.facts) >
                          OwnVideoBitRate(*richest) / PixelsPerSecond(richest->facts))
        richest = &e;
    }
    if (!richest) break;
    if (fits_ && OwnVideoBitRate(*richest) <= kReencodeGain * RateAt(*richest, level_)) break;
    richest->encode = true;
    const bool fits = Share(capacity - FixedBytes());
    if (richest->rate >= OwnVideoBitRate(*richest)) {
      richest->encode = false;
      fits_ = Share(capacity - FixedBytes());
      break;
    }
    fits_ = fits;
  }
}

void DiscFitPlan::Started(int index) {
  Entry& e = titles_[index];
  if (!e.written && e.encode) e.started = true;
}

void DiscFitPlan::SetMenuBytes(std::int64_t bytes) {
  limits_.menuBytes = std::max<std::int64_t>(0, bytes);
  Plan();
}

void DiscFitPlan::Written(int index, std::int64_t bytes) {
  Entry& e = titles_[index];
  if (e.written) return;
  e.written = true;
  e.started = false;
  e.writtenBytes = std::max<std::int64_t>(0, bytes);
  if (e.encode) {
    e.predictedBytes = RoundToSector(ModelBytes(e, e.rate));
    // A rate control that overshoots does so on every title: the titles still to encode
    // are planned with the overshoot seen so far. Undershoot is left alone: it comes
    // from pictures that needed fewer bits, and the bytes it leaves are shared anyway.
    double written = 0, predicted = 0;
    for (const Entry& done : titles_)
      if (done.written && done.encode && done.predictedBytes > 0)
        written += double(done.writtenBytes), predicted += double(done.predictedBytes);
    if (predicted > 0) correction_ = std::clamp(written / predicted, 1.0, 1.5);
  }
  Plan();
}

int DiscFitPlan::Overshooter() const {
  int worst = -1;
  std::int64_t most = 0;
  for (int i = 0; i < int(titles_.size()); ++i) {
    const Entry& e = titles_[i];
    if (!e.written || !e.encode || e.predictedBytes <= 0) continue;
    const std::int64_t over = e.writtenBytes - e.predictedBytes;
    if (over > most) most = over, worst = i;
  }
  return worst;
}

int DiscFitPlan::RefitRate(int index, std::int64_t excessBytes) const {
  const Entry& e = titles_[index];
  if (!e.written || !e.encode || e.writtenBytes <= 0 || !(e.facts.seconds > 0)) return 0;
  // The bytes the title may take, less the margin of another miss; the encode missed its
  // model by `miss`, and is taken to miss the same way again.
  const double allowed = double(e.writtenBytes - excessBytes) * (1 - kEncodeMargin);
  const double miss = double(e.writtenBytes) / ModelBytes(e, e.rate);
  const double perSecond = allowed / miss / e.facts.seconds - kDiscSectorBytes / limits_.gopSeconds;
  const double rate = perSecond * 8 / (1 + kPackOverhead) - e.facts.audioBitRate;
  if (rate < limits_.floorBitRate) return 0;
  return int(std::min(rate, double(e.rate)));
}

int DiscFitPlan::TitleToEncodeAgain(std::int64_t excessBytes, int& rate) const {
  // An overshooter already near the floor cannot give much; a title with room to spare can.
  const int worst = Overshooter();
  rate = worst >= 0 ? RefitRate(worst, excessBytes) : 0;
  if (rate > 0) return worst;
  int chosen = -1;
  for (int i = 0; i < int(titles_.size()); ++i) {
    if (i == worst || (chosen >= 0 && titles_[i].writtenBytes <= titles_[chosen].writtenBytes)) continue;
    if (const int r = RefitRate(i, excessBytes); r > 0) chosen = i, rate = r;
  }
  return chosen;
}

void DiscFitPlan::Rewritten(int index, int videoBitRate, std::int64_t bytes) {
  Entry& e = titles_[index];
  e.rate = videoBitRate;
  e.writtenBytes = std::max<std::int64_t>(0, bytes);
  e.predictedBytes = RoundToSector(ModelBytes(e, e.rate));
}

std::int64_t DiscFitPlan::PlannedBytes() const { return FixedBytes() + EncodedBytes(); }

std::int64_t DiscFitPlan::BytesAtFloor() const {
  std::int64_t bytes = OverheadBytes();
  for (int i = 0; i < int(titles_.size()); ++i) {
    const Entry& e = titles_[i];
    if (e.written) {
      bytes += e.writtenBytes;
    } else if (!e.facts.ready) {
      bytes += PredictBytes(i, limits_.floorBitRate);
    } else {
      bytes += std::min(e.facts.readyBytes, PredictBytes(i, limits_.floorBitRate));
    }
  }
  return bytes;
}

namespace {

double Megabytes(std::int64_t bytes) { return double(bytes) / 1048576.0; }

}  // namespace

std::string FitCapacityText(const std::string& discName, std::int64_t capacityBytes) {
  return Format(Tr("光盘容量: %s，%.02fMB"), discName.c_str(), Megabytes(capacityBytes));
}

std::string FitTitleText(int titleNumber, const std::string& name, int videoBitRate,
                         std::int64_t bytes) {
  if (videoBitRate <= 0)
    return Format(Tr("标题 %d (%s): 保持原样，%.02fMB"), titleNumber, name.c_str(), Megabytes(bytes));
  return Format(Tr("标题 %d (%s): 视频码率 %.2f Mbit/s，约 %.02fMB"), titleNumber, name.c_str(),
                videoBitRate / 1e6, Megabytes(bytes));
}

std::string FitOverflowQuestion(std::int64_t bytesAtFloor, std::int64_t capacityBytes,
                                int floorBitRate) {
  return Format(Tr("即使以最低视频码率 %.1f Mbit/s 转换，'VIDEO_TS' 中的文件大小也将达到 %.02fMB，"
                   "超过光盘容量 %.02fMB。您无论如何都要继续吗？"),
                floorBitRate / 1e6, Megabytes(bytesAtFloor), Megabytes(capacityBytes));
}

std::string FitTooLargeText(std::int64_t imageBytes, std::int64_t capacityBytes) {
  return Format(Tr("光盘映像为 %.02fMB，超过光盘容量 %.02fMB，创建 DVD 失败。"), Megabytes(imageBytes),
                Megabytes(capacityBytes));
}

std::string FitAgainText(int titleNumber, const std::string& name, int writtenRate, int newRate,
                         std::int64_t excessBytes) {
  return Format(Tr("光盘映像超出容量 %.02fMB: 标题 %d (%s) 以 %.2f Mbit/s 重新转换 (原为 %.2f Mbit/s)"),
                Megabytes(excessBytes), titleNumber, name.c_str(), newRate / 1e6, writtenRate / 1e6);
}

}  // namespace vantrel
