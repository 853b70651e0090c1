// The introduction that opens the program and the farewell that closes it.
#pragma once

#include "sound/sound.h"

extern SoundBuffer g_introSound;
extern SoundBuffer g_exitSound;

void StartIntro();
void IntroKey(int vk);
void IntroTick();
int StartMenu();
void PlayExitSound();
