// The best-score table and its file best.dat.
#pragma once

#include <cstdint>

constexpr int BEST_TABLE_SIZE = 11;
constexpr int BEST_RECORD_SIZE = 7;

// Lifetime: whole run; reloaded from best.dat at every visit of the best-score screen and
// at every won level.
extern int32_t g_bestScores[BEST_TABLE_SIZE];
extern int32_t g_bestLastIndex;
extern int32_t g_bestCursor;

int ReadBestScores();
void WriteBestScores();
void SortBestScores();
void RecordBestScore();
int ScrambleBestFile();
int UnscrambleBestFile();
