// The application shell: start-up and shut-down, the order of messages, the About box.
#include <unistd.h>

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/input.h"
#include "puzzle/board.h"
#include "tests/support/scenario.h"

using testing::ElementsAre;
using testing_support::FixtureOptions;
using testing_support::Scenario;

namespace {

constexpr char kIntro[] = "game\\game_intro.vgz";
constexpr char kPrompt[] = "menu\\arrows.vgz";
constexpr char kAboutSpeech[] = "game\\about.vgz";
constexpr char kFarewell[] = "game\\exit_game.vgz";

std::vector<uint64_t> TickTimes(const Scenario& s) {
  std::vector<uint64_t> out;
  for (const plat::LogEntry& e : s.vp.LogOf("readcontroller")) out.push_back(e.ms);
  return out;
}

// The ops of the shut-down, in order, from the first release on.
std::vector<std::string> ShutdownOps(const Scenario& s, uint64_t fromMs) {
  std::vector<std::string> out;
  for (const plat::LogEntry& e : s.vp.Log()) {
    if (e.ms < fromMs) continue;
    if (e.op == "destroy" || e.op == "killtimer" || e.op == "closecontroller" ||
        e.op == "closedevice") {
      if (out.empty() || out.back() != e.op) out.push_back(e.op);
    }
  }
  return out;
}

}  // namespace

TEST(AppShell, NormalStartOpensTheWindowAndStartsTheIntroductionOnceAtTheFirstPaint) {
  Scenario s;
  s.vp.PaintAt(4000);  // the window shown again later must not restart anything
  s.Start();
  s.RunUntil(6000);
  EXPECT_TRUE(s.MessageBoxes().empty());
  EXPECT_TRUE(g_startupDone);
  EXPECT_EQ(s.vp.LogOf("window").at(0).name, "Chimebox");
  EXPECT_EQ(s.vp.LogOf("paint").size(), 2u);
  EXPECT_EQ(s.FirstStart(kIntro), 0);
  EXPECT_EQ(s.CountStarts(kIntro), 1);
}

TEST(AppShell, FirstPaintComesBeforeTheFirstTickEvenWhenStartUpIsSlow) {
  Scenario s;
  s.vp.SetFileReadCostMs(50);  // a slow disk: start-up takes many ticks
  s.Start();
  const uint64_t startupEnd = s.vp.NowMs();
  ASSERT_GT(startupEnd, 500u);
  s.RunUntil(startupEnd + 1000);
  // Had a tick come first, the introduction's tick would have found no introduction and
  // the menu prompt would have started before it.
  EXPECT_EQ(s.FirstStart(kIntro), static_cast<int64_t>(startupEnd) + 50);  // its own read
  EXPECT_EQ(s.FirstStart(kPrompt), -1);
}

TEST(AppShell, AHandlerThatBlocksLeavesOneTickPendingAndKeysGoFirst) {
  Scenario s;
  s.vp.SetControllerAttached(true);  // every timer message polls it: the log shows each tick
  s.Press(3500, plat::VK_CONTROL);   // into the menu
  s.Press(3600, plat::VK_DOWN).Press(3700, plat::VK_DOWN);  // entry 4, the speaker test
  s.Press(3800, plat::VK_RETURN);                            // blocks for seconds
  s.Press(4000, plat::VK_DOWN);                              // waits for the test's end
  s.Start();
  s.RunUntil(12000);

  const int64_t back = s.FirstStart("menu\\test_speakers.vgz", 3801);  // the test's return
  ASSERT_GT(back, 3800 + 4000);
  std::vector<uint64_t> during;
  for (uint64_t t : TickTimes(s))
    if (t > 3800 && t <= static_cast<uint64_t>(back)) during.push_back(t);
  // One tick made up at the end of the block, then the grid goes on; none in between.
  ASSERT_EQ(during.size(), 1u);
  EXPECT_EQ(during[0], static_cast<uint64_t>(back));
  // The key that waited is handled before that tick: entry 5 is spoken at the same moment.
  EXPECT_EQ(s.FirstStart("menu\\learn_game_sounds.vgz"), back);
  size_t keyAt = 0, tickAt = 0;
  for (size_t i = 0; i < s.vp.Log().size(); ++i) {
    const plat::LogEntry& e = s.vp.Log()[i];
    if (e.ms != static_cast<uint64_t>(back)) continue;
    if (e.name == "menu\\learn_game_sounds.vgz" && !keyAt) keyAt = i;
    if (e.op == "readcontroller" && !tickAt) tickAt = i;
  }
  EXPECT_LT(keyAt, tickAt);
}

TEST(AppShell, TicksArriveEveryHundredMilliseconds) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.Start();
  s.RunUntil(1000);
  EXPECT_THAT(TickTimes(s), ElementsAre(100, 200, 300, 400, 500, 600, 700, 800, 900, 1000));
}

TEST(AppShell, NoTickHandlerRunsWhileTheTickIsOffButKeysStillDispatch) {
  Scenario s;
  s.Start();
  s.RunUntil(10);
  g_tickEnabled = 0;
  s.RunUntil(5000);  // the introduction (3 s) has ended; only its tick would notice
  EXPECT_EQ(s.FirstStart(kPrompt), -1);
  s.Press(5000, plat::VK_CONTROL);
  s.RunUntil(5100);
  EXPECT_EQ(s.FirstStart(kPrompt), 5000);
}

TEST(AppShell, AltKeysNeverReachTheGameAndAltF4ClosesWithoutTheFarewell) {
  Scenario s;
  s.vp.PressAt(500, plat::VK_CONTROL, /*alt=*/true);
  s.vp.PressAt(800, plat::VK_F4, /*alt=*/true);
  s.Start();
  EXPECT_FALSE(s.RunUntil(2000));
  EXPECT_EQ(s.FirstStart(kPrompt), -1);
  EXPECT_EQ(s.FirstStart(kFarewell), -1);
  EXPECT_EQ(s.vp.LogOf("destroywindow").at(0).ms, 800u);
}

TEST(AppShell, TheCloseButtonEndsTheProgramAtOnce) {
  Scenario s;
  s.vp.CloseAt(1234);
  s.Start();
  s.RunToEnd();
  EXPECT_EQ(s.vp.LogOf("destroywindow").at(0).ms, 1234u);
  EXPECT_EQ(s.FirstStart(kFarewell), -1);
}

TEST(AppShell, NoSoundDeviceShowsBothMessagesInOrderAndTheWindowStaysSilent) {
  Scenario s;
  s.vp.SetAudioAvailable(false);
  s.Start();
  s.RunUntil(3000);
  EXPECT_THAT(s.MessageBoxes(), ElementsAre("DSound not created", "Error in second initialisation"));
  EXPECT_TRUE(s.IsOpen());
  EXPECT_FALSE(g_startupDone);
  EXPECT_EQ(g_tickEnabled, 0);
  EXPECT_TRUE(s.Starts().empty());
  EXPECT_TRUE(s.vp.LogOf("create").empty());
}

TEST(AppShell, AMissingMenuSoundGivesOnlyTheSecondMessage) {
  FixtureOptions missing;
  missing.missing = {"menu\\quit.vgz"};
  Scenario s(missing);
  s.Start();
  s.RunUntil(1000);
  EXPECT_THAT(s.MessageBoxes(), ElementsAre("Error in second initialisation"));
  // The menu's sounds loaded so far were given back.
  EXPECT_EQ(s.vp.LogOf("destroy").size(), 9u);
}

TEST(AppShell, ARefusedTimerFailsTheSecondStage) {
  Scenario s;
  s.vp.SetTimerAvailable(false);
  s.Start();
  EXPECT_THAT(s.MessageBoxes(), ElementsAre("Error in second initialisation"));
}

TEST(AppShell, ShutDownReleasesInOrderAfterANormalStart) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.vp.CloseAt(5000);
  s.Start();
  s.RunToEnd();
  EXPECT_THAT(ShutdownOps(s, 5000), ElementsAre("destroy", "killtimer", "closecontroller", "closedevice"));
}

TEST(AppShell, ShutDownAfterAFailedStartReleasesWhatWasMade) {
  Scenario s;
  s.vp.SetAudioAvailable(false);
  s.vp.CloseAt(1000);
  s.Start();
  s.RunToEnd();
  EXPECT_THAT(ShutdownOps(s, 1000), ElementsAre("closecontroller"));
}

TEST(AppShell, AnExecutablePathWithoutASeparatorLooksInTheCurrentFolder) {
  Scenario s;
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(s.folder.c_str()), 0);
  s.vp.SetExecutablePath("chimebox");
  s.Start();
  s.RunUntil(100);
  EXPECT_EQ(g_programFolder, "");
  EXPECT_TRUE(s.MessageBoxes().empty());
  EXPECT_EQ(s.FirstStart(kIntro), 0);
  ASSERT_EQ(chdir(previous), 0);
}

TEST(AppShell, AnUnreadableExecutablePathClosesTheWindowWithoutAWord) {
  Scenario s;
  s.vp.SetExecutablePath("");
  s.Start();
  EXPECT_FALSE(s.IsOpen());
  EXPECT_TRUE(s.MessageBoxes().empty());
  EXPECT_TRUE(s.vp.LogOf("paint").empty());
}

TEST(AppShell, TheAboutBoxTakesTheKeysWhileTheTickGoesOn) {
  Scenario s;
  s.Press(500, plat::VK_F1);
  s.Press(600, plat::VK_CONTROL);  // would cut the introduction short
  s.Press(4000, plat::VK_ESCAPE);  // closes the box, not the program
  s.Press(4500, plat::VK_DOWN);    // the game has the keys again
  s.Start();
  s.RunUntil(5000);
  const auto about = s.vp.LogOf("about");
  ASSERT_EQ(about.size(), 2u);
  EXPECT_EQ(about[0].ms, 500u);
  EXPECT_EQ(about[0].a, 1);
  EXPECT_EQ(about[1].ms, 4000u);
  EXPECT_EQ(about[1].a, 0);
  // The box says what it is and how to leave it, and goes quiet as it closes.
  EXPECT_EQ(s.FirstStart(kAboutSpeech), 500);
  const auto gone = s.vp.LogOf("destroy");
  EXPECT_TRUE(std::any_of(gone.begin(), gone.end(), [](const plat::LogEntry& e) {
    return e.name == kAboutSpeech && e.ms == 4000;
  }));
  // The introduction ran to its end under the box, and its tick started the menu.
  EXPECT_EQ(s.FirstStart(kPrompt), 3000);
  EXPECT_TRUE(s.IsOpen());
  EXPECT_EQ(s.FirstStart("menu\\start_game.vgz"), 4500);
}

// The window closed with the box open, and a box without its recording: the speech goes
// before the sound device does, and a missing recording leaves the box silent but working.
TEST(AppShell, TheAboutBoxSpeechNeverOutlivesTheDevice) {
  for (const bool recorded : {true, false}) {
    SCOPED_TRACE(recorded ? "recorded" : "missing");
    FixtureOptions options;
    if (!recorded) options.missing = {kAboutSpeech};
    Scenario s(options);
    s.Press(500, plat::VK_F1);
    s.Start();
    s.RunUntil(1000);
    EXPECT_EQ(s.FirstStart(kAboutSpeech), recorded ? 500 : -1);
    EXPECT_TRUE(s.Window().About().IsOpen());
    s.Window().Close();
    const auto& log = s.vp.Log();
    const auto closed = std::find_if(log.begin(), log.end(),
                                     [](const plat::LogEntry& e) { return e.op == "closedevice"; });
    ASSERT_NE(closed, log.end());
    EXPECT_EQ(std::count_if(log.begin(), closed, [](const plat::LogEntry& e) {
                return e.op == "destroy" && e.name == kAboutSpeech;
              }),
              recorded ? 1 : 0);
    EXPECT_TRUE(std::none_of(log.begin(), log.end(), [](const plat::LogEntry& e) {
      return e.op == "bad-voice" || e.op == "bad-listener";
    }));
  }
}

TEST(AppShell, AFailedControllerReadSwitchesItOffForTheRun) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.vp.FailControllerReads(true);
  s.Start();
  s.RunUntil(1000);
  EXPECT_EQ(s.vp.LogOf("readcontroller").size(), 1u);
  EXPECT_FALSE(g_controllerEnabled);
}

TEST(AppShell, LeftAndRightAreExchangedOnlyAfterAFailedSecondStage) {
  struct Case {
    const char* what;
    bool timer;
    int key;
    int column;
  };
  const Case cases[] = {
      {"failed start, Left", false, plat::VK_LEFT, 2},
      {"failed start, Right", false, plat::VK_RIGHT, 0},
      {"normal start, Left", true, plat::VK_LEFT, 0},
      {"normal start, Right", true, plat::VK_RIGHT, 2},
  };
  for (const Case& c : cases) {
    Scenario s;
    s.vp.SetTimerAvailable(c.timer);  // a refused timer fails the second stage
    s.Start();
    s.RunUntil(50);
    ASSERT_EQ(g_startupDone, c.timer) << c.what;
    // The level walks the cursor by column: the key it receives shows in the cursor.
    g_mode = MODE_LEVEL;
    g_cursorRow = 0;
    g_cursorColumn = 1;
    s.Press(100, c.key);
    s.RunUntil(200);
    EXPECT_EQ(g_cursorColumn, c.column) << c.what;
  }
}
