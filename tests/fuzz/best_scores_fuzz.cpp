// best.dat from any bytes: read, enter a score, save, read again. The table never grows
// past its entries, the file is never shortened, and what is read stays in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/globals.h"
#include "memory_file_platform.h"
#include "scores/best_scores.h"

namespace {

const char kPath[] = "/fuzz/best.dat";

void CheckTable() {
  if (g_bestLastIndex < 0 || g_bestLastIndex >= BEST_TABLE_SIZE) std::abort();
  for (int32_t score : g_bestScores)
    if (score < -99999 || score > 999999) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryFilePlatform files;
  plat::g_platform = &files;
  g_programFolder = "/fuzz/";
  files.files[kPath].assign(data, data + size);

  ParseBestScores(data, size);
  CheckTable();

  if (ReadBestScores() != 1) std::abort();
  CheckTable();

  g_lastScore = size > 0 ? data[0] * 71 : 0;  // 0..18105: every score a level can give
  RecordBestScore();
  if (files.files[kPath].size() < size) std::abort();
  if (ReadBestScores() != 1) std::abort();
  CheckTable();

  plat::g_platform = nullptr;
  return 0;
}
