// The end of a level: the game-over announcement, then the final score.
#pragma once

#include "sound/sound.h"

extern SoundBuffer g_gameOverSound;

void SayGameOver();
int LevelEndKeyDown(int vk);
void LevelEndTick();
