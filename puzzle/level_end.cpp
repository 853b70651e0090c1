#include "puzzle/level_end.h"

#include "app/globals.h"
#include "platform/platform.h"
#include "scores/announcements.h"
#include "scores/spoken_numbers.h"

SoundBuffer g_gameOverSound = plat::kNoVoice;

namespace {

void GoToFinalScore() {
  ReleaseSound(g_gameOverSound);
  g_mode = MODE_FINAL_SCORE;
  StartScoreAnnouncement(ANNOUNCE_FINAL_SCORE);
}

}  // namespace

// Without the announcement the tick keeps the value the level left, and only Control (or a
// tick, if it is on) leads on to the score.
void SayGameOver() {
  g_gameOverSound = LoadSound("game\\say_game_over.vgz");
  if (!g_gameOverSound) return;
  PlayOnce(g_gameOverSound, 0, 0);
  g_tickEnabled = 1;
}

int LevelEndKeyDown(int vk) {
  if (vk == plat::VK_CONTROL) GoToFinalScore();  // releasing the sound silences it
  return 1;
}

void LevelEndTick() {
  if (IsPlaying(g_gameOverSound)) return;
  g_tickEnabled = 0;
  GoToFinalScore();
}
