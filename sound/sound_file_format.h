// The game's sound-file format (".vgz"): a canonical 44-byte-header PCM wave file whose
// first 50 bytes are stored in reverse order. The reversal is its own inverse.
//
// The only place that knows the layout: the reader (sound/sound_file.cpp), the data builder
// and the test fixtures all go through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/audio_device.h"

constexpr size_t SOUND_FILE_BUFFER_SIZE = 10000000;  // ten million, as the files were sized for
constexpr size_t SOUND_HEAD_REVERSED = 50;
constexpr size_t WAVE_HEADER_SIZE = 44;
constexpr size_t WAVE_FORMAT_OFFSET = 20;     // 18-byte format block
constexpr size_t WAVE_DATA_SIZE_OFFSET = 40;  // data size in bytes, unsigned little-endian

// Reverses bytes 0..49 in place; the buffer must hold at least 50 bytes.
void ReverseSoundFileHead(uint8_t* bytes);

// Reads the format block and the data size of a restored file header (44 bytes at least).
plat::PcmFormat ReadWaveFormat(const uint8_t* header);
uint32_t ReadWaveDataSize(const uint8_t* header);

// A whole sound file, head reversed, for the given format and samples.
std::vector<uint8_t> EncodeSoundFile(const plat::PcmFormat& format, const void* samples,
                                     size_t bytes);
