#include "platform/sdl/sdl_audio_output.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace plat {
namespace {

constexpr auto kWatchInterval = std::chrono::milliseconds(10);
constexpr auto kRetryInterval = std::chrono::seconds(1);

}  // namespace

SdlAudioOutput::SdlAudioOutput(const std::string& hrtfTablePath)
    : mixer_(kRate, hrtfTablePath) {}

std::unique_ptr<SdlAudioOutput> SdlAudioOutput::Open(const std::string& hrtfTablePath) {
  std::unique_ptr<SdlAudioOutput> output(new SdlAudioOutput(hrtfTablePath));
  if (!output->OpenDevice()) return nullptr;
  output->supervisor_ = std::thread(&SdlAudioOutput::Supervise, output.get());
  return output;
}

SdlAudioOutput::~SdlAudioOutput() {
  {
    std::lock_guard<std::mutex> lock(quitMutex_);
    quit_ = true;
  }
  quitSignal_.notify_all();
  if (supervisor_.joinable()) supervisor_.join();
  // Closing waits for SDL's audio thread, so the callback cannot run once the mixer goes.
  if (device_ != 0) SDL_CloseAudioDevice(device_);
}

void SdlAudioOutput::Callback(void* self, Uint8* stream, int bytes) {
  auto* output = static_cast<SdlAudioOutput*>(self);
  const uint32_t frames = static_cast<uint32_t>(bytes) / (2 * sizeof(float));
  output->mixer_.Render(reinterpret_cast<float*>(stream), frames);
  const size_t filled = frames * 2 * sizeof(float);
  if (filled < static_cast<size_t>(bytes)) std::memset(stream + filled, 0, bytes - filled);
}

bool SdlAudioOutput::OpenDevice() {
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = kRate;
  want.format = AUDIO_F32SYS;
  want.channels = 2;
  want.samples = kPeriodFrames;
  want.callback = &SdlAudioOutput::Callback;
  want.userdata = this;
  SDL_AudioSpec have;
  // No changes allowed: SDL converts to whatever the hardware takes.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) return false;
  device_ = device;
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

void SdlAudioOutput::Supervise() {
  using Clock = std::chrono::steady_clock;
  float scratch[2 * Mixer::kPeriodFrames];
  Clock::time_point rendered{};  // how far the fallback has kept time
  Clock::time_point retry{};
  double owed = 0.0;  // frames due but not yet rendered, below one

  std::unique_lock<std::mutex> lock(quitMutex_);
  while (!quitSignal_.wait_for(lock, kWatchInterval, [this] { return quit_; })) {
    const Clock::time_point now = Clock::now();
    if (device_ != 0) {
      if (SDL_GetAudioDeviceStatus(device_) != SDL_AUDIO_STOPPED) continue;
      // Lost: SDL no longer calls back, so the fallback takes over the mixer's time.
      SDL_CloseAudioDevice(device_);
      device_ = 0;
      rendered = now;
      retry = now + kRetryInterval;
      owed = 0.0;
      continue;
    }

    owed += std::chrono::duration<double>(now - rendered).count() * kRate;
    rendered = now;
    while (owed >= 1.0) {
      const uint32_t frames = static_cast<uint32_t>(std::min<double>(owed, Mixer::kPeriodFrames));
      mixer_.Render(scratch, frames);
      owed -= frames;
    }
    if (now >= retry) {
      if (!OpenDevice()) retry = now + kRetryInterval;
    }
  }
}

}  // namespace plat
