// key_to_sound GAME_BINARY [PRESSES]
//
// The time from a key event's arrival at the game's loop to the end of the mixer period in
// which the sound it starts is first mixed, on the real SDL platform (window, event loop,
// SDL audio output driving the mixer) over the built game folder, against one mixer period.
//
// A player thread cuts the introduction short with Control, starts a level with Enter and
// then walks the board with Left and Right at random intervals of 15 to 35 ms. Each press
// is pushed into SDL's event queue (the moment it arrives), the game handles it and plays
// the cell under the cursor; the first Play after the press is noted with the mixer's frame
// count, and the press is done when the mixer has rendered past that frame plus one period.
// The player thread looks every 50 us, which bounds the resolution. A Play that lands
// while a period is being mixed (mixing takes some tens of microseconds of a 5.3 ms period)
// is counted one period early.
//
// Needs DISPLAY (bench/key_to_sound.sh runs it under Xvfb with SDL's dummy audio driver).
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/app.h"
#include "platform/audio/mixer.h"
#include "platform/sdl/sdl_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

std::atomic<bool> g_armed{false};          // set by the player before a press
std::atomic<bool> g_played{false};         // the first Play after the press happened
std::atomic<uint64_t> g_playFrame{0};      // the mixer's frame count just after that Play
std::atomic<int64_t> g_playNs{0};          // and its time
std::atomic<plat::Mixer*> g_mixer{nullptr};

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// The game's device, passed through, noting the first Play after each press.
class ProbeDevice : public plat::AudioDevice {
 public:
  ProbeDevice(plat::AudioDevice* inner, plat::Mixer* mixer) : inner_(inner), mixer_(mixer) {}
  plat::VoiceId CreateVoice(const char* label, const plat::PcmFormat& format, const uint8_t* data,
                            uint32_t bytes, bool positional) override {
    return inner_->CreateVoice(label, format, data, bytes, positional);
  }
  void DestroyVoice(plat::VoiceId v) override { inner_->DestroyVoice(v); }
  void SetCurrentPosition(plat::VoiceId v, uint32_t frame) override { inner_->SetCurrentPosition(v, frame); }
  void SetPan(plat::VoiceId v, int32_t pan) override { inner_->SetPan(v, pan); }
  void SetVolume(plat::VoiceId v, int32_t volume) override { inner_->SetVolume(v, volume); }
  void Play(plat::VoiceId v, bool looped) override {
    inner_->Play(v, looped);
    if (g_armed.exchange(false)) {
      g_playFrame = mixer_->FramesRendered();
      g_playNs = NowNs();
      g_played = true;
    }
  }
  void Stop(plat::VoiceId v) override { inner_->Stop(v); }
  uint32_t GetStatus(plat::VoiceId v) override { return inner_->GetStatus(v); }
  void Set3DPosition(plat::VoiceId v, float x, float y, float z) override { inner_->Set3DPosition(v, x, y, z); }
  void SetMinDistance(plat::VoiceId v, float d) override { inner_->SetMinDistance(v, d); }
  plat::ListenerId CreateListener() override { return inner_->CreateListener(); }
  void ReleaseListener(plat::ListenerId l) override { inner_->ReleaseListener(l); }

 private:
  plat::AudioDevice* inner_;
  plat::Mixer* mixer_;
};

// The real platform, run from the built game folder, with the probe over its device.
class ProbePlatform : public plat::SdlPlatform {
 public:
  explicit ProbePlatform(std::string gameBinary) : game_(std::move(gameBinary)) {}
  std::string ExecutablePath() override { return game_; }
  plat::AudioDevice* OpenAudioDevice() override {
    plat::AudioDevice* device = SdlPlatform::OpenAudioDevice();
    auto* mixer = dynamic_cast<plat::Mixer*>(device);
    if (!mixer) return device;
    if (!probe_) probe_ = std::make_unique<ProbeDevice>(device, mixer);
    g_mixer = mixer;
    return probe_.get();
  }
  void CloseAudioDevice() override {
    g_mixer = nullptr;
    SdlPlatform::CloseAudioDevice();
  }

 private:
  std::string game_;
  std::unique_ptr<ProbeDevice> probe_;
};

void PushKey(SDL_Keycode key, SDL_Scancode scancode, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = key;
  e.key.keysym.scancode = scancode;
  SDL_PushEvent(&e);
}

void Tap(SDL_Keycode key, SDL_Scancode scancode) {
  PushKey(key, scancode, true);
  PushKey(key, scancode, false);
}

double Percentile(std::vector<double> v, double p) {
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(p * v.size()))];
}

struct Results {
  std::vector<double> toPlayMs, toMixedMs;
  int missed = 0;
};

void Player(int presses, Results* results) {
  using std::chrono::milliseconds;
  while (!g_mixer) std::this_thread::sleep_for(milliseconds(10));
  std::this_thread::sleep_for(milliseconds(1500));
  Tap(SDLK_LCTRL, SDL_SCANCODE_LCTRL);  // the introduction cut short: the menu
  std::this_thread::sleep_for(milliseconds(500));
  Tap(SDLK_RETURN, SDL_SCANCODE_RETURN);  // start the game: the level's sounds load
  std::this_thread::sleep_for(milliseconds(1500));

  std::mt19937 random(7);
  std::uniform_int_distribution<int> gapUs(15000, 35000);
  for (int i = 0; i < presses; ++i) {
    std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
    // Right twice, Left twice: the cursor walks the top row to and fro.
    const bool right = (i / 2) % 2 == 0;
    const SDL_Keycode key = right ? SDLK_RIGHT : SDLK_LEFT;
    const SDL_Scancode code = right ? SDL_SCANCODE_RIGHT : SDL_SCANCODE_LEFT;
    g_played = false;
    g_armed = true;
    const int64_t pressNs = NowNs();
    PushKey(key, code, true);
    bool done = false;
    while (NowNs() - pressNs < 1000000000LL) {
      plat::Mixer* mixer = g_mixer;
      if (g_played && mixer && mixer->FramesRendered() >= g_playFrame + plat::Mixer::kPeriodFrames) {
        const int64_t mixedNs = NowNs();
        results->toPlayMs.push_back((g_playNs - pressNs) / 1e6);
        results->toMixedMs.push_back((mixedNs - pressNs) / 1e6);
        done = true;
        break;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    g_armed = false;
    if (!done) ++results->missed;
    PushKey(key, code, false);
  }
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  SDL_PushEvent(&quit);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: key_to_sound GAME_BINARY [PRESSES]\n");
    return 2;
  }
  const int presses = argc > 2 ? std::max(1, std::atoi(argv[2])) : 1000;
  auto* platform = new ProbePlatform(argv[1]);
  plat::g_platform = platform;
  Results results;
  std::thread player(Player, presses, &results);
  RunChimebox();
  player.join();
  plat::g_platform = nullptr;
  delete platform;

  if (results.toMixedMs.empty()) {
    std::fprintf(stderr, "no press started a sound\n");
    return 1;
  }
  const double periodMs = 1000.0 * plat::Mixer::kPeriodFrames / 48000.0;
  const double median = Percentile(results.toMixedMs, 0.5), p99 = Percentile(results.toMixedMs, 0.99);
  const double goal = periodMs + 1.0;
  std::printf("%zu presses (%d without a sound)\n", results.toMixedMs.size(), results.missed);
  std::printf("  key to Play (the game's own handling): median %.3f ms, 99th %.3f ms, max %.3f ms\n",
              Percentile(results.toPlayMs, 0.5), Percentile(results.toPlayMs, 0.99),
              Percentile(results.toPlayMs, 1.0));
  std::printf("  key to first mixed period:             median %.3f ms, 99th %.3f ms, max %.3f ms\n",
              median, p99, Percentile(results.toMixedMs, 1.0));
  std::printf("  against one period %.3f ms: median %.2fx, 99th %.2fx; goal 99th <= %.3f ms: %s\n",
              periodMs, median / periodMs, p99 / periodMs, goal, p99 <= goal ? "met" : "MISSED");
  return results.missed == 0 ? 0 : 1;
}
