// Sound files and the loaders: the reversed head, hostile headers, case-blind names, and
// what the primitives do in virtual time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/globals.h"
#include "sound/sound.h"
#include "sound/sound_file.h"
#include "tests/support/game_fixture.h"
#include "platform/virtual/virtual_platform.h"

using namespace testing_support;

namespace {

class SoundFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = MakeGameFolder();
    vp.SetHrtfTablePath(CHIMEBOX_HRTF_TABLE);
    plat::g_platform = &vp;
    g_programFolder = folder;
    ASSERT_TRUE(CreateSoundDevice());
  }
  void TearDown() override {
    ReleaseSoundDevice();
    plat::g_platform = nullptr;
    RemoveGameFolder(folder);
  }

  // Writes a sound file with a given header and sample bytes.
  void WriteFile(const std::string& name, plat::PcmFormat format, size_t sampleBytes,
                 int64_t claimedSize = -1) {
    std::vector<uint8_t> samples(sampleBytes, 0x40);
    std::vector<uint8_t> file = EncodeSoundFile(format, samples.data(), samples.size());
    if (claimedSize >= 0) {
      ReverseSoundFileHead(file.data());
      const uint32_t size = static_cast<uint32_t>(claimedSize);
      std::memcpy(file.data() + WAVE_DATA_SIZE_OFFSET, &size, 4);
      ReverseSoundFileHead(file.data());
    }
    WriteBytes(folder + name, std::vector<unsigned char>(file.begin(), file.end()));
  }

  // How long a sound plays, in virtual milliseconds.
  uint64_t PlayLength(SoundBuffer sound) {
    const uint64_t start = vp.NowMs();
    PlayAndWait(sound, 0, 0);
    return vp.NowMs() - start;
  }

  plat::VirtualPlatform vp;
  std::string folder;
};

plat::PcmFormat Format(uint16_t channels, uint32_t rate, uint16_t bits) {
  plat::PcmFormat f;
  f.channels = channels;
  f.sampleRate = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  return f;
}

}  // namespace

TEST(SoundFileFormat, ReversingTheHeadTwiceGivesTheWaveFileBack) {
  const int16_t samples[8] = {1, -2, 3, -4, 5, -6, 7, -8};
  std::vector<uint8_t> file = EncodeSoundFile(Format(1, 22050, 16), samples, sizeof samples);
  ASSERT_EQ(file.size(), WAVE_HEADER_SIZE + sizeof samples);
  EXPECT_NE(std::memcmp(file.data(), "RIFF", 4), 0);  // stored form hides the header
  ReverseSoundFileHead(file.data());
  EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
  EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
  EXPECT_EQ(std::memcmp(file.data() + 36, "data", 4), 0);
  EXPECT_EQ(ReadWaveDataSize(file.data()), sizeof samples);
  EXPECT_EQ(ReadWaveFormat(file.data()).sampleRate, 22050u);
  EXPECT_EQ(std::memcmp(file.data() + 44, samples, sizeof samples), 0);
}

TEST_F(SoundFiles, AShortFileIsReadWithStaleBytesBehindItButNeverLoads) {
  WriteFile("long.vgz", Format(1, 22050, 16), 1000);
  ASSERT_EQ(ReadSoundFile("long.vgz"), 1);
  const std::vector<uint8_t> before(g_soundFileBuffer, g_soundFileBuffer + 50);  // restored

  WriteBytes(folder + "short.vgz", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  ASSERT_EQ(ReadSoundFile("short.vgz"), 1);
  // The whole 50-byte head is reversed: ten new bytes, then forty left by the long file.
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g_soundFileBuffer[49 - i], i + 1);
  for (int i = 10; i < 50; ++i) EXPECT_EQ(g_soundFileBuffer[49 - i], before[i]) << i;
  EXPECT_EQ(LoadSound("short.vgz"), 0u);
}

TEST_F(SoundFiles, MissingAndEmptyFilesGiveNothing) {
  WriteBytes(folder + "empty.vgz", {});
  EXPECT_EQ(ReadSoundFile("absent.vgz"), 0);
  EXPECT_EQ(ReadSoundFile("empty.vgz"), 0);
  EXPECT_EQ(LoadSound("absent.vgz"), 0u);
  EXPECT_EQ(LoadSound("empty.vgz"), 0u);
}

TEST_F(SoundFiles, ADataSizeBeyondTheFileIsCutToTheWholeFramesRead) {
  // 0.5 s of 16-bit stereo at 48 kHz, claiming a hundred times more; one odd byte too.
  WriteFile("liar.vgz", Format(2, 48000, 16), 96001, 9600000);
  SoundBuffer sound = LoadSound("liar.vgz");
  ASSERT_NE(sound, 0u);
  const uint64_t ms = PlayLength(sound);
  EXPECT_GE(ms, 500u);
  EXPECT_LE(ms, 502u);
  ReleaseSound(sound);
}

TEST_F(SoundFiles, HeadersTheDeviceWouldRefuseGiveNothing) {
  struct Case {
    const char* what;
    plat::PcmFormat format;
  };
  plat::PcmFormat floatTag = Format(1, 22050, 16);
  floatTag.formatTag = 3;
  plat::PcmFormat zeroAlign = Format(1, 22050, 16);
  zeroAlign.blockAlign = 0;
  plat::PcmFormat wrongAlign = Format(2, 22050, 16);
  wrongAlign.blockAlign = 3;
  const Case cases[] = {
      {"float samples", floatTag},          {"24-bit", Format(1, 22050, 24)},
      {"three channels", Format(3, 22050, 16)}, {"no channel", Format(0, 22050, 16)},
      {"zero rate", Format(1, 0, 16)},      {"absurd rate", Format(1, 50000000, 16)},
      {"no block alignment", zeroAlign},    {"wrong block alignment", wrongAlign},
  };
  for (const Case& c : cases) {
    WriteFile("bad.vgz", c.format, 4000);
    EXPECT_EQ(LoadSound("bad.vgz"), 0u) << c.what;
  }
  WriteFile("header-only.vgz", Format(1, 22050, 16), 0);
  EXPECT_EQ(LoadSound("header-only.vgz"), 0u);
}

TEST_F(SoundFiles, NamesAreFoundWithoutRegardToCaseAndWithBackslashes) {
  SoundBuffer a = LoadSound("Level1\\1_1.vgz");
  SoundBuffer b = LoadSound("LEVEL1\\NEXT.VGZ");
  SoundBuffer c = LoadSound("testspk\\F_LEFT.vgz");
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(c, 0u);
  EXPECT_EQ(LoadSound("level2\\1_1.vgz"), 0u);
  ReleaseSound(a);
  ReleaseSound(b);
  ReleaseSound(c);
}

TEST_F(SoundFiles, AFileLongerThanTheBufferIsReadUpToItsSize) {
  std::vector<unsigned char> big(SOUND_FILE_BUFFER_SIZE + 1000, 7);
  WriteBytes(folder + "big.vgz", big);
  ASSERT_EQ(ReadSoundFile("big.vgz"), 1);
  EXPECT_EQ(g_soundFileBytes, SOUND_FILE_BUFFER_SIZE);
}

TEST_F(SoundFiles, PositionalSoundsMustBeMono) {
  SoundBuffer stereo = LoadSound3D("level1\\1_1.vgz");  // the fixture's music is stereo
  SoundBuffer mono = LoadSound3D("TestSpk\\f_left.vgz");
  EXPECT_EQ(stereo, 0u);
  ASSERT_NE(mono, 0u);
  EXPECT_NE(QuerySound3D(mono), 0u);
  SoundBuffer flat = LoadSound("TestSpk\\f_left.vgz");
  EXPECT_EQ(QuerySound3D(flat), 0u);
  ReleaseSound(mono);
  ReleaseSound(flat);
}

TEST_F(SoundFiles, ThePrimitivesKeepExactStatusInVirtualTime) {
  SoundBuffer speech = LoadSound("menu\\quit.vgz");  // 500 ms at 22,050 Hz
  ASSERT_NE(speech, 0u);
  EXPECT_FALSE(IsPlaying(speech));
  PlayOnce(speech, 0, 0);
  EXPECT_TRUE(IsPlaying(speech));
  EXPECT_FALSE(IsLooping(speech));
  vp.Sleep(300);
  PlayOnce(speech, 0, 0);  // restarts from the beginning: 500 ms more
  vp.Sleep(499);
  EXPECT_TRUE(IsPlaying(speech));
  vp.Sleep(2);
  EXPECT_FALSE(IsPlaying(speech));

  PlayLooped(speech, 0, 0);
  vp.Sleep(2000);
  EXPECT_TRUE(IsLooping(speech));
  EXPECT_FALSE(IsPlaying(speech));
  StopSound(speech);
  EXPECT_FALSE(IsLooping(speech));
  EXPECT_FALSE(IsPlaying(speech));

  EXPECT_EQ(PlayLength(speech), 500u);  // the file's own rate, not the device's
  ReleaseSound(speech);
  EXPECT_EQ(speech, 0u);
  ReleaseSound(speech);  // an emptied handle is never released twice
  EXPECT_EQ(vp.LogOf("destroy").size(), 1u);
}

TEST(SoundPrimitives, NullSoundsDoNothingAndAnswerFalse) {
  plat::VirtualPlatform vp;
  plat::g_platform = &vp;
  SoundBuffer none = 0;
  PlayOnce(none, 0, 0);
  PlayLooped(none, 0, 0);
  PlayAndWait(none, 0, 0);
  StopSound(none);
  ReleaseSound(none);
  EXPECT_FALSE(IsPlaying(none));
  EXPECT_FALSE(IsLooping(none));
  EXPECT_EQ(vp.NowMs(), 0u);
  plat::g_platform = nullptr;
}

TEST(SoundPrimitives, WithoutADeviceEveryLoaderGivesNothing) {
  const std::string folder = MakeGameFolder();
  plat::VirtualPlatform vp;
  vp.SetAudioAvailable(false);
  plat::g_platform = &vp;
  g_programFolder = folder;
  EXPECT_FALSE(CreateSoundDevice());
  EXPECT_EQ(LoadSound("menu\\quit.vgz"), 0u);
  EXPECT_EQ(LoadSound3D("TestSpk\\f_left.vgz"), 0u);
  EXPECT_EQ(CreateListener3D(), 0u);
  plat::g_platform = nullptr;
  RemoveGameFolder(folder);
}
