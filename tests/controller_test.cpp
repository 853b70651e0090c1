// The game controller as keys: the mapping of its buttons and stick, the order and repeats
// of the presses it makes, and whole scenarios played with it on the virtual platform.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/input.h"
#include "puzzle/board.h"
#include "puzzle/level.h"
#include "tests/support/scenario.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;
using testing_support::Scenario;

namespace {

plat::ControllerState Pad(std::initializer_list<int> buttons, int x = 0, int y = 0) {
  plat::ControllerState state;
  for (int b : buttons) state.buttons[b] = plat::PAD_PRESSED;
  state.x = x;
  state.y = y;
  return state;
}

plat::ControllerState Stick(int x, int y) { return Pad({}, x, y); }

std::string KeyName(int vk) {
  static const std::map<int, std::string> names = {
      {plat::VK_RETURN, "Enter"}, {plat::VK_CONTROL, "Control"}, {plat::VK_ESCAPE, "Escape"},
      {plat::VK_SPACE, "Space"},  {plat::VK_LEFT, "Left"},       {plat::VK_UP, "Up"},
      {plat::VK_RIGHT, "Right"},  {plat::VK_DOWN, "Down"},       {plat::VK_N, "N"},
      {plat::VK_Y, "Y"}};
  auto it = names.find(vk);
  return it == names.end() ? std::to_string(vk) : it->second;
}

// The keys one reading makes, as "+Down" for a press and "-Down" for a release.
std::vector<std::string> Read(const plat::ControllerState& state, uint64_t ms = 0) {
  std::vector<plat::Event> keys;
  ControllerKeyEvents(state, ms, &keys);
  std::vector<std::string> out;
  for (const plat::Event& k : keys)
    out.push_back((k.type == plat::EventType::KeyDown ? "+" : "-") + KeyName(k.vk));
  return out;
}

void Forget() {
  std::vector<plat::Event> discarded;
  ReleaseControllerKeys(&discarded);
}

TEST(ControllerKeys, EachButtonAndStickDirectionStandsForItsKey) {
  struct Case {
    const char* what;
    plat::ControllerState state;
    const char* key;  // "" for none
  };
  plat::ControllerState beyond;
  beyond.buttons[100] = plat::PAD_PRESSED;
  plat::ControllerState lowBits;
  lowBits.buttons[plat::PAD_SOUTH] = 0x7f;
  const Case cases[] = {
      {"d-pad left", Pad({plat::PAD_DPAD_LEFT}), "Left"},
      {"d-pad up", Pad({plat::PAD_DPAD_UP}), "Up"},
      {"d-pad right", Pad({plat::PAD_DPAD_RIGHT}), "Right"},
      {"d-pad down", Pad({plat::PAD_DPAD_DOWN}), "Down"},
      {"stick left", Stick(-601, 0), "Left"},
      {"stick up", Stick(0, -601), "Up"},
      {"stick right", Stick(601, 0), "Right"},
      {"stick down", Stick(0, 601), "Down"},
      {"south", Pad({plat::PAD_SOUTH}), "Enter"},
      {"east", Pad({plat::PAD_EAST}), "Escape"},
      {"west", Pad({plat::PAD_WEST}), "Space"},
      {"north", Pad({plat::PAD_NORTH}), "Y"},
      {"back", Pad({plat::PAD_BACK}), "N"},
      {"left shoulder", Pad({plat::PAD_LEFT_SHOULDER}), "Control"},
      {"right shoulder", Pad({plat::PAD_RIGHT_SHOULDER}), "Control"},
      {"start", Pad({plat::PAD_START}), ""},
      {"guide", Pad({plat::PAD_GUIDE}), ""},
      {"sticks pressed in", Pad({plat::PAD_LEFT_STICK, plat::PAD_RIGHT_STICK}), ""},
      {"stick at the bound", Stick(600, -600), ""},
      {"stick at the other bound", Stick(-600, 600), ""},
      {"a byte without the high bit", lowBits, ""},
      {"a button the pad does not have", beyond, ""},
  };
  for (const Case& c : cases) {
    Forget();
    const plat::ControllerState& state = c.state;
    const std::string key = c.key;
    if (key.empty()) {
      EXPECT_THAT(Read(state), IsEmpty()) << c.what;
      continue;
    }
    EXPECT_THAT(Read(state, 0), ElementsAre("+" + key)) << c.what;
    EXPECT_THAT(Read(state, 100), IsEmpty()) << c.what << ": held, no news";
    EXPECT_THAT(Read(Pad({}), 200), ElementsAre("-" + key)) << c.what;
  }
}

TEST(ControllerKeys, ReleasesComeFirstThenControlBeforeTheArrows) {
  Forget();
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_RIGHT, plat::PAD_LEFT_SHOULDER})),
              ElementsAre("+Control", "+Right"));
  EXPECT_THAT(Read(Stick(-1000, 0)), ElementsAre("-Control", "-Right", "+Left"));
  // The stick swung across between two readings: one arrow let go, the other pressed.
  EXPECT_THAT(Read(Stick(1000, 0)), ElementsAre("-Left", "+Right"));
}

TEST(ControllerKeys, TheDpadAndTheStickHoldOneKeyBetweenThem) {
  Forget();
  EXPECT_THAT(Read(Stick(0, 900)), ElementsAre("+Down"));
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN}, 0, 900)), IsEmpty());
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN})), IsEmpty());
  EXPECT_THAT(Read(Pad({})), ElementsAre("-Down"));
  // Both shoulders are one Control.
  EXPECT_THAT(Read(Pad({plat::PAD_LEFT_SHOULDER})), ElementsAre("+Control"));
  EXPECT_THAT(Read(Pad({plat::PAD_LEFT_SHOULDER, plat::PAD_RIGHT_SHOULDER})), IsEmpty());
  EXPECT_THAT(Read(Pad({plat::PAD_RIGHT_SHOULDER})), IsEmpty());
  EXPECT_THAT(Read(Pad({})), ElementsAre("-Control"));
}

TEST(ControllerKeys, TheStickLetsGoOnlyWellInsideWhereItPressed) {
  Forget();
  EXPECT_THAT(Read(Stick(700, 0)), ElementsAre("+Right"));
  EXPECT_THAT(Read(Stick(450, 0)), IsEmpty());
  EXPECT_THAT(Read(Stick(400, 0)), ElementsAre("-Right"));
  EXPECT_THAT(Read(Stick(550, 0)), IsEmpty());
}

TEST(ControllerKeys, AHeldDirectionRepeatsLikeAKeyboardKey) {
  struct Case {
    const char* what;
    std::vector<uint64_t> readings;  // the d-pad held down at each
    std::vector<uint64_t> presses;   // the Down presses made
  };
  const Case cases[] = {
      {"on the tick's grid", {1000, 1100, 1200, 1300, 1400, 1500, 1600, 1700}, {1000, 1500, 1600, 1700}},
      {"readings a little late or early", {3, 101, 204, 302, 399, 503, 598, 702}, {3, 503, 598, 702}},
      // A handler blocked for 1.8 s: one repeat when it is over, not a burst.
      {"after a block", {0, 100, 200, 300, 400, 500, 2300, 2400}, {0, 500, 2300, 2400}},
  };
  for (const Case& c : cases) {
    Forget();
    std::vector<uint64_t> presses;
    for (uint64_t ms : c.readings)
      for (const std::string& key : Read(Pad({plat::PAD_DPAD_DOWN}), ms))
        if (key == "+Down") presses.push_back(ms);
    EXPECT_THAT(presses, ElementsAreArray(c.presses)) << c.what;
    EXPECT_THAT(Read(Pad({}), c.readings.back() + 100), ElementsAre("-Down")) << c.what;
    EXPECT_THAT(Read(Pad({}), c.readings.back() + 1000), IsEmpty()) << c.what;
  }
}

TEST(ControllerKeys, OnlyTheDirectionPressedLastRepeatsAndButtonsNever) {
  Forget();
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN, plat::PAD_SOUTH}), 0), ElementsAre("+Down", "+Enter"));
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN, plat::PAD_SOUTH, plat::PAD_DPAD_RIGHT}), 300),
              ElementsAre("+Right"));
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN, plat::PAD_SOUTH, plat::PAD_DPAD_RIGHT}), 800),
              ElementsAre("+Right"));
  // Letting go of the repeating one leaves the other held but silent, as on a keyboard.
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN, plat::PAD_SOUTH}), 900), ElementsAre("-Right"));
  EXPECT_THAT(Read(Pad({plat::PAD_DPAD_DOWN, plat::PAD_SOUTH}), 2000), IsEmpty());
}

TEST(ControllerKeys, ALostControllerLetsGoOfEveryKeyItHeld) {
  Forget();
  Read(Pad({plat::PAD_LEFT_SHOULDER, plat::PAD_DPAD_UP}));
  std::vector<plat::Event> keys;
  ReleaseControllerKeys(&keys);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].type, plat::EventType::KeyUp);
  EXPECT_EQ(keys[0].vk, plat::VK_CONTROL);
  EXPECT_EQ(keys[1].vk, plat::VK_UP);
  // Nothing left to repeat or release.
  EXPECT_THAT(Read(Pad({}), 5000), IsEmpty());
}


// ---- Whole scenarios: the controller alone drives the game.

// Sound starts from a time on, as "1100 menu\start_game.vgz", the level's background aside.
std::vector<std::string> HeardFrom(const Scenario& s, uint64_t fromMs) {
  std::vector<std::string> out;
  for (const testing_support::Heard& h : s.Starts())
    if (h.ms >= fromMs && h.name.find("bgrn") == std::string::npos)
      out.push_back(std::to_string(h.ms) + " " + h.name);
  return out;
}

// Holds the buttons (or the stick) from one time to another; the controller reads every tick.
void Hold(Scenario& s, uint64_t fromMs, uint64_t toMs, const plat::ControllerState& state) {
  s.vp.SetControllerStateAt(fromMs, state);
  s.vp.SetControllerStateAt(toMs, Pad({}));
}

// The introduction cut short with a shoulder, the level opened with south and its clock
// started with west, each read at the next tick.
void IntoARunningLevel(Scenario& s) {
  Hold(s, 50, 150, Pad({plat::PAD_LEFT_SHOULDER}));  // Control at 100
  Hold(s, 250, 350, Pad({plat::PAD_SOUTH}));         // Enter at 300
  Hold(s, 450, 550, Pad({plat::PAD_WEST}));          // Space at 500
}

TEST(ControllerScenario, TheDpadWalksTheMenuAsTheDownKeyDoes) {
  std::vector<std::string> byKeyboard;
  {
    Scenario s;
    s.Press(500, plat::VK_CONTROL).Release(600, plat::VK_CONTROL);
    s.Press(1100, plat::VK_DOWN).Release(1200, plat::VK_DOWN);
    s.Start();
    s.RunUntil(3000);
    byKeyboard = HeardFrom(s, 1000);
  }
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.Press(500, plat::VK_CONTROL).Release(600, plat::VK_CONTROL);
  Hold(s, 1050, 1150, Pad({plat::PAD_DPAD_DOWN}));
  s.Start();
  s.RunUntil(3000);
  EXPECT_EQ(s.FirstStart("menu\\start_game.vgz"), 1100);
  EXPECT_THAT(HeardFrom(s, 1000), ElementsAreArray(byKeyboard));
}

TEST(ControllerScenario, AHeldStickRepeatsThroughTheMenu) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.Press(500, plat::VK_CONTROL);
  Hold(s, 1050, 1750, Stick(0, 1000));  // read down from 1100 to 1700
  s.Start();
  s.RunUntil(3000);
  EXPECT_THAT(HeardFrom(s, 1000), ElementsAre("1100 menu\\start_game.vgz", "1600 menu\\test_speakers.vgz",
                                              "1700 menu\\learn_game_sounds.vgz"));
}

TEST(ControllerScenario, TheShoulderHeldWithTheDpadTurnsARowAndItsReleaseEndsMoveMode) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  IntoARunningLevel(s);
  s.vp.SetControllerStateAt(2950, Pad({plat::PAD_RIGHT_SHOULDER}));
  s.vp.SetControllerStateAt(3050, Pad({plat::PAD_RIGHT_SHOULDER, plat::PAD_DPAD_RIGHT}));
  s.vp.SetControllerStateAt(3150, Pad({plat::PAD_RIGHT_SHOULDER}));
  s.vp.SetControllerStateAt(3950, Pad({}));
  Hold(s, 4450, 4550, Pad({plat::PAD_DPAD_RIGHT}));
  s.Start();
  s.RunUntil(2990);
  ASSERT_EQ(g_mode, MODE_LEVEL);
  ASSERT_EQ(g_levelRunning, 1);
  int32_t before[3];
  for (int c = 0; c < 3; ++c) before[c] = g_board[0][c];

  s.RunUntil(3900);
  EXPECT_EQ(s.FirstStart("level1\\move2.vgz"), 3100);
  EXPECT_THAT(g_board[0], ElementsAre(before[2], before[0], before[1]));
  EXPECT_EQ(g_cursorColumn, 0);
  EXPECT_EQ(g_moveMode, 1);

  s.RunUntil(5000);
  EXPECT_EQ(g_moveMode, 0);
  EXPECT_EQ(s.CountStarts("level1\\move2.vgz"), 1);
  EXPECT_EQ(g_cursorColumn, 1);  // the later Right walked instead of turning
}

TEST(ControllerScenario, SouthIsEnterAndTheAboutBoxTakesTheControllersKeysFirst) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.Press(3500, plat::VK_F1);
  Hold(s, 3550, 3650, Pad({plat::PAD_EAST}));  // Escape at 3600 closes the box, not the game
  Hold(s, 3950, 4050, Pad({plat::PAD_SOUTH}));  // Enter at 4000 chooses the first entry
  s.Start();
  s.RunUntil(5000);
  const auto about = s.vp.LogOf("about");
  ASSERT_EQ(about.size(), 2u);
  EXPECT_EQ(about[1].ms, 3600u);
  EXPECT_EQ(about[1].a, 0);
  EXPECT_TRUE(s.IsOpen());
  EXPECT_EQ(s.FirstStart("game\\exit_game.vgz"), -1);
  EXPECT_EQ(g_mode, MODE_LEVEL);
  EXPECT_EQ(s.vp.LogOf("create").back().ms, 4000u);  // the level's sounds loaded then
}

TEST(ControllerScenario, EastInTheMenuSaysFarewellAndEndsTheGame) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  s.Press(500, plat::VK_CONTROL);
  // West comes after east in the same reading, when the window is already gone.
  s.vp.SetControllerStateAt(1050, Pad({plat::PAD_EAST, plat::PAD_WEST}));
  s.Start();
  s.RunToEnd();
  EXPECT_EQ(s.FirstStart("game\\exit_game.vgz"), 1100);
  EXPECT_EQ(s.vp.LogOf("destroywindow").at(0).ms, s.vp.NowMs());
  EXPECT_EQ(s.vp.LogOf("readcontroller").back().ms, 1100u);
  EXPECT_EQ(s.vp.LogOf("closecontroller").size(), 1u);
}

TEST(ControllerScenario, ALostControllerLetsGoOfControlAndIsNeverReadAgain) {
  Scenario s;
  s.vp.SetControllerAttached(true);
  IntoARunningLevel(s);
  s.vp.SetControllerStateAt(2950, Pad({plat::PAD_LEFT_SHOULDER}));
  s.Press(3700, plat::VK_RIGHT);
  s.Start();
  s.RunUntil(3450);
  ASSERT_EQ(g_moveMode, 1);

  s.vp.FailControllerReads(true);  // unplugged
  s.RunUntil(5000);
  EXPECT_EQ(g_moveMode, 0);
  EXPECT_FALSE(g_controllerEnabled);
  const auto reads = s.vp.LogOf("readcontroller");
  EXPECT_EQ(reads.back().ms, 3500u);
  EXPECT_EQ(reads.back().a, -1);
  EXPECT_EQ(s.vp.LogOf("closecontroller").at(0).ms, 3500u);
  EXPECT_EQ(s.CountStarts("level1\\move2.vgz"), 0);  // the keyboard's Right walked
  EXPECT_EQ(g_cursorColumn, 1);
}

}  // namespace
