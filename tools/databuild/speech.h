// Speech for the recordings: synthesised, resampled to the game's speech rate, trimmed and
// brought to one loudness.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/databuild/texts.h"

constexpr uint32_t SPEECH_RATE = 22050;
constexpr double SPEECH_LEVEL_DB = -16.0;  // active level of every spoken file

class SpeechSynth {
 public:
  SpeechSynth();
  // Mono 16-bit samples at SPEECH_RATE; empty when the synthesiser produced nothing.
  std::vector<int16_t> Speak(const std::string& text, SpeechStyle style);

 private:
  void* m_voice = nullptr;
};
