// The software mixer behind both back ends: static voices resampled to the device rate
// (4-point Lagrange) the first time each part of them is mixed, mixed to 32-bit float stereo
// in periods of at most 256 frames. Plain voices
// take pan and volume in hundredths of a decibel; positional voices are rendered binaurally
// from head-related impulse responses (hrtf_table.h), or with an equal-power pan by azimuth
// when no table could be read.
//
// A one-shot voice that plays to its end stops with its status 0 at the period in which its
// last frame is mixed, and rewinds to its start; Stop keeps the position.
//
// Threads: every AudioDevice call comes from the game thread; Render runs on the audio
// thread (or on the game thread for offline rendering). The one lock guards each voice's
// Control block and the voice list; Render holds it only to take the controls at the start
// of a period and to hand back position and status at its end, and mixes without it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/audio/hrtf_table.h"
#include "platform/audio_device.h"

namespace plat {

class Mixer : public AudioDevice {
 public:
  static constexpr uint32_t kPeriodFrames = 256;
  static constexpr uint32_t kCrossfadeFrames = 64;  // a moving source's old and new filters

  // hrtfTablePath: the compact table; "" or an unreadable table selects the plain pan.
  explicit Mixer(uint32_t deviceRate = 48000, const std::string& hrtfTablePath = "");
  ~Mixer() override;
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // Mixes the next frames into interleaved stereo, overwriting the buffer. No allocation,
  // no I/O; one caller at a time.
  void Render(float* interleavedStereo, uint32_t frames);
  uint64_t FramesRendered() const;
  uint32_t DeviceRate() const { return deviceRate_; }
  bool HasHrtf() const { return !hrtf_.Empty(); }

  VoiceId CreateVoice(const char* label, const PcmFormat& format, const uint8_t* data,
                      uint32_t bytes, bool positional) override;
  void DestroyVoice(VoiceId voice) override;
  void SetCurrentPosition(VoiceId voice, uint32_t frame) override;
  void SetPan(VoiceId voice, int32_t pan) override;
  void SetVolume(VoiceId voice, int32_t volume) override;
  void Play(VoiceId voice, bool looped) override;
  void Stop(VoiceId voice) override;
  uint32_t GetStatus(VoiceId voice) override;
  void Set3DPosition(VoiceId voice, float x, float y, float z) override;
  void SetMinDistance(VoiceId voice, float distance) override;
  ListenerId CreateListener() override;
  void ReleaseListener(ListenerId listener) override;

  // The binaural filter of one source: per ear a response and a delay, gains folded in.
  struct Filter {
    uint32_t taps = 1;
    float delay[2] = {0.0f, 0.0f};  // samples, fractional
    float h[2][kHrtfMaxTaps] = {};
  };

 private:
  struct Voice;

  Voice* Find(VoiceId id);
  // The samples of a voice loaded before from the same 16-bit data, or null.
  std::shared_ptr<const int16_t[]> SameSamples(uint32_t channels, uint32_t sourceFrames,
                                               const uint8_t* data) const;
  void UpdateGains(Voice& v);     // game thread, lock held
  void UpdateFilter(Voice& v);    // game thread, lock held
  void WaitUntilNotMixing(std::unique_lock<std::mutex>& lock);
  // count frames of the voice at the device rate from a device-rate position, converting
  // and resampling what has not been mixed before. Audio thread.
  const float* DeviceFrames(Voice& v, uint64_t position, uint32_t count);
  void MixVoice(Voice& v, float* acc, uint32_t frames);
  void MixPlain(Voice& v, float* acc, uint32_t frames);
  void MixPositional(Voice& v, float* acc, uint32_t frames);

  const uint32_t deviceRate_;
  HrtfTable hrtf_;  // read once in the constructor, then only read

  // Game thread only.
  std::unordered_map<VoiceId, std::unique_ptr<Voice>> voices_;
  VoiceId nextVoice_ = 1;
  ListenerId nextListener_ = 1;

  // Guarded by mutex_. The list changes only while no period is being mixed, so Render
  // walks it without the lock while mixing_ is set.
  mutable std::mutex mutex_;
  std::condition_variable mixed_;
  bool mixing_ = false;
  Voice* first_ = nullptr;
  uint64_t framesRendered_ = 0;

  // Audio thread only: one Render at a time, and its scratch space.
  std::mutex renderMutex_;
  std::vector<float> acc_;
  std::vector<uint32_t> resampleAt_;  // where each frame being resampled lies in the source
  std::vector<float> resampleMu_;
  std::vector<float> scratch_;
};

}  // namespace plat
