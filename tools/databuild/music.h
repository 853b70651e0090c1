// The game's music and effects, synthesised: the nine cell sounds, the cue, the four move
// sounds, the start and stop signals and the two background loops.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

constexpr uint32_t MUSIC_RATE = 44100;

// Stereo, interleaved left/right, full scale at +-1.
struct StereoSound {
  std::vector<float> samples;
  size_t Frames() const { return samples.size() / 2; }
};

// Row 0..2 picks the timbre (bell, plucked string, organ), column 0..2 the pitch, rising
// by a fourth from one column to the next, so that each row plays the same little tune.
StereoSound CellSound(int row, int column);
StereoSound CueSound();

enum class Move { kRowLeft, kRowRight, kColumnUp, kColumnDown };
// Rows travel across the stereo field, columns glide in pitch.
StereoSound MoveSound(Move move);

StereoSound StartSignal();  // rising
StereoSound StopSignal();   // falling

// Seamless loops: every partial completes whole cycles and every decay wraps round the end,
// so the last frame leads into the first as any frame leads into the next.
StereoSound MenuLoop();
StereoSound LevelLoop();

std::vector<int16_t> ToPcm16(const StereoSound& sound);
