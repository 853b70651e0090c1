#include "sound/sound_file.h"

#include <cstdio>

#include "app/globals.h"
#include "platform/platform.h"

uint8_t g_soundFileBuffer[SOUND_FILE_BUFFER_SIZE];
size_t g_soundFileBytes = 0;

namespace {
constexpr size_t kMaxPath = 1024;
}

int ReadSoundFile(const char* name) {
  char path[kMaxPath];
  const int length = std::snprintf(path, sizeof path, "%s%s", g_programFolder.c_str(), name);
  if (length < 0 || static_cast<size_t>(length) >= sizeof path) return 0;

  const long read = plat::g_platform->ReadFileHead(path, g_soundFileBuffer, SOUND_FILE_BUFFER_SIZE);
  if (read <= 0) return 0;
  g_soundFileBytes = static_cast<size_t>(read);
  // Always the whole head, however short the file: what lies past a short file is stale.
  ReverseSoundFileHead(g_soundFileBuffer);
  return 1;
}
