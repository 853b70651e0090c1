// The introduction, the spoken menu, the farewell, the speaker test and the learn screen,
// played on the virtual platform: keys in, sounds heard out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "app/globals.h"
#include "menu/menu.h"
#include "tests/support/scenario.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing_support::FixtureOptions;
using testing_support::Scenario;

namespace {

constexpr char kIntro[] = "game\\game_intro.vgz";  // 3000 ms in the fixture
constexpr char kPrompt[] = "menu\\arrows.vgz";     // 1500 ms
constexpr char kBackground[] = "menu\\bgrn.vgz";
constexpr char kFarewell[] = "game\\exit_game.vgz";  // 500 ms
constexpr char kEntry1[] = "menu\\start_game.vgz";

const char* const kEntryFile[10] = {
    kPrompt, kEntry1, kEntry1, kEntry1, "menu\\test_speakers.vgz", "menu\\learn_game_sounds.vgz",
    "menu\\final_score.vgz", "menu\\view_top_10.vgz", "menu\\send_score.vgz", "menu\\quit.vgz"};

// Starts the program and cuts the introduction short at 100 ms: the menu prompt plays.
void IntoMenu(Scenario& s) { s.Press(100, plat::VK_CONTROL); }

std::vector<std::string> Stops(const Scenario& s, const std::string& name) {
  std::vector<std::string> out;
  for (const plat::LogEntry& e : s.vp.LogOf("stop"))
    if (e.name == name) out.push_back(std::to_string(e.ms));
  return out;
}

// How many calls of an op named a sound whose file name starts with prefix.
size_t CountOps(const Scenario& s, const std::string& op, const std::string& prefix) {
  size_t n = 0;
  for (const plat::LogEntry& e : s.vp.LogOf(op)) n += e.name.rfind(prefix, 0) == 0;
  return n;
}

// Energy of each channel of the captured mix between two times.
std::pair<double, double> ChannelEnergy(const Scenario& s, uint64_t fromMs, uint64_t toMs) {
  const std::vector<float>& mix = s.vp.Mix();
  double left = 0, right = 0;
  for (uint64_t f = fromMs * 48; f < toMs * 48 && 2 * f + 1 < mix.size(); ++f) {
    left += mix[2 * f] * mix[2 * f];
    right += mix[2 * f + 1] * mix[2 * f + 1];
  }
  return {left, right};
}

}  // namespace

TEST(Intro, ControlCutsTheIntroductionShortAndStartsTheMenuInTheSameKeyPress) {
  Scenario s;
  s.Press(700, plat::VK_CONTROL);
  s.Start();
  s.RunUntil(8000);
  EXPECT_EQ(s.FirstStart(kIntro), 0);
  EXPECT_THAT(Stops(s, kIntro), ElementsAre("700"));
  EXPECT_EQ(s.FirstStart(kBackground), 700);
  EXPECT_EQ(s.FirstStart(kPrompt), 700);
  EXPECT_EQ(s.CountStarts(kIntro), 1);
  EXPECT_EQ(s.CountStarts(kPrompt), 1);
}

TEST(Intro, OtherKeysDuringTheIntroductionDoNothing) {
  Scenario s;
  int t = 200;
  for (int vk : {plat::VK_RETURN, plat::VK_ESCAPE, plat::VK_UP, plat::VK_DOWN, plat::VK_LEFT,
                 plat::VK_RIGHT, plat::VK_SPACE, plat::VK_Y})
    s.Tap(t += 100, vk);
  s.Start();
  s.RunUntil(2900);
  EXPECT_THAT(s.StartedNames(), ElementsAre(kIntro));
  EXPECT_TRUE(s.IsOpen());
}

TEST(Intro, TheMenuStartsWithinATickOfTheIntroductionsEndAndThePromptThenSpeaksEntryOne) {
  Scenario s;
  s.Start();
  s.RunUntil(10000);
  const int64_t menu = s.FirstStart(kPrompt);
  EXPECT_GE(menu, 3000);
  EXPECT_LE(menu, 3100);
  EXPECT_EQ(s.FirstStart(kBackground), menu);
  const int64_t entry = s.FirstStart(kEntry1);
  EXPECT_GE(entry, menu + 1500);
  EXPECT_LE(entry, menu + 1600);
  EXPECT_EQ(s.CountStarts(kEntry1), 1);
  EXPECT_EQ(s.CountStarts(kIntro), 1);
  EXPECT_EQ(g_menuItem, MENU_START_GAME);
  EXPECT_EQ(g_tickEnabled, 0);
}

TEST(Intro, ControlJustAfterTheIntroductionsEndEntersTheMenuOnce) {
  FixtureOptions options;
  options.durationMs[kIntro] = 2950;
  Scenario s(options);
  s.Press(2980, plat::VK_CONTROL);  // the introduction has ended; the next tick is at 3000
  s.Start();
  s.RunUntil(4000);
  EXPECT_EQ(s.FirstStart(kPrompt), 2980);
  EXPECT_EQ(s.CountStarts(kPrompt), 1);
  EXPECT_EQ(s.CountStarts(kBackground), 1);
}

TEST(Menu, EitherArrowDuringThePromptSelectsTheFirstEntry) {
  for (int vk : {plat::VK_UP, plat::VK_DOWN}) {
    Scenario s;
    IntoMenu(s);
    s.Press(600, vk);
    s.Start();
    s.RunUntil(3000);
    EXPECT_EQ(g_menuItem, MENU_START_GAME) << vk;
    EXPECT_THAT(Stops(s, kPrompt), ElementsAre("600")) << vk;
    EXPECT_EQ(s.FirstStart(kEntry1), 600) << vk;
    EXPECT_EQ(s.CountStarts(kEntry1), 1) << vk;  // the prompt's end does not speak it again
  }
}

TEST(Menu, TheArrowsWalkTheRingBothWaysAndNeverCutTheBackground) {
  struct Walk {
    int vk;
    std::vector<int> entries;
  };
  const Walk walks[] = {
      {plat::VK_DOWN, {1, 4, 5, 6, 7, 8, 9, 1, 4}},
      {plat::VK_UP, {1, 9, 8, 7, 6, 5, 4, 1, 9}},
  };
  for (const Walk& w : walks) {
    Scenario s;
    IntoMenu(s);
    std::vector<std::string> expected;
    uint64_t t = 200;
    for (int entry : w.entries) {
      s.Press(t += 100, w.vk);
      expected.push_back(kEntryFile[entry]);
    }
    s.Start();
    s.RunUntil(t + 1000);
    EXPECT_THAT(s.StartedNames(201), ElementsAreArray(expected));
    EXPECT_TRUE(Stops(s, kBackground).empty());
    // Each arrow cut the announcement of the one before (the last one plays out).
    for (size_t i = 1; i < w.entries.size(); ++i) {
      const uint64_t at = 300 + 100 * i;
      bool stopped = false;
      for (const plat::LogEntry& e : s.vp.LogOf("stop"))
        stopped |= e.ms == at && e.name == kEntryFile[w.entries[i - 1]];
      EXPECT_TRUE(stopped) << "arrow at " << at;
    }
  }
}

TEST(Menu, LeftRightSpaceAndControlDoNothing) {
  Scenario s;
  IntoMenu(s);
  s.Tap(2000, plat::VK_LEFT).Tap(2100, plat::VK_RIGHT).Tap(2200, plat::VK_SPACE).Tap(2300, plat::VK_CONTROL);
  s.Start();
  s.RunUntil(3000);
  EXPECT_TRUE(s.StartedNames(1700).empty());
  EXPECT_EQ(g_menuItem, MENU_START_GAME);
  EXPECT_EQ(g_mode, MODE_MENU);
}

TEST(Menu, EscapeAndQuitPlayTheFarewellToItsEndAndThenClose) {
  struct Leave {
    const char* how;
    std::vector<std::pair<uint64_t, int>> keys;
    uint64_t last;
  };
  const Leave leaves[] = {
      {"escape during the prompt", {{500, plat::VK_ESCAPE}}, 500},
      {"quit entry", {{500, plat::VK_UP}, {550, plat::VK_UP}, {600, plat::VK_RETURN}}, 600},
  };
  for (const Leave& l : leaves) {
    Scenario s;
    IntoMenu(s);
    for (auto [ms, vk] : l.keys) s.Press(ms, vk);
    s.Press(l.last + 100, plat::VK_DOWN);  // waits behind the farewell, never handled
    s.Start();
    s.RunToEnd();
    EXPECT_EQ(s.FirstStart(kFarewell), static_cast<int64_t>(l.last)) << l.how;
    const uint64_t closed = s.vp.LogOf("destroywindow").at(0).ms;
    EXPECT_GE(closed, l.last + 500) << l.how;
    EXPECT_LE(closed, l.last + 502) << l.how;
    EXPECT_EQ(Stops(s, kBackground), std::vector<std::string>{std::to_string(l.last)}) << l.how;
  }
}

TEST(Menu, AMissingFarewellClosesAtOnce) {
  FixtureOptions options;
  options.missing = {kFarewell};
  Scenario s(options);
  IntoMenu(s);
  s.Press(500, plat::VK_ESCAPE);
  s.Start();
  s.RunToEnd();
  EXPECT_EQ(s.vp.LogOf("destroywindow").at(0).ms, 500u);
}

TEST(SpeakerTest, FourPositionalSoundsInOrderEachFollowedByASecondThenEntryFourAgain) {
  Scenario s;
  s.vp.CaptureMix(true);
  IntoMenu(s);
  s.Press(200, plat::VK_DOWN).Press(300, plat::VK_DOWN);  // entry 4
  s.Start();
  s.RunUntil(350);
  StopSound(g_menuSounds[MENU_SOUND_BACKGROUND]);  // so the mix holds the test alone
  s.Press(400, plat::VK_RETURN);
  s.RunUntil(7000);

  const char* const files[4] = {"TestSpk\\f_left.vgz", "TestSpk\\f_right.vgz",
                                "TestSpk\\f_left1.vgz", "TestSpk\\f_right1.vgz"};
  const bool onLeft[4] = {true, false, true, false};
  int64_t expected = 400;
  for (int i = 0; i < 4; ++i) {
    const int64_t start = s.FirstStart(files[i]);
    EXPECT_NEAR(start, expected, 2 * i) << files[i];
    auto [left, right] = ChannelEnergy(s, start, start + 400);
    const double db = 10 * std::log10(left / right);
    if (onLeft[i]) EXPECT_GE(db, 3.0) << files[i];
    else EXPECT_LE(db, -3.0) << files[i];
    // The second after it is the test's own silence.
    auto [l2, r2] = ChannelEnergy(s, start + 410, start + 1390);
    EXPECT_LT(l2 + r2, 1e-6) << files[i];
    expected = start + 1400;
  }
  const int64_t back = s.FirstStart("menu\\test_speakers.vgz", 401);
  EXPECT_NEAR(back, expected, 2);
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_EQ(s.vp.LogOf("mindistance3d").size(), 4u);
  EXPECT_EQ(s.vp.LogOf("mindistance3d")[0].a, 10000);
}

TEST(SpeakerTest, ASecondRunBehavesLikeTheFirstAndLeavesNothingLoaded) {
  Scenario s;
  IntoMenu(s);
  s.Press(200, plat::VK_DOWN).Press(300, plat::VK_DOWN).Press(400, plat::VK_RETURN);
  s.Press(7000, plat::VK_RETURN);
  s.Start();
  s.RunUntil(14000);
  EXPECT_EQ(s.vp.LogOf("create3d").size(), 8u);
  const size_t destroyed = CountOps(s, "destroy", "TestSpk");
  EXPECT_EQ(destroyed, 8u);
  EXPECT_EQ(s.CountStarts("TestSpk\\f_right1.vgz"), 2);
  EXPECT_EQ(s.CountStarts("menu\\test_speakers.vgz"), 3);  // the walk, then after each run
  // Up and Down go on from entry 4.
}

TEST(SpeakerTest, AMissingTestFilePlaysNothingAndLeavesTheMenuSilentOnEntryFour) {
  FixtureOptions options;
  options.missing = {"TestSpk\\f_right1.vgz"};
  Scenario s(options);
  IntoMenu(s);
  s.Press(200, plat::VK_DOWN).Press(300, plat::VK_DOWN).Press(400, plat::VK_RETURN);
  s.Press(1000, plat::VK_DOWN);
  s.Start();
  s.RunUntil(2000);
  EXPECT_THAT(s.StartedNames(400, 999), ElementsAre());
  EXPECT_EQ(s.vp.LogOf("create3d").size(), 3u);
  const size_t destroyed = CountOps(s, "destroy", "TestSpk");
  EXPECT_EQ(destroyed, 3u);
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_EQ(s.FirstStart("menu\\learn_game_sounds.vgz"), 1000);  // the menu goes on from 4
}

TEST(Learn, WalkPlayAndLeaveBothWays) {
  for (int leaveKey : {plat::VK_ESCAPE, plat::VK_RETURN}) {
    Scenario s;
    IntoMenu(s);
    s.Press(200, plat::VK_DOWN).Press(300, plat::VK_DOWN).Press(400, plat::VK_DOWN);  // entry 5
    s.Press(500, plat::VK_RETURN);            // learn: entry 0 spoken
    s.Press(600, plat::VK_UP);                // entry 8
    s.Press(700, plat::VK_DOWN);              // entry 0 again
    s.Press(800, plat::VK_RETURN);            // its game sound
    s.Press(850, plat::VK_RETURN);            // again, from the beginning
    s.Press(900, plat::VK_DOWN).Press(1000, plat::VK_DOWN).Press(1100, plat::VK_DOWN);  // entry 3
    s.Press(1200, plat::VK_RETURN);           // the cue
    s.Press(1300, plat::VK_LEFT).Press(1350, plat::VK_SPACE).Press(1400, plat::VK_CONTROL);
    if (leaveKey == plat::VK_RETURN) s.Press(1500, plat::VK_UP).Press(1550, plat::VK_UP).Press(1600, plat::VK_UP).Press(1650, plat::VK_UP);  // entry 8
    s.Press(1700, leaveKey);
    s.Start();
    s.RunUntil(3000);
    std::vector<std::string> expected = {"learn\\1.vgz", "learn\\9.vgz", "learn\\1.vgz",
                                         "Level1\\1_1.vgz", "Level1\\1_1.vgz", "learn\\2.vgz",
                                         "learn\\3.vgz", "learn\\4.vgz", "Level1\\next.vgz"};
    if (leaveKey == plat::VK_RETURN)
      for (const char* d : {"learn\\3.vgz", "learn\\2.vgz", "learn\\1.vgz", "learn\\9.vgz"}) expected.push_back(d);
    expected.push_back("menu\\learn_game_sounds.vgz");
    EXPECT_THAT(s.StartedNames(500), ElementsAreArray(expected)) << leaveKey;
    EXPECT_TRUE(Stops(s, kBackground).empty());
    EXPECT_EQ(g_mode, MODE_MENU);
    size_t learnDestroyed = 0;
    for (const plat::LogEntry& e : s.vp.LogOf("destroy")) learnDestroyed += e.ms == 1700;
    EXPECT_EQ(learnDestroyed, 17u);
  }
}

TEST(Learn, ASecondVisitReloadsTheSoundsAndStartsAtTheTop) {
  Scenario s;
  IntoMenu(s);
  s.Press(200, plat::VK_DOWN).Press(300, plat::VK_DOWN).Press(400, plat::VK_DOWN);  // entry 5
  s.Press(500, plat::VK_RETURN);
  s.Press(600, plat::VK_DOWN).Press(700, plat::VK_DOWN);  // entry 2
  s.Press(800, plat::VK_ESCAPE);                          // back to the menu, on entry 5
  s.Press(900, plat::VK_RETURN);                          // the second visit
  s.Start();
  s.RunUntil(1500);
  EXPECT_EQ(s.FirstStart("learn\\1.vgz", 900), 900);
  EXPECT_EQ(CountOps(s, "create", "learn\\"), 18u);
  EXPECT_EQ(CountOps(s, "destroy", "learn\\"), 9u);
  EXPECT_EQ(g_mode, MODE_LEARN);
}

TEST(Learn, AMissingSoundKeepsTheMenuWithoutAWord) {
  FixtureOptions options;
  options.missing = {"level1\\move4.vgz"};
  Scenario s(options);
  IntoMenu(s);
  s.Press(200, plat::VK_DOWN).Press(300, plat::VK_DOWN).Press(400, plat::VK_DOWN);
  s.Press(500, plat::VK_RETURN);
  s.Start();
  s.RunUntil(1000);
  EXPECT_THAT(s.StartedNames(500), ElementsAre());
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_EQ(g_menuItem, MENU_LEARN_SOUNDS);
}
