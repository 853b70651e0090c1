// The best-score screen walked by ear, and the menu's refusal to send a score of nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "menu/menu.h"
#include "scores/best_scores.h"
#include "tests/support/best_file_bytes.h"
#include "tests/support/scenario.h"

using testing::ElementsAre;
using testing_support::Scenario;
using testing_support::WriteBytes;

namespace {

constexpr char kOpening[] = "score\\score_arrows.vgz";
constexpr char kPoints[] = "score\\say_points.vgz";
constexpr char kReturnToMenu[] = "game\\return_to_menu.vgz";
constexpr char kTopTen[] = "menu\\view_top_10.vgz";

// What the screen said between two times: score words and its return-to-menu phrase.
std::vector<std::string> Said(const Scenario& s, uint64_t fromMs, uint64_t toMs) {
  std::vector<std::string> out;
  for (const std::string& name : s.StartedNames(fromMs, toMs))
    if (name.rfind("score\\", 0) == 0 || name == kReturnToMenu) out.push_back(name);
  return out;
}

// Skips the introduction and walks the menu down to an entry (1 is the first Down).
void WalkMenuTo(Scenario& s, int downs) {
  s.Tap(100, plat::VK_CONTROL);
  for (int i = 0; i < downs; ++i) s.Tap(200 + 100 * uint64_t(i), plat::VK_DOWN);
}

constexpr int kDownsToTopTen = 5;    // 1, 4, 5, 6, 7
constexpr int kDownsToSendScore = 6; // ... 8

class BestScoreScreen : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(s.folder + "best.dat", best_file::Stored(best_file::Plain({"500", "20"})));
    WalkMenuTo(s, kDownsToTopTen);
    s.Tap(800, plat::VK_RETURN);
  }
  Scenario s;
};

// Each entry is followed by a second's pause, so the keys come a few seconds apart.
TEST_F(BestScoreScreen, WalksTheRingOfEntriesAndLeavesOnReturnToMenu) {
  s.Tap(900, plat::VK_SPACE);      // any key cuts the opening short
  s.Tap(4000, plat::VK_UP);        // from the first entry back round to return-to-menu
  s.Tap(5000, plat::VK_DOWN);      // and on to the first entry again
  s.Tap(8000, plat::VK_DOWN);      // the second entry
  s.Tap(11000, plat::VK_RETURN);   // on a score: stays
  s.Tap(11500, plat::VK_LEFT);     // any other key says the entry again
  s.Tap(14000, plat::VK_DOWN);     // return-to-menu
  s.Tap(15000, plat::VK_RETURN);   // leaves
  s.Start();
  s.RunUntil(16000);

  EXPECT_EQ(s.FirstStart(kOpening), 800);
  EXPECT_EQ(s.CountStarts(kOpening), 1);
  EXPECT_THAT(Said(s, 801, 3999), ElementsAre("score\\5.vgz", "score\\hundred.vgz", kPoints));
  EXPECT_THAT(Said(s, 4000, 4999), ElementsAre(kReturnToMenu));
  EXPECT_THAT(Said(s, 5000, 7999), ElementsAre("score\\5.vgz", "score\\hundred.vgz", kPoints));
  EXPECT_THAT(Said(s, 8000, 10999), ElementsAre("score\\20.vgz", kPoints));
  EXPECT_THAT(Said(s, 11000, 11499), ElementsAre());
  EXPECT_THAT(Said(s, 11500, 13999), ElementsAre("score\\20.vgz", kPoints));
  EXPECT_THAT(Said(s, 14000, 14999), ElementsAre(kReturnToMenu));
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_EQ(s.FirstStart(kTopTen, 15000), 15000);
}

TEST_F(BestScoreScreen, EscapeDuringTheOpeningStaysAndEscapeAfterItLeaves) {
  s.Tap(900, plat::VK_ESCAPE);
  s.Tap(4000, plat::VK_ESCAPE);
  s.Start();
  s.RunUntil(3900);
  EXPECT_EQ(g_mode, MODE_BEST_SCORES);
  EXPECT_THAT(Said(s, 801, 3900), ElementsAre("score\\5.vgz", "score\\hundred.vgz", kPoints));
  EXPECT_EQ(g_tickEnabled, 0);  // silent until the next key
  s.RunUntil(5000);
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_EQ(s.FirstStart(kTopTen, 4000), 4000);
}

TEST(MenuScenario, SendingANothingScoreSaysNotEnoughAndStaysInTheMenu) {
  Scenario s;
  g_lastScore = 0;  // no level played yet
  WalkMenuTo(s, kDownsToSendScore);
  s.Tap(1000, plat::VK_RETURN);
  s.Start();
  s.RunUntil(3000);
  EXPECT_EQ(s.FirstStart("game\\not_enough.vgz"), 1000);
  EXPECT_EQ(g_mode, MODE_MENU);
  EXPECT_TRUE(IsLooping(g_menuSounds[MENU_SOUND_BACKGROUND]));
}

}  // namespace
