// A sound file of any bytes through the reader and both loaders on the virtual platform,
// then played for a moment through the mixer. A voice is only ever made of whole frames
// that lie in the file after its 44-byte header, and every call leaves the device sane.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/globals.h"
#include "platform/virtual/virtual_platform.h"
#include "sound/sound.h"
#include "sound/sound_file.h"

namespace {

const char kName[] = "menu\\fuzz.vgz";

// A folder in memory where there is one, so that each input costs no disk write.
std::string MakeFolder() {
  std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
  pattern += "/chimebox-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data())) std::abort();
  const std::string folder = pattern + "/";
  if (mkdir((folder + "menu").c_str(), 0700) != 0) std::abort();
  return folder;
}

struct Machine {
  plat::VirtualPlatform vp;
  std::string folder = MakeFolder();
  Machine() {
    plat::g_platform = &vp;
    g_programFolder = folder;
    if (!CreateSoundDevice()) std::abort();
  }
  ~Machine() {
    ReleaseSoundDevice();
    std::remove((folder + "menu/fuzz.vgz").c_str());
    rmdir((folder + "menu").c_str());
    rmdir(folder.c_str());
  }
};

Machine& TheMachine() {
  static Machine machine;
  return machine;
}

// The bytes the loader gave the device must be whole frames from inside the file.
void CheckMade(plat::VirtualPlatform& vp, size_t logFrom, size_t fileBytes) {
  const auto& log = vp.Log();
  for (size_t i = logFrom; i < log.size(); ++i) {
    const plat::LogEntry& e = log[i];
    if (e.op == "bad-voice" || e.op == "bad-listener") std::abort();
    if ((e.op == "create" || e.op == "create3d") && e.a != 0) {
      if (fileBytes < WAVE_HEADER_SIZE) std::abort();
      if (static_cast<size_t>(e.b) > fileBytes - WAVE_HEADER_SIZE) std::abort();
      const plat::PcmFormat f = ReadWaveFormat(g_soundFileBuffer);
      if (f.blockAlign == 0 || e.b % f.blockAlign != 0 || e.b == 0) std::abort();
    }
  }
}

void Exercise(plat::VirtualPlatform& vp, SoundBuffer sound, bool looped) {
  if (looped) PlayLooped(sound, plat::PAN_LEFT, plat::VOLUME_FULL);
  else PlayOnce(sound, plat::PAN_RIGHT, plat::VOLUME_FULL);
  vp.AdvanceTo(vp.NowMs() + 12);
  IsPlaying(sound);
  IsLooping(sound);
  StopSound(sound);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Machine& m = TheMachine();
  const std::string path = m.folder + "menu/fuzz.vgz";
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);

  const size_t logFrom = m.vp.Log().size();
  const int read = ReadSoundFile(kName);
  if (read != (size > 0 ? 1 : 0)) std::abort();
  if (read && g_soundFileBytes != std::min(size, SOUND_FILE_BUFFER_SIZE)) std::abort();

  SoundBuffer plain = LoadSound(kName);
  CheckMade(m.vp, logFrom, size);
  Exercise(m.vp, plain, size % 2 == 0);

  const size_t logFrom3d = m.vp.Log().size();
  SoundBuffer positional = LoadSound3D(kName);
  CheckMade(m.vp, logFrom3d, size);
  if (positional != 0 && ReadWaveFormat(g_soundFileBuffer).channels != 1) std::abort();
  SetSoundMinDistance(QuerySound3D(positional), 2.0f);
  SetSoundPosition(QuerySound3D(positional), -3.0f, 0.0f, 1.0f);
  Exercise(m.vp, positional, false);

  ReleaseSound(plain);
  ReleaseSound(positional);
  if (plain != 0 || positional != 0) std::abort();
  // The log would grow without end over millions of inputs.
  if (m.vp.Log().size() > 100000) m.vp.ClearLog();
  return 0;
}
