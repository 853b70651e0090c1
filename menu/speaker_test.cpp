#include "menu/speaker_test.h"

#include "menu/menu.h"
#include "platform/platform.h"

SpeakerTestChannel g_speakerTest[SPEAKER_TEST_CHANNELS];

namespace {

struct ChannelPlace {
  const char* file;
  float x;
  float z;
};

// Ahead left and right, then behind left and right; every one inside the minimum
// distance, so none is quietened by distance.
const ChannelPlace kChannels[SPEAKER_TEST_CHANNELS] = {
    {"TestSpk\\f_left.vgz", -1.0f, 5.0f},
    {"TestSpk\\f_right.vgz", 1.0f, 5.0f},
    {"TestSpk\\f_left1.vgz", -8.0f, -5.0f},
    {"TestSpk\\f_right1.vgz", 8.0f, -5.0f},
};
constexpr float kMinDistance = 10.0f;
constexpr uint32_t kPauseMs = 1000;

void ReleaseChannel(SpeakerTestChannel& channel) {
  channel.position = 0;
  ReleaseSound(channel.sound);
}

void ReleaseChannels() {
  for (SpeakerTestChannel& channel : g_speakerTest) ReleaseChannel(channel);
}

}  // namespace

int RunSpeakerTest() {
  for (int i = 0; i < SPEAKER_TEST_CHANNELS; ++i) {
    SpeakerTestChannel& channel = g_speakerTest[i];
    channel.sound = LoadSound3D(kChannels[i].file);
    if (channel.sound == 0) {
      ReleaseChannels();
      return 0;
    }
    channel.position = QuerySound3D(channel.sound);
    if (channel.position == 0) {
      ReleaseChannels();
      return 0;
    }
  }
  for (int i = 0; i < SPEAKER_TEST_CHANNELS; ++i) {
    SpeakerTestChannel& channel = g_speakerTest[i];
    SetSoundMinDistance(channel.position, kMinDistance);
    SetSoundPosition(channel.position, kChannels[i].x, 0.0f, kChannels[i].z);
    PlayAndWait(channel.sound, plat::PAN_CENTER, plat::VOLUME_FULL);
    plat::g_platform->Sleep(kPauseMs);
  }
  ReleaseChannels();
  ReturnToMenu();
  return 1;
}

void SpeakerTestKey(int) {}
