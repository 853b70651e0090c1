// Whole levels played by ear on the virtual platform: start, shuffle, solve, win or abandon,
// the game-over announcement, the spoken score and the way back to the menu.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "puzzle/board.h"
#include "puzzle/level.h"
#include "tests/support/best_file_bytes.h"
#include "tests/support/scenario.h"

using testing::ElementsAreArray;
using testing_support::ReadBytes;
using testing_support::Scenario;

namespace {

constexpr char kGameOver[] = "game\\say_game_over.vgz";
constexpr char kFinalOpening[] = "score\\say_final_score.vgz";
constexpr char kPoints[] = "score\\say_points.vgz";
constexpr char kEntryOne[] = "menu\\start_game.vgz";

// ---- A solver, independent of the game's board code.
using Cells = std::array<int, 9>;
enum class Turn { RowLeft, RowRight, ColumnUp, ColumnDown };
struct Move {
  Turn turn;
  int line;
};

Cells Apply(Cells b, Move m) {
  auto at = [&](int r, int c) -> int& { return b[r * 3 + c]; };
  const int l = m.line;
  Cells old = b;
  auto was = [&](int r, int c) { return old[r * 3 + c]; };
  switch (m.turn) {
    case Turn::RowLeft: at(l, 0) = was(l, 1); at(l, 1) = was(l, 2); at(l, 2) = was(l, 0); break;
    case Turn::RowRight: at(l, 0) = was(l, 2); at(l, 1) = was(l, 0); at(l, 2) = was(l, 1); break;
    case Turn::ColumnUp: at(0, l) = was(1, l); at(1, l) = was(2, l); at(2, l) = was(0, l); break;
    case Turn::ColumnDown: at(0, l) = was(2, l); at(1, l) = was(0, l); at(2, l) = was(1, l); break;
  }
  return b;
}

// The shortest list of turns that solves the board.
std::vector<Move> Solve(const Cells& start) {
  const Cells solved = {2, 3, 4, 5, 6, 7, 8, 9, 10};
  std::map<Cells, std::pair<Cells, Move>> cameFrom;
  std::deque<Cells> queue = {start};
  cameFrom[start] = {start, {Turn::RowLeft, -1}};
  while (!queue.empty() && !cameFrom.count(solved)) {
    const Cells b = queue.front();
    queue.pop_front();
    for (Turn t : {Turn::RowLeft, Turn::RowRight, Turn::ColumnUp, Turn::ColumnDown})
      for (int line = 0; line < 3; ++line) {
        const Cells next = Apply(b, {t, line});
        if (cameFrom.emplace(next, std::make_pair(b, Move{t, line})).second) queue.push_back(next);
      }
  }
  std::vector<Move> moves;
  for (Cells b = solved; b != start; b = cameFrom[b].first) moves.insert(moves.begin(), cameFrom[b].second);
  return moves;
}

// Presses that walk the cursor and turn the board as a player would: arrows to reach the
// row or column, then Control held for the turn. Returns the time after the last press.
uint64_t ScriptSolution(Scenario& s, const std::vector<Move>& moves, uint64_t ms) {
  int row = 0, column = 0;
  for (const Move& m : moves) {
    const bool byRow = m.turn == Turn::RowLeft || m.turn == Turn::RowRight;
    while (byRow && row != m.line) {
      s.Tap(ms += 20, row < m.line ? plat::VK_DOWN : plat::VK_UP);
      row += row < m.line ? 1 : -1;
    }
    while (!byRow && column != m.line) {
      s.Tap(ms += 20, column < m.line ? plat::VK_RIGHT : plat::VK_LEFT);
      column += column < m.line ? 1 : -1;
    }
    const int arrow[] = {plat::VK_LEFT, plat::VK_RIGHT, plat::VK_UP, plat::VK_DOWN};
    s.Press(ms += 20, plat::VK_CONTROL);
    s.Tap(ms += 20, arrow[int(m.turn)]);
    s.Release(ms += 20, plat::VK_CONTROL);
  }
  return ms;
}

// How a number below 20,000 is said, word by word.
std::vector<std::string> NumberWords(int n) {
  auto word = [](int w) { return "score\\" + std::to_string(w) + ".vgz"; };
  std::vector<std::string> words;
  if (n >= 1000) {
    words.push_back(word(n / 1000));
    words.push_back("score\\thousand.vgz");
  }
  const int rest = n % 1000;
  if (rest >= 100) {
    words.push_back(word(rest / 100));
    words.push_back("score\\hundred.vgz");
  }
  const int units = rest % 100;
  if (units > 19) {
    words.push_back(word(units / 10 * 10));
    if (units % 10) words.push_back(word(units % 10));
  } else if (units > 0 || n == 0) {
    words.push_back(word(units));
  }
  return words;
}

// The score sounds started from a time on, in order.
std::vector<std::string> ScoreWordsFrom(const Scenario& s, uint64_t fromMs) {
  std::vector<std::string> out;
  for (const std::string& name : s.StartedNames(fromMs))
    if (name.rfind("score\\", 0) == 0) out.push_back(name);
  return out;
}

std::vector<std::string> FinalScoreWords(int n) {
  std::vector<std::string> words = {kFinalOpening};
  for (const std::string& w : NumberWords(n)) words.push_back(w);
  words.push_back(kPoints);
  return words;
}

// Skips the introduction and starts a level from the menu's first entry.
void OpenLevel(Scenario& s) {
  s.Tap(100, plat::VK_CONTROL);
  s.Tap(200, plat::VK_RETURN);
}

TEST(LevelScenario, AWholeGameFromTheMenuToTheStoredScore) {
  Scenario s;  // the wall clock reads 1 at start-up: the generator is seeded with 1
  OpenLevel(s);
  s.Tap(400, plat::VK_SPACE);
  // Seed 1's first shuffle, from the solved board.
  const std::vector<Move> moves = Solve({9, 3, 10, 6, 5, 4, 8, 2, 7});
  ASSERT_FALSE(moves.empty());
  ScriptSolution(s, moves, 1000);
  s.Start();
  s.RunUntil(30000);

  const int64_t won = s.FirstStart(kGameOver);
  ASSERT_GT(won, 1000);
  EXPECT_EQ(s.CountStarts("level1\\start.vgz"), 1);
  ASSERT_GT(g_levelTicks, 0);
  EXPECT_EQ(g_lastScore, LEVEL_TICK_LIMIT - g_levelTicks);

  // The game-over announcement, then the score word by word.
  const int64_t opening = s.FirstStart(kFinalOpening, uint64_t(won));
  EXPECT_GE(opening, won + 500);  // the announcement's length
  EXPECT_THAT(ScoreWordsFrom(s, uint64_t(won)), ElementsAreArray(FinalScoreWords(g_lastScore)));

  // One second after the last word has ended, the menu speaks entry 1 again.
  const int64_t points = s.FirstStart(kPoints, uint64_t(won));
  const int64_t menu = s.FirstStart(kEntryOne, uint64_t(points));
  EXPECT_GE(menu, points + 400 + 1000);
  EXPECT_LE(menu, points + 400 + 100 + 1000);
  EXPECT_EQ(g_mode, MODE_MENU);

  EXPECT_EQ(ReadBytes(s.folder + "best.dat"),
            best_file::Stored(best_file::Plain({std::to_string(g_lastScore), "0"})));
}

TEST(LevelScenario, SpaceTwiceStopsTheClockAndResetsTheBoard) {
  Scenario s;
  OpenLevel(s);
  s.Tap(400, plat::VK_SPACE);
  s.Tap(2000, plat::VK_SPACE);
  s.Start();
  s.RunUntil(2700);
  const int32_t ticks = g_levelTicks;
  EXPECT_GT(ticks, 5);
  s.RunUntil(5000);

  EXPECT_EQ(g_levelTicks, ticks);  // kept until the next start
  EXPECT_EQ(g_tickEnabled, 0);
  EXPECT_EQ(g_levelRunning, 0);
  EXPECT_TRUE(IsBoardSolved());
  EXPECT_EQ(g_cursorRow, 0);
  EXPECT_EQ(g_cursorColumn, 0);
  const int64_t stop = s.FirstStart("level1\\stop.vgz");
  ASSERT_GE(stop, 2000);
  const std::vector<std::string> after = s.StartedNames(uint64_t(stop) + 1);
  ASSERT_GE(after.size(), 2u);
  EXPECT_EQ(after[0], "level1\\next.vgz");
  EXPECT_EQ(after[1], "level1\\1_1.vgz");
  for (const testing_support::Heard& h : s.Starts()) {
    if (h.ms > uint64_t(stop) && h.name == "level1\\1_1.vgz") {
      EXPECT_EQ(h.pan, plat::PAN_LEFT);
    }
  }
}

TEST(LevelScenario, EscapeAbandonsWithZeroBeforeAndAfterSpace) {
  for (bool started : {false, true}) {
    SCOPED_TRACE(started ? "after Space" : "before Space");
    Scenario s;
    OpenLevel(s);
    if (started) s.Tap(400, plat::VK_SPACE);
    s.Tap(1500, plat::VK_ESCAPE);
    s.Start();
    s.RunUntil(8000);

    const int64_t over = s.FirstStart(kGameOver);
    EXPECT_GE(over, 1500);
    EXPECT_EQ(g_lastScore, 0);
    EXPECT_THAT(ScoreWordsFrom(s, uint64_t(over)), ElementsAreArray(FinalScoreWords(0)));
    EXPECT_GT(s.FirstStart(kEntryOne, uint64_t(over)), over);
    EXPECT_TRUE(ReadBytes(s.folder + "best.dat").empty());  // abandons are not recorded
  }
}

TEST(LevelScenario, TheTickAfterTheLimitAbandonsTheLevel) {
  Scenario s;
  OpenLevel(s);
  s.Tap(400, plat::VK_SPACE);
  s.Start();
  s.RunUntil(1000);
  ASSERT_EQ(g_mode, MODE_LEVEL);
  g_levelTicks = LEVEL_TICK_LIMIT - 5;  // half an hour of ticks, skipped

  uint64_t now = 1000;
  while (g_levelTicks < LEVEL_TICK_LIMIT && now < 3000) s.RunUntil(now += 10);
  EXPECT_EQ(g_levelTicks, LEVEL_TICK_LIMIT);
  EXPECT_EQ(g_mode, MODE_LEVEL);  // the 18000th tick is still in time
  s.RunUntil(now + 150);
  EXPECT_EQ(g_mode, MODE_LEVEL_END);
  EXPECT_EQ(g_lastScore, 0);
  EXPECT_GT(s.FirstStart(kGameOver), 1000);
  EXPECT_TRUE(ReadBytes(s.folder + "best.dat").empty());
}

TEST(LevelScenario, SpaceWithControlHeldKeepsMoveModeAndTheSolvedBoardCanBeWon) {
  Scenario s;
  OpenLevel(s);
  s.Tap(400, plat::VK_SPACE);
  s.Press(1200, plat::VK_CONTROL);
  s.Tap(1300, plat::VK_SPACE);  // the clock stops, the board is reset
  for (uint64_t ms : {1400, 1500, 1600}) s.Tap(ms, plat::VK_RIGHT);
  s.Release(1700, plat::VK_CONTROL);
  s.Start();
  s.RunUntil(1350);
  const int32_t ticksBeforeStop = g_levelTicks;
  s.RunUntil(8000);

  EXPECT_EQ(s.CountStarts("level1\\move2.vgz"), 3);  // three turns of the top row
  EXPECT_GT(s.FirstStart(kGameOver), 1600);
  EXPECT_EQ(g_levelTicks, ticksBeforeStop);
  EXPECT_EQ(g_lastScore, LEVEL_TICK_LIMIT - ticksBeforeStop);
  EXPECT_EQ(ReadBytes(s.folder + "best.dat"),
            best_file::Stored(best_file::Plain({std::to_string(g_lastScore), "0"})));
}

}  // namespace
