#include "tools/databuild/music.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "tools/databuild/loudness.h"

namespace {

constexpr double kTwoPi = 2.0 * M_PI;

// Levels, as active levels in dB of full scale. Speech sits at -16; the cells match it so
// the puzzle stays in front, the cue is a whisper beside them, and the loops stay far
// behind everything.
constexpr double kCellLevelDb = -16.0;
constexpr double kCueLevelDb = -26.0;
constexpr double kMoveLevelDb = -18.0;
constexpr double kSignalLevelDb = -17.0;
constexpr double kLoopLevelDb = -34.0;
constexpr float kPeakCeiling = 0.89f;  // -1 dBFS

size_t FramesFor(double seconds) { return static_cast<size_t>(seconds * MUSIC_RATE + 0.5); }

StereoSound Silence(double seconds) {
  StereoSound s;
  s.samples.assign(FramesFor(seconds) * 2, 0.0f);
  return s;
}

void AddMono(StereoSound& s, size_t frame, float value, float pan = 0.0f) {
  // Equal-power pan, -1 left to +1 right.
  const double angle = (pan + 1.0) * M_PI / 4.0;
  s.samples[frame * 2] += static_cast<float>(value * std::cos(angle));
  s.samples[frame * 2 + 1] += static_cast<float>(value * std::sin(angle));
}

// Brings a sound to an active level, never letting a peak pass the ceiling.
void Normalise(StereoSound& s, double levelDb) {
  const double level = ActiveLevelDb(s.samples.data(), s.Frames(), 2, MUSIC_RATE);
  float peak = 0;
  for (float x : s.samples) peak = std::max(peak, std::fabs(x));
  if (peak <= 0) return;
  const double gain =
      std::min(std::pow(10.0, (levelDb - level) / 20.0), static_cast<double>(kPeakCeiling / peak));
  for (float& x : s.samples) x = static_cast<float>(x * gain);
}

void FadeEnds(StereoSound& s, double inSeconds, double outSeconds) {
  const size_t n = s.Frames();
  const size_t in = std::min(n, FramesFor(inSeconds));
  const size_t out = std::min(n, FramesFor(outSeconds));
  for (size_t i = 0; i < in; ++i) {
    const float g = static_cast<float>(0.5 - 0.5 * std::cos(M_PI * (i + 0.5) / in));
    s.samples[i * 2] *= g;
    s.samples[i * 2 + 1] *= g;
  }
  for (size_t i = 0; i < out; ++i) {
    const float g = static_cast<float>(0.5 - 0.5 * std::cos(M_PI * (i + 0.5) / out));
    s.samples[(n - 1 - i) * 2] *= g;
    s.samples[(n - 1 - i) * 2 + 1] *= g;
  }
}

struct Partial {
  double ratio;   // of the fundamental
  double amp;
  double decay;   // seconds to fall by 1/e
};

// A struck or plucked tone: partials that die away, each at its own pace.
void AddStruck(StereoSound& s, double start, double freq, const std::vector<Partial>& partials,
               double attack, float gain = 1.0f, float pan = 0.0f) {
  const size_t first = FramesFor(start);
  for (size_t i = first; i < s.Frames(); ++i) {
    const double t = static_cast<double>(i - first) / MUSIC_RATE;
    double v = 0;
    for (const Partial& p : partials) {
      const double f = freq * p.ratio;
      if (f >= MUSIC_RATE / 2.0) continue;
      v += p.amp * std::exp(-t / p.decay) * std::sin(kTwoPi * f * t);
    }
    const double rise = t < attack ? std::sin(M_PI / 2 * t / attack) : 1.0;
    AddMono(s, i, static_cast<float>(v * rise * gain), pan);
  }
}

// Deterministic noise, so that every build makes the same files.
struct Noise {
  uint32_t state = 12345;
  float Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<float>(static_cast<int32_t>(state)) / 2147483648.0f;
  }
};

const double kColumnRatio[3] = {1.0, 4.0 / 3.0, 16.0 / 9.0};

StereoSound Bell(double freq) {
  StereoSound s = Silence(0.9);
  AddStruck(s, 0, freq,
            {{1.0, 1.0, 0.40}, {1.004, 0.5, 0.45}, {2.756, 0.45, 0.18}, {5.404, 0.22, 0.09},
             {8.933, 0.10, 0.05}},
            0.002);
  FadeEnds(s, 0, 0.08);
  return s;
}

StereoSound Pluck(double freq) {
  std::vector<Partial> partials;
  for (int n = 1; n <= 16; ++n) {
    // Plucked a fifth of the way along: the string's own spectrum, softened.
    const double amp = std::fabs(std::sin(M_PI * n * 0.2)) / std::pow(n, 1.1);
    partials.push_back({static_cast<double>(n), amp, 0.45 / (1.0 + 0.35 * (n - 1))});
  }
  StereoSound s = Silence(0.8);
  AddStruck(s, 0, freq, partials, 0.0015);
  FadeEnds(s, 0, 0.08);
  return s;
}

StereoSound Organ(double freq) {
  const double length = 0.7, attack = 0.035, release = 0.16;
  StereoSound s = Silence(length);
  const double harmonics[][2] = {{1, 1.0}, {2, 0.55}, {3, 0.35}, {4, 0.18}, {6, 0.08}};
  double phase = 0;
  for (size_t i = 0; i < s.Frames(); ++i) {
    const double t = static_cast<double>(i) / MUSIC_RATE;
    const double vibrato = 1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t) * std::min(1.0, t / 0.2);
    phase += kTwoPi * freq * vibrato / MUSIC_RATE;
    double v = 0;
    for (const auto& h : harmonics) v += h[1] * std::sin(h[0] * phase);
    double env = 1.0;
    if (t < attack) env = 0.5 - 0.5 * std::cos(M_PI * t / attack);
    if (t > length - release) env = 0.5 + 0.5 * std::cos(M_PI * (t - (length - release)) / release);
    AddMono(s, i, static_cast<float>(v * env));
  }
  return s;
}

// A tone of a few harmonics whose pitch and place change along the sound.
StereoSound Glide(double seconds, double fromHz, double toHz, float fromPan, float toPan) {
  StereoSound s = Silence(seconds);
  Noise noise;
  double phase = 0, smooth = 0;
  const size_t n = s.Frames();
  for (size_t i = 0; i < n; ++i) {
    const double x = static_cast<double>(i) / (n - 1);
    const double freq = fromHz * std::pow(toHz / fromHz, x);
    phase += kTwoPi * freq / MUSIC_RATE;
    smooth += 0.15 * (noise.Next() - smooth);  // a soft rush of air under the tone
    const double v = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.12 * std::sin(3 * phase) +
                     0.35 * smooth;
    const double env = std::pow(std::sin(M_PI * x), 1.5);
    AddMono(s, i, static_cast<float>(v * env), static_cast<float>(fromPan + (toPan - fromPan) * x));
  }
  return s;
}

StereoSound Arpeggio(const std::vector<double>& notes) {
  constexpr double kStep = 0.1;
  StereoSound s = Silence(kStep * (notes.size() - 1) + 0.4);
  for (size_t k = 0; k < notes.size(); ++k) {
    AddStruck(s, kStep * k, notes[k], {{1, 1.0, 0.16}, {2, 0.35, 0.08}, {3, 0.15, 0.05}}, 0.003);
  }
  FadeEnds(s, 0, 0.05);
  return s;
}

// A loop's frequencies are snapped to whole cycles over its length.
double Periodic(double freq, double loopSeconds) {
  return std::round(freq * loopSeconds) / loopSeconds;
}

}  // namespace

StereoSound CellSound(int row, int column) {
  const double ratio = kColumnRatio[column];
  StereoSound s;
  switch (row) {
    case 0: s = Bell(659.26 * ratio); break;    // E5 and up
    case 1: s = Pluck(329.63 * ratio); break;   // E4 and up
    default: s = Organ(220.0 * ratio); break;   // A3 and up
  }
  Normalise(s, kCellLevelDb);
  return s;
}

StereoSound CueSound() {
  StereoSound s = Silence(0.06);
  AddStruck(s, 0, 1800, {{1, 1.0, 0.012}, {1.5, 0.5, 0.008}}, 0.0005);
  FadeEnds(s, 0, 0.015);
  Normalise(s, kCueLevelDb);
  return s;
}

StereoSound MoveSound(Move move) {
  constexpr double kLength = 0.35;
  StereoSound s;
  switch (move) {
    case Move::kRowLeft: s = Glide(kLength, 520, 520, 1.0f, -1.0f); break;
    case Move::kRowRight: s = Glide(kLength, 520, 520, -1.0f, 1.0f); break;
    case Move::kColumnUp: s = Glide(kLength, 330, 880, 0.0f, 0.0f); break;
    case Move::kColumnDown: s = Glide(kLength, 880, 330, 0.0f, 0.0f); break;
  }
  Normalise(s, kMoveLevelDb);
  return s;
}

StereoSound StartSignal() {
  StereoSound s = Arpeggio({523.25, 659.26, 783.99, 1046.5});
  Normalise(s, kSignalLevelDb);
  return s;
}

StereoSound StopSignal() {
  StereoSound s = Arpeggio({1046.5, 783.99, 659.26, 523.25});
  Normalise(s, kSignalLevelDb);
  return s;
}

StereoSound MenuLoop() {
  // Two soft chords breathing into each other, once each per loop.
  constexpr double kLength = 8.0;
  struct Voice {
    double freq;
    float pan;
    int chord;  // 0 or 1
  };
  const Voice voices[] = {
      {130.81, -0.3f, 0}, {196.00, 0.3f, 0}, {329.63, -0.6f, 0}, {493.88, 0.6f, 0},
      {110.00, -0.3f, 1}, {164.81, 0.3f, 1}, {261.63, -0.6f, 1}, {392.00, 0.6f, 1},
  };
  StereoSound s = Silence(kLength);
  for (size_t i = 0; i < s.Frames(); ++i) {
    const double t = static_cast<double>(i) / MUSIC_RATE;
    const double c = std::tanh(3.0 * std::cos(kTwoPi * t / kLength)) / std::tanh(3.0);
    const double weight[2] = {0.5 + 0.5 * c, 0.5 - 0.5 * c};
    for (size_t k = 0; k < std::size(voices); ++k) {
      const Voice& v = voices[k];
      const double f = Periodic(v.freq, kLength);
      const double tremolo = 1.0 + 0.2 * std::sin(kTwoPi * (k + 1) * t / kLength + k);
      // Voices start at scattered phases so that no moment of the loop, its seam
      // included, has them all swinging together.
      const double phase = 2.4 * k;
      const double tone =
          std::sin(kTwoPi * f * t + phase) + 0.25 * std::sin(kTwoPi * 2 * f * t + 2 * phase);
      AddMono(s, i, static_cast<float>(tone * tremolo * weight[v.chord]), v.pan);
    }
  }
  Normalise(s, kLoopLevelDb);
  return s;
}

StereoSound LevelLoop() {
  // A quiet pulse in the bass, well under the cells, with a faint tick on the off-beats:
  // eight beats of half a second. Each event is written round the end of the buffer.
  constexpr double kLength = 4.0;
  constexpr double kBeat = 0.5;
  const double bass[] = {110.0, 110.0, 82.41, 98.0, 110.0, 110.0, 73.42, 82.41};
  StereoSound s = Silence(kLength);
  const size_t n = s.Frames();
  Noise noise;
  for (int beat = 0; beat < 8; ++beat) {
    const size_t start = FramesFor(beat * kBeat);
    const double f = bass[beat];
    for (size_t i = 0; i < FramesFor(0.45); ++i) {
      const double t = static_cast<double>(i) / MUSIC_RATE;
      const double rise = std::min(1.0, t / 0.004);
      const double v = rise * std::exp(-t / 0.12) *
                       (std::sin(kTwoPi * f * t) + 0.3 * std::sin(kTwoPi * 2 * f * t));
      AddMono(s, (start + i) % n, static_cast<float>(v));
    }
    const size_t tick = FramesFor(beat * kBeat + kBeat / 2);
    float hp = 0, last = 0;
    for (size_t i = 0; i < FramesFor(0.04); ++i) {
      const double t = static_cast<double>(i) / MUSIC_RATE;
      const float x = noise.Next();
      hp = 0.7f * (hp + x - last);  // keep only the hiss
      last = x;
      AddMono(s, (tick + i) % n, static_cast<float>(0.12 * hp * std::exp(-t / 0.01)),
              beat % 2 ? 0.4f : -0.4f);
    }
  }
  // A low drone holds the beats together, so the loop never falls silent between them.
  for (size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / MUSIC_RATE;
    const double swell = 0.8 + 0.2 * std::sin(kTwoPi * t / kLength);
    const double v = std::sin(kTwoPi * Periodic(110.0, kLength) * t) +
                     0.5 * std::sin(kTwoPi * Periodic(164.81, kLength) * t + 1.0);
    AddMono(s, i, static_cast<float>(0.12 * swell * v));
  }
  Normalise(s, kLoopLevelDb);
  return s;
}

std::vector<int16_t> ToPcm16(const StereoSound& sound) {
  std::vector<int16_t> out(sound.samples.size());
  for (size_t i = 0; i < out.size(); ++i) {
    const float x = std::clamp(sound.samples[i], -1.0f, 1.0f);
    out[i] = static_cast<int16_t>(std::lround(x * 32767.0f));
  }
  return out;
}
