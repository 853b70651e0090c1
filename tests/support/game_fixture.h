// A game folder for tests: every file the game reads, made of plain tones whose lengths
// are known, so that tests can say when each sound ends.
#pragma once

#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace testing_support {

struct GameFileSpec {
  std::string name;  // as the game names it, backslash and all
  int durationMs;
  int channels;
  int sampleRate;
};

// Keeps test output readable: a file is named as the game names it.
void PrintTo(const GameFileSpec& spec, std::ostream* out);

// Every sound file the game loads, with the length the fixture gives it.
const std::vector<GameFileSpec>& GameSoundFiles();
int FixtureDurationMs(const std::string& name);

struct FixtureOptions {
  std::set<std::string> missing;            // game names not to write
  std::map<std::string, int> durationMs;    // game names with another length
  bool writeBestDat = true;                 // an empty best.dat, as installed
  bool writeSounds = true;                  // off for tests of the data files alone
  bool inMemory = false;                    // in /dev/shm where there is one: a write per step
};

// A folder for tests of the data files alone: no sounds.
FixtureOptions DataFilesOnly();

// Writes the folder (with the sub-folder case the game's data has) and returns its path,
// ending in '/'. The folder is removed by RemoveGameFolder.
std::string MakeGameFolder(const FixtureOptions& options = {});
void RemoveGameFolder(const std::string& folder);

// A sound file of a plain tone (white noise for frequency 0), for tests that make their own.
void WriteToneFile(const std::string& path, int durationMs, int channels, int sampleRate,
                   double frequency = 440.0);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> ReadBytes(const std::string& path);

}  // namespace testing_support
