#include "tools/databuild/loudness.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kBlockSeconds = 0.020;
constexpr double kGateBelowLoudestDb = 30.0;
constexpr double kSilentDb = -200.0;

template <typename Sample>
double ActiveLevel(const Sample* samples, size_t frames, unsigned channels, uint32_t rate,
                   double scale) {
  if (frames == 0 || channels == 0 || rate == 0) return kSilentDb;
  const size_t block = std::max<size_t>(1, static_cast<size_t>(rate * kBlockSeconds));
  std::vector<double> powers;
  for (size_t start = 0; start < frames; start += block) {
    const size_t end = std::min(frames, start + block);
    double sum = 0;
    for (size_t i = start * channels; i < end * channels; ++i) {
      const double x = samples[i] * scale;
      sum += x * x;
    }
    powers.push_back(sum / static_cast<double>((end - start) * channels));
  }
  const double loudest = *std::max_element(powers.begin(), powers.end());
  if (loudest <= 0) return kSilentDb;
  const double gate = loudest * std::pow(10.0, -kGateBelowLoudestDb / 10.0);
  double sum = 0;
  size_t count = 0;
  for (double p : powers) {
    if (p >= gate) {
      sum += p;
      ++count;
    }
  }
  return 10.0 * std::log10(sum / static_cast<double>(count));
}

}  // namespace

double ActiveLevelDb(const float* samples, size_t frames, unsigned channels,
                     uint32_t sampleRate) {
  return ActiveLevel(samples, frames, channels, sampleRate, 1.0);
}

double ActiveLevelDb(const int16_t* samples, size_t frames, unsigned channels,
                     uint32_t sampleRate) {
  return ActiveLevel(samples, frames, channels, sampleRate, 1.0 / 32768.0);
}
