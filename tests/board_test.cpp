#include "puzzle/board.h"

#include <gtest/gtest.h>

#include <array>

namespace {

using Rows = std::array<std::array<int32_t, 3>, 3>;

Rows BoardRows() {
  Rows rows;
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) rows[r][c] = g_board[r][c];
  return rows;
}

// How many values the generator drew to go from `from` to the current state.
int DrawsSince(uint32_t from) {
  const uint32_t target = g_randomState;
  g_randomState = from;
  int draws = 0;
  while (g_randomState != target && draws < 1000) {
    NextRandom();
    ++draws;
  }
  return draws;
}

TEST(RandomTest, FirstValuesFromStateOne) {
  SeedRandom(1);
  for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(NextRandom(), expected);
}

TEST(RandomTest, ValuesStayInFifteenBits) {
  SeedRandom(0xFFFFFFFFu);
  for (int i = 0; i < 10000; ++i) {
    const int value = NextRandom();
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 32767);
  }
}

TEST(ShuffleTest, TwoShufflesFromSeedOne) {
  SeedRandom(1);
  ResetBoard();
  ShuffleBoard();
  EXPECT_EQ(DrawsSince(1), 169);
  EXPECT_EQ(BoardRows(), (Rows{{{9, 3, 10}, {6, 5, 4}, {8, 2, 7}}}));

  const uint32_t afterFirst = g_randomState;
  ResetBoard();
  ShuffleBoard();
  EXPECT_EQ(DrawsSince(afterFirst), 176);
  EXPECT_EQ(BoardRows(), (Rows{{{5, 10, 8}, {2, 7, 3}, {9, 4, 6}}}));
}

struct RotationCase {
  const char* name;
  void (*rotate)(int);
  void (*opposite)(int);
  int line;
  Rows expected;  // the solved board after one rotation
};

TEST(RotationTest, EachRotationOnTheSolvedBoard) {
  const RotationCase cases[] = {
      {"row 1 left", RotateRowLeft, RotateRowRight, 1, {{{2, 3, 4}, {6, 7, 5}, {8, 9, 10}}}},
      {"row 0 right", RotateRowRight, RotateRowLeft, 0, {{{4, 2, 3}, {5, 6, 7}, {8, 9, 10}}}},
      {"column 0 up", RotateColumnUp, RotateColumnDown, 0, {{{5, 3, 4}, {8, 6, 7}, {2, 9, 10}}}},
      {"column 2 down", RotateColumnDown, RotateColumnUp, 2, {{{2, 3, 10}, {5, 6, 4}, {8, 9, 7}}}},
  };
  for (const RotationCase& c : cases) {
    SCOPED_TRACE(c.name);
    ResetBoard();
    c.rotate(c.line);
    EXPECT_EQ(BoardRows(), c.expected);
    EXPECT_FALSE(IsBoardSolved());

    c.opposite(c.line);
    EXPECT_TRUE(IsBoardSolved());

    for (int i = 0; i < 3; ++i) c.rotate(c.line);
    EXPECT_TRUE(IsBoardSolved());
  }
}

TEST(BoardTest, SolvedTestLooksAtEveryCell) {
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      ResetBoard();
      EXPECT_TRUE(IsBoardSolved());
      g_board[r][c] = 11;
      EXPECT_FALSE(IsBoardSolved()) << r << "," << c;
    }
}

TEST(BoardTest, CursorIsClampedAndReadsItsCell) {
  struct Case {
    int startRow, startColumn, rowStep, columnStep, row, column;
  };
  const Case cases[] = {
      {0, 0, -1, 0, 0, 0}, {0, 2, 0, 1, 0, 2}, {2, 2, 1, 1, 2, 2},
      {0, 0, 0, -1, 0, 0}, {1, 1, 1, -1, 2, 0}, {2, 0, -1, 1, 1, 1},
  };
  ResetBoard();
  for (const Case& c : cases) {
    g_cursorRow = c.startRow;
    g_cursorColumn = c.startColumn;
    MoveCursor(c.rowStep, c.columnStep);
    EXPECT_EQ(g_cursorRow, c.row);
    EXPECT_EQ(g_cursorColumn, c.column);
    EXPECT_EQ(CellUnderCursor(), 2 + c.row * 3 + c.column);
  }
}

}  // namespace
