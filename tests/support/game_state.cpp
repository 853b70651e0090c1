#include "tests/support/game_state.h"

#include <algorithm>

#include "app/app.h"
#include "app/globals.h"
#include "app/input.h"
#include "menu/intro.h"
#include "menu/learn.h"
#include "menu/menu.h"
#include "menu/speaker_test.h"
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
}

}  // namespace testing_support
