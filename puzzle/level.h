// Level play: the level's sounds, the clock, the cursor and rotations by ear, win and
// abandon.
#pragma once

#include <cstdint>

#include "sound/sound.h"

constexpr int LEVEL_SOUND_COUNT = 17;
constexpr int32_t LEVEL_TICK_LIMIT = 18000;

// Lifetime: from StartLevel to the end of the level.
extern SoundBuffer g_levelSounds[LEVEL_SOUND_COUNT];
extern SoundListener3D g_levelListener;
extern int32_t g_levelRunning;
extern uint8_t g_moveMode;
extern int32_t g_levelTicks;

int StartLevel();
int LevelKeyDown(int vk);
void LevelKeyUp(int vk);
int LevelTick();
int LoadLevelSounds();
void ReleaseLevelSounds();
void StopLevelSoundsExceptBackground();
void PlayCursorCell();
bool CheckLevelWon();
