// The real sound output: SDL's default device, 32-bit float stereo at 48 kHz, driving the
// mixer from SDL's audio thread in periods of 256 frames.
//
// If the device is lost (a headset unplugged), a fallback thread keeps the mixer's time
// going at real-time pace, so voices still end and waits on them return, and it reopens
// the default device about once a second.
//
// Threads: Open, Device and the destructor on the game thread; the mixer's Render on SDL's
// audio thread, or on the fallback thread while no device is open, never both at once.
#pragma once

#include <SDL.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/audio/mixer.h"

namespace plat {

class SdlAudioOutput {
 public:
  static constexpr uint32_t kRate = 48000;
  static constexpr uint16_t kPeriodFrames = 256;

  // Needs SDL's audio subsystem initialised. Null when no output device can be opened.
  static std::unique_ptr<SdlAudioOutput> Open(const std::string& hrtfTablePath);
  ~SdlAudioOutput();
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;

  AudioDevice* Device() { return &mixer_; }

 private:
  explicit SdlAudioOutput(const std::string& hrtfTablePath);
  static void Callback(void* self, Uint8* stream, int bytes);
  bool OpenDevice();
  void Supervise();

  Mixer mixer_;  // outlives the device: the destructor closes the device first

  // The supervisor thread's after Open returns.
  SDL_AudioDeviceID device_ = 0;
  std::thread supervisor_;

  // Guarded by quitMutex_.
  std::mutex quitMutex_;
  std::condition_variable quitSignal_;
  bool quit_ = false;
};

}  // namespace plat
