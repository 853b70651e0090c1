#include "scores/spoken_numbers.h"

#include <cstdio>

#include "app/globals.h"
#include "scores/best_scores.h"

SoundBuffer g_scoreSounds[SCORE_SOUND_COUNT];
int32_t g_saySequence[SAY_SEQUENCE_LENGTH];

namespace {

// Indexes 0..20 say their own number; 21..27 say the tens thirty to ninety.
constexpr int LAST_NUMBER_WORD = 20;
constexpr int LAST_TENS_WORD = 27;
constexpr int TENS_WORD_OFFSET = 18;  // tens digit d (2..9) is said by index d + 18

// The named sounds after the number words, in index order from SND_HUNDRED.
const char* const NAMED_SCORE_FILES[] = {
    "score\\hundred.vgz",          "score\\thousand.vgz",
    "score\\say_final_score.vgz",  "score\\score_arrows.vgz",
    "score\\your_current_score.vgz", "score\\say_points.vgz",
    "score\\SayLivesRemaining.vgz", "game\\return_to_menu.vgz",
    "game\\made_it.vgz",           "game\\not_enough.vgz",
};
static_assert(SND_HUNDRED + sizeof(NAMED_SCORE_FILES) / sizeof(NAMED_SCORE_FILES[0]) ==
                  SCORE_SOUND_COUNT,
              "every score sound has a file");

// Scores never exceed six digits; anything larger is said as the largest six-digit number
// so that no word index leaves the table.
constexpr int32_t LARGEST_SPOKEN_NUMBER = 999999;

// Appends to g_saySequence, never past its end (the longest list needs 11 of 20 entries).
struct SequenceWriter {
  int k = 0;
  void Append(int32_t index) {
    if (k < SAY_SEQUENCE_LENGTH) g_saySequence[k++] = index;
  }
};

}  // namespace

int LoadScoreSounds() {
  for (int index = 0; index < SCORE_SOUND_COUNT; ++index) {
    char name[64];
    if (index <= LAST_NUMBER_WORD) {
      std::snprintf(name, sizeof name, "score\\%d.vgz", index);
    } else if (index <= LAST_TENS_WORD) {
      std::snprintf(name, sizeof name, "score\\%d.vgz", (index - TENS_WORD_OFFSET) * 10);
    } else {
      std::snprintf(name, sizeof name, "%s", NAMED_SCORE_FILES[index - SND_HUNDRED]);
    }
    g_scoreSounds[index] = LoadSound(name);
    if (!g_scoreSounds[index]) {
      ReleaseScoreSounds();
      return 0;
    }
  }
  return 1;
}

void ReleaseScoreSounds() {
  for (SoundBuffer& sound : g_scoreSounds) ReleaseSound(sound);
}

void StopScoreSounds() {
  for (SoundBuffer sound : g_scoreSounds) StopSound(sound);
}

void BuildScoreSequence(int kind) {
  if (g_bestCursor > g_bestLastIndex) {
    g_saySequence[0] = SND_RETURN_TO_MENU;
    g_saySequence[1] = SAY_END;
    return;
  }

  SequenceWriter out;
  out.Append(kind == ANNOUNCE_FINAL_SCORE ? SND_SAY_FINAL_SCORE : SND_SCORE_ARROWS);

  int32_t number = 0;
  if (kind == ANNOUNCE_FINAL_SCORE) {
    number = g_lastScore;
  } else if (g_bestCursor >= 0 && g_bestCursor < BEST_TABLE_SIZE) {
    number = g_bestScores[g_bestCursor];
  }
  int32_t n = number < 0 ? 0 : (number > LARGEST_SPOKEN_NUMBER ? LARGEST_SPOKEN_NUMBER : number);

  if (n / 100000 > 0) {
    out.Append(n / 100000);
    out.Append(SND_HUNDRED);
    n %= 100000;
  }

  const int32_t tenThousands = n / 10000;
  if (tenThousands >= 2) {
    out.Append(tenThousands + TENS_WORD_OFFSET);
    n %= 10000;
    if (n >= 1000) {
      out.Append(n / 1000);
      n %= 1000;
    }
    out.Append(SND_THOUSAND);
  } else {
    const int32_t thousands = n / 1000;  // 0..19: the teens are single words
    if (thousands > 0) out.Append(thousands);
    if (out.k > 1) out.Append(SND_THOUSAND);
    n %= 1000;
  }

  if (n / 100 > 0) {
    out.Append(n / 100);
    out.Append(SND_HUNDRED);
    n %= 100;
  }

  if (n > 19) {
    out.Append(n / 10 + TENS_WORD_OFFSET);
    if (n % 10 > 0) out.Append(n % 10);
  } else {
    out.Append(n);
  }

  // A zero word is said only for the number zero itself.
  if (number > 0 && out.k > 1 && g_saySequence[out.k - 1] == 0) --out.k;

  out.Append(SND_SAY_POINTS);
  for (int k = out.k; k < SAY_SEQUENCE_LENGTH; ++k) g_saySequence[k] = SAY_END;
}
