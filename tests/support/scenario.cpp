#include "tests/support/scenario.h"

#include "app/globals.h"
#include "tests/support/game_state.h"

namespace testing_support {

Scenario::Scenario(const FixtureOptions& options) : folder(MakeGameFolder(options)) {
  ResetGameState();
  vp.SetExecutablePath(folder + "chimebox");
  vp.SetHrtfTablePath(CHIMEBOX_HRTF_TABLE);
  plat::g_platform = &vp;
}

Scenario::~Scenario() {
  m_dlg.Close();
  plat::g_platform = nullptr;
  RemoveGameFolder(folder);
}

void Scenario::Start() { m_dlg.OnInitDialog(); }

bool Scenario::RunUntil(uint64_t ms) { return m_dlg.PumpUntil(ms); }

void Scenario::RunToEnd() {
  vp.SetCloseWhenScriptEnds(true);
  while (m_dlg.PumpUntil(plat::VirtualPlatform::kForever)) {
  }
}

std::vector<Heard> Scenario::Starts() const {
  std::vector<Heard> out;
  for (const plat::LogEntry& e : vp.Log())
    if (e.op == "play" || e.op == "loop") out.push_back(Heard{e.ms, e.name, e.op == "loop", e.a});
  return out;
}

std::vector<std::string> Scenario::StartedNames(uint64_t fromMs, uint64_t toMs) const {
  std::vector<std::string> out;
  for (const Heard& h : Starts())
    if (h.ms >= fromMs && h.ms <= toMs) out.push_back(h.name);
  return out;
}

int64_t Scenario::FirstStart(const std::string& name, uint64_t fromMs) const {
  for (const Heard& h : Starts())
    if (h.name == name && h.ms >= fromMs) return static_cast<int64_t>(h.ms);
  return -1;
}

int Scenario::CountStarts(const std::string& name) const {
  int n = 0;
  for (const Heard& h : Starts()) n += h.name == name;
  return n;
}

std::vector<std::string> Scenario::MessageBoxes() const {
  std::vector<std::string> out;
  for (const plat::LogEntry& e : vp.LogOf("messagebox")) out.push_back(e.name);
  return out;
}

Scenario& FuzzGameWithFile(const std::string& fileName, const uint8_t* data, size_t size) {
  static Scenario game([] {
    FixtureOptions options = DataFilesOnly();
    options.inMemory = true;
    options.writeBestDat = false;
    return options;
  }());
  game.vp.ClearLog();
  g_programFolder = game.folder;
  WriteBytes(game.folder + fileName, std::vector<unsigned char>(data, data + size));
  return game;
}

}  // namespace testing_support
