// BuildScoreSequence over every state it reads: each list names only real score sounds and
// ends within its 20 entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/globals.h"
#include "scores/best_scores.h"
#include "scores/spoken_numbers.h"

namespace {

// Takes the next bytes of the input as a value; missing bytes read as zero.
template <typename T>
T Take(const uint8_t*& data, size_t& size) {
  T value{};
  const size_t count = size < sizeof value ? size : sizeof value;
  if (count > 0) std::memcpy(&value, data, count);
  data += count;
  size -= count;
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int kind = Take<int32_t>(data, size);
  g_lastScore = Take<int32_t>(data, size);
  g_bestCursor = Take<int32_t>(data, size);
  g_bestLastIndex = Take<int32_t>(data, size);
  for (int32_t& score : g_bestScores) score = Take<int32_t>(data, size);
  for (int32_t& entry : g_saySequence) entry = Take<int32_t>(data, size);

  BuildScoreSequence(kind);

  int k = 0;
  while (k < SAY_SEQUENCE_LENGTH && g_saySequence[k] != SAY_END) {
    if (g_saySequence[k] < 0 || g_saySequence[k] >= SCORE_SOUND_COUNT) std::abort();
    ++k;
  }
  if (k == SAY_SEQUENCE_LENGTH) std::abort();  // no end marker
  return 0;
}
