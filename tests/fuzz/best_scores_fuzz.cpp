// best.dat from any bytes: parsed, then read from a real file, a score entered and saved
// through the virtual platform, and read again. The table never grows past its entries, the
// file is never shortened, and what is read stays in range.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "app/globals.h"
#include "scores/best_scores.h"
#include "tests/support/scenario.h"

namespace {

void CheckTable() {
  if (g_bestLastIndex < 0 || g_bestLastIndex >= BEST_TABLE_SIZE) std::abort();
  for (int32_t score : g_bestScores)
    if (score < -99999 || score > 999999) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testing_support::Scenario& game = testing_support::FuzzGameWithFile("best.dat", data, size);
  const std::string path = game.folder + "best.dat";

  ParseBestScores(data, size);
  CheckTable();

  if (ReadBestScores() != 1) std::abort();
  CheckTable();

  g_lastScore = size > 0 ? data[0] * 71 : 0;  // 0..18105: every score a level can give
  RecordBestScore();
  if (game.vp.LogOf("write").size() != 1) std::abort();  // the whole table in one write
  if (std::filesystem::file_size(path) < size) std::abort();
  if (ReadBestScores() != 1) std::abort();
  CheckTable();
  return 0;
}
