#include "platform/audio/hrtf_table.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

namespace plat {
namespace {

uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

float GetF32(const uint8_t* p) {
  uint32_t bits = GetU32(p);
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

void PutF32(uint8_t* p, float f) {
  uint32_t bits;
  std::memcpy(&bits, &f, sizeof bits);
  PutU32(p, bits);
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

void HrtfTable::Reset(uint32_t sampleRate, uint32_t taps) {
  sampleRate_ = sampleRate;
  taps_ = taps;
  directions_ = 0;
  records_.clear();
}

void HrtfTable::Add(const float direction[3], const float delay[2], const float* left,
                    const float* right) {
  records_.insert(records_.end(), direction, direction + 3);
  records_.insert(records_.end(), delay, delay + 2);
  records_.insert(records_.end(), left, left + taps_);
  records_.insert(records_.end(), right, right + taps_);
  ++directions_;
}

bool HrtfTable::Load(const std::string& path, uint32_t sampleRate) {
  Reset(0, 0);
  File file(std::fopen(path.c_str(), "rb"));
  if (!file) return false;

  uint8_t header[kHrtfHeaderBytes];
  if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return false;
  if (std::memcmp(header, kHrtfMagic, sizeof kHrtfMagic) != 0) return false;
  const uint32_t rate = GetU32(header + 8);
  const uint32_t directions = GetU32(header + 12);
  const uint32_t taps = GetU32(header + 16);
  if (rate != sampleRate || directions == 0 || directions > kHrtfMaxDirections || taps == 0 ||
      taps > kHrtfMaxTaps) {
    return false;
  }

  const size_t recordFloats = 5 + 2 * static_cast<size_t>(taps);
  const size_t bodyBytes = static_cast<size_t>(directions) * recordFloats * 4;
  std::vector<uint8_t> body(bodyBytes + 1);
  // One byte more than expected tells a file with trailing bytes from an exact one.
  if (std::fread(body.data(), 1, body.size(), file.get()) != bodyBytes) return false;

  std::vector<float> records(static_cast<size_t>(directions) * recordFloats);
  for (size_t i = 0; i < records.size(); ++i) {
    records[i] = GetF32(body.data() + 4 * i);
    if (!std::isfinite(records[i]) || std::fabs(records[i]) > 1000.0f) return false;
  }
  for (size_t d = 0; d < directions; ++d) {
    const float* r = records.data() + d * recordFloats;
    const float length = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
    if (std::fabs(length - 1.0f) > 0.01f) return false;
    if (r[3] < 0.0f || r[3] > kHrtfMaxDelay || r[4] < 0.0f || r[4] > kHrtfMaxDelay) return false;
  }

  sampleRate_ = rate;
  taps_ = taps;
  directions_ = directions;
  records_ = std::move(records);
  return true;
}

bool HrtfTable::Save(const std::string& path) const {
  std::vector<uint8_t> bytes(kHrtfHeaderBytes + records_.size() * 4);
  std::memcpy(bytes.data(), kHrtfMagic, sizeof kHrtfMagic);
  PutU32(bytes.data() + 8, sampleRate_);
  PutU32(bytes.data() + 12, directions_);
  PutU32(bytes.data() + 16, taps_);
  for (size_t i = 0; i < records_.size(); ++i) {
    PutF32(bytes.data() + kHrtfHeaderBytes + 4 * i, records_[i]);
  }
  File file(std::fopen(path.c_str(), "wb"));
  if (!file) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
  return std::fclose(file.release()) == 0;
}

void HrtfTable::Interpolate(float x, float y, float z, float* left, float* right,
                            float delay[2]) const {
  std::fill(left, left + taps_, 0.0f);
  std::fill(right, right + taps_, 0.0f);
  delay[0] = delay[1] = 0.0f;
  if (directions_ == 0) return;

  float length = std::sqrt(x * x + y * y + z * z);
  if (!(length > 1e-6f)) {  // at the listener's head (or NaN): as if straight ahead
    x = 0.0f, y = 0.0f, z = 1.0f, length = 1.0f;
  }
  x /= length, y /= length, z /= length;

  // The three nearest directions by cosine, kept in order.
  constexpr int kNear = 3;
  int best[kNear] = {-1, -1, -1};
  float bestCos[kNear] = {-2.0f, -2.0f, -2.0f};
  const uint32_t stride = RecordFloats();
  for (uint32_t d = 0; d < directions_; ++d) {
    const float* r = records_.data() + static_cast<size_t>(d) * stride;
    float c = r[0] * x + r[1] * y + r[2] * z;
    int i = d;
    for (int k = 0; k < kNear; ++k) {
      if (c > bestCos[k]) {
        std::swap(c, bestCos[k]);
        std::swap(i, best[k]);
      }
    }
  }

  float weights[kNear] = {};
  float total = 0.0f;
  for (int k = 0; k < kNear; ++k) {
    if (best[k] < 0) continue;
    const float angle = std::acos(std::clamp(bestCos[k], -1.0f, 1.0f));
    weights[k] = 1.0f / (angle + 1e-3f);
    total += weights[k];
  }
  for (int k = 0; k < kNear; ++k) {
    if (best[k] < 0) continue;
    const float w = weights[k] / total;
    const float* r = records_.data() + static_cast<size_t>(best[k]) * stride;
    delay[0] += w * r[3];
    delay[1] += w * r[4];
    for (uint32_t t = 0; t < taps_; ++t) {
      left[t] += w * r[5 + t];
      right[t] += w * r[5 + taps_ + t];
    }
  }
}

}  // namespace plat
