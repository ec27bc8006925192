// SPDX-License-Identifier: GPL-3.0-or-later
// encorva-convert, the client that knows the component only by ProgID and member names, run
// as a user runs it: a local conversion, file information, and a clip served over HTTP on
// 127.0.0.1 by a server this test starts and stops.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>

#include "authoring/command_templates.h"
#include "support/child_process.h"
#include "support/clips.h"
#include "support/http_server.h"
#include "support/media_check.h"
#include "support/temp_folder.h"

namespace vantrel::test {
namespace {

const std::string kClient = std::string(VANTREL_APP_BUILD_DIR) + "/encorva-convert";

struct ClientRun {
  int status = -1;
  std::string output;
};

ClientRun RunClient(const std::string& arguments, const std::string& redirect = " 2>/dev/null") {
  ClientRun run;
  FILE* pipe = popen((ShellQuote(kClient) + " " + arguments + redirect).c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

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

  // Two processes at once never share a poster file.
  ScopedEnv tmp("TMPDIR", folder_.Path());
  // A poster of a process that crashed goes; one of a process still running stays.
  const pid_t ended = fork();
  if (ended == 0) _exit(0);
  waitpid(ended, nullptr, 0);
  const std::string crashed = folder_ / ("erdposter-" + std::to_string(ended) + "-a1b2c3.bmp");
  const std::string running = folder_ / ("erdposter-" + std::to_string(getpid()) + "-d4e5f6.bmp");
  WriteText(crashed, "BM");
  WriteText(running, "BM");
  ClientRun other;
  std::thread second([&] { other = RunClient("--info " + ShellQuote(source_)); });
  run = RunClient("--info " + ShellQuote(source_));
  second.join();
  auto posterOf = [](const std::string& out) {
    size_t at = out.find("poster:     ");
    return at == std::string::npos ? std::string() : out.substr(at + 12, out.find('\n', at) - at - 12);
  };
  ASSERT_FALSE(posterOf(run.output).empty()) << run.output;
  EXPECT_NE(posterOf(run.output), posterOf(other.output));
  EXPECT_EQ(posterOf(run.output).rfind(folder_ / "erdposter-", 0), 0u) << run.output;
  // Each poster went with its process.
  EXPECT_FALSE(std::filesystem::exists(posterOf(run.output)));
  EXPECT_FALSE(std::filesystem::exists(posterOf(other.output)));
  EXPECT_FALSE(std::filesystem::exists(crashed));
  EXPECT_TRUE(std::filesystem::exists(running));
  EXPECT_EQ(RunClient("only-one-name").status, 2);
}

TEST_F(EncorvaClientTest, RefusesValuesOutOfRangeWithOneLineThatNamesThem) {
  const std::string output = folder_ / "never.mpg";
  const std::string names = ShellQuote(source_) + " " + ShellQuote(output);
  struct Case {
    std::string arguments, says;
  } cases[] = {
      {names + " --format 99", "--format must be a whole number from 0 to 7, not 99"},
      {names + " --format -1", "--format must be a whole number from 0 to 7, not -1"},
      {names + " --format 7.5", "--format must be a whole number from 0 to 7, not 7.5"},
      {names + " --format dvd", "--format needs a number, not \"dvd\""},
      {names + " --start -3", "--start must not be negative"},
      {names + " --start 5 --stop 2", "--stop must come after --start"},
      {names + " --stop", "--stop needs a value"},
      {names + " --speed 2", "unknown option --speed"},
      {names + " extra", "too many names: extra"},
  };
  for (const Case& c : cases) {
    ClientRun run = RunClient(c.arguments, " 2>&1");
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << c.arguments << "\n" << run.output;
    EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
  }
  EXPECT_FALSE(std::filesystem::exists(output));
  ClientRun help = RunClient("--help", " 2>&1");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("usage: encorva-convert"), std::string::npos);
}

TEST_F(EncorvaClientTest, ConvertsAClipServedOverHttpThroughTheNetworkPath) {
  HttpServer server(ReadText(source_));
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

// Nothing but the folder's own files and the finished output (no part file).
std::vector<std::string> Leftovers(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename().string().find(".part-") != std::string::npos) names.push_back(entry.path());
  return names;
}

TEST_F(EncorvaClientTest, AServerThatStopsSendingEndsTheConversionWithTheReason) {
  const std::string body = ReadText(source_);
  HttpServer server(body, body.size() / 2);
  const std::string output = folder_ / "halb.mpg";
  ScopedEnv timeout("VANTREL_NETWORK_TIMEOUT", "2");
  ClientRun run = RunClient(ShellQuote(server.Url("clip.avi")) + " " + ShellQuote(output) + " --format 3", " 2>&1");
  EXPECT_EQ(run.status, 1) << run.output;
  EXPECT_GT(server.Stalls(), 0);
  // Whether the server goes silent while the clip is probed or while it is converted, the
  // reason is the same (the shapes apart: EveryWayAServerFailsEndsWithinTheTimeoutWithTheReason).
  EXPECT_NE(run.output.find("Error 0x800705b4 The source stopped sending"), std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("Complete"), run.output.rfind("Complete")) << run.output;
  EXPECT_FALSE(std::filesystem::exists(output)) << "half a clip must not pass for the whole";
  EXPECT_TRUE(Leftovers(folder_.Path()).empty());
}

// Every way a server can fail a conversion ends it within the network timeout and a few
// seconds, with the reason, and leaves no output and no part file: a server that goes silent
// while the stream is probed, one that goes silent after some of it was converted, one that
// accepts the connection and never answers, one that closes early. The time is counted
// beyond a run of the same bytes from a server that then ends them honestly, made just
// before: the work on those bytes takes as long as the machine's load makes it, the wait for
// a silent server does not.
TEST_F(EncorvaClientTest, EveryWayAServerFailsEndsWithinTheTimeoutWithTheReason) {
  const std::string dvdClip = folder_ / "dvd.mpg";
  MakePatternClip(dvdClip, "-target pal-dvd -b:v 4000k", "720x576", "25", 3);
  const std::string longClip = folder_ / "long.mpg";
  MakePatternClip(longClip, "-target pal-dvd -b:v 4000k", "720x576", "25", 12);
  const std::string shortBody = ReadText(dvdClip), longBody = ReadText(longClip);
  ScopedEnv timeout("VANTREL_NETWORK_TIMEOUT", "2");
  struct Case {
    const char* name;
    const std::string& body;
    std::size_t at;
    HttpServer::Ending ending;
    const char* reached;  // the last event before the failure
  } cases[] = {
      {"stall while probing", shortBody, shortBody.size() / 3, HttpServer::Ending::Stall, "Connecting"},
      {"stall after some packets", longBody, longBody.size() / 2, HttpServer::Ending::Stall, "AboutToRun"},
      {"never answers", shortBody, 0, HttpServer::Ending::NoAnswer, "Connecting"},
      {"closes early", longBody, longBody.size() / 2, HttpServer::Ending::Close, "AboutToRun"},
  };
  const auto timed = [](const std::string& arguments, double& seconds) {
    const auto started = std::chrono::steady_clock::now();
    ClientRun run = RunClient(arguments, " 2>&1");
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return run;
  };
  for (const Case& c : cases) {
    const std::string output = folder_ / "out.mpg";
    double honestSeconds = 0;
    {
      HttpServer honest(c.body.substr(0, c.at));
      const std::string whole = folder_ / "honest.mpg";
      ClientRun run = timed(ShellQuote(honest.Url("a.mpg")) + " " + ShellQuote(whole), honestSeconds);
      // What came before the failure converts when the server ends there (nothing is no clip).
      EXPECT_EQ(run.status, c.at ? 0 : 1) << c.name << " (ended honestly)\n" << run.output;
      std::filesystem::remove(whole);
    }
    HttpServer server(c.body, c.at, c.ending);
    double seconds = 0;
    ClientRun run = timed(ShellQuote(server.Url("a.mpg")) + " " + ShellQuote(output), seconds);
    EXPECT_EQ(run.status, 1) << c.name << "\n" << run.output;
    EXPECT_GT(server.Stalls(), 0) << c.name;
    EXPECT_NE(run.output.find(c.reached), std::string::npos) << c.name << "\n" << run.output;
    EXPECT_NE(run.output.find("Error 0x800705b4 The source stopped sending"), std::string::npos)
        << c.name << "\n" << run.output;
    EXPECT_EQ(run.output.find("Complete"), run.output.rfind("Complete")) << c.name << "\n" << run.output;
    // The timeout and a few seconds for noticing it and cleaning up; far less than the
    // 15 s the network timeout has unless it is set.
    EXPECT_LT(seconds - honestSeconds, 2 + 8) << c.name << ": " << seconds << " s, ended honestly "
                                              << honestSeconds << " s";
    EXPECT_FALSE(std::filesystem::exists(output)) << c.name;
    EXPECT_TRUE(Leftovers(folder_.Path()).empty()) << c.name;
  }
}

TEST_F(EncorvaClientTest, InterruptsEndABlockedReadAtOnceAndLeaveNoPartFile) {
  // Long enough that opening reads only its start: the stall comes while converting.
  const std::string longer = folder_ / "long.avi";
  ASSERT_TRUE(MakeClip(FlashVideoInput(320, 240, "25", 12) + " " + BeepAudioInput(44100, 12) +
                           " -c:v mpeg4 -c:a mp3 -t 12 " + ShellQuote(longer),
                       longer));
  const std::string body = ReadText(longer);
  HttpServer server(body, body.size() / 2);
  const std::string output = folder_ / "abbruch.mpg";
  // The network timeout stays at its 15 s: an interrupt that waited for it would report the
  // stalled source, one that ends the read does not.
  BackgroundRun run(ShellQuote(kClient) + " " + ShellQuote(server.Url("clip.avi")) + " " + ShellQuote(output) +
                        " --format 3",
                    folder_ / "run.log");
  ASSERT_TRUE(run.Started());
  ASSERT_TRUE(run.WaitForLog("AboutToRun", 120)) << run.Log();
  ASSERT_TRUE(std::filesystem::exists(folder_.Path()));
  run.Signal(SIGINT);
  EXPECT_EQ(run.Wait(), 130) << run.Log();
  EXPECT_NE(run.Log().find("encorva-convert: cancelled"), std::string::npos) << run.Log();
  EXPECT_EQ(run.Log().find("stopped sending"), std::string::npos) << run.Log();
  EXPECT_FALSE(std::filesystem::exists(output)) << run.Log();
  EXPECT_TRUE(Leftovers(folder_.Path()).empty());

  // SIGTERM while still connecting to a server that sends nothing at all.
  HttpServer silent(body, 0);
  BackgroundRun connecting(ShellQuote(kClient) + " " + ShellQuote(silent.Url("clip.avi")) + " " + ShellQuote(output),
                           folder_ / "run2.log");
  ASSERT_TRUE(connecting.WaitForLog("Connecting", 60)) << connecting.Log();
  connecting.Signal(SIGTERM);
  EXPECT_EQ(connecting.Wait(), 143) << connecting.Log();
  EXPECT_NE(connecting.Log().find("encorva-convert: cancelled"), std::string::npos) << connecting.Log();
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
}  // namespace vantrel::test
