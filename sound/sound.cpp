#include "sound/sound.h"

#include <algorithm>
#include <set>

#include "platform/platform.h"
#include "sound/sound_file.h"

plat::AudioDevice* g_soundDevice = nullptr;

namespace {

// Voices made by LoadSound3D: only they have a positional side.
std::set<plat::VoiceId> g_positionalSounds;

SoundBuffer LoadSoundOfKind(const char* name, bool positional) {
  if (!g_soundDevice) return 0;
  if (!ReadSoundFile(name)) return 0;
  // A header cut short, or a data size larger than what was read, would copy bytes that
  // are not the file's: the size is cut to the whole frames actually read.
  if (g_soundFileBytes < WAVE_HEADER_SIZE) return 0;
  const plat::PcmFormat format = ReadWaveFormat(g_soundFileBuffer);
  if (format.blockAlign == 0) return 0;
  size_t bytes = std::min<size_t>(ReadWaveDataSize(g_soundFileBuffer), g_soundFileBytes - WAVE_HEADER_SIZE);
  bytes -= bytes % format.blockAlign;
  if (bytes == 0) return 0;
  const SoundBuffer sound = g_soundDevice->CreateVoice(
      name, format, g_soundFileBuffer + WAVE_HEADER_SIZE, static_cast<uint32_t>(bytes), positional);
  if (sound != 0 && positional) g_positionalSounds.insert(sound);
  return sound;
}

// The order every start of a sound takes: from the beginning, then pan, volume, play.
void Start(SoundBuffer sound, int32_t pan, int32_t volume, bool looped) {
  g_soundDevice->SetCurrentPosition(sound, 0);
  if (!g_positionalSounds.count(sound)) g_soundDevice->SetPan(sound, pan);
  g_soundDevice->SetVolume(sound, volume);
  g_soundDevice->Play(sound, looped);
}

uint32_t Status(SoundBuffer sound) {
  if (sound == 0 || !g_soundDevice) return 0;
  return g_soundDevice->GetStatus(sound);
}

}  // namespace

bool CreateSoundDevice() {
  g_soundDevice = plat::g_platform->OpenAudioDevice();
  return g_soundDevice != nullptr;
}

void ReleaseSoundDevice() {
  if (!g_soundDevice) return;
  plat::g_platform->CloseAudioDevice();
  g_soundDevice = nullptr;
  g_positionalSounds.clear();
}

SoundBuffer LoadSound(const char* name) { return LoadSoundOfKind(name, false); }
SoundBuffer LoadSound3D(const char* name) { return LoadSoundOfKind(name, true); }

SoundListener3D CreateListener3D() {
  if (!g_soundDevice) return 0;
  return g_soundDevice->CreateListener();
}

void ReleaseListener3D(SoundListener3D& listener) {
  if (listener != 0 && g_soundDevice) g_soundDevice->ReleaseListener(listener);
  listener = 0;
}

void PlayOnce(SoundBuffer sound, int32_t pan, int32_t volume) {
  if (sound == 0 || !g_soundDevice) return;
  Start(sound, pan, volume, false);
}

void PlayLooped(SoundBuffer sound, int32_t pan, int32_t volume) {
  if (sound == 0 || !g_soundDevice) return;
  Start(sound, pan, volume, true);
}

void PlayAndWait(SoundBuffer sound, int32_t pan, int32_t volume) {
  if (sound == 0 || !g_soundDevice) return;
  Start(sound, pan, volume, false);
  // The mixer keeps time even when the output device is gone, so this always ends.
  while (Status(sound) == SND_STATUS_PLAYING) plat::g_platform->Sleep(SND_WAIT_POLL_MS);
}

bool IsPlaying(SoundBuffer sound) { return Status(sound) == SND_STATUS_PLAYING; }

bool IsLooping(SoundBuffer sound) {
  return Status(sound) == (SND_STATUS_PLAYING | SND_STATUS_LOOPING);
}

void StopSound(SoundBuffer sound) {
  if (sound == 0 || !g_soundDevice) return;
  g_soundDevice->Stop(sound);
}

void ReleaseSound(SoundBuffer& sound) {
  if (sound == 0) return;
  if (g_soundDevice) g_soundDevice->DestroyVoice(sound);
  g_positionalSounds.erase(sound);
  sound = 0;
}

SoundBuffer3D QuerySound3D(SoundBuffer sound) {
  return g_positionalSounds.count(sound) ? sound : 0;
}

void SetSoundMinDistance(SoundBuffer3D sound, float distance) {
  if (sound == 0 || !g_soundDevice) return;
  g_soundDevice->SetMinDistance(sound, distance);
}

void SetSoundPosition(SoundBuffer3D sound, float x, float y, float z) {
  if (sound == 0 || !g_soundDevice) return;
  g_soundDevice->Set3DPosition(sound, x, y, z);
}
