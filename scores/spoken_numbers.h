// The recorded score words and the rule that turns a number into a list of them.
#pragma once

#include <cstdint>

#include "sound/sound.h"

constexpr int SCORE_SOUND_COUNT = 38;
enum : int32_t {
  SND_HUNDRED = 28,
  SND_THOUSAND = 29,
  SND_SAY_FINAL_SCORE = 30,
  SND_SCORE_ARROWS = 31,
  SND_YOUR_CURRENT_SCORE = 32,
  SND_SAY_POINTS = 33,
  SND_SAY_LIVES_REMAINING = 34,
  SND_RETURN_TO_MENU = 35,
  SND_MADE_IT = 36,
  SND_NOT_ENOUGH = 37,
};

enum : int {
  ANNOUNCE_FINAL_SCORE = 1,
  ANNOUNCE_BEST_SCORES = 2,
};

constexpr int SAY_SEQUENCE_LENGTH = 20;
constexpr int32_t SAY_END = -1;

// Lifetime: from start-up to the window's destruction.
extern SoundBuffer g_scoreSounds[SCORE_SOUND_COUNT];
// Lifetime: whole run; rewritten by every BuildScoreSequence.
extern int32_t g_saySequence[SAY_SEQUENCE_LENGTH];

int LoadScoreSounds();
void ReleaseScoreSounds();
void StopScoreSounds();
void BuildScoreSequence(int kind);
