#include "tests/support/game_state.h"

#include <algorithm>

#include "app/app.h"
#include "app/globals.h"
#include "app/input.h"
#include "menu/intro.h"
#include "menu/learn.h"
#include "menu/menu.h"
#include "menu/speaker_test.h"
#include "puzzle/board.h"
#include "puzzle/level.h"
#include "puzzle/level_end.h"
#include "scores/announcements.h"
#include "scores/best_scores.h"
#include "scores/send_score.h"
#include "scores/spoken_numbers.h"
#include "sound/sound.h"

namespace testing_support {

void ResetGameState() {
  g_mode = 0;
  g_tickEnabled = 0;
  g_programFolder.clear();
  g_windowReady = g_introStarted = g_startupDone = false;
  g_lastScore = 0;
  g_mainWindow = nullptr;
  g_controllerEnabled = false;
  g_controllerKeysHeld = g_controllerStickHeld = 0;
  g_controllerRepeatVk = 0;
  g_controllerRepeatAtMs = 0;
  g_soundDevice = nullptr;
  g_introSound = g_exitSound = 0;
  std::fill(std::begin(g_learnSounds), std::end(g_learnSounds), 0);
  g_learnItem = 0;
  std::fill(std::begin(g_menuSounds), std::end(g_menuSounds), 0);
  g_menuItem = MENU_PROMPT;
  for (SpeakerTestChannel& c : g_speakerTest) c = SpeakerTestChannel{};

  ResetBoard();
  g_cursorRow = g_cursorColumn = 0;
  g_randomState = 1;
  std::fill(std::begin(g_levelSounds), std::end(g_levelSounds), 0);
  g_levelListener = 0;
  g_levelRunning = 0;
  g_moveMode = 0;
  g_levelTicks = 0;
  g_gameOverSound = 0;

  std::fill(std::begin(g_scoreSounds), std::end(g_scoreSounds), 0);
  std::fill(std::begin(g_saySequence), std::end(g_saySequence), 0);
  std::fill(std::begin(g_bestScores), std::end(g_bestScores), 0);
  g_bestLastIndex = 0;
  g_bestCursor = 0;
  g_sayPosition = 0;
  std::fill(std::begin(g_sendSounds), std::end(g_sendSounds), 0);
  g_scoreUrl.clear();
}

}  // namespace testing_support
