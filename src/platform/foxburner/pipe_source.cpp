// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/foxburner/pipe_source.h"

#include <libburn/libburn.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <openssl/evp.h>

namespace vantrel::foxburner {

using namespace burn;
namespace {

struct PipeData {
  int fd = -1;
  off_t size = 0;
  off_t fixedSize = 0;
  std::int64_t delivered = 0;
  Sha256 sha;
};

PipeData* DataOf(burn_source* source) { return static_cast<PipeData*>(source->data); }

// Fills the whole buffer unless the pipe ends: libburn accepts a short block only last.
int ReadXt(burn_source* source, unsigned char* buffer, int size) {
  PipeData* data = DataOf(source);
  int done = 0;
  while (done < size) {
    ssize_t n = read(data->fd, buffer + done, size_t(size - done));
    if (n > 0) {
      done += int(n);
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      return -1;
    }
  }
  data->sha.Update(buffer, size_t(done));
  data->delivered += done;
  return done;
}

off_t GetSize(burn_source* source) {
  PipeData* data = DataOf(source);
  return data->fixedSize > 0 ? data->fixedSize : data->size;
}

int SetSize(burn_source* source, off_t size) {
  DataOf(source)->fixedSize = size;
  return 1;
}

void FreeData(burn_source* source) {
  PipeData* data = DataOf(source);
  if (data->fd >= 0) close(data->fd);
  delete data;
}

// The pipe stays open until the source is freed: the reader may still be inside read().
// The writer stops the image builder itself.
int Cancel(burn_source*) { return 1; }

}  // namespace

// OpenSSL's digest uses the processor's SHA instructions where it has them: the check
// of a whole disc costs a fraction of writing it.
Sha256::Sha256() : sha_(EVP_MD_CTX_new()) {
  if (sha_) EVP_DigestInit_ex(sha_, EVP_sha256(), nullptr);
}

Sha256::~Sha256() { EVP_MD_CTX_free(sha_); }

void Sha256::Update(const void* data, size_t size) {
  if (size && sha_) EVP_DigestUpdate(sha_, data, size);
}

std::string Sha256::HexDigest() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (!sha_ || EVP_DigestFinal_ex(sha_, digest, &length) != 1 || length != 32) return "";
  char hex[65];
  for (int i = 0; i < 32; ++i) std::snprintf(hex + 2 * i, 3, "%02x", digest[i]);
  return std::string(hex, 64);
}

burn_source* NewPipeSource(int fd, std::int64_t size) {
  auto* source = static_cast<burn_source*>(calloc(1, sizeof(burn_source)));
  auto* data = new PipeData;
  data->fd = fd;
  data->size = off_t(size);
  source->refcount = 1;
  source->read = nullptr;  // version 1: read_xt and cancel are used
  source->read_sub = nullptr;
  source->get_size = GetSize;
  source->set_size = SetSize;
  source->free_data = FreeData;
  source->next = nullptr;
  source->data = data;
  source->version = 1;
  source->read_xt = ReadXt;
  source->cancel = Cancel;
  return source;
}

std::int64_t PipeSourceBytes(burn_source* source) { return DataOf(source)->delivered; }

std::string PipeSourceDigest(burn_source* source) { return DataOf(source)->sha.HexDigest(); }

}  // namespace vantrel::foxburner
