#include "scores/announcements.h"

#include "app/globals.h"
#include "menu/menu.h"
#include "platform/platform.h"
#include "scores/best_scores.h"
#include "scores/spoken_numbers.h"

int32_t g_sayPosition = 0;

namespace {

// The pause after the last word of a list, before the final-score screen hands back.
constexpr uint32_t SCORE_END_PAUSE_MS = 1000;
// The number words 0..20; a place is said with one of them.
constexpr int LAST_NUMBER_WORD = 20;

bool IsScoreSound(int32_t index) { return index >= 0 && index < SCORE_SOUND_COUNT; }

// The word at a list position, or SAY_END past the list or for anything not a score sound.
int32_t WordAt(int32_t position) {
  if (position < 0 || position >= SAY_SEQUENCE_LENGTH) return SAY_END;
  const int32_t index = g_saySequence[position];
  return IsScoreSound(index) ? index : SAY_END;
}

void LeaveForMenu() {
  g_tickEnabled = 0;
  g_mode = MODE_MENU;
  ReturnToMenu();
}

// Speaks the best-score entry under the cursor without its opening: the first tick steps
// past the opening at once. The return-to-menu entry is a single word and needs no tick.
void SayBestEntry() {
  g_tickEnabled = 0;
  BuildScoreSequence(ANNOUNCE_BEST_SCORES);
  g_sayPosition = 0;
  if (g_saySequence[0] == SND_RETURN_TO_MENU) {
    PlayOnce(g_scoreSounds[SND_RETURN_TO_MENU], 0, 0);
  } else {
    g_tickEnabled = 1;
  }
}

void BestScoresKey(int vk) {
  if (IsPlaying(g_scoreSounds[SND_SCORE_ARROWS])) {
    // Any key, Escape and Enter too, skips the opening to the first entry.
    StopSound(g_scoreSounds[SND_SCORE_ARROWS]);
    g_bestCursor = 0;
    SayBestEntry();
    return;
  }
  for (int index = 0; index <= SND_RETURN_TO_MENU; ++index)
    if (IsPlaying(g_scoreSounds[index])) StopSound(g_scoreSounds[index]);

  switch (vk) {
    case plat::VK_RETURN:
      // On a score the cut word is followed by the rest of the entry at the next tick.
      if (g_bestCursor > g_bestLastIndex) LeaveForMenu();
      return;
    case plat::VK_ESCAPE:
      LeaveForMenu();
      return;
    case plat::VK_UP:
      if (--g_bestCursor < 0) g_bestCursor = g_bestLastIndex + 1;
      break;
    case plat::VK_DOWN:
      if (++g_bestCursor > g_bestLastIndex + 1) g_bestCursor = 0;
      break;
    default:
      break;  // says the current entry again
  }
  SayBestEntry();
}

}  // namespace

void StartScoreAnnouncement(int kind) {
  if (kind == ANNOUNCE_BEST_SCORES) ReadBestScores();
  g_bestCursor = 0;
  BuildScoreSequence(kind);
  g_sayPosition = 0;
  PlayOnce(g_scoreSounds[kind == ANNOUNCE_FINAL_SCORE ? SND_SAY_FINAL_SCORE : SND_SCORE_ARROWS],
           0, 0);
  g_tickEnabled = 1;
}

void ScoreAnnouncementTick() {
  if (IsPlaying(g_scoreSounds[SND_SAY_FINAL_SCORE]) || IsPlaying(g_scoreSounds[SND_SCORE_ARROWS]))
    return;
  const int32_t current = WordAt(g_sayPosition);
  if (current == SAY_END) {
    g_tickEnabled = 0;
    return;
  }
  if (IsPlaying(g_scoreSounds[current])) return;

  ++g_sayPosition;
  const int32_t next = WordAt(g_sayPosition);
  if (next != SAY_END) {
    PlayOnce(g_scoreSounds[next], 0, 0);
    return;
  }

  plat::g_platform->Sleep(SCORE_END_PAUSE_MS);
  if (g_mode == MODE_FINAL_SCORE) {
    g_mode = MODE_MENU;
    ReturnToMenu();  // the tick stays on for the menu
  }
}

void ScoreScreenKey(int vk) {
  if (g_mode == MODE_BEST_SCORES) {
    BestScoresKey(vk);
    return;
  }
  if (vk == plat::VK_CONTROL) {
    g_tickEnabled = 0;
    StopScoreSounds();
    ReturnToMenu();
  }
}

void SayPlace(int place) {
  PlayAndWait(g_scoreSounds[SND_MADE_IT], 0, 0);
  if (place >= 0 && place <= LAST_NUMBER_WORD) PlayAndWait(g_scoreSounds[place], 0, 0);
}

void SayNotEnough() { PlayAndWait(g_scoreSounds[SND_NOT_ENOUGH], 0, 0); }
