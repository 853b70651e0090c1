// The SDL output on SDL's headless drivers: it opens, drives the mixer in real time, and
// keeps the mixer's time going when the device is lost.
#include "platform/sdl/sdl_audio_output.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/audio/mixer_test_util.h"

using namespace mixtest;
using plat::Mixer;
using plat::SdlAudioOutput;

namespace {

class SdlAudio : public testing::Test {
 protected:
  bool Init(const char* driver, const char* diskFile = nullptr) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    if (diskFile) setenv("SDL_DISKAUDIOFILE", diskFile, 1);
    else unsetenv("SDL_DISKAUDIOFILE");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  }
  void TearDown() override { SDL_QuitSubSystem(SDL_INIT_AUDIO); }

  // Waits, in real time, until the one-shot voice has ended; returns the seconds it took.
  static double SecondsUntilEnded(plat::AudioDevice* device, plat::VoiceId v, double limit) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
      const double elapsed =
          std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      if (device->GetStatus(v) == 0 || elapsed > limit) return elapsed;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
};

TEST_F(SdlAudio, OpensTheDummyDeviceAndPlaysInRealTime) {
  ASSERT_TRUE(Init("dummy")) << SDL_GetError();
  auto output = SdlAudioOutput::Open("");
  ASSERT_NE(output, nullptr);
  auto* mixer = dynamic_cast<Mixer*>(output->Device());
  ASSERT_NE(mixer, nullptr);
  const plat::VoiceId v = MonoVoice(*mixer, 22050, 22050 / 4, [](uint32_t f) { return Noise(f); });
  mixer->Play(v, false);
  EXPECT_EQ(mixer->GetStatus(v), 1u);
  const double took = SecondsUntilEnded(mixer, v, 5.0);
  EXPECT_EQ(mixer->GetStatus(v), 0u);
  EXPECT_GT(took, 0.2);  // a quarter-second sound is not over much sooner
  EXPECT_GT(mixer->FramesRendered(), 48000u / 5);
}

// The disk driver writing to a full device reports the device lost at its first write,
// as an unplugged headset would be: time must go on and the sound must end all the same.
TEST_F(SdlAudio, KeepsTimeWhenTheDeviceIsLost) {
  ASSERT_TRUE(Init("disk", "/dev/full")) << SDL_GetError();
  auto output = SdlAudioOutput::Open("");
  ASSERT_NE(output, nullptr);
  plat::AudioDevice* device = output->Device();
  const auto pcm = Pcm16(22050 * 3 / 10, 1, [](uint32_t f, int) { return Noise(f); });
  const plat::VoiceId v = device->CreateVoice("lost", Format16(22050, 1), pcm.data(),
                                              static_cast<uint32_t>(pcm.size()), false);
  device->Play(v, false);
  const double took = SecondsUntilEnded(device, v, 5.0);
  EXPECT_EQ(device->GetStatus(v), 0u);
  EXPECT_GT(took, 0.25);
  EXPECT_LT(took, 1.5);
}

TEST_F(SdlAudio, OpenGivesNullWithoutAnAudioDevice) {
  ASSERT_FALSE(Init("no-such-driver"));
  EXPECT_EQ(SdlAudioOutput::Open(""), nullptr);
}

}  // namespace
