#include "menu/intro.h"

#include "app/globals.h"
#include "menu/menu.h"
#include "platform/platform.h"

SoundBuffer g_introSound = 0;
SoundBuffer g_exitSound = 0;

void StartIntro() {
  g_introSound = LoadSound("game\\game_intro.vgz");
  PlayOnce(g_introSound, plat::PAN_CENTER, plat::VOLUME_FULL);
}

void IntroKey(int vk) {
  if (vk != plat::VK_CONTROL) return;
  StopSound(g_introSound);
  ReleaseSound(g_introSound);
  g_mode = MODE_MENU;
  StartMenu();
}

void IntroTick() {
  if (IsPlaying(g_introSound)) return;
  ReleaseSound(g_introSound);
  g_mode = MODE_MENU;
  StartMenu();
}

int StartMenu() {
  g_menuItem = MENU_PROMPT;
  PlayLooped(g_menuSounds[MENU_SOUND_BACKGROUND], plat::PAN_CENTER, plat::VOLUME_FULL);
  PlayOnce(g_menuSounds[MENU_SOUND_PROMPT], plat::PAN_CENTER, plat::VOLUME_FULL);
  return 1;
}

void PlayExitSound() {
  g_exitSound = LoadSound("game\\exit_game.vgz");
  PlayAndWait(g_exitSound, plat::PAN_CENTER, plat::VOLUME_FULL);
  ReleaseSound(g_exitSound);
}
