#include "puzzle/level.h"

#include "app/globals.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "puzzle/level_end.h"
#include "scores/best_scores.h"

SoundBuffer g_levelSounds[LEVEL_SOUND_COUNT];
SoundListener3D g_levelListener = plat::kNoListener;
int32_t g_levelRunning = 0;
uint8_t g_moveMode = 0;
int32_t g_levelTicks = 0;

namespace {

// Roles of the level's sounds; the cell sounds sit at their own sound numbers 2..10.
enum : int {
  LEVEL_SND_BACKGROUND = 0,
  LEVEL_SND_START = 1,
  LEVEL_SND_ROW_LEFT = 11,
  LEVEL_SND_ROW_RIGHT = 12,
  LEVEL_SND_COLUMN_UP = 13,
  LEVEL_SND_COLUMN_DOWN = 14,
  LEVEL_SND_CUE = 15,
  LEVEL_SND_STOP = 16,
};

const char* const LEVEL_SOUND_FILES[LEVEL_SOUND_COUNT] = {
    "level1\\bgrn.vgz",  "level1\\start.vgz", "level1\\1_1.vgz",   "level1\\1_2.vgz",
    "level1\\1_3.vgz",   "level1\\2_1.vgz",   "level1\\2_2.vgz",   "level1\\2_3.vgz",
    "level1\\3_1.vgz",   "level1\\3_2.vgz",   "level1\\3_3.vgz",   "level1\\move1.vgz",
    "level1\\move2.vgz", "level1\\move3.vgz", "level1\\move4.vgz", "level1\\next.vgz",
    "level1\\stop.vgz",
};

// The cell is heard from the side of its column.
constexpr int32_t COLUMN_PAN[BOARD_SIZE] = {plat::PAN_LEFT, plat::PAN_CENTER, plat::PAN_RIGHT};

void CursorHome() {
  g_cursorRow = 0;
  g_cursorColumn = 0;
}

void StartClock() {
  g_levelRunning = 1;
  g_levelTicks = 0;
  PlayLooped(g_levelSounds[LEVEL_SND_BACKGROUND], 0, 0);
  PlayAndWait(g_levelSounds[LEVEL_SND_START], 0, 0);
  ShuffleBoard();
  CursorHome();
  PlayCursorCell();
  g_tickEnabled = 1;
}

// The tick count of the stopped run stays until the next start.
void StopClock() {
  g_levelRunning = 0;
  StopSound(g_levelSounds[LEVEL_SND_BACKGROUND]);
  PlayAndWait(g_levelSounds[LEVEL_SND_STOP], 0, 0);
  ResetBoard();
  CursorHome();
  PlayCursorCell();
  g_tickEnabled = 0;
}

void StopAllLevelSounds() {
  StopLevelSoundsExceptBackground();
  StopSound(g_levelSounds[LEVEL_SND_BACKGROUND]);
}

// The tick flag is left as it was; the game-over announcement sets it when it starts.
void AbandonLevel() {
  StopAllLevelSounds();
  ReleaseLevelSounds();
  g_lastScore = 0;
  g_mode = MODE_LEVEL_END;
  SayGameOver();
}

// An arrow walks the cursor, or in move mode rotates the cursor's row or column. Move mode
// rotates whether or not the clock runs: a stop made with Control held leaves it on.
void ArrowKey(int rowStep, int columnStep, void (*rotation)(int), int line, int moveSound) {
  if (!g_moveMode) {
    MoveCursor(rowStep, columnStep);
    PlayCursorCell();
    return;
  }
  rotation(line);
  PlayAndWait(g_levelSounds[moveSound], 0, 0);
  PlayCursorCell();
  CheckLevelWon();
}

}  // namespace

int LoadLevelSounds() {
  g_levelListener = CreateListener3D();
  if (g_levelListener == plat::kNoListener) return 0;
  for (int index = 0; index < LEVEL_SOUND_COUNT; ++index) {
    g_levelSounds[index] = LoadSound(LEVEL_SOUND_FILES[index]);
    if (!g_levelSounds[index]) {
      ReleaseLevelSounds();
      return 0;
    }
  }
  return 1;
}

void ReleaseLevelSounds() {
  for (SoundBuffer& sound : g_levelSounds) ReleaseSound(sound);
  if (g_levelListener != plat::kNoListener) ReleaseListener3D(g_levelListener);
}

void StopLevelSoundsExceptBackground() {
  for (int index = LEVEL_SND_START; index < LEVEL_SOUND_COUNT; ++index)
    StopSound(g_levelSounds[index]);
}

void PlayCursorCell() {
  StopLevelSoundsExceptBackground();
  const int32_t pan = COLUMN_PAN[g_cursorColumn];
  PlayOnce(g_levelSounds[LEVEL_SND_CUE], pan, 0);
  PlayOnce(g_levelSounds[CellUnderCursor()], pan, 0);
}

int StartLevel() {
  if (!LoadLevelSounds()) return 0;
  ResetBoard();
  CursorHome();
  g_tickEnabled = 0;
  PlayCursorCell();
  g_levelRunning = 0;
  g_moveMode = 0;
  g_levelTicks = 0;
  g_lastScore = 0;
  return 1;
}

int LevelKeyDown(int vk) {
  switch (vk) {
    case plat::VK_RETURN:
      PlayCursorCell();
      break;
    case plat::VK_CONTROL:
      if (g_levelRunning) g_moveMode = 1;
      break;
    case plat::VK_ESCAPE:
      AbandonLevel();
      break;
    case plat::VK_SPACE:
      if (g_levelRunning)
        StopClock();
      else
        StartClock();
      break;
    case plat::VK_LEFT:
      ArrowKey(0, -1, RotateRowLeft, g_cursorRow, LEVEL_SND_ROW_LEFT);
      break;
    case plat::VK_UP:
      ArrowKey(-1, 0, RotateColumnUp, g_cursorColumn, LEVEL_SND_COLUMN_UP);
      break;
    case plat::VK_RIGHT:
      ArrowKey(0, 1, RotateRowRight, g_cursorRow, LEVEL_SND_ROW_RIGHT);
      break;
    case plat::VK_DOWN:
      ArrowKey(1, 0, RotateColumnDown, g_cursorColumn, LEVEL_SND_COLUMN_DOWN);
      break;
    default:
      break;
  }
  return 1;
}

void LevelKeyUp(int vk) {
  if (vk == plat::VK_CONTROL) g_moveMode = 0;
}

int LevelTick() {
  ++g_levelTicks;
  if (g_levelTicks > LEVEL_TICK_LIMIT) LevelKeyDown(plat::VK_ESCAPE);  // out of time
  return 1;
}

bool CheckLevelWon() {
  if (!IsBoardSolved()) return false;
  g_tickEnabled = 0;
  StopAllLevelSounds();
  ReleaseLevelSounds();
  g_lastScore = LEVEL_TICK_LIMIT - g_levelTicks;
  if (g_lastScore < 0) g_lastScore = 0;
  g_mode = MODE_LEVEL_END;
  SayGameOver();
  RecordBestScore();
  return true;
}
