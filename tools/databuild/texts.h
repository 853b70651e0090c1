// Every sentence the game speaks, with the file it is spoken into.
#pragma once

#include <vector>

enum class SpeechStyle {
  kSentence,  // a phrase heard on its own
  kWord,      // a word joined to others at play time (scores): trimmed to the bone
};

struct SpokenText {
  const char* file;  // relative to the game folder, without ".vgz"
  const char* text;
  SpeechStyle style;
};

const std::vector<SpokenText>& SpokenTexts();
