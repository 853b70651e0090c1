#include "platform/audio/mixer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace plat {
namespace {

// Input history a positional voice keeps across periods: the longest response plus the
// longest interaural delay plus the interpolator's reach.
constexpr uint32_t kHistory = 128;
static_assert(kHistory >= kHrtfMaxTaps + static_cast<uint32_t>(kHrtfMaxDelay) + 2,
              "history must cover the response, the delay and the interpolator");

// A voice larger than this (in samples at the device rate, about 11 minutes of stereo) is
// refused rather than allowed to take gigabytes.
constexpr uint64_t kMaxVoiceSamples = 64ull * 1024 * 1024;

// Source frames kept around a sound for the interpolator: one before its start, two after
// its end, taken cyclically so that a loop joins its end to its start.
constexpr uint32_t kPadBefore = 1;
constexpr uint32_t kPadAfter = 2;

float DecibelsToGain(int32_t hundredths) {
  return static_cast<float>(std::pow(10.0, hundredths / 2000.0));
}

// 4-point Lagrange weights for a point mu [0..1] past the second of four samples.
void LagrangeWeights(float mu, float w[4]) {
  w[0] = -mu * (mu - 1.0f) * (mu - 2.0f) / 6.0f;
  w[1] = (mu + 1.0f) * (mu - 1.0f) * (mu - 2.0f) / 2.0f;
  w[2] = -(mu + 1.0f) * mu * (mu - 2.0f) / 2.0f;
  w[3] = (mu + 1.0f) * mu * (mu - 1.0f) / 6.0f;
}

bool FormatAccepted(const PcmFormat& f, bool positional) {
  if (f.formatTag != 1) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
  if (f.blockAlign != f.channels * f.bitsPerSample / 8) return false;
  if (f.sampleRate < 1000 || f.sampleRate > 192000) return false;
  if (positional && f.channels != 1) return false;
  return true;
}

}  // namespace

struct Mixer::Voice {
  // Fixed once made; read by both threads without the lock.
  VoiceId id = kNoVoice;
  std::string label;
  uint32_t channels = 1;
  uint32_t sourceFrames = 0;  // frames in the file, at its own rate
  uint64_t frames = 0;        // frames at the device rate
  bool positional = false;
  // Interleaved 16-bit samples as in the file, at its rate, padded by kPadBefore and
  // kPadAfter frames. Resampled at exactly frames/sourceFrames, so that a looped voice
  // joins its end to its start without a seam. Kept at the file's width so that loading
  // is a copy that touches no more memory than the file holds. Shared between voices
  // loaded from the same data: the menu loads some files into more than one slot.
  std::shared_ptr<const int16_t[]> samples;
  uint32_t stepWhole = 1;     // source frames per device frame: whole part
  uint64_t stepPart = 0;      // and the rest, in 1/frames of a source frame
  // The voice as the mixer reads it, at the device rate, interleaved floats: made as it is
  // first mixed rather than when it is loaded, so that loading costs no more than a copy
  // and every later play costs no conversion. Allocated here but not touched: the audio
  // thread takes its pages from the system as it fills them, one page per 1,024 samples.
  std::unique_ptr<float[]> resampled;

  // Game thread only: what the game last set.
  int32_t pan = PAN_CENTER;
  int32_t volume = VOLUME_FULL;
  float position3d[3] = {0.0f, 0.0f, 0.0f};
  float minDistance = 1.0f;

  // Guarded by mutex_.
  Voice* next = nullptr;
  Voice* prev = nullptr;
  struct Control {
    uint32_t serial = 0;  // counts Play, Stop and position changes
    bool playing = false;
    bool looping = false;
    uint64_t position = 0;  // device frames
    float gain[2] = {1.0f, 1.0f};
    uint32_t filterSerial = 0;
    Filter filter;
  } control;

  // Audio thread only.
  struct RenderState {
    uint32_t serial = 0;
    bool playing = false;
    bool looping = false;
    bool fresh = false;  // started from silence this period: no ramp, no fade, no history
    uint64_t position = 0;
    float gain[2] = {1.0f, 1.0f};
    float targetGain[2] = {1.0f, 1.0f};
    uint32_t filterSerial = 0;
    Filter filter;
    Filter old;  // the filter being faded out
    uint32_t fadeDone = kCrossfadeFrames;
    float history[kHistory] = {};
    uint64_t resampledFrames = 0;  // how much of resampled is made, from its start
  } render;
};

Mixer::Mixer(uint32_t deviceRate, const std::string& hrtfTablePath)
    : deviceRate_(deviceRate == 0 ? 48000 : deviceRate) {
  if (!hrtfTablePath.empty()) hrtf_.Load(hrtfTablePath, deviceRate_);
  acc_.resize(2 * kPeriodFrames);
  resampleAt_.resize(kPeriodFrames);
  resampleMu_.resize(kPeriodFrames);
  // Positional scratch: input with history, the delayed input, two filtered outputs.
  scratch_.resize((kHistory + kPeriodFrames) + (kPeriodFrames + kHrtfMaxTaps) +
                  2 * kPeriodFrames);
}

Mixer::~Mixer() = default;

Mixer::Voice* Mixer::Find(VoiceId id) {
  auto it = voices_.find(id);
  return it == voices_.end() ? nullptr : it->second.get();
}

namespace {

// The file's samples as 16-bit values, padded around with kPadBefore and kPadAfter frames
// taken cyclically. count samples of data; out takes the padding too.
void FillSamples(uint16_t bits, const uint8_t* data, size_t count, uint32_t channels,
                 int16_t* out) {
  int16_t* source = out + kPadBefore * channels;
  if (bits == 8) {
    for (size_t i = 0; i < count; ++i) source[i] = static_cast<int16_t>((data[i] - 128) * 256);
  } else {
    for (size_t i = 0; i < count; ++i)
      source[i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  }
  const size_t frames = count / channels;
  for (uint32_t c = 0; c < channels; ++c) {
    source[-static_cast<ptrdiff_t>(channels) + c] = source[(frames - 1) * channels + c];
    for (uint32_t f = 0; f < kPadAfter; ++f)
      source[(frames + f) * channels + c] = source[(f % frames) * channels + c];
  }
}

bool LittleEndian() {
  const uint16_t one = 1;
  uint8_t first;
  std::memcpy(&first, &one, 1);
  return first == 1;
}

}  // namespace

std::shared_ptr<const int16_t[]> Mixer::SameSamples(uint32_t channels, uint32_t sourceFrames,
                                                    const uint8_t* data) const {
  static const bool kLittleEndian = LittleEndian();
  if (!kLittleEndian) return nullptr;  // the file's bytes are the samples' only there
  const size_t bytes = static_cast<size_t>(sourceFrames) * channels * 2;
  for (const auto& entry : voices_) {
    const Voice& v = *entry.second;
    if (v.channels == channels && v.sourceFrames == sourceFrames &&
        std::memcmp(v.samples.get() + kPadBefore * channels, data, bytes) == 0)
      return v.samples;
  }
  return nullptr;
}

void Mixer::WaitUntilNotMixing(std::unique_lock<std::mutex>& lock) {
  mixed_.wait(lock, [this] { return !mixing_; });
}

VoiceId Mixer::CreateVoice(const char* label, const PcmFormat& format, const uint8_t* data,
                           uint32_t bytes, bool positional) {
  if (data == nullptr || !FormatAccepted(format, positional)) return kNoVoice;
  const uint32_t sourceFrames = bytes / format.blockAlign;
  if (sourceFrames == 0) return kNoVoice;
  const uint32_t channels = format.channels;
  const uint64_t frames = std::max<uint64_t>(
      1, static_cast<uint64_t>(std::llround(static_cast<double>(sourceFrames) * deviceRate_ /
                                            format.sampleRate)));
  if (frames * channels > kMaxVoiceSamples) return kNoVoice;

  auto voice = std::make_unique<Voice>();
  try {
    voice->label = label ? label : "";
    voice->channels = channels;
    voice->sourceFrames = sourceFrames;
    voice->frames = frames;
    voice->positional = positional;

    voice->stepWhole = static_cast<uint32_t>(sourceFrames / frames);
    voice->stepPart = sourceFrames % frames;
    const size_t count = static_cast<size_t>(sourceFrames) * channels;
    if (format.bitsPerSample == 16) voice->samples = SameSamples(channels, sourceFrames, data);
    voice->resampled.reset(new float[frames * channels]);
    if (!voice->samples) {
      std::shared_ptr<int16_t[]> made(new int16_t[count + (kPadBefore + kPadAfter) * channels]);
      FillSamples(format.bitsPerSample, data, count, channels, made.get());
      voice->samples = std::move(made);
    }
  } catch (const std::bad_alloc&) {
    return kNoVoice;
  }

  Voice* v = voice.get();
  const VoiceId id = nextVoice_++;
  if (nextVoice_ == kNoVoice) nextVoice_ = 1;
  v->id = id;
  {
    std::unique_lock<std::mutex> lock(mutex_);
    UpdateGains(*v);
    WaitUntilNotMixing(lock);
    v->next = first_;
    if (first_) first_->prev = v;
    first_ = v;
  }
  if (positional) {
    std::lock_guard<std::mutex> lock(mutex_);
    UpdateFilter(*v);  // at the origin, heard straight ahead, until the game places it
  }
  voices_[id] = std::move(voice);
  return id;
}

void Mixer::DestroyVoice(VoiceId id) {
  auto it = voices_.find(id);
  if (it == voices_.end()) return;
  Voice* v = it->second.get();
  {
    std::unique_lock<std::mutex> lock(mutex_);
    WaitUntilNotMixing(lock);
    if (v->prev) v->prev->next = v->next;
    else first_ = v->next;
    if (v->next) v->next->prev = v->prev;
  }
  voices_.erase(it);  // frees the samples outside the lock
}

void Mixer::SetCurrentPosition(VoiceId id, uint32_t frame) {
  Voice* v = Find(id);
  if (!v || frame >= v->sourceFrames) return;
  const uint64_t position = static_cast<uint64_t>(frame) * v->frames / v->sourceFrames;
  std::lock_guard<std::mutex> lock(mutex_);
  v->control.position = std::min(position, v->frames - 1);
  ++v->control.serial;
}

void Mixer::SetPan(VoiceId id, int32_t pan) {
  Voice* v = Find(id);
  if (!v || v->positional) return;
  v->pan = std::clamp(pan, PAN_LEFT, PAN_RIGHT);
  std::lock_guard<std::mutex> lock(mutex_);
  UpdateGains(*v);
}

void Mixer::SetVolume(VoiceId id, int32_t volume) {
  Voice* v = Find(id);
  if (!v) return;
  v->volume = std::clamp(volume, VOLUME_SILENT, VOLUME_FULL);
  std::lock_guard<std::mutex> lock(mutex_);
  if (v->positional) UpdateFilter(*v);
  else UpdateGains(*v);
}

void Mixer::Play(VoiceId id, bool looped) {
  Voice* v = Find(id);
  if (!v) return;
  std::lock_guard<std::mutex> lock(mutex_);
  v->control.playing = true;
  v->control.looping = looped;
  ++v->control.serial;
}

void Mixer::Stop(VoiceId id) {
  Voice* v = Find(id);
  if (!v) return;
  std::lock_guard<std::mutex> lock(mutex_);
  v->control.playing = false;
  ++v->control.serial;
}

uint32_t Mixer::GetStatus(VoiceId id) {
  Voice* v = Find(id);
  if (!v) return 0;
  std::lock_guard<std::mutex> lock(mutex_);
  if (!v->control.playing) return 0;
  return v->control.looping ? uint32_t{VOICE_PLAYING | VOICE_LOOPING} : uint32_t{VOICE_PLAYING};
}

void Mixer::Set3DPosition(VoiceId id, float x, float y, float z) {
  Voice* v = Find(id);
  if (!v || !v->positional) return;
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) return;
  v->position3d[0] = x, v->position3d[1] = y, v->position3d[2] = z;
  std::lock_guard<std::mutex> lock(mutex_);
  UpdateFilter(*v);
}

void Mixer::SetMinDistance(VoiceId id, float distance) {
  Voice* v = Find(id);
  if (!v || !v->positional) return;
  if (!std::isfinite(distance) || distance <= 0.0f) return;
  v->minDistance = distance;
  std::lock_guard<std::mutex> lock(mutex_);
  UpdateFilter(*v);
}

ListenerId Mixer::CreateListener() {
  const ListenerId id = nextListener_++;
  if (nextListener_ == kNoListener) nextListener_ = 1;
  return id;
}

void Mixer::ReleaseListener(ListenerId) {}

uint64_t Mixer::FramesRendered() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return framesRendered_;
}

void Mixer::UpdateGains(Voice& v) {
  // Pan attenuates only the far channel: -10000 puts the right channel 100 dB down.
  const float volume = DecibelsToGain(v.volume);
  v.control.gain[0] = volume * (v.pan > 0 ? DecibelsToGain(-v.pan) : 1.0f);
  v.control.gain[1] = volume * (v.pan < 0 ? DecibelsToGain(v.pan) : 1.0f);
}

void Mixer::UpdateFilter(Voice& v) {
  const float x = v.position3d[0], y = v.position3d[1], z = v.position3d[2];
  const float distance = std::sqrt(x * x + y * y + z * z);
  const float gain =
      DecibelsToGain(v.volume) * v.minDistance / std::max(distance, v.minDistance);
  Filter& f = v.control.filter;
  if (!hrtf_.Empty()) {
    f.taps = hrtf_.Taps();
    hrtf_.Interpolate(x, y, z, f.h[0], f.h[1], f.delay);
    for (uint32_t t = 0; t < f.taps; ++t) f.h[0][t] *= gain, f.h[1][t] *= gain;
  } else {
    // Equal-power pan by how far the source lies to the side. The square root widens the
    // small angles, so a source just left of ahead is still plainly on the left.
    const float side = distance > 1e-6f ? std::clamp(x / distance, -1.0f, 1.0f) : 0.0f;
    const float pan = std::copysign(std::sqrt(std::fabs(side)), side);
    const float angle = (pan + 1.0f) * static_cast<float>(M_PI) / 4.0f;
    f.taps = 1;
    f.delay[0] = f.delay[1] = 0.0f;
    f.h[0][0] = gain * std::cos(angle);
    f.h[1][0] = gain * std::sin(angle);
  }
  ++v.control.filterSerial;
}

void Mixer::Render(float* out, uint32_t frames) {
  std::lock_guard<std::mutex> renderLock(renderMutex_);
  while (frames > 0) {
    const uint32_t n = std::min(frames, kPeriodFrames);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      mixing_ = true;
      for (Voice* v = first_; v; v = v->next) {
        const Voice::Control& c = v->control;
        Voice::RenderState& r = v->render;
        r.fresh = false;
        if (c.serial != r.serial) {
          r.fresh = c.playing && !r.playing;
          r.serial = c.serial;
          r.playing = c.playing;
          r.looping = c.looping;
          r.position = c.position;
        }
        r.targetGain[0] = c.gain[0];
        r.targetGain[1] = c.gain[1];
        // A new filter waits for a running crossfade to finish.
        if (c.filterSerial != r.filterSerial && (r.fresh || r.fadeDone >= kCrossfadeFrames)) {
          r.filterSerial = c.filterSerial;
          if (r.fresh || !r.playing) {
            r.filter = c.filter;
          } else {
            r.old = r.filter;
            r.filter = c.filter;
            r.fadeDone = 0;
          }
        }
      }
    }

    std::fill_n(acc_.data(), 2 * n, 0.0f);
    for (Voice* v = first_; v; v = v->next) {
      if (v->render.playing) MixVoice(*v, acc_.data(), n);
    }
    const float* acc = acc_.data();
    for (size_t i = 0; i < 2 * size_t{n}; ++i) out[i] = std::min(std::max(acc[i], -1.0f), 1.0f);

    {
      std::lock_guard<std::mutex> lock(mutex_);
      for (Voice* v = first_; v; v = v->next) {
        // A Play, Stop or position change made during the mix wins over what it ended as.
        if (v->control.serial == v->render.serial) {
          v->control.playing = v->render.playing;
          v->control.position = v->render.position;
        }
      }
      framesRendered_ += n;
      mixing_ = false;
    }
    mixed_.notify_all();
    out += 2 * n;
    frames -= n;
  }
}

namespace {

constexpr float kSampleScale = 1.0f / 32768.0f;

// count frames by 4-point Lagrange interpolation: frame i lies mu[i] past source frame
// at[i]. Split from the stepping so that the weights vectorise. The weights carry the
// scale from 16-bit samples to floats.
template <uint32_t kChannels>
void Interpolate(const int16_t* __restrict source, const uint32_t* __restrict at,
                 const float* __restrict mu, size_t count, float* __restrict out) {
  for (size_t i = 0; i < count; ++i) {
    const float b = mu[i], a = b + 1.0f, c = b - 1.0f, d = b - 2.0f;
    const float bc = b * c, ad = a * d;
    const float w0 = bc * d * (-kSampleScale / 6.0f), w1 = ad * c * (kSampleScale * 0.5f);
    const float w2 = ad * b * (kSampleScale * -0.5f), w3 = a * bc * (kSampleScale / 6.0f);
    const int16_t* p = source + (static_cast<size_t>(at[i]) - 1) * kChannels;
    for (uint32_t ch = 0; ch < kChannels; ++ch) {
      out[i * kChannels + ch] = w0 * p[ch] + w1 * p[kChannels + ch] + w2 * p[2 * kChannels + ch] +
                                w3 * p[3 * kChannels + ch];
    }
  }
}

}  // namespace

const float* Mixer::DeviceFrames(Voice& v, uint64_t position, uint32_t count) {
  const uint32_t ch = v.channels;
  const int16_t* source = v.samples.get() + kPadBefore * ch;
  uint64_t& made = v.render.resampledFrames;
  if (v.frames == v.sourceFrames) {
    // Same rate: a conversion, no more.
    if (made < position + count) {
      const size_t from = static_cast<size_t>(made * ch);
      const size_t to = static_cast<size_t>((position + count) * ch);
      float* out = v.resampled.get();
      for (size_t i = from; i < to; ++i) out[i] = source[i] * kSampleScale;
      made = position + count;
    }
    return v.resampled.get() + position * ch;
  }
  // Device frame p stands at source frame p * sourceFrames / frames, kept exact as a whole
  // index and a remainder in 1/frames. Both fit 32 bits: voices are far shorter.
  const uint32_t frames = static_cast<uint32_t>(v.frames);
  const uint32_t stepWhole = v.stepWhole, stepPart = static_cast<uint32_t>(v.stepPart);
  const float perRest = 1.0f / static_cast<float>(frames);
  uint32_t* at = resampleAt_.data();
  float* mu = resampleMu_.data();
  while (made < position + count) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(kPeriodFrames, position + count - made));
    const uint64_t start = made * v.sourceFrames;
    uint32_t index = static_cast<uint32_t>(start / frames);
    uint32_t rest = static_cast<uint32_t>(start % frames);
    for (size_t i = 0; i < n; ++i) {
      at[i] = index;
      mu[i] = static_cast<float>(rest) * perRest;
      index += stepWhole;
      rest += stepPart;
      const uint32_t carry = rest >= frames;
      rest -= carry * frames;
      index += carry;
    }
    float* out = v.resampled.get() + made * ch;
    if (ch == 1) Interpolate<1>(source, at, mu, n, out);
    else Interpolate<2>(source, at, mu, n, out);
    made += n;
  }
  return v.resampled.get() + position * ch;
}

void Mixer::MixVoice(Voice& v, float* acc, uint32_t n) {
  if (v.positional) MixPositional(v, acc, n);
  else MixPlain(v, acc, n);
}

namespace {

// acc += samples * gain per channel; a mono source feeds both channels.
void AddSteady(float* __restrict acc, const float* __restrict s, uint32_t ch, size_t n,
               float g0, float g1) {
  // size_t indices: with 32-bit ones 2 * i could wrap, which stops the vectoriser.
  if (ch == 1) {
    for (size_t i = 0; i < n; ++i) {
      acc[2 * i] += s[i] * g0;
      acc[2 * i + 1] += s[i] * g1;
    }
  } else {
    for (size_t i = 0; i < n; ++i) {
      acc[2 * i] += s[2 * i] * g0;
      acc[2 * i + 1] += s[2 * i + 1] * g1;
    }
  }
}

// The same with the gains moving by step0 and step1 per frame, starting one step in.
void AddRamp(float* __restrict acc, const float* __restrict s, uint32_t ch, size_t n,
             float g0, float g1, float step0, float step1) {
  const size_t right = ch == 2 ? 1 : 0;
  for (size_t i = 0; i < n; ++i) {
    const float k = static_cast<float>(i + 1);
    acc[2 * i] += s[i * ch] * (g0 + step0 * k);
    acc[2 * i + 1] += s[i * ch + right] * (g1 + step1 * k);
  }
}

}  // namespace

void Mixer::MixPlain(Voice& v, float* acc, uint32_t n) {
  Voice::RenderState& r = v.render;
  if (r.fresh) r.gain[0] = r.targetGain[0], r.gain[1] = r.targetGain[1];
  // A changed gain ramps over the period rather than stepping.
  const bool steady = r.gain[0] == r.targetGain[0] && r.gain[1] == r.targetGain[1];
  const float step0 = (r.targetGain[0] - r.gain[0]) / n;
  const float step1 = (r.targetGain[1] - r.gain[1]) / n;
  const uint32_t ch = v.channels;
  uint32_t done = 0;
  while (done < n && r.playing) {
    const uint32_t take =
        static_cast<uint32_t>(std::min<uint64_t>(n - done, v.frames - r.position));
    const float* s = DeviceFrames(v, r.position, take);
    if (steady) {
      AddSteady(acc + 2 * done, s, ch, take, r.gain[0], r.gain[1]);
    } else {
      AddRamp(acc + 2 * done, s, ch, take, r.gain[0] + step0 * done, r.gain[1] + step1 * done,
              step0, step1);
    }
    done += take;
    r.position += take;
    if (r.position >= v.frames) {
      r.position = 0;
      if (!r.looping) r.playing = false;
    }
  }
  r.gain[0] = r.targetGain[0];
  r.gain[1] = r.targetGain[1];
}

namespace {

// One ear through one filter: the input delayed by the ear's fractional delay (and one
// sample more, so the interpolator never reads ahead of the period), then the response.
// x holds kHistory samples of history before the n new ones; d takes n + taps - 1 values.
void FilterEar(const Mixer::Filter& f, int ear, const float* __restrict x, uint32_t n,
               float* __restrict d, float* __restrict y) {
  const uint32_t taps = f.taps;
  const float delay = f.delay[ear];
  const int whole = static_cast<int>(delay);
  float w[4];
  LagrangeWeights(1.0f - (delay - whole), w);
  const float* base = x + kHistory - (taps - 1) - 2 - whole - 1;
  const size_t count = n + taps - 1;
  for (size_t j = 0; j < count; ++j) {
    d[j] = w[0] * base[j] + w[1] * base[j + 1] + w[2] * base[j + 2] + w[3] * base[j + 3];
  }
  std::fill_n(y, n, 0.0f);
  for (uint32_t k = 0; k < taps; ++k) {
    const float h = f.h[ear][k];
    const float* src = d + taps - 1 - k;
    for (size_t i = 0; i < n; ++i) y[i] += h * src[i];
  }
}

}  // namespace

void Mixer::MixPositional(Voice& v, float* acc, uint32_t n) {
  Voice::RenderState& r = v.render;
  float* x = scratch_.data();
  float* d = x + kHistory + kPeriodFrames;
  float* yNew = d + kPeriodFrames + kHrtfMaxTaps;
  float* yOld = yNew + kPeriodFrames;

  if (r.fresh) std::fill_n(r.history, kHistory, 0.0f);
  std::copy_n(r.history, kHistory, x);
  float* in = x + kHistory;
  uint32_t done = 0;
  while (done < n && r.playing) {
    const uint32_t take =
        static_cast<uint32_t>(std::min<uint64_t>(n - done, v.frames - r.position));
    std::copy_n(DeviceFrames(v, r.position, take), take, in + done);
    done += take;
    r.position += take;
    if (r.position >= v.frames) {
      r.position = 0;
      if (!r.looping) r.playing = false;
    }
  }
  std::fill(in + done, in + n, 0.0f);  // the response's tail rings out after the last frame
  std::copy_n(x + n, kHistory, r.history);

  const uint32_t fading = r.fadeDone < kCrossfadeFrames
                              ? std::min(n, kCrossfadeFrames - r.fadeDone)
                              : 0;
  for (int ear = 0; ear < 2; ++ear) {
    FilterEar(r.filter, ear, x, n, d, yNew);
    if (fading > 0) {
      FilterEar(r.old, ear, x, fading, d, yOld);
      for (uint32_t i = 0; i < fading; ++i) {
        const float w = static_cast<float>(r.fadeDone + i + 1) / kCrossfadeFrames;
        yNew[i] = yOld[i] + w * (yNew[i] - yOld[i]);
      }
    }
    for (size_t i = 0; i < n; ++i) acc[2 * i + ear] += yNew[i];
  }
  r.fadeDone += fading;
}

}  // namespace plat
