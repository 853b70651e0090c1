#include "app/startup.h"

#include "app/globals.h"
#include "menu/intro.h"
#include "menu/menu.h"

bool InitGameSystems() {
  if (!LoadMenuSounds()) return false;
  g_startupDone = true;
  g_mode = MODE_INTRO;
  g_tickEnabled = 1;
  return true;
}

void ReleaseGameSounds() {
  ReleaseMenuSounds();
}

void StartIntroOnFirstPaint() { StartIntro(); }
