// chimebox-databuild <output-folder>: makes every recording the game plays and the
// pictures its window shows, beside the game's executable.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/sound_file_format.h"
#include "tools/databuild/music.h"
#include "tools/databuild/pictures.h"
#include "tools/databuild/speech.h"
#include "tools/databuild/texts.h"

#ifndef CHIMEBOX_VERSION
#define CHIMEBOX_VERSION "0"
#endif

namespace {

namespace fs = std::filesystem;

void WriteSound(const fs::path& folder, const std::string& name, uint16_t channels,
                uint32_t rate, const std::vector<int16_t>& samples) {
  if (samples.empty()) throw std::runtime_error("no sound made for " + name);
  plat::PcmFormat format;
  format.channels = channels;
  format.sampleRate = rate;
  format.bitsPerSample = 16;
  format.blockAlign = static_cast<uint16_t>(2 * channels);
  const std::vector<uint8_t> file =
      EncodeSoundFile(format, samples.data(), samples.size() * sizeof(int16_t));
  const fs::path path = folder / (name + ".vgz");
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void WriteMusic(const fs::path& folder, const std::string& name, const StereoSound& sound) {
  WriteSound(folder, name, 2, MUSIC_RATE, ToPcm16(sound));
}

int Build(const fs::path& folder) {
  fs::create_directories(folder);
  WritePictures(folder.string(), CHIMEBOX_VERSION);

  int sounds = 0;
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) {
      WriteMusic(folder, "level1/" + std::to_string(row + 1) + "_" + std::to_string(column + 1),
                 CellSound(row, column));
      ++sounds;
    }
  }
  const std::pair<const char*, StereoSound> effects[] = {
      {"level1/next", CueSound()},
      {"level1/move1", MoveSound(Move::kRowLeft)},
      {"level1/move2", MoveSound(Move::kRowRight)},
      {"level1/move3", MoveSound(Move::kColumnUp)},
      {"level1/move4", MoveSound(Move::kColumnDown)},
      {"level1/start", StartSignal()},
      {"level1/stop", StopSignal()},
      {"level1/bgrn", LevelLoop()},
      {"menu/bgrn", MenuLoop()},
  };
  for (const auto& [name, sound] : effects) {
    WriteMusic(folder, name, sound);
    ++sounds;
  }

  SpeechSynth speech;
  for (const SpokenText& spoken : SpokenTexts()) {
    WriteSound(folder, spoken.file, 1, SPEECH_RATE, speech.Speak(spoken.text, spoken.style));
    ++sounds;
  }
  std::printf("chimebox-databuild: %d sounds and 4 pictures in %s\n", sounds,
              folder.string().c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output-folder>\n", argv[0]);
    return 2;
  }
  try {
    return Build(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "chimebox-databuild: %s\n", e.what());
    return 1;
  }
}
