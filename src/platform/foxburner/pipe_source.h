// SPDX-License-Identifier: GPL-3.0-or-later
// A libburn track source that reads the image builder's output from a pipe and takes the
// SHA-256 of every byte it hands on, so the written data can be checked against it.
#pragma once

#include <cstdint>
#include <string>

namespace burn {
struct burn_source;
}  // namespace burn
struct evp_md_ctx_st;

namespace vantrel::foxburner {

using burn::burn_source;

// Takes ownership of `fd`. The caller owns the one reference returned.
burn_source* NewPipeSource(int fd, std::int64_t size);
std::int64_t PipeSourceBytes(burn_source* source);
// Hex digest of the bytes delivered so far (call once, after the write).
std::string PipeSourceDigest(burn_source* source);

// SHA-256 over a sequence of blocks, for the read-back side.
class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;
  void Update(const void* data, size_t size);
  std::string HexDigest();  // once

 private:
  ::evp_md_ctx_st* sha_;
};

}  // namespace vantrel::foxburner
