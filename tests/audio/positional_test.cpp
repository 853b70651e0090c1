// Positional voices: direction, distance, moving without clicks, and the HRTF table's
// defences against a bad file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/audio/hrtf_table.h"
#include "platform/audio/mixer.h"
#include "tests/audio/mixer_test_util.h"

using namespace mixtest;
using plat::HrtfTable;
using plat::Mixer;
using plat::VoiceId;

namespace {

const std::string kBuiltTable = CHIMEBOX_HRTF_TABLE;

// Full-band noise at the device rate: the level differences between the ears lie mostly
// above a few kilohertz, so a band-limited source would measure the source, not the renderer.
std::vector<float> RenderPlaced(Mixer& mixer, float x, float y, float z, float minDistance,
                                uint32_t frames = kRate / 2) {
  const VoiceId v = MonoVoice(mixer, kRate, frames, [](uint32_t f) { return Noise(f); }, true);
  EXPECT_NE(v, plat::kNoVoice);
  mixer.SetMinDistance(v, minDistance);
  mixer.Set3DPosition(v, x, y, z);
  mixer.SetPan(v, plat::PAN_RIGHT);  // positional voices have no pan
  mixer.Play(v, false);
  auto out = Render(mixer, frames * 3);
  mixer.DestroyVoice(v);
  return out;
}

struct Renderer {
  const char* name;
  std::string table;
};

std::vector<Renderer> Renderers() { return {{"HRTF table", kBuiltTable}, {"plain pan", ""}}; }

TEST(Positional, BuiltTableLoads) {
  HrtfTable table;
  ASSERT_TRUE(table.Load(kBuiltTable, 48000));
  EXPECT_GE(table.Taps(), 32u);
  EXPECT_GT(table.Directions(), 100u);
  EXPECT_FALSE(table.Load(kBuiltTable, 44100));  // made for another rate
  EXPECT_TRUE(Mixer(48000, kBuiltTable).HasHrtf());
}

// The speaker test's four places, each to be heard from its side.
TEST(Positional, SpeakerTestPlacesAreHeardFromTheirSide) {
  struct Place {
    float x, z;
  };
  const Place places[] = {{-1, 5}, {1, 5}, {-8, -5}, {8, -5}};
  for (const Renderer& r : Renderers()) {
    Mixer mixer(kRate, r.table);
    ASSERT_EQ(mixer.HasHrtf(), !r.table.empty());
    for (const Place& p : places) {
      SCOPED_TRACE(testing::Message() << r.name << " at " << p.x << ", " << p.z);
      const auto out = RenderPlaced(mixer, p.x, 0, p.z, 10.0f);
      const double leftOverRight = Decibels(ChannelEnergy(out, 0) / ChannelEnergy(out, 1));
      if (p.x < 0) EXPECT_GE(leftOverRight, 3.0);
      else EXPECT_LE(leftOverRight, -3.0);
    }
  }
}

TEST(Positional, LoudnessFollowsInverseDistanceBeyondTheMinimum) {
  struct Case {
    float z, minDistance;
    double dbAgainstNear;  // against the same voice at distance 1 (inside every minimum)
  };
  const Case cases[] = {{5, 10, 0.0}, {9.9f, 10, 0.0}, {20, 10, -6.02}, {40, 10, -12.04},
                        {4, 2, -6.02}};
  for (const Renderer& r : Renderers()) {
    Mixer mixer(kRate, r.table);
    for (const Case& c : cases) {
      SCOPED_TRACE(testing::Message() << r.name << " z " << c.z << " min " << c.minDistance);
      const auto near = RenderPlaced(mixer, 0, 0, 1, c.minDistance);
      const auto far = RenderPlaced(mixer, 0, 0, c.z, c.minDistance);
      const double db = Decibels((ChannelEnergy(far, 0) + ChannelEnergy(far, 1)) /
                                 (ChannelEnergy(near, 0) + ChannelEnergy(near, 1)));
      EXPECT_NEAR(db, c.dbAgainstNear, 0.1);
    }
  }
}

// A source jumping from behind-left to behind-right while a low tone plays: without the
// crossfade the interaural delay and the gains step, a jump of about the tone's amplitude.
// With it, no step between neighbouring frames exceeds twice the tone's own steepest.
TEST(Positional, MovingWhilePlayingDoesNotClick) {
  for (const Renderer& r : Renderers()) {
    SCOPED_TRACE(r.name);
    Mixer mixer(kRate, r.table);
    const VoiceId v = MonoVoice(mixer, kRate, kRate, [](uint32_t f) {
      return 0.5 * std::sin(2 * M_PI * 200 * f / kRate);
    }, true);
    mixer.SetMinDistance(v, 10);
    mixer.Set3DPosition(v, -8, 0, -5);
    mixer.Play(v, true);
    const auto settled = Render(mixer, 4000);
    double steady = 0;
    for (size_t i = 2 * 2000 + 2; i < settled.size(); ++i) {
      steady = std::max(steady, double(std::fabs(settled[i] - settled[i - 2])));
    }
    // Move in the middle of a period, and again before the first fade is done.
    const auto before = Render(mixer, 100);
    mixer.Set3DPosition(v, 8, 0, -5);
    const auto a = Render(mixer, 30);
    mixer.Set3DPosition(v, -1, 0, 5);
    const auto b = Render(mixer, 2000);
    std::vector<float> moved(before.begin(), before.end());
    moved.insert(moved.end(), a.begin(), a.end());
    moved.insert(moved.end(), b.begin(), b.end());
    double worst = 0;
    for (size_t i = 2; i < moved.size(); ++i) {
      worst = std::max(worst, double(std::fabs(moved[i] - moved[i - 2])));
    }
    EXPECT_GT(steady, 0.002);
    EXPECT_LT(worst, 2 * steady);
    // And it arrived: the last position is ahead-left.
    EXPECT_GT(ChannelEnergy(b, 0, 1000), ChannelEnergy(b, 1, 1000));
  }
}

class HrtfFile : public testing::Test {
 protected:
  void SetUp() override {
    path_ = testing::TempDir() + "hrtf_corrupt_" +
            testing::UnitTest::GetInstance()->current_test_info()->name() + ".dat";
    // A small valid table: four directions of eight taps.
    HrtfTable table;
    table.Reset(48000, 8);
    const float dirs[4][3] = {{0, 0, 1}, {-1, 0, 0}, {0, 0, -1}, {1, 0, 0}};
    for (int d = 0; d < 4; ++d) {
      const float delay[2] = {d == 3 ? 20.0f : 0.0f, d == 1 ? 20.0f : 0.0f};
      const float left[8] = {d == 3 ? 0.2f : 1.0f};
      const float right[8] = {d == 1 ? 0.2f : 1.0f};
      table.Add(dirs[d], delay, left, right);
    }
    ASSERT_TRUE(table.Save(path_));
    std::ifstream in(path_, std::ios::binary);
    good_.assign(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(good_.size(), 20u + 4 * (5 + 16) * 4);
  }
  void TearDown() override { std::remove(path_.c_str()); }

  void Write(const std::string& bytes) {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out << bytes;
  }
  static void PutU32(std::string& s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
  }
  static void PutF32(std::string& s, size_t at, float f) {
    uint32_t bits;
    std::memcpy(&bits, &f, 4);
    PutU32(s, at, bits);
  }

  std::string path_;
  std::string good_;
};

TEST_F(HrtfFile, GoodTableLoadsAndPlacesSources) {
  Mixer mixer(kRate, path_);
  ASSERT_TRUE(mixer.HasHrtf());
  const auto out = RenderPlaced(mixer, -3, 0, 0, 1);
  EXPECT_GT(Decibels(ChannelEnergy(out, 0) / ChannelEnergy(out, 1)), 10.0);
}

TEST_F(HrtfFile, BadTablesAreRefusedAndTheMixerFallsBackToPanning) {
  const size_t firstRecord = 20, firstTap = 20 + 5 * 4;
  struct Case {
    const char* what;
    std::function<void(std::string&)> spoil;
  };
  const Case cases[] = {
      {"empty", [](std::string& s) { s.clear(); }},
      {"header cut short", [](std::string& s) { s.resize(12); }},
      {"body cut short", [](std::string& s) { s.resize(s.size() - 1); }},
      {"trailing bytes", [](std::string& s) { s += "x"; }},
      {"wrong magic", [](std::string& s) { s[0] = 'X'; }},
      {"other rate", [](std::string& s) { PutU32(s, 8, 44100); }},
      {"no directions", [](std::string& s) { PutU32(s, 12, 0); }},
      {"more directions than stored", [](std::string& s) { PutU32(s, 12, 5); }},
      {"absurd direction count", [](std::string& s) { PutU32(s, 12, 0xffffffffu); }},
      {"no taps", [](std::string& s) { PutU32(s, 16, 0); }},
      {"too many taps", [](std::string& s) { PutU32(s, 16, plat::kHrtfMaxTaps + 1); }},
      {"absurd tap count", [](std::string& s) { PutU32(s, 16, 0x80000000u); }},
      {"NaN tap", [=](std::string& s) { PutF32(s, firstTap, NAN); }},
      {"infinite tap", [=](std::string& s) { PutF32(s, firstTap + 4, INFINITY); }},
      {"huge tap", [=](std::string& s) { PutF32(s, firstTap, 1e30f); }},
      {"negative delay", [=](std::string& s) { PutF32(s, firstRecord + 12, -1); }},
      {"delay beyond a head", [=](std::string& s) { PutF32(s, firstRecord + 16, 500); }},
      {"direction not a unit vector", [=](std::string& s) { PutF32(s, firstRecord + 8, 3); }},
      {"NaN direction", [=](std::string& s) { PutF32(s, firstRecord, NAN); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good_;
    c.spoil(bytes);
    Write(bytes);
    HrtfTable table;
    EXPECT_FALSE(table.Load(path_, 48000));
    EXPECT_TRUE(table.Empty());
    Mixer mixer(kRate, path_);
    EXPECT_FALSE(mixer.HasHrtf());
    const auto out = RenderPlaced(mixer, -3, 0, 0, 1, 4800);
    EXPECT_GT(Decibels(ChannelEnergy(out, 0) / ChannelEnergy(out, 1)), 3.0);
  }
  EXPECT_FALSE(Mixer(kRate, testing::TempDir() + "no_such_table.dat").HasHrtf());
}

}  // namespace
