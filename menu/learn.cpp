#include "menu/learn.h"

#include "menu/menu.h"
#include "platform/platform.h"

SoundBuffer g_learnSounds[LEARN_SOUND_COUNT];
int32_t g_learnItem = 0;

namespace {

constexpr int kLearnEntries = 9;
constexpr int kFirstGameSound = 9;  // Enter on entry n plays slot 9 + n
constexpr int kLeaveEntry = 8;

// Descriptions first, then the level's own sounds that they describe.
const char* const kLearnSoundFiles[LEARN_SOUND_COUNT] = {
    "learn\\1.vgz",       "learn\\2.vgz",       "learn\\3.vgz",       "learn\\4.vgz",
    "learn\\5.vgz",       "learn\\6.vgz",       "learn\\7.vgz",       "learn\\8.vgz",
    "learn\\9.vgz",       "Level1\\1_1.vgz",    "Level1\\2_1.vgz",    "Level1\\3_1.vgz",
    "Level1\\next.vgz",   "Level1\\move1.vgz",  "Level1\\move2.vgz",  "Level1\\move3.vgz",
    "Level1\\move4.vgz",
};

void Leave() {
  StopLearnSounds();
  ReleaseLearnSounds();
  ReturnToMenu();
}

}  // namespace

int StartLearn() {
  g_learnItem = 0;
  for (int slot = 0; slot < LEARN_SOUND_COUNT; ++slot) {
    g_learnSounds[slot] = LoadSound(kLearnSoundFiles[slot]);
    if (g_learnSounds[slot] == 0) {
      ReleaseLearnSounds();
      return 0;
    }
  }
  PlayOnce(g_learnSounds[0], plat::PAN_CENTER, plat::VOLUME_FULL);
  return 1;
}

void LearnKey(int vk) {
  switch (vk) {
    case plat::VK_RETURN:
      if (g_learnItem == kLeaveEntry) {
        Leave();
        return;
      }
      StopLearnSounds();
      PlayOnce(g_learnSounds[kFirstGameSound + g_learnItem], plat::PAN_CENTER, plat::VOLUME_FULL);
      return;
    case plat::VK_ESCAPE:
      Leave();
      return;
    case plat::VK_UP:
      g_learnItem = g_learnItem - 1;
      if (g_learnItem < 0) g_learnItem = kLearnEntries - 1;
      AnnounceLearnItem();
      return;
    case plat::VK_DOWN:
      g_learnItem = g_learnItem + 1;
      if (g_learnItem > kLearnEntries - 1) g_learnItem = 0;
      AnnounceLearnItem();
      return;
    default:
      return;
  }
}

void AnnounceLearnItem() {
  StopLearnSounds();
  PlayOnce(g_learnSounds[g_learnItem], plat::PAN_CENTER, plat::VOLUME_FULL);
}

void StopLearnSounds() {
  for (SoundBuffer sound : g_learnSounds) StopSound(sound);
}

void ReleaseLearnSounds() {
  for (SoundBuffer& sound : g_learnSounds) ReleaseSound(sound);
}
