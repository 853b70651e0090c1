#include "puzzle/board.h"

// Solved from the start, so that the board holds each sound once even before a level.
int32_t g_board[BOARD_SIZE][BOARD_SIZE] = {{2, 3, 4}, {5, 6, 7}, {8, 9, 10}};
int32_t g_cursorRow = 0;
int32_t g_cursorColumn = 0;
uint32_t g_randomState = 1;

namespace {

constexpr int SHUFFLE_STEPS = 100;

// Sound number n lives in row (n - 2) / 3, column (n - 2) % 3.
constexpr int32_t FIRST_CELL_SOUND = 2;

void RotateThree(int32_t& a, int32_t& b, int32_t& c) {
  const int32_t first = a;
  a = b;
  b = c;
  c = first;
}

int ClampToBoard(int value) {
  if (value < 0) return 0;
  if (value > BOARD_SIZE - 1) return BOARD_SIZE - 1;
  return value;
}

}  // namespace

void ResetBoard() {
  for (int row = 0; row < BOARD_SIZE; ++row)
    for (int column = 0; column < BOARD_SIZE; ++column)
      g_board[row][column] = FIRST_CELL_SOUND + row * BOARD_SIZE + column;
}

void RotateRowLeft(int row) {
  RotateThree(g_board[row][0], g_board[row][1], g_board[row][2]);
}

void RotateRowRight(int row) {
  RotateThree(g_board[row][2], g_board[row][1], g_board[row][0]);
}

void RotateColumnUp(int column) {
  RotateThree(g_board[0][column], g_board[1][column], g_board[2][column]);
}

void RotateColumnDown(int column) {
  RotateThree(g_board[2][column], g_board[1][column], g_board[0][column]);
}

void ShuffleBoard() {
  for (int step = 0; step < SHUFFLE_STEPS; ++step) {
    switch (NextRandom() % 4) {
      case 0: RotateRowLeft(NextRandom() % BOARD_SIZE); break;
      case 1: RotateRowRight(NextRandom() % BOARD_SIZE); break;
      case 2: break;  // a step that moves nothing and draws nothing more
      case 3: RotateColumnUp(NextRandom() % BOARD_SIZE); break;
    }
  }
}

bool IsBoardSolved() {
  for (int row = 0; row < BOARD_SIZE; ++row)
    for (int column = 0; column < BOARD_SIZE; ++column)
      if (g_board[row][column] != FIRST_CELL_SOUND + row * BOARD_SIZE + column) return false;
  return true;
}

void MoveCursor(int rowStep, int columnStep) {
  g_cursorRow = ClampToBoard(g_cursorRow + rowStep);
  g_cursorColumn = ClampToBoard(g_cursorColumn + columnStep);
}

int CellUnderCursor() { return g_board[g_cursorRow][g_cursorColumn]; }

void SeedRandom(uint32_t seed) { g_randomState = seed; }

int NextRandom() {
  g_randomState = g_randomState * 214013u + 2531011u;
  return static_cast<int>((g_randomState >> 16) & 0x7FFF);
}
