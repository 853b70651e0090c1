// Program-wide state shared between screens. Single globals, game thread only.
#pragma once

#include <cstdint>
#include <string>

// Screen modes: which handlers receive keys and ticks. No other value is ever stored.
enum : int32_t {
  MODE_INTRO = 0,          // the introduction plays
  MODE_MENU = 1,           // the spoken main menu
  MODE_SPEAKER_TEST = 4,   // the positional speaker test runs
  MODE_LEARN = 5,          // the player learns the game's sounds
  MODE_FINAL_SCORE = 6,    // the last score is spoken
  MODE_BEST_SCORES = 7,    // the best-score table is walked
  MODE_SEND_SCORE = 8,     // the score submission asks for Y or N
  MODE_LEVEL_END = 10,     // the game-over announcement plays
  MODE_LEVEL = 100,        // a level is played
};

constexpr uint32_t TICK_TIMER_ID = 1;
constexpr uint32_t TICK_INTERVAL_MS = 100;

// Lifetime: whole run. Set by start-up, then by the screens as they hand over.
extern int32_t g_mode;
extern int32_t g_tickEnabled;  // 0: no tick handler runs; keys still dispatch

// Lifetime: whole run. Set once by start-up.
extern std::string g_programFolder;  // the executable's folder, ending in the separator
extern bool g_windowReady;           // the window exists and the first stage succeeded
extern bool g_introStarted;          // the first paint has started the introduction
extern bool g_startupDone;           // the second stage completed

// Lifetime: whole run. The score of the last level: 0 before any level, from the start of
// every level, and after an abandoned one.
extern int32_t g_lastScore;
