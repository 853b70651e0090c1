// The sound device and the play primitives every screen uses.
//
// A SoundBuffer is a handle to one mixer voice holding one whole sound, or null (0).
// Every primitive does nothing on null and the queries give false, so a screen whose sound
// failed to load goes on silently. Pan and volume are in hundredths of a decibel.
#pragma once

#include <cstdint>

#include "platform/audio_device.h"

typedef plat::VoiceId SoundBuffer;          // 0: no sound
typedef plat::VoiceId SoundBuffer3D;        // the positional side of a positional sound
typedef plat::ListenerId SoundListener3D;   // 0: none

// The device's own play status bits, compared whole by the queries.
enum : uint32_t {
  SND_STATUS_PLAYING = 1,
  SND_STATUS_LOOPING = 4,
};

// How often PlayAndWait looks at the status while it blocks.
constexpr uint32_t SND_WAIT_POLL_MS = 2;

extern plat::AudioDevice* g_soundDevice;  // null until CreateSoundDevice; game thread only

bool CreateSoundDevice();
void ReleaseSoundDevice();

SoundBuffer LoadSound(const char* name);    // stereo kind: pan and volume
SoundBuffer LoadSound3D(const char* name);  // positional kind: mono files only
SoundListener3D CreateListener3D();
void ReleaseListener3D(SoundListener3D& listener);  // empties the handle

void PlayOnce(SoundBuffer sound, int32_t pan, int32_t volume);
void PlayLooped(SoundBuffer sound, int32_t pan, int32_t volume);
void PlayAndWait(SoundBuffer sound, int32_t pan, int32_t volume);
bool IsPlaying(SoundBuffer sound);  // playing once, exactly
bool IsLooping(SoundBuffer sound);  // playing looped, exactly
void StopSound(SoundBuffer sound);
void ReleaseSound(SoundBuffer& sound);  // empties the handle, so nothing is released twice

// The positional side of a sound made by LoadSound3D; 0 for any other sound.
SoundBuffer3D QuerySound3D(SoundBuffer sound);
void SetSoundMinDistance(SoundBuffer3D sound, float distance);
void SetSoundPosition(SoundBuffer3D sound, float x, float y, float z);
