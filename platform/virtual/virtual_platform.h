// The test back end: the whole program on a virtual clock, fast and deterministic.
//
// Keys, releases, paints and close requests are scripted at virtual times. Sleep and
// WaitEvent advance the clock, and the real mixer renders offline as it advances, so play
// statuses are exact in virtual time and the mix can be inspected or written to a WAV file.
// Every sound call, file read and write, message box, HTTP request and timer or controller
// call is logged with its virtual time. Files are the real file system (shared with the SDL back end); a path
// can be made read-only for fault tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace plat {

class Mixer;

struct LogEntry {
  uint64_t ms = 0;
  std::string op;    // "play", "loop", "stop", "create", "destroy", "pan", "read", "write", "http", ...
  std::string name;  // the sound's file name, a message text, an address
  int64_t a = 0;     // the op's numbers: pan, volume, position, status ...
  int64_t b = 0;
};

class VirtualPlatform : public Platform {
 public:
  static constexpr uint32_t kRate = 48000;
  static constexpr uint64_t kForever = UINT64_MAX;

  VirtualPlatform();
  ~VirtualPlatform() override;

  // ---- The script. Events at the same time keep the order they were added in.
  void PressAt(uint64_t ms, int vk, bool alt = false);
  void ReleaseAt(uint64_t ms, int vk, bool alt = false);
  void TapAt(uint64_t ms, int vk) { PressAt(ms, vk); ReleaseAt(ms, vk); }
  void PaintAt(uint64_t ms);
  void CloseAt(uint64_t ms);
  // Once the script has run out, the window is closed graceMs after its last event, as if
  // by the window's close button: the player walks away. Off by default: the clock runs on.
  void SetCloseWhenScriptEnds(bool close, uint64_t graceMs = 10000) {
    m_closeWhenScriptEnds = close;
    m_scriptEndGraceMs = graceMs;
  }

  // ---- The machine the program runs on.
  void SetExecutablePath(const std::string& path) { m_executablePath = path; }
  void SetWallClockSeconds(uint32_t seconds) { m_wallClock = seconds; }
  void SetAudioAvailable(bool available) { m_audioAvailable = available; }
  void SetTimerAvailable(bool available) { m_timerAvailable = available; }
  void SetControllerAttached(bool attached) { m_controllerAttached = attached; }
  void FailControllerReads(bool fail) { m_controllerReadsFail = fail; }
  // From this time on, reads of the controller give this state (all released before the
  // first one).
  void SetControllerStateAt(uint64_t ms, const ControllerState& state) { m_controllerStates[ms] = state; }
  void SetReadOnly(const std::string& path) { m_readOnly.insert(path); }
  // Every file read takes this long, as on a slow disk.
  void SetFileReadCostMs(uint32_t ms) { m_fileReadCostMs = ms; }
  void SetHrtfTablePath(const std::string& path) { m_hrtfTablePath = path; }
  using HttpHandler = std::function<HttpResult(const std::string& url, std::string* body, size_t maxBody)>;
  void SetHttpHandler(HttpHandler handler) { m_http = std::move(handler); }
  void CaptureMix(bool capture) { m_captureMix = capture; }
  // From this time on the output is gone, as when a headset is unplugged: the mixer keeps
  // time and voices end, but the captured mix is silent.
  void LoseAudioOutputAt(uint64_t ms) { m_outputLostMs = ms; }

  // ---- What happened.
  const std::vector<LogEntry>& Log() const { return m_log; }
  void ClearLog() { m_log.clear(); }
  std::vector<LogEntry> LogOf(const std::string& op) const;
  std::string LogText() const;  // one line per entry: "  1234 play menu\arrows.vgz 0 0"
  const std::vector<float>& Mix() const { return m_mix; }  // interleaved stereo from time 0
  bool WriteMixWav(const std::string& path) const;
  Mixer* GetMixer() { return m_mixer.get(); }
  void AdvanceTo(uint64_t ms);  // moves the clock on, rendering the sound on the way

  // ---- Platform
  uint64_t NowMs() override { return m_now; }
  uint32_t WallClockSeconds() override { return m_wallClock; }
  void Sleep(uint32_t ms) override;
  bool SetTimer(uint32_t timerId, uint32_t intervalMs) override;
  void KillTimer(uint32_t timerId) override;
  bool PollEvent(Event* event) override;
  void WaitEvent(uint64_t untilMs) override;
  bool CreateMainWindow(const char* caption, int width, int height, const char* iconPath) override;
  bool DrawPicture(const char* bmpPath) override;
  void ShowAboutBox(const char* bmpPath, bool show) override;
  void ShowMessageBox(const char* caption, const char* text) override;
  void DestroyMainWindow() override;
  std::string ExecutablePath() override { return m_executablePath; }
  long ReadFileHead(const char* path, void* buffer, size_t maxBytes) override;
  bool WriteFileHead(const char* path, const void* data, size_t bytes) override;
  AudioDevice* OpenAudioDevice() override;
  void CloseAudioDevice() override;
  bool OpenController() override;
  int ReadController(ControllerState* state) override;
  void CloseController() override;
  HttpResult HttpGet(const std::string& url, std::string* body, size_t maxBody) override;

  void Record(const std::string& op, const std::string& name, int64_t a = 0, int64_t b = 0);

 private:
  class LoggingAudio;

  void Schedule(uint64_t ms, const Event& event);
  void TakeDueEvents();

  uint64_t m_now = 0;
  uint64_t m_sequence = 0;
  std::map<std::pair<uint64_t, uint64_t>, Event> m_script;  // (time, order) -> event
  std::vector<Event> m_queue;
  size_t m_queueHead = 0;
  uint64_t m_lastScriptedMs = 0;
  bool m_closeWhenScriptEnds = false;
  uint64_t m_scriptEndGraceMs = 10000;
  bool m_closeSent = false;

  std::string m_executablePath = "/chimebox/chimebox";
  std::string m_hrtfTablePath;
  uint32_t m_wallClock = 1;
  bool m_audioAvailable = true;
  bool m_timerAvailable = true;
  bool m_controllerAttached = false;
  bool m_controllerOpen = false;
  bool m_controllerReadsFail = false;
  std::map<uint64_t, ControllerState> m_controllerStates;  // from time -> state
  std::set<std::string> m_readOnly;
  uint32_t m_fileReadCostMs = 0;
  HttpHandler m_http;

  std::unique_ptr<Mixer> m_mixer;
  std::unique_ptr<LoggingAudio> m_audio;
  bool m_captureMix = false;
  uint64_t m_outputLostMs = kForever;
  std::vector<float> m_mix;
  std::vector<float> m_scratch;

  std::vector<LogEntry> m_log;
};

}  // namespace plat
