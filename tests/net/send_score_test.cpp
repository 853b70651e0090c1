#include "scores/send_score.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/globals.h"
#include "tests/net/support/score_server_runner.h"
#include "tests/net/support/send_score_doubles.h"
#include "tests/net/support/silent_port.h"

namespace {

using doubles::g_log;
using plat::HttpResult;
using Log = std::vector<std::string>;

const char kFolder[] = "/game/";
const char kConfigPath[] = "/game/config.dat";

std::string SubmitUrl(const std::string& first, const std::string& last, const std::string& addr,
                      const std::string& country) {
  return "http://" CHIMEBOX_SCORE_HOST "/chimebox/top1.php?first_name=" + first +
         "&last_name=" + last + "&addr=" + addr + "&country=" + country + "&score=";
}

class SendScoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ = &doubles::Reset();
    g_programFolder = kFolder;
    g_lastScore = 0;
    g_scoreUrl.clear();
    for (SoundBuffer& s : g_sendSounds) s = 0;
  }
  // Enters the screen (sounds 1, 2, 3 in slot order) and forgets what that logged.
  void EnterScreen() {
    ASSERT_EQ(StartSendScore(), 1);
    g_log.clear();
  }
  doubles::ScriptedPlatform* platform_ = nullptr;
};

// ---- config.dat and the address built from it

TEST_F(SendScoreTest, ConfigFileGivesTheFourFieldsUnescaped) {
  const std::string big(5000, 'q');
  struct Case {
    const char* what;
    std::string file;
    bool exists;
    int result;
    std::string url;  // when result is 1
  };
  const Case cases[] = {
      {"four lines", "Ann\nLee\n1 Main St\nUK\n", true, 1, SubmitUrl("Ann", "Lee", "1 Main St", "UK")},
      {"one line", "Ann\n", true, 1, SubmitUrl("Ann", "", "", "")},
      {"no final line feed loses the last character", "Ann\nLee", true, 1,
       SubmitUrl("Ann", "Le", "", "")},
      {"carriage returns stay in their fields", "Ann\r\nLee\r\nX\r\nUK\r\n", true, 1,
       SubmitUrl("Ann\r", "Lee\r", "X\r", "UK\r")},
      {"grave accent separates", "Ann`Lee\nX\nY\nZ\n", true, 1, SubmitUrl("Ann", "Lee", "X", "Y")},
      {"lines after the fourth ignored", "A\nB\nC\nD\nE\nF\n", true, 1, SubmitUrl("A", "B", "C", "D")},
      {"empty lines give empty fields", "\n\nC\n\n", true, 1, SubmitUrl("", "", "C", "")},
      {"a zero byte ends the text", std::string("Ann\0Lee\nX\n", 10), true, 1,
       SubmitUrl("Ann", "", "", "")},
      {"a field of 5000 bytes", big + "\nLee\nX\nUK\n", true, 1, SubmitUrl(big, "Lee", "X", "UK")},
      {"single byte", "A", true, 0, ""},
      {"single line feed", "\n", true, 0, ""},
      {"empty file", "", true, 0, ""},
      {"missing file", "", false, 0, ""},
  };
  for (const Case& c : cases) {
    SetUp();
    if (c.exists) platform_->files[kConfigPath] = c.file;
    EXPECT_EQ(ReadPlayerDetails(), c.result) << c.what;
    if (c.result == 1) {
      EXPECT_EQ(g_scoreUrl, c.url) << c.what;
    }
    EXPECT_EQ(g_log, Log{std::string("read ") + kConfigPath}) << c.what;
  }
}

TEST_F(SendScoreTest, OnlyTheFirst10000BytesAreRead) {
  platform_->files[kConfigPath] = std::string(20000, 'x');
  ASSERT_EQ(ReadPlayerDetails(), 1);
  EXPECT_EQ(g_scoreUrl, SubmitUrl(std::string(CONFIG_READ_BYTES - 1, 'x'), "", "", ""));
  // A platform that claims more than it was asked for is held to the buffer.
  EXPECT_EQ(ParsePlayerDetails(std::string(CONFIG_READ_BYTES, 'y').c_str(), 1 << 20), 1);
  EXPECT_EQ(g_scoreUrl, SubmitUrl(std::string(CONFIG_READ_BYTES - 1, 'y'), "", "", ""));
}

TEST_F(SendScoreTest, ScoreIsAppendedAfterScoreEquals) {
  ASSERT_EQ(BuildScoreUrl("Ann`Lee`X`UK"), 1);
  g_lastScore = 17345;
  AppendScoreToUrl();
  EXPECT_EQ(g_scoreUrl, SubmitUrl("Ann", "Lee", "X", "UK") + "17345");
  EXPECT_EQ(BuildScoreUrl(""), 0);
}

// ---- the reply to the place request

TEST_F(SendScoreTest, PlaceIsSpokenFromTheReplysFirstCharacter) {
  struct Case {
    const char* reply;
    Log spoken;
  };
  const Case cases[] = {
      {"1", {"say-place 1"}},  {"10", {"say-place 10"}}, {"1x", {"say-place 10"}},
      {"2", {"say-place 2"}},  {"3", {"say-place 3"}},   {"4", {"say-place 4"}},
      {"5", {"say-place 5"}},  {"6", {"say-place 6"}},   {"7", {"say-place 7"}},
      {"8", {"say-place 8"}},  {"9", {"say-place 9"}},   {"99", {"say-place 9"}},
      {"0", {}},               {"x", {}},                {" 1", {}},
      {"", {}},
  };
  for (const Case& c : cases) {
    g_log.clear();
    SayPlaceFromReply(c.reply);
    EXPECT_EQ(g_log, c.spoken) << '"' << c.reply << '"';
  }
}

TEST_F(SendScoreTest, PlaceRequestGoesToTop2EverywhereAndReadsTheReplyAsText) {
  struct Case {
    const char* what;
    HttpResult result;
    std::string body;
    Log spoken;
  };
  const Case cases[] = {
      {"place", HttpResult::Ok, "4", {"say-place 4"}},
      {"empty body", HttpResult::Ok, "", {"say-not-enough"}},
      {"text ends at a zero byte", HttpResult::Ok, std::string("1\0" "0", 3), {"say-place 1"}},
      {"zero byte first", HttpResult::Ok, std::string("\0" "5", 2), {}},
      {"a long reply", HttpResult::Ok, "1" + std::string(300000, '7'), {"say-place 10"}},
      {"no answer", HttpResult::NoAnswer, "", {}},
      {"read failed", HttpResult::ReadFailed, "3", {}},
  };
  for (const Case& c : cases) {
    SetUp();
    size_t askedFor = 0;
    platform_->http = [&](const std::string&, std::string* body, size_t maxBody) {
      askedFor = maxBody;
      if (body != nullptr) *body = c.body;  // a platform that ignores the limit
      return c.result;
    };
    ASSERT_EQ(BuildScoreUrl("top1.php`B`C`D"), 1);
    QueryPlace();
    const std::string placeUrl =
        "http://" CHIMEBOX_SCORE_HOST "/chimebox/top2.php?first_name=top2.php&last_name=B"
        "&addr=C&country=D&score=";
    EXPECT_EQ(g_scoreUrl, placeUrl) << c.what;
    EXPECT_EQ(askedFor, PLACE_REPLY_MAX_BYTES) << c.what;
    Log expected{"http-body " + placeUrl};
    expected.insert(expected.end(), c.spoken.begin(), c.spoken.end());
    EXPECT_EQ(g_log, expected) << c.what;
  }
}

// ---- the screen: keys and the whole exchange

TEST_F(SendScoreTest, YSubmitsWaitsSixSecondsAndSpeaksThePlace) {
  platform_->files[kConfigPath] = "Ann\nLee\n1 Main St\nUK\n";
  g_lastScore = 4321;
  platform_->http = [](const std::string&, std::string* body, size_t) {
    if (body != nullptr) *body = "3";
    return HttpResult::Ok;
  };
  EnterScreen();
  SendScoreKey(plat::VK_Y);
  const std::string url = SubmitUrl("Ann", "Lee", "1 Main St", "UK") + "4321";
  std::string placeUrl = url;
  placeUrl.replace(placeUrl.find("top1.php"), 8, "top2.php");
  const Log expected = {
      "stop 1", "stop 2", "stop 3",
      "read /game/config.dat",
      "wait 2",  // sending the score
      "http-head " + url,
      "sleep 6000",
      "http-body " + placeUrl,
      "say-place 3",
      "stop 1", "stop 2", "stop 3",
      "release 1", "release 2", "release 3",
      "menu",
  };
  EXPECT_EQ(g_log, expected);
  for (SoundBuffer s : g_sendSounds) EXPECT_EQ(s, 0u);
}

TEST_F(SendScoreTest, ASubmissionWithoutAnswerEndsAtOnce) {
  platform_->files[kConfigPath] = "Ann\n";
  EnterScreen();
  SendScoreKey(plat::VK_Y);
  const Log expected = {
      "stop 1", "stop 2", "stop 3", "read /game/config.dat", "wait 2",
      "http-head " + SubmitUrl("Ann", "", "", "") + "0",
      "stop 1", "stop 2", "stop 3", "release 1", "release 2", "release 3", "menu",
  };
  EXPECT_EQ(g_log, expected);
}

TEST_F(SendScoreTest, WithoutDetailsYSaysConfigureFirstAndSendsNothing) {
  for (const char* file : {static_cast<const char*>(""), "A", static_cast<const char*>(nullptr)}) {
    SetUp();
    if (file != nullptr) platform_->files[kConfigPath] = file;
    EnterScreen();
    SendScoreKey(plat::VK_Y);
    const Log expected = {"stop 1",    "stop 2",    "stop 3",    "read /game/config.dat",
                          "wait 3",    "stop 1",    "stop 2",    "stop 3",
                          "release 1", "release 2", "release 3", "menu"};
    EXPECT_EQ(g_log, expected);
  }
}

TEST_F(SendScoreTest, EscapeAndNLeaveWithoutReadingConfig) {
  for (int key : {int{plat::VK_ESCAPE}, int{plat::VK_N}}) {
    SetUp();
    platform_->files[kConfigPath] = "Ann\n";
    EnterScreen();
    SendScoreKey(key);
    const Log expected = {"stop 1",    "stop 2",    "stop 3", "release 1",
                          "release 2", "release 3", "menu"};
    EXPECT_EQ(g_log, expected) << key;
  }
}

TEST_F(SendScoreTest, OtherKeysAreIgnored) {
  EnterScreen();
  for (int key : {int{plat::VK_RETURN}, int{plat::VK_SPACE}, int{plat::VK_CONTROL},
                  int{plat::VK_UP}, int{'A'}, int{'Z'}, 0}) {
    SendScoreKey(key);
  }
  EXPECT_EQ(g_log, Log{});
  EXPECT_EQ(g_sendSounds[0], 1u);
}

TEST_F(SendScoreTest, EnteringPlaysThePromptOrGivesUpCleanly) {
  ASSERT_EQ(StartSendScore(), 1);
  EXPECT_EQ(g_log, (Log{"load game\\check_connected.vgz", "load game\\sending_score.vgz",
                        "load game\\say_config_first.vgz", "play 1"}));

  SetUp();
  doubles::g_failingSounds.insert("game\\sending_score.vgz");
  EXPECT_EQ(StartSendScore(), 0);
  EXPECT_EQ(g_log, (Log{"load game\\check_connected.vgz", "load game\\sending_score.vgz",
                        "release 1"}));
  for (SoundBuffer s : g_sendSounds) EXPECT_EQ(s, 0u);
}

// ---- the real client against the reference server on the loopback interface

long ElapsedMs(std::chrono::steady_clock::time_point since) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                               std::chrono::steady_clock::now() - since)
                               .count());
}

TEST_F(SendScoreTest, RealServerStoresTheScoreAndThePlaceIsSpoken) {
  testing_support::ScoreServerRunner server;
  ASSERT_TRUE(server.Start(testing_support::FreshDatabasePath("game_made_it")));
  for (int better : {9000, 8000}) {
    ASSERT_TRUE(server.Store().Add({"X", "Y", "Z", "W", better}));
  }
  platform_->http = doubles::PassThroughTo(server.Port());
  platform_->files[kConfigPath] = "Ann Marie\nLee\r\n1 Main St\nUK\n";
  g_lastScore = 8500;
  EnterScreen();
  SendScoreKey(plat::VK_Y);
  EXPECT_NE(std::find(g_log.begin(), g_log.end(), "sleep 6000"), g_log.end());
  EXPECT_NE(std::find(g_log.begin(), g_log.end(), "say-place 2"), g_log.end());
  EXPECT_EQ(g_log.back(), "menu");
  // The submission was stored: 8500 now stands between the two others.
  EXPECT_EQ(server.Store().PlaceOf(8501), 2);
  EXPECT_EQ(server.Store().PlaceOf(8499), 3);
}

TEST_F(SendScoreTest, RealServerOutsideTheTenBestSaysNotEnough) {
  testing_support::ScoreServerRunner server;
  ASSERT_TRUE(server.Start(testing_support::FreshDatabasePath("game_not_enough")));
  for (int i = 0; i < 10; ++i) ASSERT_TRUE(server.Store().Add({"X", "Y", "Z", "W", 18000}));
  platform_->http = doubles::PassThroughTo(server.Port());
  platform_->files[kConfigPath] = "Ann\nLee\nX\nUK\n";
  g_lastScore = 10;
  EnterScreen();
  SendScoreKey(plat::VK_Y);
  EXPECT_NE(std::find(g_log.begin(), g_log.end(), "say-not-enough"), g_log.end());
  EXPECT_EQ(g_log.back(), "menu");
}

TEST_F(SendScoreTest, NoServerOrASilentOneGivesTheMenuBackInSilence) {
  struct Case {
    const char* what;
    bool listening;
    long atLeastMs;
  };
  // Time-outs shortened for the test: 300 ms to connect, 700 ms for the whole request.
  const Case cases[] = {{"nothing listening", false, 0}, {"never answers", true, 650}};
  for (const Case& c : cases) {
    SetUp();
    testing_support::SilentPort port(c.listening);
    platform_->http = doubles::PassThroughTo(port.Port(), 300, 700);
    platform_->files[kConfigPath] = "Ann\n";
    g_lastScore = 100;
    EnterScreen();
    auto start = std::chrono::steady_clock::now();
    SendScoreKey(plat::VK_Y);
    long elapsed = ElapsedMs(start);
    EXPECT_GE(elapsed, c.atLeastMs) << c.what;
    EXPECT_LT(elapsed, 2500) << c.what;
    const Log expected = {
        "stop 1", "stop 2", "stop 3", "read /game/config.dat", "wait 2",
        "http-head " + SubmitUrl("Ann", "", "", "") + "100",
        "stop 1", "stop 2", "stop 3", "release 1", "release 2", "release 3", "menu",
    };
    EXPECT_EQ(g_log, expected) << c.what;
  }
}

}  // namespace
