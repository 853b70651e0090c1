#include "sound/sound_file_format.h"

#include <algorithm>
#include <cstring>

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v);
  Put16(p + 2, v >> 16);
}

}  // namespace

void ReverseSoundFileHead(uint8_t* bytes) {
  std::reverse(bytes, bytes + SOUND_HEAD_REVERSED);
}

plat::PcmFormat ReadWaveFormat(const uint8_t* header) {
  const uint8_t* f = header + WAVE_FORMAT_OFFSET;
  plat::PcmFormat format;
  format.formatTag = Get16(f);
  format.channels = Get16(f + 2);
  format.sampleRate = Get32(f + 4);
  format.blockAlign = Get16(f + 12);
  format.bitsPerSample = Get16(f + 14);
  return format;
}

uint32_t ReadWaveDataSize(const uint8_t* header) { return Get32(header + WAVE_DATA_SIZE_OFFSET); }

std::vector<uint8_t> EncodeSoundFile(const plat::PcmFormat& format, const void* samples,
                                     size_t bytes) {
  // Short files are padded so that the reversed head always lies inside the file.
  const size_t total = std::max(WAVE_HEADER_SIZE + bytes, SOUND_HEAD_REVERSED);
  std::vector<uint8_t> file(total, 0);
  uint8_t* h = file.data();
  std::memcpy(h, "RIFF", 4);
  Put32(h + 4, static_cast<uint32_t>(36 + bytes));
  std::memcpy(h + 8, "WAVEfmt ", 8);
  Put32(h + 16, 16);
  Put16(h + 20, format.formatTag);
  Put16(h + 22, format.channels);
  Put32(h + 24, format.sampleRate);
  Put32(h + 28, format.sampleRate * format.blockAlign);
  Put16(h + 32, format.blockAlign);
  Put16(h + 34, format.bitsPerSample);
  std::memcpy(h + 36, "data", 4);
  Put32(h + 40, static_cast<uint32_t>(bytes));
  if (bytes) std::memcpy(h + WAVE_HEADER_SIZE, samples, bytes);
  ReverseSoundFileHead(h);
  return file;
}
