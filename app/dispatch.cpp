#include "app/dispatch.h"

#include "app/globals.h"
#include "menu/intro.h"
#include "menu/learn.h"
#include "menu/menu.h"
#include "menu/speaker_test.h"

int DispatchKeyDown(int vk) {
  // The mode is read once: a handler that changes it does not get the key twice.
  switch (g_mode) {
    case MODE_MENU:
      if (MenuKey(vk) == 0) {
        PlayExitSound();
        return 0;
      }
      return 1;
    case MODE_INTRO:
      IntroKey(vk);
      return 1;
    case MODE_SPEAKER_TEST:
      SpeakerTestKey(vk);
      return 1;
    case MODE_LEARN:
      LearnKey(vk);
      return 1;
    default:
      return 1;
  }
}

void DispatchKeyUp(int vk) {
  (void)vk;
}

void DispatchTick() {
  switch (g_mode) {
    case MODE_INTRO:
      IntroTick();
      return;
    case MODE_MENU:
      MenuTick();
      return;
    default:
      return;
  }
}
