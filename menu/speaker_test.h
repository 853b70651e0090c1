// The speaker test: four positional sounds around the listener, one after the other.
#pragma once

#include "sound/sound.h"

struct SpeakerTestChannel {
  SoundBuffer sound = 0;
  SoundBuffer3D position = 0;
};

constexpr int SPEAKER_TEST_CHANNELS = 4;
extern SpeakerTestChannel g_speakerTest[SPEAKER_TEST_CHANNELS];

int RunSpeakerTest();
void SpeakerTestKey(int vk);
