#include <gtest/gtest.h>
#include <httplib.h>
#include <sqlite3.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/net/support/score_server_runner.h"
#include "tools/score_server/score_routes.h"

namespace {

using testing_support::FreshDatabasePath;
using testing_support::ScoreServerRunner;

struct Reply {
  int status = 0;
  std::string body;
};

class ScoreServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    db_ = FreshDatabasePath(::testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_TRUE(server_.Start(db_));
  }

  Reply Get(const std::string& target) {
    httplib::Client client("127.0.0.1", server_.Port());
    client.set_connection_timeout(2, 0);
    client.set_read_timeout(5, 0);
    auto res = client.Get(target.c_str());
    if (!res) return {};
    return {res->status, res->body};
  }
  static std::string Query(const std::string& page, int score, const std::string& name = "Ann") {
    return "/chimebox/" + page + "?first_name=" + name +
           "&last_name=Lee&addr=1%20Main%20St&country=UK&score=" + std::to_string(score);
  }
  void Submit(int score) { ASSERT_EQ(Get(Query("top1.php", score)).status, 200) << score; }
  std::string PlaceOf(int score) {
    Reply r = Get(Query("top2.php", score));
    EXPECT_EQ(r.status, 200) << score;
    return r.body;
  }

  std::string db_;
  ScoreServerRunner server_;
};

TEST_F(ScoreServerTest, PlaceCountsOnlyHigherScoresSoTiesShareAPlace) {
  for (int score : {500, 900, 900, 300}) Submit(score);
  struct Case {
    int score;
    const char* place;
  };
  const Case cases[] = {{1000, "1"}, {900, "1"}, {700, "3"}, {500, "3"},
                        {300, "4"},  {0, "5"}};
  for (const Case& c : cases) EXPECT_EQ(PlaceOf(c.score), c.place) << c.score;
}

TEST_F(ScoreServerTest, OutsideTheTenBestTheBodyIsEmpty) {
  for (int score = 1010; score >= 1001; --score) Submit(score);  // ten better scores
  EXPECT_EQ(PlaceOf(1001), "10");
  EXPECT_EQ(PlaceOf(1000), "");
  Reply r = Get(Query("top2.php", 5));
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "");
}

TEST_F(ScoreServerTest, BadInputIsRefusedWithATextTheGameNeverReadsAsAPlace) {
  const std::string fields = "first_name=A&last_name=B&addr=C&country=D";
  const std::string longField(score_server::MAX_FIELD_BYTES + 1, 'x');
  const char* const badTargets[] = {
      "/chimebox/top2.php?first_name=A",
      "/chimebox/top2.php?score=",
      "/chimebox/top2.php?score=abc",
      "/chimebox/top2.php?score=-5",
      "/chimebox/top2.php?score=+5",
      "/chimebox/top2.php?score=1.5",
      "/chimebox/top2.php?score=%205",
      "/chimebox/top2.php?score=18001",
      "/chimebox/top2.php?score=99999999999999999999999",
      "/chimebox/top2.php?score=1&score=2",
      "/chimebox/top1.php?last_name=B&addr=C&country=D&score=5",
      "/chimebox/top1.php?first_name=A&first_name=Z&last_name=B&addr=C&country=D&score=5",
  };
  std::vector<std::string> targets(std::begin(badTargets), std::end(badTargets));
  targets.push_back("/chimebox/top1.php?first_name=" + longField +
                    "&last_name=B&addr=C&country=D&score=5");
  targets.push_back("/chimebox/top2.php?country=" + longField + "&score=5");
  for (const std::string& target : targets) {
    Reply r = Get(target);
    EXPECT_EQ(r.status, 400) << target;
    ASSERT_FALSE(r.body.empty()) << target;
    EXPECT_TRUE(isalpha(static_cast<unsigned char>(r.body[0]))) << target;
  }
  // Nothing refused was stored, and the largest accepted field is stored.
  EXPECT_EQ(PlaceOf(0), "1");
  EXPECT_EQ(Get("/chimebox/top1.php?first_name=" + std::string(score_server::MAX_FIELD_BYTES, 'x') +
                "&last_name=&addr=&country=&score=18000")
                .status,
            200);
  EXPECT_EQ(PlaceOf(0), "2");
}

TEST_F(ScoreServerTest, OversizedRequestsAndUnknownPagesAreRefusedWithAText) {
  Reply tooLong = Get("/chimebox/top2.php?score=1&pad=" + std::string(20000, 'x'));
  EXPECT_GE(tooLong.status, 400);
  EXPECT_FALSE(tooLong.body.empty());
  Reply unknown = Get("/chimebox/top3.php?score=1");
  EXPECT_EQ(unknown.status, 404);
  EXPECT_FALSE(unknown.body.empty());
}

TEST_F(ScoreServerTest, ConcurrentSubmissionsAreAllStored) {
  constexpr int kThreads = 8;
  constexpr int kEach = 25;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      httplib::Client client("127.0.0.1", server_.Port());
      for (int i = 0; i < kEach; ++i) {
        int score = t * kEach + i + 1;
        auto put = client.Get(Query("top1.php", score).c_str());
        auto place = client.Get(Query("top2.php", score).c_str());
        if (!put || put->status != 200 || !place || place->status != 200) ++failures;
      }
    });
  }
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  const int total = kThreads * kEach;
  EXPECT_EQ(PlaceOf(total), "1");
  EXPECT_EQ(PlaceOf(total - 9), "10");
  EXPECT_EQ(PlaceOf(total - 10), "");
  EXPECT_EQ(server_.Store().PlaceOf(0), total + 1);
}

TEST_F(ScoreServerTest, ScoresOutliveARestartInAWalDatabase) {
  Submit(700);
  Submit(800);
  server_.Stop();
  ASSERT_TRUE(server_.Start(db_));
  EXPECT_EQ(PlaceOf(750), "2");

  sqlite3* conn = nullptr;
  ASSERT_EQ(sqlite3_open(db_.c_str(), &conn), SQLITE_OK);
  sqlite3_stmt* mode = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(conn, "PRAGMA journal_mode", -1, &mode, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(mode), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(mode, 0)), "wal");
  sqlite3_finalize(mode);
  sqlite3_close(conn);
}

TEST(ScoreStore, AnUnusableDatabaseIsReportedNotCrashedOn) {
  score_server::ScoreStore store;
  std::string error;
  EXPECT_FALSE(store.Open(::testing::TempDir() + "no/such/folder/scores.db", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(store.Add({}));
  EXPECT_EQ(store.PlaceOf(5), 0);
}

}  // namespace
