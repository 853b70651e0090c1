// chimebox-replay: plays the game on the virtual platform from a script of timed keys and
// prints every sound call with its virtual time, so anyone can hear what a player hears.
//
//   chimebox-replay [--seed N] [--game DIR] [--wav FILE] [--until MS] SCRIPT
//
// A script line is "<ms> press|release|tap <key>" or "<ms> close"; '#' starts a comment.
// Keys: Enter Control Escape Space Left Up Right Down Y N F1, alt+F4, or a key code.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "app/app.h"
#include "platform/posix/posix_files.h"
#include "platform/virtual/virtual_platform.h"

namespace {

struct KeyName {
  const char* name;
  int vk;
};
const KeyName kKeys[] = {
    {"enter", plat::VK_RETURN}, {"control", plat::VK_CONTROL}, {"ctrl", plat::VK_CONTROL},
    {"escape", plat::VK_ESCAPE}, {"esc", plat::VK_ESCAPE},     {"space", plat::VK_SPACE},
    {"left", plat::VK_LEFT},     {"up", plat::VK_UP},           {"right", plat::VK_RIGHT},
    {"down", plat::VK_DOWN},     {"y", plat::VK_Y},             {"n", plat::VK_N},
    {"f1", plat::VK_F1},         {"f4", plat::VK_F4},
};

bool ParseKey(std::string text, int* vk, bool* alt) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  *alt = text.rfind("alt+", 0) == 0;
  if (*alt) text = text.substr(4);
  for (const KeyName& k : kKeys)
    if (text == k.name) {
      *vk = k.vk;
      return true;
    }
  char* end = nullptr;
  const long code = std::strtol(text.c_str(), &end, 10);
  if (end && *end == '\0' && code > 0 && code < 256) {
    *vk = static_cast<int>(code);
    return true;
  }
  return false;
}

// Loads the script into the platform; false with a message on the first bad line.
bool LoadScript(std::istream& in, plat::VirtualPlatform& vp) {
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    unsigned long long ms;
    std::string action, key;
    if (!(words >> ms)) {
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
      std::cerr << "line " << number << ": expected a time in milliseconds\n";
      return false;
    }
    words >> action;
    if (action == "close") {
      vp.CloseAt(ms);
      continue;
    }
    int vk = 0;
    bool alt = false;
    if (!(words >> key) || !ParseKey(key, &vk, &alt)) {
      std::cerr << "line " << number << ": unknown key '" << key << "'\n";
      return false;
    }
    if (action == "press") {
      vp.PressAt(ms, vk, alt);
    } else if (action == "release") {
      vp.ReleaseAt(ms, vk, alt);
    } else if (action == "tap") {
      vp.PressAt(ms, vk, alt);
      vp.ReleaseAt(ms, vk, alt);
    } else {
      std::cerr << "line " << number << ": unknown action '" << action << "'\n";
      return false;
    }
  }
  return true;
}

bool IsHeard(const std::string& op) {
  return op == "play" || op == "loop" || op == "stop" || op == "position3d" ||
         op == "messagebox" || op == "http";
}

int Usage() {
  std::cerr << "usage: chimebox-replay [--seed N] [--game DIR] [--wav FILE] [--until MS] SCRIPT\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string game, wav, scriptPath;
  unsigned long seed = 1;
  unsigned long long until = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--seed" || arg == "--game" || arg == "--wav" || arg == "--until") && i + 1 < argc) {
      const std::string value = argv[++i];
      if (arg == "--seed") seed = std::strtoul(value.c_str(), nullptr, 10);
      if (arg == "--game") game = value;
      if (arg == "--wav") wav = value;
      if (arg == "--until") until = std::strtoull(value.c_str(), nullptr, 10);
    } else if (!arg.empty() && arg[0] != '-' && scriptPath.empty()) {
      scriptPath = arg;
    } else {
      return Usage();
    }
  }
  if (scriptPath.empty()) return Usage();

  plat::VirtualPlatform vp;
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "cannot read " << scriptPath << "\n";
    return 2;
  }
  if (!LoadScript(script, vp)) return 2;

  // The game lives beside this tool in the build, unless told otherwise.
  if (game.empty()) {
    const std::string self = plat::PosixExecutablePath();
    game = self.substr(0, self.find_last_of('/') + 1);
  }
  if (game.back() != '/') game += '/';
  vp.SetExecutablePath(game + "chimebox");
  vp.SetHrtfTablePath(game + "hrtf.dat");
  vp.SetWallClockSeconds(static_cast<uint32_t>(seed));  // the game seeds its shuffle from the clock
  vp.CaptureMix(!wav.empty());
  vp.SetCloseWhenScriptEnds(true);
  plat::g_platform = &vp;

  CMainDlg dlg;
  dlg.OnInitDialog();
  if (until) {
    dlg.PumpUntil(until);
    dlg.Close();
  } else {
    while (dlg.PumpUntil(plat::VirtualPlatform::kForever)) {
    }
  }

  for (const plat::LogEntry& e : vp.Log())
    if (IsHeard(e.op)) std::printf("%8llu %-10s %s\n", static_cast<unsigned long long>(e.ms), e.op.c_str(), e.name.c_str());
  std::printf("%8llu end\n", static_cast<unsigned long long>(vp.NowMs()));
  if (!wav.empty() && !vp.WriteMixWav(wav)) {
    std::cerr << "cannot write " << wav << "\n";
    return 1;
  }
  plat::g_platform = nullptr;
  return 0;
}
