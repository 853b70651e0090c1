// startup_probe RUNS GAME_BINARY RAW_READS_BINARY FILE...
//
// What a player waits for at start-up: from starting the real program to its first sample
// of the introduction leaving the mixer, against starting a process that only reads the
// same files raw (RAW_READS_BINARY FILE...). The two are started alternately RUNS times.
//
// The program runs with SDL's disk audio driver, which writes every mixed period to a file
// as it is played; this probe reads the file as it grows and notes the moment the first
// sample that is not zero shows. The introduction's own leading silence (read from its
// file) is taken off. SDL writes the file through a stdio buffer of two periods; the
// probe preloads libunbuffered_disk_audio.so (from its own folder) into the program to
// take that buffer away, so that each period shows as soon as it has been mixed.
// The program is then asked to end (SIGTERM, which SDL turns into a close request).
// Needs DISPLAY (bench/startup_to_sound.sh runs it under Xvfb).
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "bench/raw_reads.h"
#include "sound/sound_file_format.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The shim beside this probe that unbuffers SDL's disk audio file.
std::string UnbufferedDiskAudioShim() {
  char self[4096];
  const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
  if (n <= 0) return "";
  const std::string path(self, static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1) + "libunbuffered_disk_audio.so";
}

pid_t Spawn(const std::vector<std::string>& args, const char* diskFile, const std::string& shim) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (diskFile) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", diskFile, 1);
    setenv("LD_PRELOAD", shim.c_str(), 1);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
  }
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(argv[0], argv.data());
  _exit(127);
}

// Milliseconds of silence before the first sample that is not zero, at the file's rate.
double LeadingSilenceMs(const std::string& path) {
  std::vector<char> bytes(SOUND_FILE_BUFFER_SIZE);
  const long n = bench::ReadFilesRaw({path}, bytes.data(), bytes.size());
  if (n < static_cast<long>(WAVE_HEADER_SIZE)) return 0.0;
  auto* head = reinterpret_cast<uint8_t*>(bytes.data());
  ReverseSoundFileHead(head);
  const plat::PcmFormat format = ReadWaveFormat(head);
  const size_t end = std::min<size_t>(n, WAVE_HEADER_SIZE + ReadWaveDataSize(head));
  const bool eightBit = format.bitsPerSample == 8;
  size_t at = WAVE_HEADER_SIZE;
  for (; at + 1 < end; at += eightBit ? 1 : 2) {
    const int sample = eightBit ? head[at] - 128 : static_cast<int16_t>(head[at] | head[at + 1] << 8);
    if (sample != 0) break;
  }
  return 1000.0 * ((at - WAVE_HEADER_SIZE) / format.blockAlign) / format.sampleRate;
}

// Starts the game and returns the milliseconds until its first sample that is not zero
// shows in the disk file; negative when none shows within the time out.
double TimeToFirstSound(const std::string& game, const std::string& diskFile, const std::string& shim) {
  unlink(diskFile.c_str());
  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn({game}, diskFile.c_str(), shim);
  double seenMs = -1.0;
  int fd = -1;
  std::vector<char> chunk(1 << 16);
  size_t carry = 0;  // bytes of a float split across reads
  char partial[4];
  while (MsSince(start) < 10000.0 && seenMs < 0) {
    if (fd < 0) fd = open(diskFile.c_str(), O_RDONLY);
    if (fd >= 0) {
      const ssize_t got = read(fd, chunk.data(), chunk.size());
      for (ssize_t i = 0; i < got && seenMs < 0; ++i) {
        partial[carry++] = chunk[i];
        if (carry < 4) continue;
        carry = 0;
        float sample;
        std::memcpy(&sample, partial, 4);
        if (sample != 0.0f) seenMs = MsSince(start);
      }
      if (got > 0) continue;
    }
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  if (fd >= 0) close(fd);
  kill(pid, SIGTERM);
  for (int i = 0; i < 500 && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (waitpid(pid, nullptr, WNOHANG) == 0) {
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  }
  unlink(diskFile.c_str());
  return seenMs;
}

double TimeToExit(const std::vector<std::string>& args) {
  const Clock::time_point start = Clock::now();
  const pid_t pid = Spawn(args, nullptr, "");
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1.0;
  return MsSince(start);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr, "usage: startup_probe RUNS GAME_BINARY RAW_READS_BINARY FILE...\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const std::string game = argv[2];
  const std::vector<std::string> raw(argv + 3, argv + argc);
  const std::string folder = game.substr(0, game.rfind('/') + 1);
  const double silenceMs = LeadingSilenceMs(folder + "game/game_intro.vgz");
  const std::string diskFile = "/tmp/chimebox-startup-probe-" + std::to_string(getpid()) + ".raw";
  const std::string shim = UnbufferedDiskAudioShim();
  if (access(shim.c_str(), R_OK) != 0) {
    std::fprintf(stderr, "startup_probe: no %s\n", shim.c_str());
    return 1;
  }

  std::vector<double> gameMs, rawMs;
  for (int run = 1; run <= runs; ++run) {
    const double r = TimeToExit(raw);
    const double g = TimeToFirstSound(game, diskFile, shim);
    if (r < 0 || g < 0) {
      std::fprintf(stderr, "run %d failed (raw %.1f, game %.1f)\n", run, r, g);
      return 1;
    }
    rawMs.push_back(r);
    gameMs.push_back(g - silenceMs);
    std::printf("run %2d: first sound %.1f ms (less %.1f ms of the introduction's own silence), raw reads %.2f ms\n",
                run, g, silenceMs, r);
  }
  const double g = Median(gameMs), r = Median(rawMs), goal = 2 * r + 20.0;
  std::printf("median of %d: start-up to the introduction's first sample %.1f ms / %zu raw reads %.2f ms"
              " = %.1fx; goal %.1f ms: %s\n",
              runs, g, raw.size() - 1, r, g / r, goal, g <= goal ? "met" : "MISSED");
  return 0;
}
