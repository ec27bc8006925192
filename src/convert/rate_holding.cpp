// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/rate_holding.h"

#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/dict.h>
#include <libavutil/mem.h>
}

namespace vantrel::encoder {
namespace {

// The standard intra matrix of MPEG-1 and MPEG-2, in raster order.
constexpr int kIntraMatrix[64] = {
    8,  16, 19, 22, 26, 27, 29, 34, 16, 16, 22, 24, 27, 29, 34, 37,  //
    19, 22, 26, 27, 29, 34, 34, 38, 22, 22, 26, 27, 29, 34, 37, 40,  //
    22, 26, 27, 29, 32, 35, 40, 48, 26, 27, 29, 32, 35, 40, 48, 58,  //
    26, 27, 29, 34, 38, 46, 56, 69, 27, 29, 35, 38, 46, 56, 69, 83};
constexpr int kInterMatrixValue = 16;  // the standard non-intra matrix is flat
// The non-linear scale's steps run 1 to 8 by one, then grow to 88 at code 28, the largest
// the encoder writes; doubled matrices make its steps 2, 4, 6 ... at the fine end, as the
// linear scale's, and 176 at the coarse end, where the linear scale stops at 62.
constexpr int kMatrixFactor = 2;
constexpr int kLargestScaleCode = 28;
// Lambda beyond the largest quantiser still buys bits (cheaper modes and vectors); the
// encoder's default stops at the linear scale's largest code.
constexpr int kLambdaLimit = 4 * 31 * FF_QP2LAMBDA;

uint16_t* Matrix(bool intra) {
  auto* matrix = static_cast<uint16_t*>(av_malloc(64 * sizeof(uint16_t)));
  if (!matrix) return nullptr;
  for (int i = 0; i < 64; ++i) matrix[i] = uint16_t(kMatrixFactor * (intra ? kIntraMatrix[i] : kInterMatrixValue));
  return matrix;
}

}  // namespace

bool HoldMpeg2Rate(AVCodecContext* c, AVDictionary** options) {
  av_freep(&c->intra_matrix);
  av_freep(&c->inter_matrix);
  c->intra_matrix = Matrix(true);
  c->inter_matrix = Matrix(false);
  if (!c->intra_matrix || !c->inter_matrix) return false;
  c->qmax = kLargestScaleCode;
  av_dict_set(options, "non_linear_quant", "1", 0);
  av_dict_set(options, "lmax", std::to_string(kLambdaLimit).c_str(), 0);
  return true;
}

}  // namespace vantrel::encoder
