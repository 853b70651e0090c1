// Head-related impulse responses in the compact form the mixer reads when it starts
// ("hrtf.dat"). The build makes the file from the SOFA data set (tools/hrtf_table), so the
// third of a second that opening the SOFA file costs stays off the game's start-up.
//
// Layout, little-endian:
//   header   magic "CBHRTF01", uint32 sample rate, uint32 directions, uint32 taps
//   each direction, floats: x, y, z (unit vector in game coordinates: x right, y up,
//            z ahead), delay left, delay right (samples), taps left, taps right
// The responses are minimum phase; the interaural delay is kept apart as the two delays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

constexpr char kHrtfTableFile[] = "hrtf.dat";  // beside the executable
constexpr char kHrtfMagic[8] = {'C', 'B', 'H', 'R', 'T', 'F', '0', '1'};
constexpr uint32_t kHrtfHeaderBytes = 20;
constexpr uint32_t kHrtfMaxTaps = 64;
constexpr uint32_t kHrtfMaxDirections = 100000;
constexpr float kHrtfMaxDelay = 60.0f;  // samples; a head is about 0.7 ms wide

class HrtfTable {
 public:
  // Reads a table made for sampleRate. False, and an empty table, when the file is missing,
  // is for another rate, or fails any check (sizes, counts, non-finite values).
  bool Load(const std::string& path, uint32_t sampleRate);
  bool Save(const std::string& path) const;

  // For the builder: start a table, then add one direction at a time.
  void Reset(uint32_t sampleRate, uint32_t taps);
  void Add(const float direction[3], const float delay[2], const float* left, const float* right);

  bool Empty() const { return directions_ == 0; }
  uint32_t Taps() const { return taps_; }
  uint32_t Directions() const { return directions_; }
  uint32_t SampleRate() const { return sampleRate_; }

  // The responses toward a direction (need not be unit length): a blend of the three
  // nearest measured directions, weighted by closeness. left and right take Taps() values.
  void Interpolate(float x, float y, float z, float* left, float* right, float delay[2]) const;

 private:
  uint32_t sampleRate_ = 0;
  uint32_t taps_ = 0;
  uint32_t directions_ = 0;
  std::vector<float> records_;  // per direction: 3 + 2 + 2 * taps_ floats

  uint32_t RecordFloats() const { return 5 + 2 * taps_; }
};

}  // namespace plat
