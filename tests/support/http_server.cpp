// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>

namespace vantrel::test {

HttpServer::HttpServer(std::string body, std::size_t stallAt, Ending ending)
    : body_(std::move(body)), stallAt_(stallAt), ending_(ending) {
  listener_ = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  listen(listener_, 8);
  thread_ = std::thread([this] { Serve(); });
}

HttpServer::~HttpServer() {
  stopping_ = true;
  shutdown(listener_, SHUT_RDWR);
  close(listener_);
  thread_.join();
  for (int client : held_) close(client);
}

std::string HttpServer::Url(const std::string& name) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + name;
}

void HttpServer::Serve() {
  while (!stopping_) {
    int client = accept(listener_, nullptr, nullptr);
    if (client < 0) return;
    Answer(client);
  }
}

void HttpServer::Answer(int client) {
  std::string request;
  char buffer[2048];
  while (request.find("\r\n\r\n") == std::string::npos) {
    ssize_t n = recv(client, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, size_t(n));
  }
  ++requests_;
  if (ending_ == Ending::NoAnswer) {
    ++stalls_;
    std::lock_guard lock(lock_);
    held_.push_back(client);  // accepted, read, and never answered
    return;
  }
  size_t from = 0;
  if (auto at = request.find("Range: bytes="); at != std::string::npos) from = std::stoul(request.substr(at + 13));
  from = std::min(from, body_.size());
  std::string head = from ? "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(from) + "-" +
                                std::to_string(body_.size() - 1) + "/" + std::to_string(body_.size()) + "\r\n"
                          : "HTTP/1.1 200 OK\r\n";
  head += "Content-Type: application/octet-stream\r\nAccept-Ranges: bytes\r\nConnection: close\r\nContent-Length: " +
          std::to_string(body_.size() - from) + "\r\n\r\n";
  send(client, head.data(), head.size(), MSG_NOSIGNAL);
  // A read that starts past the stall (an index at the end of the file) is answered whole.
  const bool stalls = stallAt_ != kNoStall && from <= stallAt_;
  const size_t end = stalls ? std::min(stallAt_, body_.size()) : body_.size();
  for (size_t at = from; at < end;) {
    ssize_t n = send(client, body_.data() + at, std::min<size_t>(65536, end - at), MSG_NOSIGNAL);
    if (n <= 0) break;
    at += size_t(n);
  }
  if (stalls && ending_ == Ending::Stall) {
    ++stalls_;
    std::lock_guard lock(lock_);
    held_.push_back(client);  // silent from here on, but not closed
  } else {
    if (stalls) ++stalls_;
    close(client);
  }
}

}  // namespace vantrel::test
