// SPDX-License-Identifier: GPL-3.0-or-later
// The real HTTP server on a free local port: requests as they arrive on the wire.
#include "server/http.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
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

// Sends `request` as raw bytes and returns everything the server sends back until it closes the
// connection or goes quiet for a second.
std::string rawExchange(int port, const std::string& request) {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(static_cast<uint16_t>(port));
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const timeval quiet{1, 0};
  setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &quiet, sizeof quiet);
  std::string got;
  if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
      write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
    char buf[65536];
    for (ssize_t n; (n = read(fd, buf, sizeof buf)) > 0;) got.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return got;
}

int statusOf(const std::string& answer) {
  return answer.size() > 12 ? std::atoi(answer.c_str() + 9) : 0;
}

class HttpTest : public StoreFixture {
 protected:
  void SetUp() override {
    StoreFixture::SetUp();
    service_ = std::make_unique<ScoreService>(*store, ServiceLimits{0, 0});
    http_ = std::make_unique<HttpServer>(*service_, log_, HttpLimits{});
    port_ = http_->start("127.0.0.1", 0);
    ASSERT_GT(port_, 0);
  }
  void TearDown() override {
    stop();
    StoreFixture::TearDown();
  }
  void stop() {
    if (http_) {
      EXPECT_TRUE(http_->stop(std::chrono::seconds(3)));
    }
    http_.reset();
  }
  std::string request(const std::string& method, const std::string& target,
                      const std::string& headers = "") {
    return rawExchange(
        port_,
        method + " " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n" + headers + "\r\n");
  }
  int get(const std::string& target) { return statusOf(request("GET", target)); }

  std::ostringstream logText_;
  RequestLog log_{logText_};
  std::unique_ptr<ScoreService> service_;
  std::unique_ptr<HttpServer> http_;
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
  // A request line broken by a raw space is not answered at all, and nothing is stored.
  EXPECT_EQ(get("/morvane/mv.asp?action2=add&playername=ANNA 1.7&level=4&score=1"), 0);
  EXPECT_EQ(statusOf(request("GET", "/x", "Bad Header\r\n")), 400);
  EXPECT_EQ(store->count(), 2);
  std::this_thread::sleep_for(std::chrono::milliseconds(1200));  // the once-a-second note

  stop();
  const std::string log = logText_.str();
  EXPECT_NE(
      log.find(
          " 127.0.0.1 \"GET "
          "/morvane/mv.asp?action2=add&playername=ZO\\xC3\\x8B%201.7&level=4&score=1520\" 200\n"),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("playername=A%0A%201.7&level=2&score=9\" 400\n"), std::string::npos);
  EXPECT_NE(log.find("\"GET /nothing-here\" 404\n"), std::string::npos);
  // Malformed requests are logged with their client's address too.
  EXPECT_NE(log.find(" 127.0.0.1 \"- /x\" malformed\n"), std::string::npos) << log;
  EXPECT_NE(log.find("1 closed without a readable request line (the last from 127.0.0.1)"),
            std::string::npos)
      << log;
}

TEST_P(HttpTest, OnlyGetStoresAndNoRequestBringsABody) {
  const std::string report = "/morvane/mv.asp?action2=add&playername=ANNA%201.7&level=4&score=1";
  // HEAD answers as GET would, with no body and no row.
  const std::string head = request("HEAD", report);
  EXPECT_EQ(statusOf(head), 200);
  EXPECT_EQ(head.find("\r\n\r\nok"), std::string::npos);
  EXPECT_EQ(statusOf(request("HEAD", "/morvane/mv.asp?level=4")), 400);
  EXPECT_EQ(statusOf(request("HEAD", "/")), 200);
  // Other methods are told which ones there are.
  const std::string post = request("POST", report);
  EXPECT_EQ(statusOf(post), 405);
  EXPECT_NE(post.find("Allow: GET, HEAD\r\n"), std::string::npos) << post;
  EXPECT_EQ(statusOf(request("DELETE", "/")), 405);
  // A body of any kind is refused, the connection closed, and whatever it held never read.
  const std::string hidden = "GET " + report + " HTTP/1.1\r\nHost: x\r\n\r\n";
  for (const std::string& framing :
       {"Content-Length: " + std::to_string(hidden.size()) + "\r\n\r\n" + hidden,
        std::string("Transfer-Encoding: chunked\r\n\r\n") + "40\r\n" + hidden + "\r\n0\r\n\r\n"}) {
    const std::string answer = rawExchange(port_, "GET / HTTP/1.1\r\nHost: x\r\n" + framing);
    EXPECT_EQ(statusOf(answer), 400) << framing;
    EXPECT_EQ(std::count(answer.begin(), answer.end(), '\n') > 0 &&
                  answer.find("HTTP/1.1", 5) == std::string::npos,
              true)
        << answer;
  }
  EXPECT_EQ(statusOf(request("POST", report, "Content-Length: 5\r\n")), 400);
  EXPECT_EQ(store->count(), 0);
  // Content-Length: 0 is no body.
  EXPECT_EQ(statusOf(request("GET", report, "Content-Length: 0\r\n")), 200);
  EXPECT_EQ(store->count(), 1);
}

TEST_P(HttpTest, RangeIsIgnoredAndPipelinedRequestsCloseTheConnection) {
  store->add({"ANNA", "1.7", 3, 5}, "2026-01-01T00:00:00Z", "192.0.2.1");
  const std::string whole = request("GET", "/");
  std::string ranges = "Range: bytes=0-";
  for (int i = 0; i < 500; ++i) ranges += ",0-";
  const std::string ranged = request("GET", "/", ranges + "\r\n");
  EXPECT_EQ(statusOf(ranged), 200);
  EXPECT_EQ(ranged.size(), whole.size());
  // A second request sent before the first is answered is not served: the first answer says the
  // connection closes, and it does at once, so the client knows to ask again.
  const auto before = std::chrono::steady_clock::now();
  const std::string two = rawExchange(port_,
                                      "GET /scores.json HTTP/1.1\r\nHost: x\r\n\r\n"
                                      "GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n");
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(900));
  EXPECT_EQ(statusOf(two), 200);
  EXPECT_NE(two.find("Connection: close\r\n"), std::string::npos) << two;
}

INSTANTIATE_TEST_SUITE_P(Stores, HttpTest, ::testing::Values("sqlite"), storeKindName);

TEST(LogLine, NoRequestCanBreakOrForgeALineOrMakeItLong) {
  const auto t = std::chrono::system_clock::from_time_t(0);
  EXPECT_EQ(logLine(t, "::1", "GET", "/a\r\nb\"c", "404"),
            "1970-01-01T00:00:00Z ::1 \"GET /a\\x0D\\x0Ab\\x22c\" 404");
  const std::string line = logLine(t, "::1", "GET", std::string(8192, '\xFF'), "400");
  EXPECT_LT(line.size(), 4 * kLoggedTargetBytes + 100);
  EXPECT_NE(line.find("...(8192 bytes)\" 400"), std::string::npos);
}

TEST(RouteTest, HeadOfAReportStoresNothing) {
  struct CountingStore : FakeStore {
    void add(const Report&, const std::string&, const std::string&) override { ++adds; }
    std::int64_t countInMinute(const std::string&, std::int64_t) override { return ++counted; }
    int adds = 0, counted = 0;
  } store;
  ScoreService service(store, ServiceLimits{});
  const auto now = std::chrono::system_clock::now();
  const std::string t = "/morvane/mv.asp?action2=add&playername=ANNA%201.7&level=4&score=1";
  EXPECT_EQ(route(service, "HEAD", t, "192.0.2.1", now).status, 200);
  EXPECT_EQ(store.adds + store.counted, 0);
  EXPECT_EQ(route(service, "GET", t, "192.0.2.1", now).status, 200);
  EXPECT_EQ(store.adds, 1);
}
