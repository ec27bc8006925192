// SPDX-License-Identifier: GPL-3.0-or-later
// Settings that let an MPEG-2 encode keep the average rate it is given on any picture, grain
// and noise included: the rate control may go as coarse as the rate demands, not only as far
// as the linear quantiser scale reaches.
#pragma once

struct AVCodecContext;
struct AVDictionary;

namespace vantrel::encoder {

// For an MPEG-2 encoder context before it is opened: the non-linear quantiser scale, the
// standard matrices doubled (so its fine end matches the linear scale's steps, while its
// coarse end reaches about three times further), and room for the rate control's lambda.
// `options` receives the encoder's private options for avcodec_open2.
bool HoldMpeg2Rate(AVCodecContext* context, AVDictionary** options);

}  // namespace vantrel::encoder
