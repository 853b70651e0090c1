// Reading one sound file whole into the shared file buffer, head restored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sound/sound_file_format.h"

// Lifetime: whole run. The last file read, restored; bytes past its end keep what an
// earlier, longer file left there. Loaders copy what they need before the next read.
extern uint8_t g_soundFileBuffer[SOUND_FILE_BUFFER_SIZE];
// How many bytes the last successful read gave; the loaders never look past them.
extern size_t g_soundFileBytes;

// 1 when the file (a name relative to g_programFolder) was read and restored, 0 otherwise.
int ReadSoundFile(const char* name);
