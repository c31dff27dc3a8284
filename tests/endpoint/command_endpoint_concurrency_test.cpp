// The local command endpoint against a loopback server of the test's own.
// Requests run on worker threads, so this file also runs under TSan.
#include "vantrel/endpoint/command_endpoint.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/core/console.h"
#include "vantrel/core/deadline.h"
#include "vantrel/endpoint/internal/command_endpoint_internal.h"
#include "vantrel/platform/posix/unique_fd.h"

namespace vantrel {
namespace {

using namespace std::chrono_literals;
using posix::UniqueFd;

// A listening socket on 127.0.0.1; port 0 picks a free one.
UniqueFd listenOn(std::uint16_t port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd) return fd;
  const int on = 1;
  ::setsockopt(fd.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return UniqueFd();
  if (::listen(fd.get(), 16) != 0) return UniqueFd();
  return fd;
}

int portOf(int fd) {
  sockaddr_in address{};
  socklen_t size = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  return ntohs(address.sin_port);
}

// Serves one connection after another: reads a request's head, records its
// target, then answers with `response` or, when silent, holds the
// connection until the client or the test ends it.
class LoopbackServer {
 public:
  LoopbackServer(UniqueFd listener, std::string response, bool silent = false)
      : listener_(std::move(listener)), response_(std::move(response)), silent_(silent) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) == 0) {
      stopRead_.reset(pipeFds[0]);
      stopWrite_.reset(pipeFds[1]);
    }
    thread_ = std::thread([this] { serve(); });
  }
  explicit LoopbackServer(std::string response, bool silent = false)
      : LoopbackServer(listenOn(0), std::move(response), silent) {}
  ~LoopbackServer() {
    const char byte = 0;
    (void)!::write(stopWrite_.get(), &byte, 1);
    thread_.join();
  }

  [[nodiscard]] bool listening() const { return listener_.valid(); }
  [[nodiscard]] int port() const { return portOf(listener_.get()); }
  [[nodiscard]] std::vector<std::string> targets() const {
    std::lock_guard lock(mutex_);
    return targets_;
  }

 private:
  // Waits for `fd` to be readable; false when the test stops the server.
  bool waitReadable(int fd) const {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stopRead_.get(), POLLIN, 0}};
    while (::poll(fds, 2, -1) < 0) {
    }
    return (fds[1].revents & POLLIN) == 0;
  }

  void serve() {
    while (listener_.valid() && waitReadable(listener_.get())) {
      UniqueFd connection(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
      if (!connection) continue;
      std::string head;
      char buffer[4096];
      while (head.find("\r\n\r\n") == std::string::npos && waitReadable(connection.get())) {
        const ssize_t n = ::recv(connection.get(), buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, static_cast<std::size_t>(n));
      }
      const std::size_t start = head.find(' ');
      const std::size_t end = start == std::string::npos ? start : head.find(' ', start + 1);
      if (end != std::string::npos) {
        std::lock_guard lock(mutex_);
        targets_.push_back(head.substr(start + 1, end - start - 1));
      }
      if (silent_) {
        // Until the client gives up (its read ends) or the test stops.
        while (waitReadable(connection.get()) && ::recv(connection.get(), buffer, sizeof buffer, 0) > 0) {
        }
        continue;
      }
      std::size_t sent = 0;
      while (sent < response_.size()) {
        const ssize_t n = ::send(connection.get(), response_.data() + sent, response_.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += static_cast<std::size_t>(n);
      }
    }
  }

  UniqueFd listener_;
  UniqueFd stopRead_;
  UniqueFd stopWrite_;
  std::string response_;
  bool silent_;
  mutable std::mutex mutex_;
  std::vector<std::string> targets_;
  std::thread thread_;
};

std::string httpResponse(int status, std::string_view reason, std::string_view body) {
  return "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) +
         "\r\nContent-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + std::string(body);
}

// Counts completions; waits for them with a time limit.
class Completions {
 public:
  std::function<void()> hook() {
    return [this] {
      std::lock_guard lock(mutex_);
      ++done_;
      changed_.notify_all();
    };
  }
  bool waitFor(int count, std::chrono::seconds limit = 20s) {
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadlineAfter(limit), [&] { return done_ >= count; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int done_ = 0;
};

// Sends `url` to the server at `port` and answers everything printed by the
// time the request has completed.
std::string sendAndCapture(std::string_view url, int port, std::chrono::milliseconds timeout = 10'000ms) {
  ConsoleCapture capture;
  Completions completions;
  foundation_internal::sendOpenCommand(url, {port, timeout, completions.hook()});
  EXPECT_TRUE(completions.waitFor(1)) << "the request never completed";
  return capture.standardOutput();
}

std::string redLine(std::string_view text) { return "\x1b[fg255,0,0;" + std::string(text) + "\x1b[;\n"; }

TEST(CommandEndpoint, RequestPaths) {
  struct Case {
    const char* url;
    const char* path;
  };
  const Case cases[] = {
      {"file:///tmp/a b", "/command/open%20%22file:%2F%2F%2Ftmp%2Fa%20b%22"},
      {"", "/command/open%20%22%22"},
      {"caf\u00e9", "/command/open%20%22caf%C3%A9%22"},
      {"100%", "/command/open%20%22100%25%22"},
      {"a;b", "/command/open%20%22a%3Bb%22"},
      {"~user", "/command/open%20%22~user%22"},
      {"!$&'()*+,-.:=@_~", "/command/open%20%22!$&'()*+,-.:=@_~%22"},
      {"?#[]", "/command/open%20%22%3F%23%5B%5D%22"},
  };
  LoopbackServer server(httpResponse(200, "OK", "ok"));
  ASSERT_TRUE(server.listening());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const std::string url = "http://localhost:" + std::to_string(server.port()) + c.path;
    EXPECT_EQ(foundation_internal::commandRequestUrl(c.url, server.port()), url);
    EXPECT_EQ(sendAndCapture(c.url, server.port()), "urlString = " + url + "\nok\n");
    ASSERT_FALSE(server.targets().empty());
    EXPECT_EQ(server.targets().back(), c.path);
  }
}

TEST(CommandEndpoint, Answers) {
  struct Case {
    const char* name;
    std::string response;
    std::string printedAfterUrl;  // "%URL%" stands for the request URL
  };
  const Case cases[] = {
      {"200 with a body", httpResponse(200, "OK", "opened"), "opened\n"},
      {"200, empty body: one empty line", httpResponse(200, "OK", ""), "\n"},
      {"404 with a body", httpResponse(404, "Not Found", "no such command"),
       "no such command\n" + redLine("Error opening %URL%:HTTP status 404")},
      {"500 without a body", httpResponse(500, "Internal Server Error", ""),
       "\n" + redLine("Error opening %URL%:HTTP status 500")},
      {"invalid UTF-8 is repaired", httpResponse(200, "OK", "a\xFF\xC3z"), "a\uFFFD\uFFFDz\n"},
      {"lines of a body stay one print", httpResponse(200, "OK", "one\ntwo"), "one\ntwo\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackServer server(c.response);
    ASSERT_TRUE(server.listening());
    const std::string url = foundation_internal::commandRequestUrl("x", server.port());
    std::string expected = c.printedAfterUrl;
    if (const std::size_t at = expected.find("%URL%"); at != std::string::npos) expected.replace(at, 5, url);
    EXPECT_EQ(sendAndCapture("x", server.port()), "urlString = " + url + "\n" + expected);
  }
}

TEST(CommandEndpoint, NothingListening) {
  int port = 0;
  {
    UniqueFd probe = listenOn(0);
    ASSERT_TRUE(probe.valid());
    port = portOf(probe.get());
  }  // closed: nothing listens there now
  const std::string url = foundation_internal::commandRequestUrl("x", port);
  const std::string out = sendAndCapture("x", port);
  const std::string head = "urlString = " + url + "\n\x1b[fg255,0,0;Error opening " + url + ":";
  ASSERT_TRUE(out.starts_with(head)) << out;
  EXPECT_TRUE(out.ends_with("\x1b[;\n")) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;  // no body line
}

TEST(CommandEndpoint, ServerThatNeverAnswersHitsTheTimeLimit) {
  LoopbackServer server("", /*silent=*/true);
  ASSERT_TRUE(server.listening());
  const std::string url = foundation_internal::commandRequestUrl("x", server.port());
  const auto started = std::chrono::steady_clock::now();
  const std::string out = sendAndCapture("x", server.port(), 300ms);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
  const std::string head = "urlString = " + url + "\n\x1b[fg255,0,0;Error opening " + url + ":";
  ASSERT_TRUE(out.starts_with(head)) << out;
  EXPECT_NE(out.find("timed out"), std::string::npos) << out;
  EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2) << out;
}

TEST(CommandEndpoint, ManyRequestsAtOnce) {
  LoopbackServer server(httpResponse(200, "OK", "ok"));
  ASSERT_TRUE(server.listening());
  constexpr int kRequests = 8;
  ConsoleCapture capture;
  Completions completions;
  std::vector<std::thread> senders;
  for (int i = 0; i < kRequests; ++i) {
    senders.emplace_back([&, i] {
      foundation_internal::sendOpenCommand("n" + std::to_string(i), {server.port(), 10'000ms, completions.hook()});
    });
  }
  for (std::thread& t : senders) t.join();
  ASSERT_TRUE(completions.waitFor(kRequests));
  const std::string out = capture.standardOutput();
  std::size_t okLines = 0;
  for (std::size_t at = out.find("\nok\n"); at != std::string::npos; at = out.find("\nok\n", at + 1)) ++okLines;
  EXPECT_EQ(okLines + (out.starts_with("ok\n") ? 1 : 0), static_cast<std::size_t>(kRequests)) << out;
  EXPECT_EQ(server.targets().size(), static_cast<std::size_t>(kRequests));
}

TEST(CommandEndpoint, PublicCallReturnsAtOnceAndUsesPort2912) {
  UniqueFd listener = listenOn(2912);
  if (!listener) GTEST_SKIP() << "port 2912 is taken on this machine";
  LoopbackServer server(std::move(listener), httpResponse(200, "OK", "done"));
  ConsoleCapture capture;
  vt::dummyMethod();
  vt::openUrlOnMac("a b");
  const std::string url = "http://localhost:2912/command/open%20%22a%20b%22";
  // Printed before returning; the answer may already have come too.
  EXPECT_TRUE(capture.standardOutput().starts_with("urlString = " + url + "\n")) << capture.standardOutput();
  const auto deadline = deadlineAfter(20s);
  while (capture.standardOutput() != "urlString = " + url + "\ndone\n" &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(5ms);
  }
  EXPECT_EQ(capture.standardOutput(), "urlString = " + url + "\ndone\n");
}

}  // namespace
}  // namespace vantrel
