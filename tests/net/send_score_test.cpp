// Score submission played on the virtual platform with the whole game: the menu's entry 8,
// Y, N and Escape, config.dat read from the game folder, and the two requests sent through
// the real HTTP client to the reference server on the loopback interface.
#include "scores/send_score.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tests/net/support/score_server_runner.h"
#include "tests/net/support/silent_port.h"
#include "tests/support/loopback_http.h"
#include "tests/support/scenario.h"

namespace {

using plat::HttpResult;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing_support::FixtureOptions;
using testing_support::LoopbackHttp;
using testing_support::Scenario;
using Names = std::vector<std::string>;

constexpr char kPrompt[] = "game\\check_connected.vgz";
constexpr char kSending[] = "game\\sending_score.vgz";
constexpr char kConfigureFirst[] = "game\\say_config_first.vgz";
constexpr char kMadeIt[] = "game\\made_it.vgz";
constexpr char kNotEnough[] = "game\\not_enough.vgz";
constexpr char kEntry8[] = "menu\\send_score.vgz";

constexpr uint64_t kEnterAt = 500;  // Enter on entry 8
constexpr uint64_t kKeyAt = 1000;   // the key answering the prompt

std::string SubmitUrl(const std::string& first, const std::string& last, const std::string& addr,
                      const std::string& country) {
  return "http://" CHIMEBOX_SCORE_HOST "/chimebox/top1.php?first_name=" + first +
         "&last_name=" + last + "&addr=" + addr + "&country=" + country + "&score=";
}

std::string PlaceUrl(std::string url) {
  return url.replace(url.find("top1.php"), 8, "top2.php");
}

std::string Word(int n) { return "score\\" + std::to_string(n) + ".vgz"; }

std::string ConfigPath(const Scenario& s) { return s.folder + "config.dat"; }

void WriteConfig(const Scenario& s, const std::string& text) {
  testing_support::WriteBytes(ConfigPath(s), std::vector<unsigned char>(text.begin(), text.end()));
}

int ConfigReads(const Scenario& s) {
  int n = 0;
  for (const plat::LogEntry& e : s.vp.LogOf("read")) n += e.name == ConfigPath(s);
  return n;
}

// Cuts the introduction short, walks up from the prompt to entry 8 (1, 9, 8), chooses it,
// then answers the prompt with key.
void ScriptAnswer(Scenario& s, int key) {
  s.Tap(100, plat::VK_CONTROL).Tap(200, plat::VK_UP).Tap(300, plat::VK_UP).Tap(400, plat::VK_UP);
  s.Tap(kEnterAt, plat::VK_RETURN);
  s.Tap(kKeyAt, key);
}

// Start-up, then a last score as if a level had just been won.
void StartWithScore(Scenario& s, int score) {
  s.Start();
  g_lastScore = score;
}

// ---- config.dat and the address built from it

TEST(SendScoreDetails, ConfigFileGivesTheFourFieldsUnescaped) {
  const std::string field5000(5000, 'q');
  const std::string tail10000(10000 - 10, 'c');
  struct Case {
    const char* what;
    bool exists;
    std::string file;
    int result;
    std::string url;  // when result is 1
  };
  const Case cases[] = {
      {"four lines", true, "Ann\nLee\n1 Main St\nUK\n", 1, SubmitUrl("Ann", "Lee", "1 Main St", "UK")},
      {"a single line", true, "Ann\n", 1, SubmitUrl("Ann", "", "", "")},
      {"no final line feed loses the last character", true, "Ann\nLee", 1,
       SubmitUrl("Ann", "Le", "", "")},
      {"a blank inside a field", true, "Ann Marie\nLee\n", 1, SubmitUrl("Ann Marie", "Lee", "", "")},
      {"carriage returns stay in their fields", true, "Ann\r\nLee\r\nX\r\nUK\r\n", 1,
       SubmitUrl("Ann\r", "Lee\r", "X\r", "UK\r")},
      {"a grave accent separates", true, "Ann`Lee\nX\nY\nZ\n", 1, SubmitUrl("Ann", "Lee", "X", "Y")},
      {"lines after the fourth ignored", true, "A\nB\nC\nD\nE\nF\n", 1, SubmitUrl("A", "B", "C", "D")},
      {"empty lines give empty fields", true, "\n\nC\n\n", 1, SubmitUrl("", "", "C", "")},
      {"a zero byte ends the text", true, std::string("Ann\0Lee\nX\n", 10), 1,
       SubmitUrl("Ann", "", "", "")},
      {"a field of 5000 bytes", true, field5000 + "\nLee\nX\nUK\n", 1,
       SubmitUrl(field5000, "Lee", "X", "UK")},
      {"a file of 10000 bytes", true, "Ann\nLee\nX\n" + tail10000, 1,
       SubmitUrl("Ann", "Lee", "X", tail10000.substr(1))},
      {"only the first 10000 bytes are read", true, std::string(20000, 'x'), 1,
       SubmitUrl(std::string(CONFIG_READ_BYTES - 1, 'x'), "", "", "")},
      {"a single byte", true, "A", 0, ""},
      {"a single line feed", true, "\n", 0, ""},
      {"an empty file", true, "", 0, ""},
      {"no file", false, "", 0, ""},
  };
  Scenario s(testing_support::DataFilesOnly());
  g_programFolder = s.folder;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove(ConfigPath(s));
    if (c.exists) WriteConfig(s, c.file);
    g_scoreUrl = "untouched";
    const int readsBefore = ConfigReads(s);
    EXPECT_EQ(ReadPlayerDetails(), c.result);
    EXPECT_EQ(g_scoreUrl, c.result == 1 ? c.url : "untouched");
    EXPECT_EQ(ConfigReads(s), readsBefore + 1);
  }
  // A count beyond the buffer is held to it.
  EXPECT_EQ(ParsePlayerDetails(std::string(CONFIG_READ_BYTES, 'y').c_str(), 1 << 20), 1);
  EXPECT_EQ(g_scoreUrl, SubmitUrl(std::string(CONFIG_READ_BYTES - 1, 'y'), "", "", ""));
}

// ---- the place page's reply, as heard

TEST(SendScorePlace, PlaceIsSpokenFromTheReplysFirstCharacter) {
  struct Case {
    const char* reply;
    Names heard;
  };
  const Case cases[] = {
      {"1", {kMadeIt, Word(1)}},  {"10", {kMadeIt, Word(10)}}, {"1x", {kMadeIt, Word(10)}},
      {"2", {kMadeIt, Word(2)}},  {"3", {kMadeIt, Word(3)}},   {"4", {kMadeIt, Word(4)}},
      {"5", {kMadeIt, Word(5)}},  {"6", {kMadeIt, Word(6)}},   {"7", {kMadeIt, Word(7)}},
      {"8", {kMadeIt, Word(8)}},  {"9", {kMadeIt, Word(9)}},   {"99", {kMadeIt, Word(9)}},
      {"0", {}},                  {"x", {}},                   {" 1", {}},
      {"", {}},
  };
  Scenario s;
  s.Start();
  for (const Case& c : cases) {
    const uint64_t from = s.vp.NowMs();
    SayPlaceFromReply(c.reply);
    EXPECT_THAT(s.StartedNames(from), ElementsAreArray(c.heard)) << '"' << c.reply << '"';
  }
}

TEST(SendScorePlace, PlaceRequestGoesToTop2EverywhereAndReadsTheReplyAsText) {
  struct Case {
    const char* what;
    HttpResult result;
    std::string body;
    Names heard;
  };
  const Case cases[] = {
      {"a place", HttpResult::Ok, "4", {kMadeIt, Word(4)}},
      {"an empty body", HttpResult::Ok, "", {kNotEnough}},
      {"the text ends at a zero byte", HttpResult::Ok, std::string("1\0" "0", 3), {kMadeIt, Word(1)}},
      {"a zero byte first", HttpResult::Ok, std::string("\0" "5", 2), {}},
      {"a reply beyond the limit", HttpResult::Ok, "1" + std::string(300000, '7'), {kMadeIt, Word(10)}},
      {"no answer", HttpResult::NoAnswer, "", {}},
      {"the read failed", HttpResult::ReadFailed, "3", {}},
  };
  Scenario s;
  s.Start();
  const std::string placeUrl =
      "http://" CHIMEBOX_SCORE_HOST "/chimebox/top2.php?first_name=top2.php&last_name=B"
      "&addr=C&country=D&score=";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    size_t askedFor = 0;
    s.vp.SetHttpHandler([&](const std::string&, std::string* body, size_t maxBody) {
      askedFor = maxBody;
      if (body != nullptr) *body = c.body;  // a platform that ignores the limit
      return c.result;
    });
    ASSERT_EQ(BuildScoreUrl("top1.php`B`C`D"), 1);
    s.vp.ClearLog();
    QueryPlace();
    EXPECT_EQ(g_scoreUrl, placeUrl);
    ASSERT_EQ(s.vp.LogOf("http").size(), 1u);
    EXPECT_EQ(s.vp.LogOf("http")[0].name, placeUrl);
    EXPECT_EQ(askedFor, PLACE_REPLY_MAX_BYTES);
    EXPECT_THAT(s.StartedNames(), ElementsAreArray(c.heard));
  }
}

// ---- the screen from the menu, without the network

TEST(SendScoreScreen, EscapeAndNLeaveWithoutReadingConfigAndOtherKeysAreIgnored) {
  for (int key : {int{plat::VK_ESCAPE}, int{plat::VK_N}}) {
    SCOPED_TRACE(key);
    Scenario s;
    WriteConfig(s, "Ann\nLee\nX\nUK\n");
    ScriptAnswer(s, key);
    uint64_t t = kEnterAt;
    for (int ignored : {int{plat::VK_RETURN}, int{plat::VK_SPACE}, int{plat::VK_CONTROL},
                        int{plat::VK_UP}, int{'A'}}) {
      s.Tap(t += 80, ignored);
    }
    StartWithScore(s, 1234);
    s.RunUntil(kKeyAt - 1);
    EXPECT_EQ(g_mode, MODE_SEND_SCORE);
    s.RunUntil(kKeyAt + 3000);

    EXPECT_THAT(s.StartedNames(kEnterAt), ElementsAre(kPrompt, kEntry8));
    EXPECT_EQ(s.FirstStart(kEntry8, kKeyAt), static_cast<int64_t>(kKeyAt));
    EXPECT_EQ(ConfigReads(s), 0);
    EXPECT_TRUE(s.vp.LogOf("http").empty());
    EXPECT_EQ(g_mode, MODE_MENU);
    for (SoundBuffer sound : g_sendSounds) EXPECT_EQ(sound, 0u);
  }
}

TEST(SendScoreScreen, WithoutDetailsYSaysConfigureFirstAndSendsNothing) {
  for (const char* file : {static_cast<const char*>(nullptr), "", "A"}) {
    SCOPED_TRACE(file ? file : "(no file)");
    Scenario s;
    if (file != nullptr) WriteConfig(s, file);
    ScriptAnswer(s, plat::VK_Y);
    StartWithScore(s, 1234);
    s.RunUntil(kKeyAt + 3000);
    EXPECT_THAT(s.StartedNames(kKeyAt), ElementsAre(kConfigureFirst, kEntry8));
    EXPECT_EQ(ConfigReads(s), 1);
    EXPECT_TRUE(s.vp.LogOf("http").empty());
    EXPECT_EQ(g_mode, MODE_MENU);
  }
}

TEST(SendScoreScreen, WithALastScoreOfZeroTheMenuSaysNotEnoughAndStays) {
  Scenario s;
  WriteConfig(s, "Ann\n");
  ScriptAnswer(s, plat::VK_Y);  // Y in the menu does nothing
  StartWithScore(s, 0);
  s.RunUntil(kKeyAt + 3000);
  EXPECT_THAT(s.StartedNames(kEnterAt), ElementsAre(kNotEnough));
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_EQ(ConfigReads(s), 0);
  EXPECT_TRUE(s.vp.LogOf("http").empty());
}

TEST(SendScoreScreen, ASoundThatFailsToLoadKeepsTheMenu) {
  FixtureOptions options;
  options.missing = {kSending};
  Scenario s(options);
  WriteConfig(s, "Ann\n");
  ScriptAnswer(s, plat::VK_Y);
  StartWithScore(s, 1234);
  s.RunUntil(kKeyAt + 3000);
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_TRUE(s.StartedNames(kEnterAt).empty());
  EXPECT_EQ(ConfigReads(s), 0);
  for (SoundBuffer sound : g_sendSounds) EXPECT_EQ(sound, 0u);
}

// ---- the whole exchange with the reference server on the loopback interface

std::vector<score_server::Submission> StoredSubmissions(const std::string& dbPath) {
  std::vector<score_server::Submission> rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(dbPath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT first_name, last_name, addr, country, score FROM scores ORDER BY id",
                       -1, &select, nullptr);
    auto text = [&](int column) {
      return std::string(static_cast<const char*>(sqlite3_column_blob(select, column)),
                         static_cast<size_t>(sqlite3_column_bytes(select, column)));
    };
    while (select != nullptr && sqlite3_step(select) == SQLITE_ROW) {
      rows.push_back({text(0), text(1), text(2), text(3), sqlite3_column_int(select, 4)});
    }
    sqlite3_finalize(select);
  }
  sqlite3_close(db);
  return rows;
}

// Starts the reference server with these scores already stored.
void StartServer(testing_support::ScoreServerRunner& server, const std::string& db,
                 const std::vector<int>& stored) {
  ASSERT_TRUE(server.Start(db));
  for (int score : stored) ASSERT_TRUE(server.Store().Add({"X", "Y", "Z", "W", score}));
}

// The player answers Y with these details and this last score; the requests made.
std::vector<plat::LogEntry> AnswerYes(Scenario& s, plat::VirtualPlatform::HttpHandler http,
                                      const std::string& config, int score) {
  s.vp.SetHttpHandler(std::move(http));
  WriteConfig(s, config);
  ScriptAnswer(s, plat::VK_Y);
  StartWithScore(s, score);
  s.RunUntil(kKeyAt + 10000);
  return s.vp.LogOf("http");
}

TEST(SendScoreExchange, TheScoreIsStoredAndThePlaceSpokenSixSecondsLater) {
  testing_support::ScoreServerRunner server;
  const std::string db = testing_support::FreshDatabasePath("send_made_it");
  StartServer(server, db, {9000, 8000});
  Scenario s;
  const std::vector<plat::LogEntry> http = AnswerYes(
      s, LoopbackHttp(server.Port(), 2000, 5000), "Ann Marie\nLee\r\n1 Main St\nUK\n", 8500);

  ASSERT_EQ(http.size(), 2u);
  const std::string submitUrl = SubmitUrl("Ann Marie", "Lee\r", "1 Main St", "UK") + "8500";
  EXPECT_EQ(http[0].name, submitUrl);
  EXPECT_EQ(http[0].a, static_cast<int>(HttpResult::Ok));
  // Sent once the player has heard that the score is being sent.
  const uint64_t sendingEnds = kKeyAt + testing_support::FixtureDurationMs(kSending);
  EXPECT_GE(http[0].ms, sendingEnds);
  EXPECT_LT(http[0].ms, sendingEnds + 20);
  EXPECT_EQ(http[1].name, PlaceUrl(submitUrl));
  EXPECT_EQ(http[1].a, static_cast<int>(HttpResult::Ok));
  EXPECT_EQ(http[1].ms, http[0].ms + 6000);

  EXPECT_THAT(s.StartedNames(kKeyAt), ElementsAre(kSending, kMadeIt, Word(2), kEntry8));
  EXPECT_EQ(s.FirstStart(kMadeIt), static_cast<int64_t>(http[1].ms));
  EXPECT_EQ(g_mode, MODE_MENU);

  const std::vector<score_server::Submission> rows = StoredSubmissions(db);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[2].firstName, "Ann Marie");
  EXPECT_EQ(rows[2].lastName, "Lee\r");
  EXPECT_EQ(rows[2].addr, "1 Main St");
  EXPECT_EQ(rows[2].country, "UK");
  EXPECT_EQ(rows[2].score, 8500);
}

TEST(SendScoreExchange, OutsideTheTenBestSaysNotEnough) {
  testing_support::ScoreServerRunner server;
  StartServer(server, testing_support::FreshDatabasePath("send_not_enough"),
              std::vector<int>(10, 18000));
  Scenario s;
  const std::vector<plat::LogEntry> http =
      AnswerYes(s, LoopbackHttp(server.Port(), 2000, 5000), "Ann\nLee\nX\nUK\n", 10);

  ASSERT_EQ(http.size(), 2u);
  EXPECT_EQ(http[1].a, static_cast<int>(HttpResult::Ok));
  EXPECT_EQ(http[1].b, 0);  // an empty body
  EXPECT_THAT(s.StartedNames(kKeyAt), ElementsAre(kSending, kNotEnough, kEntry8));
}

TEST(SendScoreExchange, NoServerOrASilentOneGivesTheMenuBackInSilence) {
  constexpr long kConnectMs = 300;
  constexpr long kTotalMs = 700;
  constexpr long kSlackMs = 1500;  // a loaded machine's scheduling, not the game's doing
  struct Case {
    const char* what;
    bool listening;
    long atLeastMs;
    long belowMs;
  };
  const Case cases[] = {
      {"nothing listening", false, 0, kConnectMs + kSlackMs},
      {"accepts and never answers", true, kTotalMs - 50, kTotalMs + kSlackMs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing_support::SilentPort port(c.listening);
    Scenario s;
    std::vector<long> realMs;  // each request's own time, apart from the rest of the run
    auto timed = [&realMs, real = LoopbackHttp(port.Port(), kConnectMs, kTotalMs)](
                     const std::string& url, std::string* body, size_t maxBody) {
      const auto start = std::chrono::steady_clock::now();
      const HttpResult result = real(url, body, maxBody);
      realMs.push_back(static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                             std::chrono::steady_clock::now() - start)
                                             .count()));
      return result;
    };
    const std::vector<plat::LogEntry> http = AnswerYes(s, timed, "Ann\n", 100);

    ASSERT_EQ(http.size(), 1u);
    EXPECT_EQ(http[0].name, SubmitUrl("Ann", "", "", "") + "100");
    EXPECT_EQ(http[0].a, static_cast<int>(HttpResult::NoAnswer));
    ASSERT_EQ(realMs.size(), 1u);
    EXPECT_GE(realMs[0], c.atLeastMs);
    EXPECT_LT(realMs[0], c.belowMs);
    // Nothing more is said: the menu speaks its entry as soon as the request has failed.
    EXPECT_THAT(s.StartedNames(kKeyAt), ElementsAre(kSending, kEntry8));
    EXPECT_EQ(s.FirstStart(kEntry8, kKeyAt), static_cast<int64_t>(http[0].ms));
    EXPECT_EQ(g_mode, MODE_MENU);
  }
}

}  // namespace
