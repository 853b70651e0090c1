// The game's data as the build leaves it beside the executable: every file a screen loads
// is there, decodes, is heard, lasts a sensible time; loops join; speech is level.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/globals.h"
#include "platform/virtual/virtual_platform.h"
#include "sound/sound.h"
#include "sound/sound_file_format.h"
#include "tests/support/game_fixture.h"
#include "tests/support/game_state.h"
#include "tools/databuild/loudness.h"

#ifdef CHIMEBOX_GAME_DIR

namespace {

using testing_support::GameFileSpec;
using testing_support::GameSoundFiles;
using testing_support::ReadBytes;

enum class Kind {
  kSpeech,      // spoken
  kPositional,  // spoken, played through a positional voice: must be mono
  kCell,        // one of the nine puzzle sounds
  kEffect,      // cue, move sounds, signals
  kLoop,        // background music, looped
};

Kind KindOf(const std::string& name) {
  if (name.rfind("TestSpk\\", 0) == 0) return Kind::kPositional;
  if (name.find("bgrn") != std::string::npos) return Kind::kLoop;
  if (name.rfind("level1\\", 0) == 0) {
    return std::isdigit(static_cast<unsigned char>(name[7])) ? Kind::kCell : Kind::kEffect;
  }
  return Kind::kSpeech;
}

std::string GameFolder() { return std::string(CHIMEBOX_GAME_DIR) + "/"; }

// The game's relative name ("menu\\arrows.vgz") as a path on disk.
std::string GamePath(std::string name) {
  std::replace(name.begin(), name.end(), '\\', '/');
  return GameFolder() + name;
}

bool IsSpoken(Kind kind) { return kind == Kind::kSpeech || kind == Kind::kPositional; }

struct Decoded {
  plat::PcmFormat format;
  std::vector<int16_t> samples;  // interleaved
  size_t Frames() const { return samples.size() / format.channels; }
  double Seconds() const { return static_cast<double>(Frames()) / format.sampleRate; }
  std::vector<int16_t> Channel(unsigned c) const {
    std::vector<int16_t> out;
    for (size_t i = c; i < samples.size(); i += format.channels) out.push_back(samples[i]);
    return out;
  }
};

// Restores a sound file's head with the game's own format code and checks it is the plain
// 16-bit PCM wave the loaders expect.
::testing::AssertionResult Decode(const std::string& name, Decoded* out) {
  std::vector<unsigned char> file = ReadBytes(GamePath(name));
  if (file.size() < WAVE_HEADER_SIZE + 2) {
    return ::testing::AssertionFailure() << name << ": missing or too short";
  }
  ReverseSoundFileHead(file.data());
  if (std::string(file.begin(), file.begin() + 4) != "RIFF" ||
      std::string(file.begin() + 8, file.begin() + 16) != "WAVEfmt " ||
      std::string(file.begin() + 36, file.begin() + 40) != "data") {
    return ::testing::AssertionFailure() << name << ": head is not a restored wave header";
  }
  const plat::PcmFormat f = ReadWaveFormat(file.data());
  const uint32_t bytes = ReadWaveDataSize(file.data());
  if (f.formatTag != 1 || f.bitsPerSample != 16 || (f.channels != 1 && f.channels != 2) ||
      f.blockAlign != 2 * f.channels) {
    return ::testing::AssertionFailure() << name << ": not 16-bit PCM, mono or stereo";
  }
  if (bytes == 0 || bytes % f.blockAlign != 0 || bytes > file.size() - WAVE_HEADER_SIZE) {
    return ::testing::AssertionFailure() << name << ": data size " << bytes << " does not fit";
  }
  out->format = f;
  out->samples.resize(bytes / 2);
  for (size_t i = 0; i < out->samples.size(); ++i) {
    const uint8_t* p = file.data() + WAVE_HEADER_SIZE + 2 * i;
    out->samples[i] = static_cast<int16_t>(p[0] | (p[1] << 8));
  }
  return ::testing::AssertionSuccess();
}

double LevelDb(const Decoded& d) {
  return ActiveLevelDb(d.samples.data(), d.Frames(), d.format.channels, d.format.sampleRate);
}

double Energy(const std::vector<int16_t>& s, size_t from, size_t to) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
  return sum;
}

size_t ZeroCrossings(const std::vector<int16_t>& s, size_t from, size_t to) {
  size_t n = 0;
  for (size_t i = from + 1; i < to; ++i) n += (s[i - 1] < 0) != (s[i] < 0);
  return n;
}

class DataFileTest : public ::testing::TestWithParam<GameFileSpec> {};

TEST_P(DataFileTest, DecodesIsHeardAndLastsSensibly) {
  const GameFileSpec& f = GetParam();
  const Kind kind = KindOf(f.name);
  Decoded d;
  ASSERT_TRUE(Decode(f.name, &d));

  // Speech mono at 22,050 Hz, music stereo at 44,100 Hz, so that play exercises the
  // resampler: the layout the game's tests assume too.
  EXPECT_EQ(d.format.channels, static_cast<unsigned>(f.channels));
  EXPECT_EQ(d.format.sampleRate, static_cast<unsigned>(f.sampleRate));
  if (kind == Kind::kPositional) {
    EXPECT_EQ(d.format.channels, 1u);
  }

  switch (kind) {
    case Kind::kSpeech:
    case Kind::kPositional:
      EXPECT_GE(d.Seconds(), 0.2);
      EXPECT_LE(d.Seconds(), 30.0);
      break;
    case Kind::kCell:
      EXPECT_GE(d.Seconds(), 0.2);
      EXPECT_LT(d.Seconds(), 1.0);
      break;
    case Kind::kEffect:
      EXPECT_GE(d.Seconds(), 0.03);
      EXPECT_LE(d.Seconds(), 1.5);  // the level waits for move sounds and signals
      break;
    case Kind::kLoop:
      EXPECT_GE(d.Seconds(), 2.0);
      EXPECT_LE(d.Seconds(), 30.0);
      break;
  }

  const int16_t peak = static_cast<int16_t>(std::abs(*std::max_element(
      d.samples.begin(), d.samples.end(),
      [](int16_t a, int16_t b) { return std::abs(a) < std::abs(b); })));
  EXPECT_GT(peak, 32768 / 100) << f.name << " is silent";
  EXPECT_LT(peak, 32767) << f.name << " clips";
}

INSTANTIATE_TEST_SUITE_P(EveryScreenFile, DataFileTest, ::testing::ValuesIn(GameSoundFiles()),
                         [](const ::testing::TestParamInfo<GameFileSpec>& info) {
                           std::string n = info.param.name;
                           for (char& c : n) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return n;
                         });

TEST(DataLoudness, SpeechFilesShareOneLoudness) {
  double quietest = 0, loudest = -200;
  std::string quietName, loudName;
  for (const GameFileSpec& f : GameSoundFiles()) {
    if (!IsSpoken(KindOf(f.name))) continue;
    Decoded d;
    ASSERT_TRUE(Decode(f.name, &d));
    const double level = LevelDb(d);
    if (level < quietest) quietest = level, quietName = f.name;
    if (level > loudest) loudest = level, loudName = f.name;
  }
  EXPECT_LE(loudest - quietest, 3.0) << quietName << " at " << quietest << " dB, " << loudName
                                     << " at " << loudest << " dB";
}

TEST(DataLoudness, LoopsSitWellBelowSpeech) {
  Decoded speech;
  ASSERT_TRUE(Decode("menu/arrows.vgz", &speech));
  for (const char* loop : {"menu/bgrn.vgz", "level1/bgrn.vgz"}) {
    Decoded d;
    ASSERT_TRUE(Decode(loop, &d));
    EXPECT_LE(LevelDb(d), LevelDb(speech) - 10.0) << loop;
  }
}

TEST(DataLoops, JoinWithoutJumpOrGap) {
  for (const char* loop : {"menu/bgrn.vgz", "level1/bgrn.vgz"}) {
    Decoded d;
    ASSERT_TRUE(Decode(loop, &d));
    const size_t n = d.Frames();
    for (unsigned c = 0; c < d.format.channels; ++c) {
      const std::vector<int16_t> s = d.Channel(c);
      double sumSquares = 0;
      for (size_t i = 1; i < n; ++i) sumSquares += std::pow(s[i] - s[i - 1], 2);
      const double typicalStep = std::sqrt(sumSquares / (n - 1));
      const double seamStep = std::abs(s.front() - s.back());
      EXPECT_LE(seamStep, 4 * typicalStep) << loop << " channel " << c;

      // No quiet stretch anywhere, the seam included: a loop that falls silent is heard
      // stopping and starting again.
      const size_t window = d.format.sampleRate / 20;
      const double meanEnergy = Energy(s, 0, n) / n;
      for (size_t from = 0; from + window <= n; from += window / 2) {
        ASSERT_GT(Energy(s, from, from + window) / window, meanEnergy / 1000)
            << loop << " falls silent at " << static_cast<double>(from) / d.format.sampleRate << " s";
      }
      ASSERT_GT(Energy(s, n - window, n) / window, meanEnergy / 1000) << loop << " ends in silence";
    }
  }
}

// Score words are joined at play time; any silence at their ends becomes a gap inside
// "twelve thousand three hundred".
TEST(DataSpeech, NumberWordsStartAndEndOnSound) {
  std::vector<std::string> words = {"score/hundred.vgz", "score/thousand.vgz"};
  for (int n = 0; n <= 20; ++n) words.push_back("score/" + std::to_string(n) + ".vgz");
  for (int n = 30; n <= 90; n += 10) words.push_back("score/" + std::to_string(n) + ".vgz");
  for (const std::string& w : words) {
    Decoded d;
    ASSERT_TRUE(Decode(w, &d));
    const std::vector<int16_t>& s = d.samples;
    int peak = 0;
    for (int16_t x : s) peak = std::max(peak, std::abs(static_cast<int>(x)));
    const int threshold = peak / 100;  // -40 dB: soft consonants count as sound
    auto loud = [&](int16_t x) { return std::abs(x) > threshold; };
    const size_t first = std::find_if(s.begin(), s.end(), loud) - s.begin();
    const size_t last = s.rend() - std::find_if(s.rbegin(), s.rend(), loud);
    const double lead = static_cast<double>(first) / d.format.sampleRate;
    const double tail = static_cast<double>(s.size() - last) / d.format.sampleRate;
    EXPECT_LE(lead, 0.025) << w;
    EXPECT_LE(tail, 0.025) << w;
  }
}

// Rows are heard moving across, columns gliding in pitch, each the right way.
TEST(DataEffects, MoveSoundsGoTheirWay) {
  Decoded left, right, up, down;
  ASSERT_TRUE(Decode("level1/move1.vgz", &left));
  ASSERT_TRUE(Decode("level1/move2.vgz", &right));
  ASSERT_TRUE(Decode("level1/move3.vgz", &up));
  ASSERT_TRUE(Decode("level1/move4.vgz", &down));

  auto leftShare = [](const Decoded& d, bool firstHalf) {
    const size_t n = d.Frames(), from = firstHalf ? 0 : n / 2, to = firstHalf ? n / 2 : n;
    const double l = Energy(d.Channel(0), from, to), r = Energy(d.Channel(1), from, to);
    return l / (l + r);
  };
  EXPECT_LT(leftShare(left, true), 0.4);
  EXPECT_GT(leftShare(left, false), 0.6);
  EXPECT_GT(leftShare(right, true), 0.6);
  EXPECT_LT(leftShare(right, false), 0.4);

  auto risesInPitch = [](const Decoded& d) {
    const std::vector<int16_t> s = d.Channel(0);
    const size_t n = s.size();
    return ZeroCrossings(s, n / 8, n / 2) < ZeroCrossings(s, n / 2, n * 7 / 8);
  };
  EXPECT_TRUE(risesInPitch(up));
  EXPECT_FALSE(risesInPitch(down));
}

// Within a row the three cells share a timbre and rise in pitch from left to right;
// no two cells are the same sound.
TEST(DataCells, ColumnsRiseInPitchAndAllDiffer) {
  std::vector<std::vector<int16_t>> cells;
  for (int row = 1; row <= 3; ++row) {
    size_t previous = 0;
    for (int column = 1; column <= 3; ++column) {
      Decoded d;
      const std::string name = "level1/" + std::to_string(row) + "_" + std::to_string(column) + ".vgz";
      ASSERT_TRUE(Decode(name, &d));
      const std::vector<int16_t> s = d.Channel(0);
      const size_t crossings = ZeroCrossings(s, 0, s.size() / 2);
      EXPECT_GT(crossings, previous) << name;
      previous = crossings;
      for (const auto& other : cells) EXPECT_NE(other, s) << name;
      cells.push_back(s);
    }
  }
}

struct Picture {
  const char* name;
  int width, height;
};

TEST(DataPictures, AreTwentyFourBitBmpOfTheirSize) {
  const Picture pictures[] = {
      {"title.bmp", 215, 228}, {"icon.bmp", 32, 32}, {"icon16.bmp", 16, 16}, {"about.bmp", 205, 120}};
  for (const Picture& p : pictures) {
    const std::vector<unsigned char> b = ReadBytes(GameFolder() + p.name);
    ASSERT_GE(b.size(), 54u) << p.name;
    auto get32 = [&](size_t at) { return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24); };
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(get32(18), p.width) << p.name;
    EXPECT_EQ(get32(22), p.height) << p.name;
    EXPECT_EQ(b[28] | b[29] << 8, 24) << p.name;
    EXPECT_EQ(get32(30), 0) << p.name << " is compressed";
    const size_t rowBytes = (static_cast<size_t>(p.width) * 3 + 3) & ~size_t{3};
    ASSERT_EQ(b.size(), get32(10) + rowBytes * p.height) << p.name;
    // A drawn picture, not a blank: many distinct colours.
    std::vector<uint32_t> colours;
    for (size_t i = get32(10); i + 3 <= b.size(); i += 3) colours.push_back(b[i] | b[i + 1] << 8 | b[i + 2] << 16);
    std::sort(colours.begin(), colours.end());
    EXPECT_GT(std::unique(colours.begin(), colours.end()) - colours.begin(), 8) << p.name;
  }
}

// The loaders take every file as the screens load it: the speaker test's through
// positional voices, all others as stereo-kind sounds.
TEST(DataLoading, EveryFileLoadsAsItsScreenLoadsIt) {
  plat::VirtualPlatform vp;
  vp.SetHrtfTablePath(CHIMEBOX_HRTF_TABLE);
  plat::g_platform = &vp;
  g_programFolder = GameFolder();
  ASSERT_TRUE(CreateSoundDevice());
  for (const GameFileSpec& f : GameSoundFiles()) {
    const bool positional = KindOf(f.name) == Kind::kPositional;
    SoundBuffer sound = positional ? LoadSound3D(f.name.c_str()) : LoadSound(f.name.c_str());
    EXPECT_NE(sound, 0u) << f.name;
    if (positional) {
      EXPECT_NE(QuerySound3D(sound), 0u) << f.name;
    }
    ReleaseSound(sound);
  }
  ReleaseSoundDevice();
  plat::g_platform = nullptr;
}

// The whole game starts on the built folder: both stages of start-up pass (no message
// box), the introduction plays, and Control leads on to the menu's prompt.
TEST(DataLoading, TheGameStartsOnTheBuiltData) {
  testing_support::ResetGameState();
  plat::VirtualPlatform vp;
  vp.SetExecutablePath(GameFolder() + "chimebox");
  vp.SetHrtfTablePath(CHIMEBOX_HRTF_TABLE);
  vp.PressAt(2000, plat::VK_CONTROL);
  plat::g_platform = &vp;
  {
    CMainDlg dlg;
    dlg.OnInitDialog();
    dlg.PumpUntil(4000);
    EXPECT_TRUE(vp.LogOf("messagebox").empty());
    auto started = [&](const std::string& name) {
      for (const plat::LogEntry& e : vp.LogOf("play")) {
        if (e.name == name) return true;
      }
      return false;
    };
    EXPECT_TRUE(started("game\\game_intro.vgz"));
    EXPECT_TRUE(started("menu\\arrows.vgz"));
    dlg.Close();
  }
  plat::g_platform = nullptr;
}

}  // namespace

#endif  // CHIMEBOX_GAME_DIR
