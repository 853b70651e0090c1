#include "menu/menu.h"

#include "app/globals.h"
#include "menu/learn.h"
#include "menu/speaker_test.h"
#include "platform/platform.h"

SoundBuffer g_menuSounds[MENU_SOUND_COUNT];
int32_t g_menuItem = MENU_PROMPT;

namespace {

// Slot n holds the announcement of entry n. Entries 2 and 3 do not exist, but their
// slots (and a second background) are loaded like the others.
const char* const kMenuSoundFiles[MENU_SOUND_COUNT] = {
    "menu\\arrows.vgz",          "menu\\start_game.vgz",    "menu\\start_game.vgz",
    "menu\\start_game.vgz",      "menu\\test_speakers.vgz", "menu\\learn_game_sounds.vgz",
    "menu\\final_score.vgz",     "menu\\view_top_10.vgz",   "menu\\send_score.vgz",
    "menu\\quit.vgz",            "menu\\bgrn.vgz",          "menu\\bgrn.vgz",
};

void StepUp() {
  g_menuItem = g_menuItem - 1;
  if (g_menuItem == 2 || g_menuItem == 3) g_menuItem = 1;
  if (g_menuItem < 0) g_menuItem = 1;
  else if (g_menuItem < 1) g_menuItem = 9;
}

void StepDown() {
  g_menuItem = g_menuItem + 1;
  if (g_menuItem == 2 || g_menuItem == 3) g_menuItem = 4;
  if (g_menuItem > 9) g_menuItem = 1;
}

// Screens that are not part of this build start as a screen that cannot start: back to
// the menu without a word.
int StartUnavailableScreen() { return 0; }

void Choose() {
  if (g_menuItem == MENU_PROMPT) g_menuItem = MENU_START_GAME;
  switch (g_menuItem) {
    case MENU_START_GAME:
      StopMenuPrompts();
      StopMenuBackground();
      g_mode = MODE_LEVEL;
      if (!StartUnavailableScreen()) {
        g_mode = MODE_MENU;
        ReturnToMenu();
      }
      return;
    case MENU_TEST_SPEAKERS:
      g_mode = MODE_SPEAKER_TEST;
      StopMenuPrompts();
      if (!RunSpeakerTest()) g_mode = MODE_MENU;
      return;
    case MENU_LEARN_SOUNDS:
      g_mode = MODE_LEARN;
      StopMenuPrompts();
      if (!StartLearn()) g_mode = MODE_MENU;
      return;
    case MENU_FINAL_SCORE:
    case MENU_VIEW_TOP_10:
    case MENU_SEND_SCORE:
      if (!StartUnavailableScreen()) g_mode = MODE_MENU;
      return;
    default:
      return;
  }
}

}  // namespace

int LoadMenuSounds() {
  for (int slot = 0; slot < MENU_SOUND_COUNT; ++slot) {
    g_menuSounds[slot] = LoadSound(kMenuSoundFiles[slot]);
    if (g_menuSounds[slot] == 0) {
      ReleaseMenuSounds();
      return 0;
    }
  }
  return 1;
}

void ReleaseMenuSounds() {
  for (SoundBuffer& sound : g_menuSounds) ReleaseSound(sound);
}

void StopMenuPrompts() {
  for (int slot = 0; slot < MENU_SOUND_COUNT; ++slot)
    if (slot != MENU_SOUND_BACKGROUND) StopSound(g_menuSounds[slot]);
}

void StopMenuBackground() { StopSound(g_menuSounds[MENU_SOUND_BACKGROUND]); }

void AnnounceMenuItem() {
  StopMenuPrompts();
  PlayOnce(g_menuSounds[g_menuItem], plat::PAN_CENTER, plat::VOLUME_FULL);
}

int MenuKey(int vk) {
  switch (vk) {
    case plat::VK_RETURN:
      if (g_menuItem == MENU_QUIT) {
        StopMenuPrompts();
        StopMenuBackground();
        return 0;
      }
      Choose();
      return 1;
    case plat::VK_ESCAPE:
      StopMenuPrompts();
      StopMenuBackground();
      return 0;
    case plat::VK_UP:
      StepUp();
      AnnounceMenuItem();
      return 1;
    case plat::VK_DOWN:
      StepDown();
      AnnounceMenuItem();
      return 1;
    default:
      return 1;
  }
}

void MenuTick() {
  if (IsPlaying(g_menuSounds[MENU_SOUND_PROMPT])) return;
  if (g_tickEnabled == 0) return;
  if (g_menuItem != MENU_PROMPT) return;
  g_tickEnabled = 0;
  g_menuItem = MENU_START_GAME;
  AnnounceMenuItem();
}

void ReturnToMenu() {
  g_mode = MODE_MENU;
  SoundBuffer background = g_menuSounds[MENU_SOUND_BACKGROUND];
  if (background != 0 && !IsLooping(background))
    PlayLooped(background, plat::PAN_CENTER, plat::VOLUME_FULL);
  AnnounceMenuItem();
}
