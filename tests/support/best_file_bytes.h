// best.dat's bytes as a test writes and expects them, made independently of the game's code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace best_file {

using Bytes = std::vector<uint8_t>;

// Plain records: each text, its zero byte, then filler up to seven bytes.
inline Bytes Plain(const std::vector<std::string>& texts, uint8_t filler = 0) {
  Bytes bytes;
  for (const std::string& text : texts) {
    Bytes record(7, filler);
    for (size_t i = 0; i < text.size() && i < 6; ++i) record[i] = uint8_t(text[i]);
    record[text.size() < 6 ? text.size() : 6] = 0;
    bytes.insert(bytes.end(), record.begin(), record.end());
  }
  return bytes;
}

// The stored form: the first 100 bytes keyed by their offset.
inline Bytes Stored(Bytes bytes) {
  static const uint8_t key[10] = {9, 30, 6, 27, 16, 8, 21, 4, 24, 12};
  for (size_t j = 0; j < bytes.size() && j < 100; ++j) bytes[j] = uint8_t(bytes[j] + key[j % 10]);
  return bytes;
}

}  // namespace best_file
