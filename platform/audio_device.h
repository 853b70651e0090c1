// The sound device as the game sees it: static voices made from PCM, each played once or
// looped, with pan and volume in hundredths of a decibel, and positional (3D) voices.
//
// Implemented by the software mixer (platform/audio/mixer.h), which both back ends share;
// the virtual back end wraps it to log every call with its virtual time.
// Threads: all calls come from the game thread; implementations guard what the audio
// callback reads.
#pragma once

#include <cstdint>

namespace plat {

struct PcmFormat {
  uint16_t formatTag = 1;      // 1: PCM, the only one accepted
  uint16_t channels = 1;       // 1 or 2
  uint32_t sampleRate = 22050;
  uint16_t blockAlign = 2;     // bytes per frame
  uint16_t bitsPerSample = 16; // 8 (unsigned) or 16 (signed)
};

using VoiceId = uint32_t;
constexpr VoiceId kNoVoice = 0;
using ListenerId = uint32_t;
constexpr ListenerId kNoListener = 0;

// Status bits, as the game's queries compare them: 1 playing once, 5 playing looped.
enum : uint32_t {
  VOICE_PLAYING = 1,
  VOICE_LOOPING = 4,
};

constexpr int32_t PAN_LEFT = -10000;   // right channel at -100 dB
constexpr int32_t PAN_CENTER = 0;
constexpr int32_t PAN_RIGHT = 10000;
constexpr int32_t VOLUME_FULL = 0;
constexpr int32_t VOLUME_SILENT = -10000;

class AudioDevice {
 public:
  virtual ~AudioDevice() = default;

  // Makes a voice holding a copy of the samples. label names the sound in logs (its file
  // name). Returns kNoVoice when the format is refused: anything but 8- or 16-bit PCM with
  // 1 or 2 channels and a consistent block alignment, a rate outside 1000..192000 Hz, no
  // whole frame, or a stereo positional voice.
  virtual VoiceId CreateVoice(const char* label, const PcmFormat& format, const uint8_t* data,
                              uint32_t bytes, bool positional) = 0;
  virtual void DestroyVoice(VoiceId voice) = 0;

  virtual void SetCurrentPosition(VoiceId voice, uint32_t frame) = 0;
  virtual void SetPan(VoiceId voice, int32_t pan) = 0;        // -10000..10000; positional: refused
  virtual void SetVolume(VoiceId voice, int32_t volume) = 0;  // -10000..0
  virtual void Play(VoiceId voice, bool looped) = 0;          // from the current position
  virtual void Stop(VoiceId voice) = 0;                       // keeps the position
  virtual uint32_t GetStatus(VoiceId voice) = 0;              // VOICE_* bits, 0 when unknown

  // Positional voices only: the game's coordinates, x right, y up, z ahead of the listener,
  // who stays at the origin. No attenuation inside the minimum distance, inverse distance
  // beyond it.
  virtual void Set3DPosition(VoiceId voice, float x, float y, float z) = 0;
  virtual void SetMinDistance(VoiceId voice, float distance) = 0;

  // The listener exists only to be held and released; nothing is set on it.
  virtual ListenerId CreateListener() = 0;
  virtual void ReleaseListener(ListenerId listener) = 0;
};

}  // namespace plat
