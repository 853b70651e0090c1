// The spoken main menu, the hub every screen returns to.
#pragma once

#include <cstdint>

#include "sound/sound.h"

enum : int32_t {
  MENU_PROMPT = 0,         // the menu has just started; nothing selected yet
  MENU_START_GAME = 1,
  MENU_TEST_SPEAKERS = 4,
  MENU_LEARN_SOUNDS = 5,
  MENU_FINAL_SCORE = 6,
  MENU_VIEW_TOP_10 = 7,
  MENU_SEND_SCORE = 8,
  MENU_QUIT = 9,
};

constexpr int MENU_SOUND_COUNT = 12;
constexpr int MENU_SOUND_PROMPT = 0;
constexpr int MENU_SOUND_BACKGROUND = 10;

// Lifetime: from start-up to the window's destruction.
extern SoundBuffer g_menuSounds[MENU_SOUND_COUNT];
// Lifetime: whole run; kept while other screens run.
extern int32_t g_menuItem;

int LoadMenuSounds();
void ReleaseMenuSounds();
void StopMenuPrompts();
void StopMenuBackground();
void AnnounceMenuItem();
int MenuKey(int vk);  // 0 when the program is to end
void MenuTick();
void ReturnToMenu();
