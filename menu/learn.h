// The screen for learning the game's sounds.
#pragma once

#include <cstdint>

#include "sound/sound.h"

constexpr int LEARN_SOUND_COUNT = 17;
extern SoundBuffer g_learnSounds[LEARN_SOUND_COUNT];
extern int32_t g_learnItem;

int StartLearn();
void LearnKey(int vk);
void AnnounceLearnItem();
void StopLearnSounds();
void ReleaseLearnSounds();
