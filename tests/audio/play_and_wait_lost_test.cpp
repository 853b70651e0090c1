// The game's PlayAndWait on the real SDL output whose device is lost (the disk driver on a
// full device fails at its first write, as an unplugged headset would): it returns when
// the sound's time is over, also across the output's attempts to reopen the device.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/globals.h"
#include "platform/sdl/sdl_platform.h"
#include "sound/sound.h"
#include "tests/support/game_fixture.h"

namespace {

double SecondsOf(void (*wait)(SoundBuffer, int32_t, int32_t), SoundBuffer sound) {
  const auto start = std::chrono::steady_clock::now();
  wait(sound, plat::PAN_CENTER, plat::VOLUME_FULL);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

TEST(SdlPlayAndWait, ReturnsWhenTheSoundIsOverWhileTheDeviceIsLostAndReopened) {
  setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", "/dev/full", 1);
  char pattern[] = "/tmp/chimebox-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const std::string folder = std::string(pattern) + "/";
  testing_support::WriteToneFile(folder + "game/tone.vgz", 400, 1, 22050);

  {
    plat::SdlPlatform sdl;
    plat::g_platform = &sdl;
    g_programFolder = folder;
    ASSERT_TRUE(CreateSoundDevice());
    SoundBuffer sound = LoadSound("game\\tone.vgz");
    ASSERT_NE(sound, 0u);

    // The first write fails while this sound plays; the second wait spans a reopen, which
    // the output tries every second and which fails again.
    for (int round = 0; round < 2; ++round) {
      const double took = SecondsOf(PlayAndWait, sound);
      EXPECT_GT(took, 0.3) << round;
      EXPECT_LT(took, 1.5) << round;
      EXPECT_FALSE(IsPlaying(sound));
      std::this_thread::sleep_for(std::chrono::milliseconds(800));
    }
    ReleaseSound(sound);
    ReleaseSoundDevice();
    plat::g_platform = nullptr;
  }
  testing_support::RemoveGameFolder(folder);
}
