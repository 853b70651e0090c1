#include "app/startup.h"

#include "app/globals.h"
#include "menu/intro.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "puzzle/board.h"
#include "scores/spoken_numbers.h"

bool InitGameSystems() {
  SeedRandom(plat::g_platform->WallClockSeconds());
  if (!LoadMenuSounds()) return false;
  if (!LoadScoreSounds()) return false;
  g_startupDone = true;
  g_mode = MODE_INTRO;
  g_tickEnabled = 1;
  return true;
}

void ReleaseGameSounds() {
  ReleaseMenuSounds();
  ReleaseScoreSounds();
}

void StartIntroOnFirstPaint() { StartIntro(); }
