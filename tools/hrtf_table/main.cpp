// chimebox-hrtf-table SOFA_FILE OUTPUT [TAPS]
//
// Turns a SOFA data set into the mixer's compact table (platform/audio/hrtf_table.h), at the
// device rate: each response is resampled, its onset measured for the interaural delay,
// made minimum phase and cut to TAPS taps (32 unless given). Run by the build.
#include <mysofa.h>
#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/audio/hrtf_table.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr size_t kFftSize = 4096;

using Complex = std::complex<double>;

void Fft(std::vector<Complex>& a, bool inverse) {
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = 2 * M_PI / len * (inverse ? 1 : -1);
    const Complex root(std::cos(angle), std::sin(angle));
    for (size_t i = 0; i < n; i += len) {
      Complex w(1);
      for (size_t j = 0; j < len / 2; ++j) {
        const Complex u = a[i + j], v = a[i + j + len / 2] * w;
        a[i + j] = u + v;
        a[i + j + len / 2] = u - v;
        w *= root;
      }
    }
  }
  if (inverse) {
    for (Complex& x : a) x /= static_cast<double>(n);
  }
}

// The minimum-phase response with the same magnitude, by folding the real cepstrum.
std::vector<double> MinimumPhase(const std::vector<double>& ir) {
  std::vector<Complex> spectrum(kFftSize);
  for (size_t i = 0; i < ir.size() && i < kFftSize; ++i) spectrum[i] = ir[i];
  Fft(spectrum, false);
  double peak = 0;
  for (const Complex& x : spectrum) peak = std::max(peak, std::abs(x));
  const double floor = std::max(peak * 1e-5, 1e-30);  // -100 dB keeps the log finite
  for (Complex& x : spectrum) x = std::log(std::max(std::abs(x), floor));
  Fft(spectrum, true);
  for (size_t i = 1; i < kFftSize / 2; ++i) spectrum[i] *= 2.0;
  for (size_t i = kFftSize / 2 + 1; i < kFftSize; ++i) spectrum[i] = 0.0;
  Fft(spectrum, false);
  for (Complex& x : spectrum) x = std::exp(x);
  Fft(spectrum, true);
  std::vector<double> out(kFftSize);
  for (size_t i = 0; i < kFftSize; ++i) out[i] = spectrum[i].real();
  return out;
}

// Where the response first reaches a tenth of its peak, in fractional samples.
double Onset(const std::vector<double>& ir) {
  double peak = 0;
  for (double x : ir) peak = std::max(peak, std::fabs(x));
  const double threshold = 0.1 * peak;
  for (size_t i = 0; i < ir.size(); ++i) {
    const double a = std::fabs(ir[i]);
    if (a >= threshold) {
      if (i == 0) return 0;
      const double before = std::fabs(ir[i - 1]);
      return (i - 1) + (threshold - before) / std::max(a - before, 1e-30);
    }
  }
  return 0;
}

std::vector<double> Resample(const float* ir, size_t length, double fromRate) {
  std::vector<float> out(static_cast<size_t>(std::ceil(length * kRate / fromRate)) + 16);
  size_t made = 0;
  const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
  if (fromRate == kRate) {
    std::copy(ir, ir + length, out.begin());
    made = length;
  } else if (soxr_oneshot(fromRate, kRate, 1, ir, length, nullptr, out.data(), out.size(), &made,
                          &io, &quality, nullptr)) {
    return {};
  }
  return std::vector<double>(out.begin(), out.begin() + made);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SOFA_FILE OUTPUT [TAPS]\n", argv[0]);
    return 2;
  }
  const uint32_t taps = argc > 3 ? static_cast<uint32_t>(std::atoi(argv[3])) : 32;
  if (taps < 8 || taps > plat::kHrtfMaxTaps) {
    std::fprintf(stderr, "taps must be 8..%u\n", plat::kHrtfMaxTaps);
    return 2;
  }

  int err = 0;
  MYSOFA_HRTF* sofa = mysofa_load(argv[1], &err);
  if (!sofa || err != MYSOFA_OK || mysofa_check(sofa) != MYSOFA_OK) {
    std::fprintf(stderr, "%s: cannot read SOFA data (error %d)\n", argv[1], err);
    if (sofa) mysofa_free(sofa);
    return 1;
  }
  mysofa_tocartesian(sofa);
  if (sofa->R != 2 || sofa->DataSamplingRate.elements < 1 || sofa->C != 3) {
    std::fprintf(stderr, "%s: expected two receivers\n", argv[1]);
    mysofa_free(sofa);
    return 1;
  }
  const double rate = sofa->DataSamplingRate.values[0];
  const size_t length = sofa->N;

  struct Direction {
    float dir[3];
    float delay[2];
    std::vector<float> ear[2];
  };
  std::vector<Direction> directions;
  for (unsigned m = 0; m < sofa->M; ++m) {
    const float* p = sofa->SourcePosition.values + 3 * m;
    // SOFA: x ahead, y left, z up. Game: x right, y up, z ahead.
    Direction d;
    const float game[3] = {-p[1], p[2], p[0]};
    const float norm = std::sqrt(game[0] * game[0] + game[1] * game[1] + game[2] * game[2]);
    if (!(norm > 0)) continue;
    for (int i = 0; i < 3; ++i) d.dir[i] = game[i] / norm;

    std::vector<double> ir[2];
    double onset[2];
    for (int e = 0; e < 2; ++e) {
      ir[e] = Resample(sofa->DataIR.values + (static_cast<size_t>(m) * 2 + e) * length, length, rate);
      if (ir[e].empty()) {
        std::fprintf(stderr, "resampling failed\n");
        mysofa_free(sofa);
        return 1;
      }
      onset[e] = Onset(ir[e]);
    }
    const double first = std::min(onset[0], onset[1]);
    for (int e = 0; e < 2; ++e) {
      d.delay[e] = static_cast<float>(std::min<double>(onset[e] - first, plat::kHrtfMaxDelay));
      const std::vector<double> minimum = MinimumPhase(ir[e]);
      d.ear[e].resize(taps);
      // The last quarter fades out so the cut adds no ripple.
      const uint32_t fade = taps / 4;
      for (uint32_t t = 0; t < taps; ++t) {
        double w = 1;
        if (t >= taps - fade) w = 0.5 * (1 + std::cos(M_PI * (t - (taps - fade) + 1) / (fade + 1)));
        d.ear[e][t] = static_cast<float>(minimum[t] * w);
      }
    }
    directions.push_back(std::move(d));
  }
  mysofa_free(sofa);
  if (directions.empty()) {
    std::fprintf(stderr, "%s: no directions\n", argv[1]);
    return 1;
  }

  // Scale so that a source straight ahead keeps the level of an unpanned voice.
  const Direction* front = &directions[0];
  for (const Direction& d : directions) {
    if (d.dir[2] > front->dir[2]) front = &d;
  }
  double energy = 0;
  for (int e = 0; e < 2; ++e) {
    for (float h : front->ear[e]) energy += 0.5 * h * h;
  }
  const float scale = energy > 0 ? static_cast<float>(1 / std::sqrt(energy)) : 1.0f;

  plat::HrtfTable table;
  table.Reset(kRate, taps);
  for (Direction& d : directions) {
    for (int e = 0; e < 2; ++e) {
      for (float& h : d.ear[e]) h *= scale;
    }
    table.Add(d.dir, d.delay, d.ear[0].data(), d.ear[1].data());
  }
  if (!table.Save(argv[2])) {
    std::fprintf(stderr, "%s: cannot write\n", argv[2]);
    return 1;
  }
  return 0;
}
