// SPDX-License-Identifier: GPL-3.0-or-later
// A tiny HTTP server on 127.0.0.1 that serves one body to every GET, with byte ranges.
// With `stallAt` it behaves like a server that fails part-way: a response that would pass
// that offset sends the bytes before it and then, as `ending` says, nothing more with the
// connection kept open, or closes the connection early; or it never answers at all.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vantrel::test {

class HttpServer {
 public:
  static constexpr std::size_t kNoStall = std::string::npos;
  enum class Ending { Stall, Close, NoAnswer };
  explicit HttpServer(std::string body, std::size_t stallAt = kNoStall, Ending ending = Ending::Stall);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  int Port() const { return port_; }
  int Requests() const { return requests_; }
  int Stalls() const { return stalls_; }
  std::string Url(const std::string& name) const;

 private:
  void Serve();
  void Answer(int client);

  std::string body_;
  std::size_t stallAt_;
  Ending ending_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0}, stalls_{0};
  std::mutex lock_;
  std::vector<int> held_;  // stalled connections, closed when the server ends
  std::thread thread_;
};

}  // namespace vantrel::test
