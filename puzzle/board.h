// The puzzle board: nine sound numbers (2..10) on a 3x3 grid, the cursor, the four
// rotations, the shuffle and its random generator.
#pragma once

#include <cstdint>

constexpr int BOARD_SIZE = 3;

// Lifetime: whole run.
extern int32_t g_board[BOARD_SIZE][BOARD_SIZE];  // [row][column]
extern int32_t g_cursorRow;
extern int32_t g_cursorColumn;
extern uint32_t g_randomState;

void ResetBoard();
void RotateRowLeft(int row);
void RotateRowRight(int row);
void RotateColumnUp(int column);
void RotateColumnDown(int column);
void ShuffleBoard();
bool IsBoardSolved();
void MoveCursor(int rowStep, int columnStep);
int CellUnderCursor();
void SeedRandom(uint32_t seed);
int NextRandom();
