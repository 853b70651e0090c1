#include "tools/databuild/speech.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tools/databuild/loudness.h"

extern "C" {
#include <flite/flite.h>
cst_voice* register_cmu_us_slt(const char* voxdir);
}

namespace {

// A little quicker than the voice's own pace: players who listen to speech all day are
// used to brisk voices, and the introduction must stay short.
constexpr float kDurationStretch = 0.92f;

struct Trim {
  double thresholdDb;  // below the loudest moment
  double padSeconds;   // kept before the first and after the last sound above it
  double fadeSeconds;  // at both ends, so that the cut never clicks
};
// Words are cut closely so that "twelve", "thousand", "three" run on as one phrase;
// a sentence keeps its soft first and last consonants whole.
constexpr Trim kSentenceTrim = {46.0, 0.025, 0.006};
constexpr Trim kWordTrim = {40.0, 0.006, 0.004};

constexpr double kLimitKnee = 0.85;  // soft limiting above this keeps rare peaks in range

std::vector<float> Resample(const std::vector<float>& in, double fromRate) {
  if (fromRate == SPEECH_RATE) return in;
  std::vector<float> out(static_cast<size_t>(in.size() * SPEECH_RATE / fromRate) + 16);
  size_t done = 0;
  const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
  soxr_error_t err = soxr_oneshot(fromRate, SPEECH_RATE, 1, in.data(), in.size(), nullptr,
                                  out.data(), out.size(), &done, nullptr, &quality, nullptr);
  if (err) throw std::runtime_error(std::string("resampling speech: ") + err);
  out.resize(done);
  return out;
}

// Cuts the silence at both ends, judged on a 5 ms envelope so that single samples of noise
// do not count as sound.
void TrimSilence(std::vector<float>& s, const Trim& trim) {
  if (s.empty()) return;
  const size_t window = SPEECH_RATE / 200;
  std::vector<float> envelope(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const size_t lo = i >= window / 2 ? i - window / 2 : 0;
    const size_t hi = std::min(s.size(), i + window / 2 + 1);
    float m = 0;
    for (size_t j = lo; j < hi; ++j) m = std::max(m, std::fabs(s[j]));
    envelope[i] = m;
  }
  const float loudest = *std::max_element(envelope.begin(), envelope.end());
  const float threshold = loudest * static_cast<float>(std::pow(10.0, -trim.thresholdDb / 20));
  size_t first = 0;
  while (first < s.size() && envelope[first] < threshold) ++first;
  size_t last = s.size();
  while (last > first && envelope[last - 1] < threshold) --last;
  const size_t pad = static_cast<size_t>(trim.padSeconds * SPEECH_RATE);
  first = first > pad ? first - pad : 0;
  last = std::min(s.size(), last + pad);
  s = std::vector<float>(s.begin() + first, s.begin() + last);

  const size_t fade = std::min(s.size() / 2, static_cast<size_t>(trim.fadeSeconds * SPEECH_RATE));
  for (size_t i = 0; i < fade; ++i) {
    const float g = 0.5f - 0.5f * std::cos(static_cast<float>(M_PI) * (i + 0.5f) / fade);
    s[i] *= g;
    s[s.size() - 1 - i] *= g;
  }
}

float SoftLimit(float x) {
  const float a = std::fabs(x);
  if (a <= kLimitKnee) return x;
  const float room = 1.0f - static_cast<float>(kLimitKnee);
  const float y = static_cast<float>(kLimitKnee) + room * std::tanh((a - kLimitKnee) / room);
  return x < 0 ? -y : y;
}

}  // namespace

SpeechSynth::SpeechSynth() {
  flite_init();
  cst_voice* voice = register_cmu_us_slt(nullptr);
  if (!voice) throw std::runtime_error("speech voice not available");
  feat_set_float(voice->features, "duration_stretch", kDurationStretch);
  m_voice = voice;
}

std::vector<int16_t> SpeechSynth::Speak(const std::string& text, SpeechStyle style) {
  cst_wave* wave = flite_text_to_wave(text.c_str(), static_cast<cst_voice*>(m_voice));
  if (!wave) return {};
  std::vector<float> s(static_cast<size_t>(wave->num_samples));
  for (size_t i = 0; i < s.size(); ++i) s[i] = wave->samples[i * wave->num_channels] / 32768.0f;
  const double rate = wave->sample_rate;
  delete_wave(wave);

  s = Resample(s, rate);
  TrimSilence(s, style == SpeechStyle::kWord ? kWordTrim : kSentenceTrim);
  const double level = ActiveLevelDb(s.data(), s.size(), 1, SPEECH_RATE);
  if (level < -150) return {};
  const float gain = static_cast<float>(std::pow(10.0, (SPEECH_LEVEL_DB - level) / 20.0));

  std::vector<int16_t> out(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    out[i] = static_cast<int16_t>(std::lround(SoftLimit(s[i] * gain) * 32767.0f));
  }
  return out;
}
