// Sounds made in code and offline rendering for the mixer tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/audio/mixer.h"

namespace mixtest {

constexpr uint32_t kRate = 48000;

// 16-bit little-endian PCM, channels interleaved, from a function of (frame, channel).
inline std::vector<uint8_t> Pcm16(uint32_t frames, uint16_t channels,
                                  const std::function<double(uint32_t, int)>& value) {
  std::vector<uint8_t> bytes;
  bytes.reserve(frames * channels * 2);
  for (uint32_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      const long s = std::lround(std::max(-1.0, std::min(1.0, value(f, c))) * 32767.0);
      bytes.push_back(static_cast<uint8_t>(s & 0xff));
      bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xff));
    }
  }
  return bytes;
}

inline plat::PcmFormat Format16(uint32_t rate, uint16_t channels) {
  plat::PcmFormat f;
  f.formatTag = 1;
  f.channels = channels;
  f.sampleRate = rate;
  f.bitsPerSample = 16;
  f.blockAlign = static_cast<uint16_t>(2 * channels);
  return f;
}

// White-ish noise, deterministic: positional tests need energy over the whole band.
inline double Noise(uint32_t frame) {
  uint32_t x = frame * 2654435761u + 12345u;
  x ^= x >> 15;
  x *= 2246822519u;
  x ^= x >> 13;
  return (static_cast<double>(x & 0xffff) / 32768.0 - 1.0) * 0.5;
}

inline plat::VoiceId MonoVoice(plat::Mixer& m, uint32_t rate, uint32_t frames,
                               const std::function<double(uint32_t)>& value,
                               bool positional = false) {
  const auto pcm = Pcm16(frames, 1, [&](uint32_t f, int) { return value(f); });
  return m.CreateVoice("test", Format16(rate, 1), pcm.data(), static_cast<uint32_t>(pcm.size()),
                       positional);
}

inline std::vector<float> Render(plat::Mixer& m, uint32_t frames) {
  std::vector<float> out(2 * static_cast<size_t>(frames));
  m.Render(out.data(), frames);
  return out;
}

inline double ChannelEnergy(const std::vector<float>& stereo, int channel, size_t from = 0) {
  double e = 0;
  for (size_t i = 2 * from + channel; i < stereo.size(); i += 2) e += double(stereo[i]) * stereo[i];
  return e;
}

inline double Decibels(double energyRatio) { return 10.0 * std::log10(energyRatio); }

}  // namespace mixtest
