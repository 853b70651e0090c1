#include "tests/net/support/send_score_doubles.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "menu/menu.h"
#include "platform/net/http_client.h"
#include "scores/announcements.h"
#include "sound/sound.h"

namespace doubles {

std::vector<std::string> g_log;
std::set<std::string> g_failingSounds;

namespace {
std::unique_ptr<ScriptedPlatform> g_scripted;
SoundBuffer g_nextSound = 1;
}  // namespace

void ScriptedPlatform::Sleep(uint32_t ms) {
  nowMs += ms;
  g_log.push_back("sleep " + std::to_string(ms));
}

long ScriptedPlatform::ReadFileHead(const char* path, void* buffer, size_t maxBytes) {
  g_log.push_back(std::string("read ") + path);
  auto found = files.find(path);
  if (found == files.end()) return -1;
  size_t n = std::min(maxBytes, found->second.size());
  std::memcpy(buffer, found->second.data(), n);
  return static_cast<long>(n);
}

plat::HttpResult ScriptedPlatform::HttpGet(const std::string& url, std::string* body,
                                           size_t maxBody) {
  g_log.push_back((body != nullptr ? "http-body " : "http-head ") + url);
  if (!http) return plat::HttpResult::NoAnswer;
  return http(url, body, maxBody);
}

ScriptedPlatform& Reset() {
  g_scripted = std::make_unique<ScriptedPlatform>();
  plat::g_platform = g_scripted.get();
  g_log.clear();
  g_failingSounds.clear();
  g_nextSound = 1;
  return *g_scripted;
}

std::function<plat::HttpResult(const std::string&, std::string*, size_t)> PassThroughTo(
    int port, long connectTimeoutMs, long totalTimeoutMs) {
  return [=](const std::string& url, std::string* body, size_t maxBody) {
    std::string routed = url;
    const std::string builtIn = CHIMEBOX_SCORE_HOST;
    size_t at = routed.find(builtIn);
    if (at != std::string::npos) {
      routed.replace(at, builtIn.size(), "127.0.0.1:" + std::to_string(port));
    }
    return plat::CurlHttpGet(routed, body, maxBody, connectTimeoutMs, totalTimeoutMs);
  };
}

}  // namespace doubles

using doubles::g_log;

SoundBuffer LoadSound(const char* name) {
  g_log.push_back(std::string("load ") + name);
  if (doubles::g_failingSounds.count(name) != 0) return 0;
  return doubles::g_nextSound++;
}
void PlayOnce(SoundBuffer sound, int32_t, int32_t) {
  if (sound) g_log.push_back("play " + std::to_string(sound));
}
void PlayAndWait(SoundBuffer sound, int32_t, int32_t) {
  if (sound) g_log.push_back("wait " + std::to_string(sound));
}
void StopSound(SoundBuffer sound) {
  if (sound) g_log.push_back("stop " + std::to_string(sound));
}
void ReleaseSound(SoundBuffer& sound) {
  if (sound) g_log.push_back("release " + std::to_string(sound));
  sound = 0;
}
void SayPlace(int place) { g_log.push_back("say-place " + std::to_string(place)); }
void SayNotEnough() { g_log.push_back("say-not-enough"); }
void ReturnToMenu() { g_log.push_back("menu"); }
