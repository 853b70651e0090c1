#include "platform/net/http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "tests/net/support/score_server_runner.h"
#include "tests/net/support/silent_port.h"

namespace {

using plat::CurlHttpGet;
using plat::EncodeUnsafeUrlBytes;
using plat::HttpResult;
using testing_support::SilentPort;
using Clock = std::chrono::steady_clock;

long ElapsedMs(Clock::time_point since) {
  return static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - since).count());
}

TEST(EncodeUnsafeUrlBytes, EncodesOnlyWhatCannotStandInAUrl) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"http://h:1/p?a=b&c=d#f%41", "http://h:1/p?a=b&c=d#f%41"},  // delimiters and '%' stay
      {"~!$'()*+,;:@/?-._", "~!$'()*+,;:@/?-._"},
      {"Ann Marie", "Ann%20Marie"},
      {"Lee\r", "Lee%0D"},
      {"a\tb\nc", "a%09b%0Ac"},
      {std::string("a\0b", 3), "a%00b"},
      {"\x7f", "%7F"},
      {"\xc3\xa9\xff\x80", "%C3%A9%FF%80"},
      {"\"<>\\^`{|}", "%22%3C%3E%5C%5E%60%7B%7C%7D"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(EncodeUnsafeUrlBytes(c.in), c.out) << c.in;
}

// A small server with the kinds of reply the client must survive.
class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.Get("/target", [](const httplib::Request& req, httplib::Response& res) {
      res.set_content(req.target, "text/plain");  // the request line as it arrived
    });
    server_.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("gone", "text/plain");
    });
    server_.Get("/empty", [](const httplib::Request&, httplib::Response& res) {
      res.set_content("", "text/plain");
    });
    server_.Get("/big", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(bigBody_, "application/octet-stream");
    });
    // Headers at once, the body only after a long wait (or when the test ends).
    server_.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink& sink) {
        for (int i = 0; i < 300 && !stopping_; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        sink.write("late", 4);
        sink.done();
        return true;
      });
    });
    for (size_t i = 0; i < bigBody_.size(); ++i) bigBody_[i] = static_cast<char>(i % 7);
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 5000 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  void TearDown() override {
    stopping_ = true;
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }
  std::string Url(const std::string& pathAndQuery) const {
    return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
  }

  httplib::Server server_;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::string bigBody_ = std::string(250000, '\0');
  int port_ = 0;
};

TEST_F(HttpClientTest, SendsTheAddressEncodedOnlyWhereItMustBe) {
  std::string body;
  ASSERT_EQ(CurlHttpGet(Url("/target?first_name=Ann Marie&last_name=Lee\r&c=\xc3\xa9&d=%41"),
                        &body, 1000),
            HttpResult::Ok);
  EXPECT_EQ(body, "/target?first_name=Ann%20Marie&last_name=Lee%0D&c=%C3%A9&d=%41");
}

TEST_F(HttpClientTest, AnyStatusIsAnAnswer) {
  std::string body;
  EXPECT_EQ(CurlHttpGet(Url("/missing"), &body, 1000), HttpResult::Ok);
  EXPECT_EQ(body, "gone");
  EXPECT_EQ(CurlHttpGet(Url("/empty"), &body, 1000), HttpResult::Ok);
  EXPECT_EQ(body, "");
}

TEST_F(HttpClientTest, BodyIsCutAtTheLimitWithZeroBytesKept) {
  struct Case {
    size_t limit;
    size_t expected;
  };
  const Case cases[] = {{100000, 100000}, {0, 0}, {1, 1}, {300000, 250000}};
  for (const Case& c : cases) {
    std::string body = "stale";
    ASSERT_EQ(CurlHttpGet(Url("/big"), &body, c.limit), HttpResult::Ok) << c.limit;
    ASSERT_EQ(body.size(), c.expected) << c.limit;
    EXPECT_EQ(body, bigBody_.substr(0, c.expected)) << c.limit;
  }
}

TEST_F(HttpClientTest, WithoutABodyTheRequestEndsWhenTheHeadersAreIn) {
  auto start = Clock::now();
  EXPECT_EQ(CurlHttpGet(Url("/stall"), nullptr, 0, 1000, 2000), HttpResult::Ok);
  EXPECT_LT(ElapsedMs(start), 1500);
}

TEST_F(HttpClientTest, ABodyThatNeverComesIsAFailedRead) {
  std::string body;
  auto start = Clock::now();
  EXPECT_EQ(CurlHttpGet(Url("/stall"), &body, 1000, 300, 600), HttpResult::ReadFailed);
  EXPECT_LT(ElapsedMs(start), 2500);
}

TEST(HttpClientNoServer, ARefusedConnectionIsNoAnswerAtOnce) {
  SilentPort closed(false);
  std::string body = "stale";
  auto start = Clock::now();
  EXPECT_EQ(CurlHttpGet(closed.Url(), &body, 100000), HttpResult::NoAnswer);
  EXPECT_LT(ElapsedMs(start), 2000);
  EXPECT_EQ(body, "");
}

TEST(HttpClientNoServer, AServerThatNeverAnswersIsNoAnswerAfterTheWholeRequestTimeOut) {
  SilentPort silent(true);
  for (std::string* body : {static_cast<std::string*>(nullptr), new std::string}) {
    auto start = Clock::now();
    EXPECT_EQ(CurlHttpGet(silent.Url(), body, 100000, 300, 700), HttpResult::NoAnswer);
    long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, 650);
    EXPECT_LT(elapsed, 3000);
    delete body;
  }
}

// The client's encoding and the server's decoding together carry every field byte for byte.
TEST(HttpClientWithScoreServer, SubmissionArrivesIntact) {
  testing_support::ScoreServerRunner server;
  const std::string db = testing_support::FreshDatabasePath("client_submission");
  ASSERT_TRUE(server.Start(db));
  EXPECT_EQ(CurlHttpGet(server.BaseUrl() +
                            "/chimebox/top1.php?first_name=Ann Marie&last_name=Lee\r"
                            "&addr=1 Rue \xc3\xa9t\xc3\xa9&country=<UK>&score=1234",
                        nullptr, 0),
            HttpResult::Ok);
  server.Stop();

  sqlite3* conn = nullptr;
  ASSERT_EQ(sqlite3_open(db.c_str(), &conn), SQLITE_OK);
  sqlite3_stmt* row = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(conn, "SELECT first_name, last_name, addr, country, score FROM scores",
                               -1, &row, nullptr),
            SQLITE_OK);
  ASSERT_EQ(sqlite3_step(row), SQLITE_ROW);
  auto text = [row](int col) {
    return std::string(reinterpret_cast<const char*>(sqlite3_column_text(row, col)),
                       static_cast<size_t>(sqlite3_column_bytes(row, col)));
  };
  EXPECT_EQ(text(0), "Ann Marie");
  EXPECT_EQ(text(1), "Lee\r");
  EXPECT_EQ(text(2), "1 Rue \xc3\xa9t\xc3\xa9");
  EXPECT_EQ(text(3), "<UK>");
  EXPECT_EQ(sqlite3_column_int(row, 4), 1234);
  EXPECT_EQ(sqlite3_step(row), SQLITE_DONE);
  sqlite3_finalize(row);
  sqlite3_close(conn);
}

}  // namespace
