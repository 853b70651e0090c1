#include "scores/best_scores.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "app/globals.h"
#include "platform/platform.h"

int32_t g_bestScores[BEST_TABLE_SIZE];
int32_t g_bestLastIndex = 0;
int32_t g_bestCursor = 0;

namespace {

// Added in turn to the file's bytes; only the first 100 bytes of the file are scrambled.
constexpr uint8_t BEST_FILE_KEY[10] = {9, 30, 6, 27, 16, 8, 21, 4, 24, 12};
constexpr size_t BEST_SCRAMBLED_BYTES = 100;
constexpr int32_t BEST_EMPTY = -1;

std::string BestFilePath() { return g_programFolder + "best.dat"; }

// Bytes are keyed by their offset from the start of the file.
void Scramble(uint8_t* bytes, size_t count) {
  for (size_t j = 0; j < count; ++j) bytes[j] = uint8_t(bytes[j] + BEST_FILE_KEY[j % 10]);
}

void Unscramble(uint8_t* bytes, size_t count) {
  for (size_t j = 0; j < count; ++j) bytes[j] = uint8_t(bytes[j] - BEST_FILE_KEY[j % 10]);
}

// The file's first (scrambled) bytes; -1 when it cannot be opened.
long ReadBestHead(uint8_t (&head)[BEST_SCRAMBLED_BYTES]) {
  return plat::g_platform->ReadFileHead(BestFilePath().c_str(), head, sizeof head);
}

// A record's text as atoi reads it: leading blanks, an optional sign, digits. The seventh
// byte never counts, so at most six characters take part and nothing overflows.
int32_t ParseRecord(const uint8_t* record) {
  int i = 0;
  const int end = BEST_RECORD_SIZE - 1;
  while (i < end && (record[i] == ' ' || (record[i] >= '\t' && record[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < end && (record[i] == '+' || record[i] == '-')) negative = record[i++] == '-';
  int32_t value = 0;
  while (i < end && record[i] >= '0' && record[i] <= '9') value = value * 10 + (record[i++] - '0');
  return negative ? -value : value;
}

int TransformBestFile(void (*transform)(uint8_t*, size_t)) {
  uint8_t head[BEST_SCRAMBLED_BYTES];
  const long count = ReadBestHead(head);
  if (count < 0) return 0;
  if (count == 0) return 1;
  transform(head, size_t(count));
  return plat::g_platform->WriteFileHead(BestFilePath().c_str(), head, size_t(count)) ? 1 : 0;
}

}  // namespace

int ScrambleBestFile() { return TransformBestFile(Scramble); }

int UnscrambleBestFile() { return TransformBestFile(Unscramble); }

void ParseBestScores(const uint8_t* stored, size_t count) {
  for (int32_t& score : g_bestScores) score = BEST_EMPTY;

  // Records past the eleventh have no entry to go to.
  uint8_t plain[BEST_TABLE_SIZE * BEST_RECORD_SIZE];
  const size_t used = count < sizeof plain ? count : sizeof plain;
  if (used > 0) std::memcpy(plain, stored, used);
  Unscramble(plain, used);

  const int records = int(used / BEST_RECORD_SIZE);
  for (int i = 0; i < records; ++i) g_bestScores[i] = ParseRecord(plain + i * BEST_RECORD_SIZE);

  g_bestLastIndex = records - 1;
  if (g_bestLastIndex < 0) {
    g_bestLastIndex = 0;
    g_bestScores[0] = 0;
  }
}

// The file is unscrambled in memory only: the file on disk stays in stored form at all
// times, and a read-only file reads the same as a writable one.
int ReadBestScores() {
  uint8_t head[BEST_SCRAMBLED_BYTES];
  const long count = ReadBestHead(head);
  if (count < 0) {
    for (int32_t& score : g_bestScores) score = BEST_EMPTY;
    return 0;
  }
  ParseBestScores(head, size_t(count));
  return 1;
}

// Writes the table's stored form in one go. The file's head is scrambled as one block, so
// bytes of a longer file that lie after the table but within the head are scrambled once
// more; the length of the file never changes except by growing.
void WriteBestScores() {
  uint8_t head[BEST_SCRAMBLED_BYTES] = {};
  long stored = ReadBestHead(head);
  if (stored < 0) stored = 0;  // unreadable but perhaps writable: the table alone

  size_t written = 0;
  for (int i = 0; i < BEST_TABLE_SIZE && g_bestScores[i] != BEST_EMPTY; ++i) {
    char record[BEST_RECORD_SIZE] = {};  // text, its zero byte, zero filler
    std::snprintf(record, sizeof record, "%d", g_bestScores[i]);
    std::memcpy(head + written, record, sizeof record);
    written += sizeof record;
  }
  const size_t length = written > size_t(stored) ? written : size_t(stored);
  Scramble(head, length);
  plat::g_platform->WriteFileHead(BestFilePath().c_str(), head, length);
}

void SortBestScores() {
  for (int i = 0; i < BEST_TABLE_SIZE; ++i)
    for (int j = i; j < BEST_TABLE_SIZE; ++j)
      if (g_bestScores[i] < g_bestScores[j]) {
        const int32_t swap = g_bestScores[i];
        g_bestScores[i] = g_bestScores[j];
        g_bestScores[j] = swap;
      }
}

void RecordBestScore() {
  if (!ReadBestScores()) return;
  // Ten scores are kept; the eleventh entry serves only a file that already held eleven.
  if (g_bestLastIndex < 9) ++g_bestLastIndex;
  if (g_lastScore > g_bestScores[g_bestLastIndex]) g_bestScores[g_bestLastIndex] = g_lastScore;
  SortBestScores();
  WriteBestScores();
}
