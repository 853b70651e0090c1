#include "app/dispatch.h"

#include "app/globals.h"
#include "menu/intro.h"
#include "menu/learn.h"
#include "menu/menu.h"
#include "menu/speaker_test.h"
#include "puzzle/level.h"
#include "puzzle/level_end.h"
#include "scores/announcements.h"
#include "scores/send_score.h"

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
    case MODE_FINAL_SCORE:
    case MODE_BEST_SCORES:
      ScoreScreenKey(vk);
      return 1;
    case MODE_SEND_SCORE:
      SendScoreKey(vk);
      return 1;
    case MODE_LEVEL_END:
      LevelEndKeyDown(vk);
      return 1;
    case MODE_LEVEL:
      LevelKeyDown(vk);
      return 1;
    default:
      return 1;
  }
}

// Only the level listens to releases: Control's release ends move mode.
void DispatchKeyUp(int vk) {
  if (g_mode == MODE_LEVEL) LevelKeyUp(vk);
}

void DispatchTick() {
  switch (g_mode) {
    case MODE_INTRO:
      IntroTick();
      return;
    case MODE_MENU:
      MenuTick();
      return;
    case MODE_FINAL_SCORE:
    case MODE_BEST_SCORES:
      ScoreAnnouncementTick();
      return;
    case MODE_LEVEL_END:
      LevelEndTick();
      return;
    case MODE_LEVEL:
      LevelTick();
      return;
    default:
      return;
  }
}
