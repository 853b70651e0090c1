// The game's own loads against plain reads of the same files, in one run:
//   Startup     the second start-up stage and the first paint (the 50 menu and score sounds,
//               then the introduction), up to the mixer's first period with the
//               introduction in it, on the built game folder
//   RawStartup  the same 50 files read raw (bench/raw_reads.h)
//   StartLevel  StartLevel: the level's 17 sounds loaded, the first cell started
//   RawLevel    the same 17 files read raw
// The game runs on the virtual platform, whose audio is the real mixer (with the HRTF table
// the real program reads); its clock never moves, so only the work is timed. The file lists
// are taken from what the game itself reads. Goal: each load within 2x its raw reads + 20 ms.
//
//   load_bench [benchmark flags]
//   load_bench --list startup|level   prints the files, one full path a line
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/app.h"
#include "bench/raw_reads.h"
#include "platform/audio/mixer.h"
#include "platform/posix/posix_files.h"
#include "platform/virtual/virtual_platform.h"
#include "puzzle/level.h"
#include "tests/support/game_state.h"

namespace {

const std::string kGameFolder = CHIMEBOX_GAME_DIR;

// Notes the sound files the game reads, as the file system finds them.
class RecordingPlatform : public plat::VirtualPlatform {
 public:
  std::vector<std::string> soundFiles;
  long ReadFileHead(const char* path, void* buffer, size_t maxBytes) override {
    const std::string resolved = plat::ResolveGamePath(path);
    if (resolved.size() > 4 && resolved.compare(resolved.size() - 4, 4, ".vgz") == 0)
      soundFiles.push_back(resolved);
    return VirtualPlatform::ReadFileHead(path, buffer, maxBytes);
  }
};

void Prepare(plat::VirtualPlatform& vp) {
  testing_support::ResetGameState();
  vp.SetExecutablePath(kGameFolder + "chimebox");
  vp.SetHrtfTablePath(kGameFolder + plat::kHrtfTableFile);
  plat::g_platform = &vp;
}

void Finish(CMainDlg& dlg) {
  dlg.Close();
  plat::g_platform = nullptr;
}

struct FileLists {
  std::vector<std::string> startup;  // the second stage's reads, before the first paint
  std::vector<std::string> level;
};

const FileLists& Files() {
  static const FileLists lists = [] {
    FileLists l;
    RecordingPlatform vp;
    Prepare(vp);
    CMainDlg dlg;
    dlg.OnInitDialog();
    l.startup = vp.soundFiles;
    dlg.PumpUntil(0);
    vp.soundFiles.clear();
    StartLevel();
    l.level = vp.soundFiles;
    ReleaseLevelSounds();
    Finish(dlg);
    return l;
  }();
  return lists;
}

std::vector<char>& ReadBuffer() {
  static std::vector<char> buffer(10000000);
  return buffer;
}

void BM_Startup(benchmark::State& state) {
  float period[2 * plat::Mixer::kPeriodFrames];
  for (auto _ : state) {
    plat::VirtualPlatform vp;
    Prepare(vp);
    CMainDlg dlg;
    dlg.OnInitDialog();
    dlg.PumpUntil(0);  // the first paint starts the introduction
    vp.GetMixer()->Render(period, plat::Mixer::kPeriodFrames);
    benchmark::DoNotOptimize(period);
    state.PauseTiming();
    Finish(dlg);
    state.ResumeTiming();
  }
}

void BM_StartLevel(benchmark::State& state) {
  plat::VirtualPlatform vp;
  Prepare(vp);
  CMainDlg dlg;
  dlg.OnInitDialog();
  dlg.PumpUntil(0);
  for (auto _ : state) {
    if (!StartLevel()) state.SkipWithError("StartLevel failed");
    state.PauseTiming();
    ReleaseLevelSounds();
    state.ResumeTiming();
  }
  Finish(dlg);
}

void BM_Raw(benchmark::State& state, const std::vector<std::string>* files) {
  for (auto _ : state) {
    if (bench::ReadFilesRaw(*files, ReadBuffer().data(), ReadBuffer().size()) < 0) state.SkipWithError("a file cannot be read");
  }
}

class Collector : public benchmark::ConsoleReporter {
 public:
  std::map<std::string, double> medianMs;
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (!r.error_occurred && r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
        medianMs[r.run_name.function_name] = r.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

void PrintVerdict(const Collector& c, const char* what, const char* game, const char* raw,
                  size_t files) {
  const auto g = c.medianMs.find(game), r = c.medianMs.find(raw);
  if (g == c.medianMs.end() || r == c.medianMs.end()) return;
  const double goal = 2 * r->second + 20.0;
  std::printf("  %-10s %2zu files  %8.3f ms / raw %6.3f ms = %6.1fx   goal %.3f ms: %s\n", what,
              files, g->second, r->second, g->second / r->second, goal,
              g->second <= goal ? "met" : "MISSED");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--list") == 0) {
    const std::string which = argv[2];
    if (which != "startup" && which != "level") return 2;
    for (const std::string& path : which == "startup" ? Files().startup : Files().level)
      std::printf("%s\n", path.c_str());
    return 0;
  }
  // Repeated, with medians, because the machine may be shared.
  for (auto* b : {benchmark::RegisterBenchmark("Startup", BM_Startup),
                  benchmark::RegisterBenchmark("RawStartup", BM_Raw, &Files().startup),
                  benchmark::RegisterBenchmark("StartLevel", BM_StartLevel),
                  benchmark::RegisterBenchmark("RawLevel", BM_Raw, &Files().level)}) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
  }
  benchmark::Initialize(&argc, argv);
  Collector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("\nMedian wall time, the game's loads / the same files read raw (goal <= 2x + 20 ms):\n");
  PrintVerdict(reporter, "start-up", "Startup", "RawStartup", Files().startup.size());
  PrintVerdict(reporter, "level", "StartLevel", "RawLevel", Files().level.size());
  return 0;
}
