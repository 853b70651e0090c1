// Doubles for what the submission screen calls outside itself: the sound primitives, the
// spoken phrases, the menu and the platform. Every call is written to one log, in order,
// so that a test reads the whole exchange as a player would live it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace doubles {

// Entries look like "load game\\sending_score.vgz", "wait 2", "say-place 3",
// "http-head <url>", "http-body <url>", "sleep 6000", "read <path>", "menu".
extern std::vector<std::string> g_log;
// Sound names whose LoadSound gives null.
extern std::set<std::string> g_failingSounds;

// Files held in memory; HTTP answered by a function, by default "no answer".
class ScriptedPlatform : public plat::Platform {
 public:
  std::map<std::string, std::string> files;
  std::function<plat::HttpResult(const std::string& url, std::string* body, size_t maxBody)> http;
  uint64_t nowMs = 0;

  uint64_t NowMs() override { return nowMs; }
  uint32_t WallClockSeconds() override { return 0; }
  void Sleep(uint32_t ms) override;
  bool PollEvent(plat::Event*) override { return false; }
  void WaitEvent(uint64_t) override {}
  bool CreateMainWindow(const char*, int, int, const char*) override { return true; }
  bool DrawPicture(const char*) override { return true; }
  void ShowAboutBox(const char*, bool) override {}
  void ShowMessageBox(const char*, const char*) override {}
  void DestroyMainWindow() override {}
  std::string ExecutablePath() override { return ""; }
  long ReadFileHead(const char* path, void* buffer, size_t maxBytes) override;
  bool WriteFileHead(const char*, const void*, size_t) override { return false; }
  plat::AudioDevice* OpenAudioDevice() override { return nullptr; }
  void CloseAudioDevice() override {}
  bool OpenController() override { return false; }
  int ReadController(plat::ControllerState*) override { return -1; }
  void CloseController() override {}
  plat::HttpResult HttpGet(const std::string& url, std::string* body, size_t maxBody) override;
};

// Installs a fresh ScriptedPlatform as plat::g_platform and clears the log and the sound
// state; the platform stays valid until the next Reset.
ScriptedPlatform& Reset();

// An HttpGet that sends to the real client, with the game's built-in score host replaced by
// 127.0.0.1:port, and short time-outs.
std::function<plat::HttpResult(const std::string&, std::string*, size_t)> PassThroughTo(
    int port, long connectTimeoutMs = 1000, long totalTimeoutMs = 3000);

}  // namespace doubles
