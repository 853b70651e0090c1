// Faults a player's machine can have, played on the virtual platform: any one data file
// missing, best.dat and config.dat broken in every way they can be, a score server that is
// down, slow or babbling, and the audio output lost while the game waits on a sound.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "app/globals.h"
#include "menu/menu.h"
#include "tests/support/best_file_bytes.h"
#include "tests/support/scenario.h"

using testing::ElementsAre;
using testing_support::FixtureOptions;
using testing_support::GameFileSpec;
using testing_support::ReadBytes;
using testing_support::Scenario;
using testing_support::WriteBytes;

namespace {

constexpr char kPrompt[] = "menu\\arrows.vgz";
constexpr char kFarewell[] = "game\\exit_game.vgz";
constexpr char kGameOver[] = "game\\say_game_over.vgz";
constexpr char kFinalOpening[] = "score\\say_final_score.vgz";
constexpr char kSending[] = "game\\sending_score.vgz";
constexpr char kConfigFirst[] = "game\\say_config_first.vgz";
constexpr char kMadeIt[] = "game\\made_it.vgz";
constexpr char kNotEnough[] = "game\\not_enough.vgz";
constexpr char kDetails[] = "Ann\nLee\nHigh Street 1\nNowhere\n";

// Presses and releases a key now, then lets the game run on for a while.
void Key(Scenario& s, int vk, uint64_t thenMs = 200) {
  const uint64_t now = s.vp.NowMs();
  s.vp.TapAt(now, vk);
  s.RunUntil(now + thenMs);
}

void Keys(Scenario& s, std::initializer_list<int> vks, uint64_t thenMs = 200) {
  for (int vk : vks) Key(s, vk, thenMs);
}

// Calls on voices or listeners that do not exist (never made, or already released).
std::vector<std::string> BadHandleCalls(const Scenario& s) {
  std::vector<std::string> out;
  for (const plat::LogEntry& e : s.vp.Log())
    if (e.op == "bad-voice" || e.op == "bad-listener") out.push_back(e.op + " " + e.name);
  return out;
}

int HttpRequests(const Scenario& s) { return static_cast<int>(s.vp.LogOf("http").size()); }

// Starts the game and cuts the introduction short: the menu prompt plays, nothing selected.
void IntoMenu(Scenario& s) {
  s.Start();
  s.RunUntil(100);
  Key(s, plat::VK_CONTROL);
}

// From the menu's first entry: a level started, a move, a turn of a row, abandoned; then
// the final-score announcement runs out and the menu returns on entry 1.
void PlayAbandonedLevel(Scenario& s) {
  Key(s, plat::VK_RETURN);
  if (g_mode != MODE_LEVEL) return;
  Key(s, plat::VK_SPACE);
  Key(s, plat::VK_RIGHT);
  s.vp.PressAt(s.vp.NowMs(), plat::VK_CONTROL);
  Key(s, plat::VK_RIGHT);
  s.vp.ReleaseAt(s.vp.NowMs(), plat::VK_CONTROL);
  Key(s, plat::VK_ESCAPE, 6000);
}

// A level won with the first possible turn: the clock stopped with Control held resets the
// board, and a turn of a row and its inverse solve it. Leaves the menu on entry 1.
void WinLevel(Scenario& s) {
  Key(s, plat::VK_RETURN);
  Key(s, plat::VK_SPACE);
  s.vp.PressAt(s.vp.NowMs(), plat::VK_CONTROL);
  Keys(s, {plat::VK_SPACE, plat::VK_RIGHT, plat::VK_LEFT});
  s.vp.ReleaseAt(s.vp.NowMs(), plat::VK_CONTROL);
  s.RunUntil(s.vp.NowMs() + 8000);
}

// ---- Each data file missing in turn.

// The menu's 12 sounds and the 38 score words are loaded at start-up; losing one of them
// fails it. Every other file belongs to one screen.
bool LoadedAtStartUp(const std::string& name) {
  return name.rfind("menu\\", 0) == 0 || name.rfind("score\\", 0) == 0 ||
         name == "game\\return_to_menu.vgz" || name == "game\\made_it.vgz" ||
         name == "game\\not_enough.vgz";
}

bool UsedByLearn(const std::string& name) {
  for (const char* n : {"level1\\1_1.vgz", "level1\\2_1.vgz", "level1\\3_1.vgz", "level1\\next.vgz",
                        "level1\\move1.vgz", "level1\\move2.vgz", "level1\\move3.vgz", "level1\\move4.vgz"})
    if (name == n) return true;
  return name.rfind("learn\\", 0) == 0;
}

class MissingFile : public testing::TestWithParam<GameFileSpec> {};

// The whole tour of the game with one file gone: every screen is tried, and each gives its
// own designed answer; nothing crashes and no released sound is touched.
TEST_P(MissingFile, GivesTheDesignedOutcomeOnEveryScreen) {
  const std::string missing = GetParam().name;
  FixtureOptions options;
  options.missing = {missing};
  Scenario s(options);
  WriteBytes(s.folder + "config.dat", std::vector<unsigned char>(kDetails, kDetails + sizeof kDetails - 1));
  s.vp.SetHttpHandler([](const std::string& url, std::string* body, size_t) {
    if (body && url.find("top2.php") != std::string::npos) *body = "3";
    return plat::HttpResult::Ok;
  });

  s.Start();
  s.RunUntil(100);
  if (LoadedAtStartUp(missing)) {
    EXPECT_THAT(s.MessageBoxes(), ElementsAre("Error in second initialisation"));
  } else {
    EXPECT_THAT(s.MessageBoxes(), ElementsAre());
  }
  if (missing == "game\\game_intro.vgz") {
    // No introduction: the first tick starts the menu.
    EXPECT_LE(s.FirstStart(kPrompt), 100);
  }
  Key(s, plat::VK_CONTROL);
  Key(s, plat::VK_DOWN);  // entry 1

  const bool startUpFailed = LoadedAtStartUp(missing);
  const bool levelFile = missing.rfind("level1\\", 0) == 0;
  uint64_t t = s.vp.NowMs();
  PlayAbandonedLevel(s);
  if (!startUpFailed) {
    if (levelFile) {
      // The level cannot start: the menu speaks entry 1 again and nothing of the level plays.
      EXPECT_EQ(s.FirstStart("menu\\start_game.vgz", t), static_cast<int64_t>(t));
      EXPECT_EQ(s.FirstStart("level1\\next.vgz", t), -1);
    } else if (missing == kGameOver) {
      // Abandoned with the clock running: the next tick goes on to the score all the same.
      EXPECT_GT(s.FirstStart(kFinalOpening, t), 0);
    } else {
      EXPECT_GT(s.FirstStart(kGameOver, t), 0);
      EXPECT_GT(s.FirstStart(kFinalOpening, t), 0);
    }
  }
  EXPECT_EQ(g_mode, MODE_MENU);

  t = s.vp.NowMs();
  Keys(s, {plat::VK_DOWN, plat::VK_RETURN}, 7000);  // the speaker test
  EXPECT_EQ(g_mode, MODE_MENU);
  if (!startUpFailed && missing.rfind("TestSpk\\", 0) == 0) {
    // Nothing placed, nothing played, and the menu stays silent on entry 4.
    EXPECT_TRUE(s.vp.LogOf("position3d").empty());
    EXPECT_THAT(s.StartedNames(t + 200), ElementsAre());
  } else if (!startUpFailed) {
    EXPECT_GT(s.FirstStart("TestSpk\\f_right1.vgz", t), 0);
  }

  t = s.vp.NowMs();
  Keys(s, {plat::VK_DOWN, plat::VK_RETURN});
  if (g_mode == MODE_LEARN) Keys(s, {plat::VK_DOWN, plat::VK_RETURN, plat::VK_ESCAPE});
  if (!startUpFailed && UsedByLearn(missing)) {
    EXPECT_EQ(s.FirstStart("learn\\1.vgz", t), -1);
  } else if (!startUpFailed) {
    EXPECT_GT(s.FirstStart("learn\\2.vgz", t), 0);
  }
  EXPECT_EQ(g_mode, MODE_MENU);

  Keys(s, {plat::VK_DOWN, plat::VK_RETURN}, 3000);  // the final score, left with Control
  Key(s, plat::VK_CONTROL);
  Keys(s, {plat::VK_DOWN, plat::VK_RETURN, plat::VK_DOWN, plat::VK_DOWN, plat::VK_ESCAPE});
  EXPECT_EQ(g_mode, MODE_MENU);

  g_lastScore = 4321;  // as a won level leaves it
  t = s.vp.NowMs();
  Keys(s, {plat::VK_DOWN, plat::VK_RETURN, plat::VK_Y}, 9000);
  EXPECT_EQ(g_mode, MODE_MENU);
  const bool sendFile = missing == "game\\check_connected.vgz" || missing == kSending ||
                        missing == kConfigFirst;
  if (!startUpFailed && sendFile) {
    EXPECT_EQ(HttpRequests(s), 0);
  } else if (!startUpFailed) {
    EXPECT_EQ(HttpRequests(s), 2);
    EXPECT_GT(s.FirstStart("score\\3.vgz", t), 0);
  }

  const uint64_t leaving = s.vp.NowMs();
  Key(s, plat::VK_ESCAPE, 2000);
  EXPECT_FALSE(s.IsOpen());
  const plat::LogEntry closed = s.vp.LogOf("destroywindow").at(0);
  if (missing == kFarewell) {
    EXPECT_EQ(closed.ms, leaving);
  } else if (!startUpFailed) {
    EXPECT_EQ(s.FirstStart(kFarewell, leaving), static_cast<int64_t>(leaving));
    EXPECT_GE(closed.ms, leaving + 500);
  }
  EXPECT_THAT(BadHandleCalls(s), ElementsAre());
}

std::string FileTestName(const testing::TestParamInfo<GameFileSpec>& info) {
  std::string out;
  for (char c : info.param.name) out += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return out;
}

INSTANTIATE_TEST_SUITE_P(EachDataFile, MissingFile,
                         testing::ValuesIn(testing_support::GameSoundFiles()), FileTestName);

// ---- best.dat: a level is won, then the table is walked to its end and back to the menu.

struct BestFileCase {
  const char* what;
  bool exists;
  bool readOnly;
  best_file::Bytes bytes;
  bool winIsStored;
};

std::vector<BestFileCase> BestFileCases() {
  std::vector<std::string> sixteen;
  for (int i = 0; i < 16; ++i) sixteen.push_back(std::to_string(9000 - i * 100));
  best_file::Bytes garbage;
  for (int i = 0; i < 300; ++i) garbage.push_back(static_cast<uint8_t>(i * 89 + 7));
  return {
      {"missing", false, false, {}, false},
      {"empty", true, false, {}, true},
      {"read_only", true, true, best_file::Stored(best_file::Plain({"100", "50"})), false},
      {"sixteen_records", true, false, best_file::Stored(best_file::Plain(sixteen)), true},
      {"garbage", true, false, garbage, true},
  };
}

void PrintTo(const BestFileCase& c, std::ostream* out) { *out << c.what; }

class BestFile : public testing::TestWithParam<BestFileCase> {};

TEST_P(BestFile, NeverCrashesNorShortensNorCreatesTheFile) {
  const BestFileCase& c = GetParam();
  FixtureOptions options;
  options.writeBestDat = false;
  Scenario s(options);
  const std::string path = s.folder + "best.dat";
  if (c.exists) WriteBytes(path, c.bytes);
  if (c.readOnly) s.vp.SetReadOnly(path);

  IntoMenu(s);
  Key(s, plat::VK_DOWN);
  WinLevel(s);
  const int32_t won = g_lastScore;
  ASSERT_GT(won, 0);

  const uint64_t t = s.vp.NowMs();
  Keys(s, {plat::VK_DOWN, plat::VK_DOWN, plat::VK_DOWN, plat::VK_DOWN}, 100);  // 4, 5, 6, 7
  Key(s, plat::VK_RETURN, 1000);
  for (int i = 0; i < 13; ++i) Key(s, plat::VK_DOWN, 1500);
  Key(s, plat::VK_ESCAPE);
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_GT(s.FirstStart("score\\score_arrows.vgz", t), 0);
  EXPECT_GT(s.FirstStart("game\\return_to_menu.vgz", t), 0);
  EXPECT_THAT(BadHandleCalls(s), ElementsAre());

  if (!c.exists) {
    EXPECT_TRUE(ReadBytes(path).empty());
    EXPECT_TRUE(s.vp.LogOf("write").empty());
    return;
  }
  const best_file::Bytes after = ReadBytes(path);
  if (c.readOnly) {
    EXPECT_EQ(after, c.bytes);
    return;
  }
  EXPECT_GE(after.size(), c.bytes.size());
  if (c.winIsStored) {
    // The win is somewhere in the stored table.
    const std::string text = std::to_string(won);
    best_file::Bytes plain = after;
    static const uint8_t key[10] = {9, 30, 6, 27, 16, 8, 21, 4, 24, 12};
    for (size_t j = 0; j < plain.size() && j < 100; ++j) plain[j] = uint8_t(plain[j] - key[j % 10]);
    const std::string table(plain.begin(), plain.begin() + std::min<size_t>(plain.size(), 77));
    EXPECT_NE(table.find(text), std::string::npos) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, BestFile, testing::ValuesIn(BestFileCases()),
                         [](const testing::TestParamInfo<BestFileCase>& info) {
                           return std::string(info.param.what);
                         });

// ---- config.dat and the score server.

class Submission : public testing::Test {
 protected:
  // Into the menu, onto entry 8 with a score to send, and Y pressed.
  void SendFrom(Scenario& s) {
    IntoMenu(s);
    Keys(s, {plat::VK_UP, plat::VK_UP, plat::VK_UP}, 100);  // 1, 9, then 8
    g_lastScore = 4321;
    m_sent = s.vp.NowMs();
    Keys(s, {plat::VK_RETURN, plat::VK_Y}, 200);
    s.RunUntil(s.vp.NowMs() + 3000);
  }
  uint64_t m_sent = 0;
};

TEST_F(Submission, AMissingConfigSaysConfigureFirstAndSendsNothing) {
  Scenario s;
  SendFrom(s);
  EXPECT_GT(s.FirstStart(kConfigFirst, m_sent), 0);
  EXPECT_EQ(HttpRequests(s), 0);
  EXPECT_EQ(g_mode, MODE_MENU);
}

// Ten thousand bytes of details: only what fits the read is used, and the request goes.
TEST_F(Submission, ATenThousandByteConfigIsReadUpToItsLimit) {
  Scenario s;
  std::string details = "Ann\nLee\n";
  details += std::string(10000 - details.size() - 9, 'x') + "\nNowhere\n";
  ASSERT_EQ(details.size(), 10000u);
  WriteBytes(s.folder + "config.dat", std::vector<unsigned char>(details.begin(), details.end()));
  s.vp.SetHttpHandler([](const std::string&, std::string*, size_t) { return plat::HttpResult::Ok; });
  SendFrom(s);
  ASSERT_EQ(HttpRequests(s), 2);
  const std::string url = s.vp.LogOf("http")[0].name;
  EXPECT_NE(url.find("first_name=Ann&last_name=Lee&addr=xxx"), std::string::npos);
  EXPECT_NE(url.find("&country=Nowhere&score=4321"), std::string::npos);
  EXPECT_EQ(g_mode, MODE_MENU);
}

struct ServerCase {
  const char* what;
  plat::HttpResult result;
  uint32_t delayMs;     // how long each request blocks the game
  std::string reply;    // the place page's body
  const char* heard;    // the word after "sending", or "" for silence
};

void PrintTo(const ServerCase& c, std::ostream* out) { *out << c.what; }

class ServerFault : public testing::TestWithParam<ServerCase> {};

TEST_P(ServerFault, TheMenuComesBackWithTheDesignedWord) {
  const ServerCase& c = GetParam();
  Scenario s;
  WriteBytes(s.folder + "config.dat", std::vector<unsigned char>(kDetails, kDetails + sizeof kDetails - 1));
  plat::VirtualPlatform* vp = &s.vp;
  s.vp.SetHttpHandler([vp, &c](const std::string&, std::string* body, size_t) {
    vp->Sleep(c.delayMs);
    if (body) *body = c.reply;  // more than asked for: the game must cut it itself
    return c.result;
  });
  IntoMenu(s);
  Keys(s, {plat::VK_UP, plat::VK_UP, plat::VK_UP}, 100);
  g_lastScore = 4321;
  const uint64_t sent = s.vp.NowMs();
  Keys(s, {plat::VK_RETURN, plat::VK_Y}, 200);
  s.RunUntil(s.vp.NowMs() + 2000);

  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_GT(s.FirstStart(kSending, sent), 0);
  std::vector<std::string> after;
  for (const std::string& n : s.StartedNames(static_cast<uint64_t>(s.FirstStart(kSending, sent)) + 1))
    if (n.rfind("menu\\", 0) != 0) after.push_back(n);
  if (*c.heard) {
    EXPECT_THAT(after, testing::Contains(std::string(c.heard))) << c.what;
  } else {
    EXPECT_THAT(after, ElementsAre()) << c.what;
  }
  EXPECT_THAT(BadHandleCalls(s), ElementsAre());
}

std::string Garbage(size_t n, char first) {
  std::string out(n, '\0');
  uint32_t x = 99;
  for (char& ch : out) ch = static_cast<char>((x = x * 1103515245u + 12345u) >> 16);
  out[0] = first;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerFault,
    testing::Values(ServerCase{"down", plat::HttpResult::NoAnswer, 0, "", ""},
                    ServerCase{"slow", plat::HttpResult::NoAnswer, 30000, "", ""},
                    ServerCase{"body_lost", plat::HttpResult::ReadFailed, 0, "", ""},
                    ServerCase{"garbage", plat::HttpResult::Ok, 0, Garbage(100000, 'x'), ""},
                    ServerCase{"garbage_from_seven", plat::HttpResult::Ok, 0, Garbage(100000, '7'),
                               "score\\7.vgz"},
                    ServerCase{"empty", plat::HttpResult::Ok, 0, "", kNotEnough}),
    [](const testing::TestParamInfo<ServerCase>& info) { return std::string(info.param.what); });

// ---- The audio output lost while the game waits on a sound.

// The headset goes in the middle of the farewell: the program still ends when the farewell
// would have, and nothing more is heard from the moment it went.
TEST(AudioLost, InTheMiddleOfTheFarewellTheProgramStillEndsOnTime) {
  for (bool lost : {false, true}) {
    Scenario s;
    s.vp.CaptureMix(true);
    IntoMenu(s);
    const uint64_t leaving = s.vp.NowMs();
    if (lost) s.vp.LoseAudioOutputAt(leaving + 200);
    Key(s, plat::VK_ESCAPE, 3000);
    ASSERT_FALSE(s.IsOpen()) << lost;
    EXPECT_EQ(s.vp.LogOf("destroywindow").at(0).ms, leaving + 500) << lost;
    if (lost) {
      const std::vector<float>& mix = s.vp.Mix();
      float loudest = 0;
      for (size_t i = (leaving + 200) * 96; i < mix.size(); ++i) loudest = std::max(loudest, std::abs(mix[i]));
      EXPECT_EQ(loudest, 0.0f);
    }
  }
}

// Lost during the speaker test, which waits on four sounds in turn: it runs to its end at
// the same time as with sound, and the menu speaks entry 4 again.
TEST(AudioLost, DuringTheSpeakerTestItRunsToItsEnd) {
  int64_t back[2] = {-1, -1};
  for (bool lost : {false, true}) {
    Scenario s;
    IntoMenu(s);
    Keys(s, {plat::VK_DOWN, plat::VK_DOWN}, 100);  // entry 1, then 4
    if (lost) s.vp.LoseAudioOutputAt(s.vp.NowMs() + 300);
    const uint64_t t = s.vp.NowMs();
    Key(s, plat::VK_RETURN, 8000);
    back[lost] = s.FirstStart("menu\\test_speakers.vgz", t + 1);
    EXPECT_EQ(g_mode, MODE_MENU);
  }
  EXPECT_GT(back[0], 0);
  EXPECT_EQ(back[1], back[0]);
}

}  // namespace
