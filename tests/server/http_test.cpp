// SPDX-License-Identifier: GPL-3.0-or-later
// The real HTTP server on a free local port: requests as they arrive on the wire.
#include "server/http.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include "server/service.h"
#include "store_fixture.h"

using namespace scores;

namespace {

// Sends `request` as raw bytes and returns the status code of the answer (0 when none came).
int rawStatus(int port, const std::string& request) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return close(fd), 0;
  if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
    return close(fd), 0;
  char buf[64] = {};
  const ssize_t n = read(fd, buf, sizeof buf - 1);
  close(fd);
  return n > 12 ? std::atoi(buf + 9) : 0;
}

class HttpTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    service_ = std::make_unique<ScoreService>(*store, 0);
    route(http_, *service_, log_);
    port_ = http_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { http_.listen_after_bind(); });
    for (int i = 0; i < 2000 && !http_.is_running(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  void TearDown() override {
    stop();
    StoreFixture::TearDown();
  }
  void stop() {
    http_.stop();
    if (thread_.joinable()) thread_.join();
  }
  int get(const std::string& target) {
    return rawStatus(port_, "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n");
  }

  std::ostringstream logText_;
  RequestLog log_{logText_};
  httplib::Server http_;
  std::unique_ptr<ScoreService> service_;
  std::thread thread_;
  int port_ = 0;
};

}  // namespace

TEST_P(HttpTest, ReportsPagesAndOneLogLineEach) {
  EXPECT_EQ(get("/morvane/mv.asp?action2=add&playername=ZO\xC3\x8B%201.7&level=4&score=1520"), 200);
  EXPECT_EQ(get("/morvane/mv.asp?action2=add&playername=A%26B%201.7&level=2&score=9"), 200);
  EXPECT_EQ(get("/morvane/mv.asp?action2=add&playername=A%0A%201.7&level=2&score=9"), 400);
  EXPECT_EQ(get("/morvane/mv.asp"), 400);
  EXPECT_EQ(get("/"), 200);
  EXPECT_EQ(get("/scores.json"), 200);
  EXPECT_EQ(get("/nothing-here"), 404);
  // A request line broken by a raw space is refused by the HTTP layer, and nothing is stored.
  EXPECT_EQ(get("/morvane/mv.asp?action2=add&playername=ANNA 1.7&level=4&score=1"), 400);
  EXPECT_EQ(store->count(), 2);

  // Requests run on several threads, so their lines come in any order; all are in once it stops.
  stop();
  const std::string log = logText_.str();
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 8);  // the refused request line too
  EXPECT_NE(
      log.find(
          " 127.0.0.1 \"GET "
          "/morvane/mv.asp?action2=add&playername=ZO\\xC3\\x8B%201.7&level=4&score=1520\" 200\n"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("playername=A%0A%201.7&level=2&score=9\" 400\n"), std::string::npos);
  EXPECT_NE(log.find("\"GET /nothing-here\" 404\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Stores, HttpTest, ::testing::Values("sqlite"), storeKindName);

TEST(LogLine, NoRequestCanBreakOrForgeALine) {
  const auto t = std::chrono::system_clock::from_time_t(0);
  EXPECT_EQ(logLine(t, "::1", "GET", "/a\r\nb\"c", 404),
            "1970-01-01T00:00:00Z ::1 \"GET /a\\x0D\\x0Ab\\x22c\" 404");
}
