// Plain (non-positional) voices: formats, status, timing, pan and volume, loops.
#include "platform/audio/mixer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "tests/audio/mixer_test_util.h"

using namespace mixtest;
using plat::Mixer;
using plat::PcmFormat;
using plat::VoiceId;

namespace {

double Sine(uint32_t frame, double hz, uint32_t rate) {
  return 0.5 * std::sin(2 * M_PI * hz * frame / rate);
}

TEST(MixerFormat, RefusesWhatTheDeviceCannotPlay) {
  struct Case {
    const char* what;
    PcmFormat format;
    uint32_t bytes;
    bool positional;
    bool accepted;
  };
  auto f = [](uint16_t tag, uint16_t ch, uint32_t rate, uint16_t align, uint16_t bits) {
    PcmFormat p;
    p.formatTag = tag, p.channels = ch, p.sampleRate = rate, p.blockAlign = align,
    p.bitsPerSample = bits;
    return p;
  };
  const Case cases[] = {
      {"16-bit mono", f(1, 1, 22050, 2, 16), 100, false, true},
      {"8-bit stereo", f(1, 2, 44100, 2, 8), 100, false, true},
      {"lowest rate", f(1, 1, 1000, 1, 8), 100, false, true},
      {"highest rate", f(1, 2, 192000, 4, 16), 100, false, true},
      {"mono positional", f(1, 1, 22050, 2, 16), 100, true, true},
      {"not PCM", f(3, 1, 22050, 4, 32), 100, false, false},
      {"no channels", f(1, 0, 22050, 0, 16), 100, false, false},
      {"three channels", f(1, 3, 22050, 6, 16), 120, false, false},
      {"24-bit", f(1, 1, 22050, 3, 24), 99, false, false},
      {"block alignment lies", f(1, 2, 22050, 2, 16), 100, false, false},
      {"zero block alignment", f(1, 1, 22050, 0, 16), 100, false, false},
      {"rate too low", f(1, 1, 999, 2, 16), 100, false, false},
      {"rate too high", f(1, 1, 192001, 2, 16), 100, false, false},
      {"no whole frame", f(1, 2, 22050, 4, 16), 3, false, false},
      {"stereo positional", f(1, 2, 22050, 4, 16), 100, true, false},
  };
  Mixer mixer;
  const std::vector<uint8_t> data(200, 0x80);
  for (const Case& c : cases) {
    const VoiceId id = mixer.CreateVoice(c.what, c.format, data.data(), c.bytes, c.positional);
    EXPECT_EQ(id != plat::kNoVoice, c.accepted) << c.what;
  }
  EXPECT_EQ(mixer.CreateVoice("null data", Format16(22050, 1), nullptr, 100, false), plat::kNoVoice);
}

TEST(MixerStatus, ReportsOnceLoopedStoppedAndUnknownExactly) {
  Mixer mixer;
  const VoiceId a = MonoVoice(mixer, kRate, 4800, [](uint32_t f) { return Sine(f, 440, kRate); });
  ASSERT_NE(a, plat::kNoVoice);
  EXPECT_EQ(mixer.GetStatus(a), 0u);
  mixer.Play(a, false);
  EXPECT_EQ(mixer.GetStatus(a), 1u);
  mixer.Play(a, true);
  EXPECT_EQ(mixer.GetStatus(a), 5u);
  Render(mixer, 4800 * 3 + 17);  // three turns and more: a loop never ends by itself
  EXPECT_EQ(mixer.GetStatus(a), 5u);
  mixer.Stop(a);
  EXPECT_EQ(mixer.GetStatus(a), 0u);
  EXPECT_EQ(mixer.GetStatus(a + 1000), 0u);
  EXPECT_EQ(mixer.GetStatus(plat::kNoVoice), 0u);
  mixer.DestroyVoice(a);
  EXPECT_EQ(mixer.GetStatus(a), 0u);
  mixer.Play(a, false);  // calls on a destroyed voice are ignored
  EXPECT_EQ(mixer.GetStatus(a), 0u);
}

// A constant level survives resampling unchanged, so the last audible frame marks the end.
TEST(MixerTiming, OneShotLastsItsLengthAtTheDeviceRateAndEndsThere) {
  struct Case {
    uint32_t rate;
    uint16_t channels;
    uint32_t frames;
  };
  const Case cases[] = {{22050, 1, 22050}, {22050, 1, 1001}, {44100, 2, 44100},
                        {11025, 2, 5000},  {48000, 1, 4800}, {96000, 1, 9601}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.frames << " frames");
    Mixer mixer;
    const auto pcm = Pcm16(c.frames, c.channels, [](uint32_t, int) { return 0.5; });
    const VoiceId v = mixer.CreateVoice("level", Format16(c.rate, c.channels), pcm.data(),
                                        static_cast<uint32_t>(pcm.size()), false);
    ASSERT_NE(v, plat::kNoVoice);
    const double expected = double(c.frames) * kRate / c.rate;
    mixer.Play(v, false);
    const uint32_t before = static_cast<uint32_t>(expected) - 8;
    Render(mixer, before);
    ASSERT_EQ(mixer.GetStatus(v), 1u);
    // Frame by frame to the end: the status must turn 0 with the last audible frame.
    uint32_t played = before;
    while (mixer.GetStatus(v) == 1u && played < expected + 64) {
      const auto frame = Render(mixer, 1);
      if (frame[0] > 0.25f) ++played;
      else break;
    }
    EXPECT_NEAR(played, expected, 2.0);
    EXPECT_EQ(mixer.GetStatus(v), 0u);
    const auto after = Render(mixer, 512);
    EXPECT_EQ(ChannelEnergy(after, 0) + ChannelEnergy(after, 1), 0.0);
  }
}

TEST(MixerTiming, KeepsThePitchOfTheFile) {
  // 441 Hz at 22,050 Hz: 441 rising zero crossings in a second of output.
  Mixer mixer;
  const VoiceId v = MonoVoice(mixer, 22050, 22050, [](uint32_t f) { return Sine(f, 441, 22050); });
  mixer.Play(v, false);
  const auto out = Render(mixer, kRate);
  int rising = 0;
  for (size_t i = 2; i < out.size(); i += 2) rising += out[i - 2] < 0 && out[i] >= 0;
  EXPECT_NEAR(rising, 441, 1);
}

TEST(MixerPan, FollowsTheHundredthsOfDecibelLaw) {
  struct Case {
    int32_t pan, volume;
    double leftDb, rightDb;  // measured against the source; NAN: below -90 dB
  };
  const Case cases[] = {
      {0, 0, 0.0, 0.0},           {-10000, 0, 0.0, NAN},    {10000, 0, NAN, 0.0},
      {-2173, 0, 0.0, -21.73},    {2173, 0, -21.73, 0.0},   {0, -600, -6.0, -6.0},
      {-1000, -1000, -10.0, -20.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "pan " << c.pan << " volume " << c.volume);
    Mixer mixer;
    const VoiceId v = MonoVoice(mixer, kRate, kRate, [](uint32_t f) { return Sine(f, 1000, kRate); });
    mixer.SetPan(v, c.pan);
    mixer.SetVolume(v, c.volume);
    mixer.Play(v, false);
    const auto out = Render(mixer, kRate);
    double source = 0;
    for (uint32_t f = 0; f < kRate; ++f) {
      const double s = std::lround(Sine(f, 1000, kRate) * 32767.0) / 32768.0;
      source += s * s;
    }
    const double measured[2] = {Decibels(ChannelEnergy(out, 0) / source),
                                Decibels(ChannelEnergy(out, 1) / source)};
    const double expected[2] = {c.leftDb, c.rightDb};
    for (int ch = 0; ch < 2; ++ch) {
      if (std::isnan(expected[ch])) EXPECT_LT(measured[ch], -90.0) << "channel " << ch;
      else EXPECT_NEAR(measured[ch], expected[ch], 0.1) << "channel " << ch;
    }
  }
}

// A sine whose cycles fill the loop exactly must run on through the loop point: no step
// larger than the sine's own steepest step between neighbouring frames.
TEST(MixerLoop, JoinsTheEndToTheStartWithoutASeam) {
  struct Case {
    uint32_t rate, frames;
    double hz;
  };
  const Case cases[] = {
      {22050, 2205, 450.0},   // 45 cycles, loop of exactly 4800 output frames
      {44100, 4400, 441.0},   // 44 cycles, 4789.1 output frames: the ratio is kept exact
      {48000, 4800, 1000.0},  // no resampling
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz");
    Mixer mixer;
    const VoiceId v = MonoVoice(mixer, c.rate, c.frames, [&](uint32_t f) { return Sine(f, c.hz, c.rate); });
    mixer.Play(v, true);
    const auto out = Render(mixer, 5 * kRate / 10);
    const double steepest = 2 * 0.5 * std::sin(M_PI * c.hz / kRate);
    double worst = 0;
    for (size_t i = 2; i < out.size(); i += 2) worst = std::max(worst, double(std::fabs(out[i] - out[i - 2])));
    EXPECT_LT(worst, steepest * 1.05);
    EXPECT_GT(worst, steepest * 0.9);  // the sine did play
    EXPECT_EQ(mixer.GetStatus(v), 5u);
  }
}

// The sound's value encodes the frame, so the output tells where playback stands.
TEST(MixerPlay, RestartsFromTheCurrentPositionAndStopKeepsIt) {
  Mixer mixer;
  const uint32_t frames = 48000;
  const VoiceId v = MonoVoice(mixer, kRate, frames, [&](uint32_t f) { return double(f) / frames; });
  auto at = [&](uint32_t frame) { return float(std::lround(double(frame) / frames * 32767.0) / 32768.0); };

  mixer.Play(v, false);
  Render(mixer, 1000);
  mixer.SetCurrentPosition(v, 0);  // as the game plays a sound again: position 0, then play
  mixer.Play(v, false);
  EXPECT_FLOAT_EQ(Render(mixer, 1)[0], at(0));
  Render(mixer, 499);
  mixer.Stop(v);
  EXPECT_EQ(Render(mixer, 100)[0], 0.0f);
  mixer.Play(v, false);  // carries on where it stopped
  EXPECT_FLOAT_EQ(Render(mixer, 1)[0], at(500));
  mixer.SetCurrentPosition(v, 20000);
  EXPECT_FLOAT_EQ(Render(mixer, 1)[0], at(20000));
  mixer.SetCurrentPosition(v, frames);  // past the end: refused, playback goes on
  EXPECT_FLOAT_EQ(Render(mixer, 1)[0], at(20002));
}

TEST(MixerMix, SumsVoicesAndClampsOnlyTheResult) {
  Mixer mixer;
  const VoiceId up = MonoVoice(mixer, kRate, 4800, [](uint32_t) { return 0.9; });
  const VoiceId down = MonoVoice(mixer, kRate, 4800, [](uint32_t) { return -0.5; });
  mixer.Play(up, false);
  mixer.Play(down, false);
  EXPECT_NEAR(Render(mixer, 1)[0], 0.4f, 1e-4);
  const VoiceId more = MonoVoice(mixer, kRate, 4800, [](uint32_t) { return 0.9; });
  mixer.Play(more, false);
  // 0.9 + 0.9 - 0.5: clamped once at the end gives 1; clamping on the way would give 0.5.
  EXPECT_EQ(Render(mixer, 1)[0], 1.0f);
  mixer.DestroyVoice(more);
  EXPECT_NEAR(Render(mixer, 1)[0], 0.4f, 1e-4);
  EXPECT_EQ(mixer.FramesRendered(), 3u);
}

// The same file loaded twice shares its samples: each copy keeps its own rate and its
// own position, and outlives the other.
TEST(MixerLoad, TheSameDataLoadedTwicePlaysAsTwoVoices) {
  Mixer mixer;
  auto ramp = [](uint32_t f) { return (f % 1000) / 1000.0 - 0.5; };
  const VoiceId first = MonoVoice(mixer, kRate, 48000, ramp);
  const VoiceId twice = MonoVoice(mixer, kRate / 2, 48000, ramp);  // half the rate, half the pitch
  const VoiceId alone = MonoVoice(mixer, kRate, 48000, ramp);
  mixer.Play(first, false);
  mixer.Play(alone, false);
  const std::vector<float> both = Render(mixer, 1000);
  mixer.DestroyVoice(first);
  mixer.DestroyVoice(alone);
  mixer.Play(twice, false);
  const std::vector<float> slow = Render(mixer, 2000);
  for (uint32_t f : {0u, 10u, 333u, 999u}) {
    SCOPED_TRACE(f);
    EXPECT_NEAR(both[2 * f], 2 * ramp(f), 1e-4);
    EXPECT_NEAR(slow[2 * (2 * f)], ramp(f), 1e-4);  // every second frame is a file frame
  }
  EXPECT_EQ(mixer.GetStatus(twice), 1u);
}

// Voices made, played and destroyed while another thread renders: run under the address
// sanitizer, this catches a render that reads a voice after it was freed.
TEST(MixerThreads, DestroyingVoicesWhileRenderingIsSafe) {
  Mixer mixer;
  std::atomic<bool> done{false};
  std::thread audio([&] {
    float buffer[2 * 256];
    while (!done) mixer.Render(buffer, 256);
  });
  for (int i = 0; i < 300; ++i) {
    const VoiceId v = MonoVoice(mixer, 22050, 500 + i, [](uint32_t f) { return Noise(f); }, i % 2 == 1);
    mixer.SetPan(v, (i % 3 - 1) * 10000);
    mixer.Set3DPosition(v, float(i % 7) - 3, 0, 2);
    mixer.Play(v, i % 4 == 0);
    if (i % 5 == 0) std::this_thread::yield();
    mixer.DestroyVoice(v);
  }
  done = true;
  audio.join();
  EXPECT_GT(mixer.FramesRendered(), 0u);
}

}  // namespace
