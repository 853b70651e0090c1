#include "tests/support/game_fixture.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sound/sound_file_format.h"

namespace fs = std::filesystem;

namespace testing_support {
namespace {

std::vector<GameFileSpec> BuildList() {
  std::vector<GameFileSpec> files;
  auto speech = [&](const std::string& name, int ms) { files.push_back({name, ms, 1, 22050}); };
  auto music = [&](const std::string& name, int ms) { files.push_back({name, ms, 2, 44100}); };
  for (const char* n : {"arrows", "start_game", "test_speakers", "learn_game_sounds", "final_score",
                        "view_top_10", "send_score", "quit"})
    speech(std::string("menu\\") + n + ".vgz", std::string(n) == "arrows" ? 1500 : 500);
  music("menu\\bgrn.vgz", 2000);
  speech("game\\game_intro.vgz", 3000);
  for (const char* n : {"exit_game", "about", "say_game_over", "return_to_menu", "made_it", "not_enough",
                        "check_connected", "sending_score", "say_config_first"})
    speech(std::string("game\\") + n + ".vgz", 500);
  for (int i = 0; i <= 20; ++i) speech("score\\" + std::to_string(i) + ".vgz", 300);
  for (int i = 30; i <= 90; i += 10) speech("score\\" + std::to_string(i) + ".vgz", 300);
  for (const char* n : {"hundred", "thousand", "say_final_score", "score_arrows",
                        "your_current_score", "say_points", "SayLivesRemaining"})
    speech(std::string("score\\") + n + ".vgz", 400);
  music("level1\\bgrn.vgz", 2000);
  music("level1\\start.vgz", 500);
  music("level1\\stop.vgz", 500);
  for (int r = 1; r <= 3; ++r)
    for (int c = 1; c <= 3; ++c) music("level1\\" + std::to_string(r) + "_" + std::to_string(c) + ".vgz", 300);
  for (int m = 1; m <= 4; ++m) music("level1\\move" + std::to_string(m) + ".vgz", 200);
  music("level1\\next.vgz", 100);
  for (int i = 1; i <= 9; ++i) speech("learn\\" + std::to_string(i) + ".vgz", 600);
  for (const char* n : {"f_left", "f_right", "f_left1", "f_right1"})
    speech(std::string("TestSpk\\") + n + ".vgz", 400);
  return files;
}

std::string OnDisk(const std::string& name) {
  std::string path = name;
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

}  // namespace

void PrintTo(const GameFileSpec& spec, std::ostream* out) { *out << spec.name; }

const std::vector<GameFileSpec>& GameSoundFiles() {
  static const std::vector<GameFileSpec> files = BuildList();
  return files;
}

int FixtureDurationMs(const std::string& name) {
  for (const GameFileSpec& f : GameSoundFiles())
    if (f.name == name) return f.durationMs;
  return -1;
}

void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteToneFile(const std::string& path, int durationMs, int channels, int sampleRate,
                   double frequency) {
  const size_t frames = static_cast<size_t>(static_cast<int64_t>(sampleRate) * durationMs / 1000);
  std::vector<int16_t> samples(frames * channels);
  uint32_t noise = 12345;
  for (size_t i = 0; i < frames; ++i) {
    double v;
    if (frequency > 0) {
      v = 0.25 * std::sin(2.0 * M_PI * frequency * static_cast<double>(i) / sampleRate);
    } else {
      noise = noise * 1664525u + 1013904223u;
      v = 0.25 * (static_cast<double>(noise >> 8) / 8388608.0 - 1.0);
    }
    for (int c = 0; c < channels; ++c) samples[i * channels + c] = static_cast<int16_t>(v * 32767);
  }
  plat::PcmFormat format;
  format.channels = static_cast<uint16_t>(channels);
  format.sampleRate = static_cast<uint32_t>(sampleRate);
  format.bitsPerSample = 16;
  format.blockAlign = static_cast<uint16_t>(2 * channels);
  const std::vector<uint8_t> file = EncodeSoundFile(format, samples.data(), samples.size() * 2);
  WriteBytes(path, std::vector<unsigned char>(file.begin(), file.end()));
}

FixtureOptions DataFilesOnly() {
  FixtureOptions options;
  options.writeSounds = false;
  return options;
}

namespace {
const char kFolderPrefix[] = "/chimebox-test-";
}  // namespace

std::string MakeGameFolder(const FixtureOptions& options) {
  const std::string parent = options.inMemory && fs::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
  std::string pattern = parent + kFolderPrefix + "XXXXXX";
  const char* dir = ::mkdtemp(pattern.data());
  if (!dir) std::abort();
  const std::string folder = std::string(dir) + "/";
  double frequency = 300.0;
  for (const GameFileSpec& f : GameSoundFiles()) {
    frequency += 17.0;
    if (!options.writeSounds || options.missing.count(f.name)) continue;
    auto it = options.durationMs.find(f.name);
    const int ms = it == options.durationMs.end() ? f.durationMs : it->second;
    // The speaker test's sounds are broadband, like the speech they stand for: a pure tone
    // would hide how much louder the near ear hears.
    const bool broadband = f.name.rfind("TestSpk", 0) == 0;
    WriteToneFile(folder + OnDisk(f.name), ms, f.channels, f.sampleRate, broadband ? 0.0 : frequency);
  }
  if (options.writeBestDat) WriteBytes(folder + "best.dat", {});
  return folder;
}

void RemoveGameFolder(const std::string& folder) {
  std::error_code ignored;
  for (const char* parent : {"/tmp", "/dev/shm"})
    if (folder.rfind(std::string(parent) + kFolderPrefix, 0) == 0) fs::remove_all(folder, ignored);
}

}  // namespace testing_support
