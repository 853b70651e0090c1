// CPU cost of one second of mixed audio, ours against OpenAL Soft's (its loopback device,
// float output at 48 kHz), on three scenes:
//   A  a looping 44.1 kHz stereo music voice and a 22.05 kHz mono speech voice
//   B  a looping background (centre) and two mono voices at pan -10000 and 10000,
//      restarted together every 300 ms
//   C  four positional voices at the speaker test's places, minimum distance 10, HRTF
// Each iteration renders one second in periods of 256 frames, so the time per iteration
// is the cost per second of audio. After the run, our cost is printed as a ratio of theirs.
//
//   mixer_bench                      the benchmark
//   mixer_bench --once SCENE ENGINE  renders two seconds, the second one inside
//                                    RenderMeasuredSecond, for callgrind's
//                                    --toggle-collect='*RenderMeasuredSecond*'
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"

namespace {

constexpr uint32_t kRate = 48000;
constexpr uint32_t kPeriod = 256;
constexpr uint32_t kRestartFrames = kRate * 300 / 1000;

struct Sound {
  uint32_t rate;
  uint16_t channels;
  std::vector<int16_t> samples;
};

Sound MakeSound(uint32_t rate, uint16_t channels, double seconds, double hz) {
  Sound s{rate, channels, {}};
  const uint32_t frames = static_cast<uint32_t>(rate * seconds);
  uint32_t noise = 1;
  for (uint32_t f = 0; f < frames; ++f) {
    for (int c = 0; c < channels; ++c) {
      noise = noise * 1664525u + 1013904223u;
      const double v = 0.3 * std::sin(2 * M_PI * hz * (c + 1) * f / rate) +
                       0.05 * ((noise >> 16) / 32768.0 - 1.0);
      s.samples.push_back(static_cast<int16_t>(v * 32767));
    }
  }
  return s;
}

const Sound& Music() { static Sound s = MakeSound(44100, 2, 10.0, 220.0); return s; }
const Sound& Speech() { static Sound s = MakeSound(22050, 1, 2.0, 150.0); return s; }
const Sound& Beep() { static Sound s = MakeSound(22050, 1, 0.25, 660.0); return s; }
const Sound& Chime() { static Sound s = MakeSound(22050, 1, 1.0, 880.0); return s; }

struct Spot {
  float x, y, z;
};
constexpr Spot kPlaces[4] = {{-1, 0, 5}, {1, 0, 5}, {-8, 0, -5}, {8, 0, -5}};

class Engine {
 public:
  virtual ~Engine() = default;
  virtual void Render(float* out, uint32_t frames) = 0;
  virtual void Restart() = 0;

  void RenderSecond(char scene) {
    for (uint32_t done = 0; done < kRate; done += kPeriod) {
      if (scene == 'B' && frame_ >= nextRestart_) {
        Restart();
        nextRestart_ += kRestartFrames;
      }
      Render(buffer_, kPeriod);
      frame_ += kPeriod;
    }
    benchmark::DoNotOptimize(buffer_[0]);
  }

 private:
  float buffer_[2 * kPeriod] = {};
  uint64_t frame_ = 0;
  uint64_t nextRestart_ = 0;
};

class Ours : public Engine {
 public:
  explicit Ours(char scene) : mixer_(kRate, CHIMEBOX_HRTF_TABLE) {
    if (scene == 'A') {
      mixer_.Play(Load(Music(), false), true);
      mixer_.Play(Load(Speech(), false), true);
    } else if (scene == 'B') {
      mixer_.Play(Load(Music(), false), true);
      const int32_t pans[2] = {plat::PAN_LEFT, plat::PAN_RIGHT};
      for (int32_t pan : pans) {
        restart_.push_back(Load(Beep(), false));
        mixer_.SetPan(restart_.back(), pan);
      }
    } else {
      if (!mixer_.HasHrtf()) std::fprintf(stderr, "warning: no HRTF table, plain pan\n");
      for (const Spot& p : kPlaces) {
        const plat::VoiceId v = Load(Chime(), true);
        mixer_.SetMinDistance(v, 10.0f);
        mixer_.Set3DPosition(v, p.x, p.y, p.z);
        mixer_.Play(v, true);
      }
    }
  }
  void Render(float* out, uint32_t frames) override { mixer_.Render(out, frames); }
  void Restart() override {
    for (plat::VoiceId v : restart_) {  // as the game's PlayOnce does it
      mixer_.SetCurrentPosition(v, 0);
      mixer_.Play(v, false);
    }
  }

 private:
  plat::VoiceId Load(const Sound& s, bool positional) {
    plat::PcmFormat f;
    f.channels = s.channels;
    f.sampleRate = s.rate;
    f.bitsPerSample = 16;
    f.blockAlign = static_cast<uint16_t>(2 * s.channels);
    return mixer_.CreateVoice("bench", f, reinterpret_cast<const uint8_t*>(s.samples.data()),
                              static_cast<uint32_t>(s.samples.size() * 2), positional);
  }
  plat::Mixer mixer_;
  std::vector<plat::VoiceId> restart_;
};

class OpenAl : public Engine {
 public:
  explicit OpenAl(char scene) {
    device_ = alcLoopbackOpenDeviceSOFT(nullptr);
    const ALCint attrs[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT,
                            ALC_FORMAT_TYPE_SOFT,     ALC_FLOAT_SOFT,
                            ALC_FREQUENCY,            static_cast<ALCint>(kRate),
                            ALC_HRTF_SOFT,            scene == 'C' ? ALC_TRUE : ALC_FALSE,
                            0};
    context_ = alcCreateContext(device_, attrs);
    alcMakeContextCurrent(context_);
    if (scene == 'C') {
      ALCint status = 0;
      alcGetIntegerv(device_, ALC_HRTF_STATUS_SOFT, 1, &status);
      if (status != ALC_HRTF_ENABLED_SOFT) std::fprintf(stderr, "warning: OpenAL HRTF is off\n");
    }
    if (scene == 'A') {
      Play(Load(Music()), {0, 0, -1}, true);
      Play(Load(Speech()), {0, 0, -1}, true);
    } else if (scene == 'B') {
      Play(Load(Music()), {0, 0, -1}, true);
      restart_.push_back(Source(Load(Beep()), {-1, 0, 0}, true));
      restart_.push_back(Source(Load(Beep()), {1, 0, 0}, true));
    } else {
      alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
      for (const Spot& p : kPlaces) {
        // OpenAL's listener faces -z; ours faces +z.
        const ALuint s = Source(Load(Chime()), {p.x, p.y, -p.z}, false);
        alSourcef(s, AL_REFERENCE_DISTANCE, 10.0f);
        alSourcei(s, AL_LOOPING, AL_TRUE);
        alSourcePlay(s);
      }
    }
  }
  ~OpenAl() override {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
    alcCloseDevice(device_);
  }
  void Render(float* out, uint32_t frames) override {
    alcRenderSamplesSOFT(device_, out, static_cast<ALCsizei>(frames));
  }
  void Restart() override {
    for (ALuint s : restart_) {
      alSourceRewind(s);
      alSourcePlay(s);
    }
  }

 private:
  ALuint Load(const Sound& s) {
    ALuint b = 0;
    alGenBuffers(1, &b);
    alBufferData(b, s.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16, s.samples.data(),
                 static_cast<ALsizei>(s.samples.size() * 2), static_cast<ALsizei>(s.rate));
    return b;
  }
  ALuint Source(ALuint buffer, Spot p, bool relative) {
    ALuint s = 0;
    alGenSources(1, &s);
    alSourcei(s, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcei(s, AL_SOURCE_RELATIVE, relative ? AL_TRUE : AL_FALSE);
    alSource3f(s, AL_POSITION, p.x, p.y, p.z);
    return s;
  }
  void Play(ALuint buffer, Spot p, bool looped) {
    const ALuint s = Source(buffer, p, true);
    alSourcei(s, AL_LOOPING, looped ? AL_TRUE : AL_FALSE);
    alSourcePlay(s);
  }
  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  std::vector<ALuint> restart_;
};

}  // namespace

namespace {

std::unique_ptr<Engine> Make(const std::string& engine, char scene) {
  if (engine == "ours") return std::make_unique<Ours>(scene);
  return std::make_unique<OpenAl>(scene);
}

void BM_Scene(benchmark::State& state, std::string engine, char scene) {
  auto e = Make(engine, scene);
  e->RenderSecond(scene);  // warm up: the first second pays for first touches
  for (auto _ : state) e->RenderSecond(scene);
  state.counters["audio_s"] = benchmark::Counter(1.0, benchmark::Counter::kIsIterationInvariantRate);
}

class Collector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> cpuMs;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (!r.error_occurred && r.run_type == Run::RT_Iteration) {
        cpuMs[r.run_name.function_name] = r.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

__attribute__((noinline)) void RenderMeasuredSecond(Engine& e, char scene) { e.RenderSecond(scene); }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--once") == 0) {
    const char scene = argv[2][0];
    auto e = Make(argv[3], scene);
    e->RenderSecond(scene);
    RenderMeasuredSecond(*e, scene);
    return 0;
  }
  for (const char* scene : {"A", "B", "C"}) {
    for (const char* engine : {"ours", "openal"}) {
      benchmark::RegisterBenchmark((std::string(scene) + "/" + engine).c_str(), BM_Scene,
                                   std::string(engine), scene[0])
          ->Unit(benchmark::kMillisecond)
          ->MinTime(1.0);
    }
  }
  benchmark::Initialize(&argc, argv);
  Collector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nCPU ms per second of audio, ours / OpenAL Soft (goal <= 0.5):\n");
  for (const char* scene : {"A", "B", "C"}) {
    const auto ours = reporter.cpuMs.find(std::string(scene) + "/ours");
    const auto theirs = reporter.cpuMs.find(std::string(scene) + "/openal");
    if (ours == reporter.cpuMs.end() || theirs == reporter.cpuMs.end()) continue;
    std::printf("  %s  %.3f / %.3f = %.2f\n", scene, ours->second, theirs->second,
                ours->second / theirs->second);
  }
  return 0;
}
