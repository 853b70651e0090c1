// The best-score table and its file best.dat.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int BEST_TABLE_SIZE = 11;
constexpr int BEST_RECORD_SIZE = 7;

// Lifetime: whole run; reloaded from best.dat at every visit of the best-score screen and
// at every won level.
extern int32_t g_bestScores[BEST_TABLE_SIZE];
extern int32_t g_bestLastIndex;
extern int32_t g_bestCursor;

int ReadBestScores();
// Fills the table from best.dat's stored (scrambled) bytes as they lie at the start of the
// file: the reader's work once the file is read. Any bytes are safe.
void ParseBestScores(const uint8_t* stored, size_t count);
void WriteBestScores();
void SortBestScores();
void RecordBestScore();
int ScrambleBestFile();
int UnscrambleBestFile();
