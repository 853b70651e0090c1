// How loud a recording sounds, as one figure, so that every spoken file can be brought to
// the same level and the data tests can check that they were.
#pragma once

#include <cstddef>
#include <cstdint>

// Active level in dB relative to full scale: the mean power of the 20 ms blocks that lie
// within 30 dB of the loudest block, so that pauses inside a sentence do not pull a long
// sentence below a single word. Interleaved channels are averaged. -200 for silence.
double ActiveLevelDb(const float* samples, size_t frames, unsigned channels,
                     uint32_t sampleRate);
double ActiveLevelDb(const int16_t* samples, size_t frames, unsigned channels,
                     uint32_t sampleRate);
