// encorva-convert, the client that knows the component only by ProgID and member names, run
// as a user runs it: a local conversion, file information, and a clip served over HTTP on
// 127.0.0.1 by a server this test starts and stops.
#include <gtest/gtest.h>

#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "authoring/command_templates.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

const std::string kClient = std::string(VANTREL_APP_BUILD_DIR) + "/encorva-convert";

struct ClientRun {
  int status = -1;
  std::string output;
};

ClientRun RunClient(const std::string& arguments) {
  ClientRun run;
  FILE* pipe = popen((ShellQuote(kClient) + " " + arguments + " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Serves one file to every GET, with byte ranges, until destroyed.
class FileServer {
 public:
  explicit FileServer(std::string body) : body_(std::move(body)) {
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
  ~FileServer() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    thread_.join();
  }
  int Port() const { return port_; }
  int Requests() const { return requests_; }

 private:
  void Serve() {
    while (!stopping_) {
      int client = accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      std::string request;
      char buffer[2048];
      while (request.find("\r\n\r\n") == std::string::npos) {
        ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        request.append(buffer, size_t(n));
      }
      ++requests_;
      size_t from = 0;
      if (auto at = request.find("Range: bytes="); at != std::string::npos) from = std::stoul(request.substr(at + 13));
      from = std::min(from, body_.size());
      std::string head = from ? "HTTP/1.1 206 Partial Content\r\nContent-Range: bytes " + std::to_string(from) + "-" +
                                    std::to_string(body_.size() - 1) + "/" + std::to_string(body_.size()) + "\r\n"
                              : "HTTP/1.1 200 OK\r\n";
      head += "Content-Type: video/x-msvideo\r\nAccept-Ranges: bytes\r\nConnection: close\r\nContent-Length: " +
              std::to_string(body_.size() - from) + "\r\n\r\n";
      send(client, head.data(), head.size(), MSG_NOSIGNAL);
      for (size_t at = from; at < body_.size();) {
        ssize_t n = send(client, body_.data() + at, std::min<size_t>(65536, body_.size() - at), MSG_NOSIGNAL);
        if (n <= 0) break;
        at += size_t(n);
      }
      close(client);
    }
  }

  std::string body_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

class EncorvaClientTest : public testing::Test {
 protected:
  TempFolder folder_;
  ScopedEnv registry_{"VANTREL_REGISTRY_DIR", folder_ / "registry"};
  std::string source_ = folder_ / "clip $x 'q'.avi";
  void SetUp() override {
    ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 2) + " " + BeepAudioInput(44100, 2) +
                             " -c:v mpeg4 -c:a mp3 -t 2 " + ShellQuote(source_),
                         source_));
  }
};

TEST_F(EncorvaClientTest, ConvertsALocalFileAndReportsItsEvents) {
  const std::string output = folder_ / "ausgabe 输出.mpg";
  ClientRun run = RunClient(ShellQuote(source_) + " " + ShellQuote(output) + " --format 2");
  EXPECT_EQ(run.status, 0) << run.output;
  const size_t about = run.output.find("AboutToRun\n");
  ASSERT_NE(about, std::string::npos) << run.output;
  EXPECT_LT(about, run.output.find("StatusChanged 1 Stopped\n"));
  EXPECT_LT(run.output.find("StatusChanged 1 Stopped\n"), run.output.find("Complete\n"));
  MediaFacts facts = ReadBack(output);
  EXPECT_EQ(facts.videoCodec, "mpeg1video");
  EXPECT_EQ(facts.width, 352);
  EXPECT_EQ(facts.height, 288);

  run = RunClient(ShellQuote(source_) + " " + ShellQuote(source_));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("Error 0x80004005 The source and target files are the same."), std::string::npos);

  run = RunClient("--info " + ShellQuote(source_));
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("size:       320 x 240"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("video:      yes"), std::string::npos);
  EXPECT_EQ(RunClient("--info " + ShellQuote(folder_ / "missing.avi")).status, 1);
  EXPECT_EQ(RunClient("only-one-name").status, 2);
}

TEST_F(EncorvaClientTest, ConvertsAClipServedOverHttpThroughTheNetworkPath) {
  FileServer server(ReadText(source_));
  const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/clip.avi";
  const std::string output = folder_ / "netz.mpg";
  ClientRun run = RunClient(ShellQuote(url) + " " + ShellQuote(output) + " --format 3");
  EXPECT_EQ(run.status, 0) << run.output;
  const size_t connecting = run.output.find("StatusChanged 8 Connecting");
  const size_t connected = run.output.find("StatusChanged 9 Connected");
  const size_t about = run.output.find("AboutToRun");
  const size_t complete = run.output.find("Complete");
  ASSERT_NE(connecting, std::string::npos) << run.output;
  EXPECT_LT(connecting, connected);
  EXPECT_LT(connected, about);
  EXPECT_LT(about, complete);
  EXPECT_GT(server.Requests(), 0);
  // Standard output holds only the client's own lines: the component and the libraries
  // under it print nothing, and the conversion never stopped for a developer's box.
  std::istringstream lines(run.output);
  for (std::string line; std::getline(lines, line);) {
    const bool clients = line.rfind("StatusChanged ", 0) == 0 || line == "AboutToRun" || line == "Complete";
    EXPECT_TRUE(clients) << "not printed by the client: " << line;
  }
  EXPECT_EQ(run.output.find("Developer information"), std::string::npos);
  MediaFacts facts = ReadBack(output);
  EXPECT_EQ(facts.videoCodec, "mpeg2video");
  EXPECT_NEAR(facts.videoSeconds, 2.0, 0.04 + 1e-6);
  EXPECT_FALSE(facts.audioCodec.empty());

  // Nobody at the address: the connection fails with its message.
  run = RunClient(ShellQuote("http://127.0.0.1:1/none.avi") + " " + ShellQuote(folder_ / "x.mpg"));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.output.find("Failed to render source UROL!"), std::string::npos) << run.output;
}

}  // namespace
}  // namespace vantrel::test
