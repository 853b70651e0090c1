#include "platform/virtual/virtual_platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>

#include "platform/audio/mixer.h"
#include "platform/posix/posix_files.h"

namespace plat {

// The mixer as the game sees it, with every call written to the log. Status queries are
// not logged: PlayAndWait and the tick handlers ask them hundreds of times a second. A call
// on a voice or listener that was never made, or was already destroyed, is logged as
// "bad-voice" or "bad-listener" with the call's name, so tests can assert there are none.
class VirtualPlatform::LoggingAudio : public AudioDevice {
 public:
  LoggingAudio(VirtualPlatform& owner, Mixer& mixer) : m_owner(owner), m_mixer(mixer) {}

  VoiceId CreateVoice(const char* label, const PcmFormat& format, const uint8_t* data,
                      uint32_t bytes, bool positional) override {
    const VoiceId v = m_mixer.CreateVoice(label, format, data, bytes, positional);
    if (v != kNoVoice) m_names[v] = label ? label : "";
    m_owner.Record(positional ? "create3d" : "create", label ? label : "", v, bytes);
    return v;
  }
  void DestroyVoice(VoiceId v) override {
    if (!Known(v, "destroy")) return;
    m_owner.Record("destroy", Name(v), v);
    m_mixer.DestroyVoice(v);
    m_names.erase(v);
    m_pan.erase(v);
  }
  void SetCurrentPosition(VoiceId v, uint32_t frame) override {
    if (Known(v, "position")) m_mixer.SetCurrentPosition(v, frame);
  }
  void SetPan(VoiceId v, int32_t pan) override {
    if (!Known(v, "pan")) return;
    m_pan[v] = pan;
    m_mixer.SetPan(v, pan);
  }
  void SetVolume(VoiceId v, int32_t volume) override {
    if (Known(v, "volume")) m_mixer.SetVolume(v, volume);
  }
  void Play(VoiceId v, bool looped) override {
    if (!Known(v, looped ? "loop" : "play")) return;
    m_owner.Record(looped ? "loop" : "play", Name(v), m_pan.count(v) ? m_pan[v] : 0);
    m_mixer.Play(v, looped);
  }
  void Stop(VoiceId v) override {
    if (!Known(v, "stop")) return;
    // Only stops of a sounding voice are news; screens stop all their sounds on every key.
    if (m_mixer.GetStatus(v) != 0) m_owner.Record("stop", Name(v));
    m_mixer.Stop(v);
  }
  uint32_t GetStatus(VoiceId v) override {
    return Known(v, "status") ? m_mixer.GetStatus(v) : 0;
  }
  void Set3DPosition(VoiceId v, float x, float y, float z) override {
    if (!Known(v, "position3d")) return;
    m_owner.Record("position3d", Name(v), static_cast<int64_t>(x * 1000), static_cast<int64_t>(z * 1000));
    m_mixer.Set3DPosition(v, x, y, z);
  }
  void SetMinDistance(VoiceId v, float distance) override {
    if (!Known(v, "mindistance3d")) return;
    m_owner.Record("mindistance3d", Name(v), static_cast<int64_t>(distance * 1000));
    m_mixer.SetMinDistance(v, distance);
  }
  ListenerId CreateListener() override {
    const ListenerId l = m_mixer.CreateListener();
    if (l != kNoListener) m_listeners.insert(l);
    m_owner.Record("listener", "", l);
    return l;
  }
  void ReleaseListener(ListenerId l) override {
    if (!m_listeners.erase(l)) {
      m_owner.Record("bad-listener", "release-listener", l);
      return;
    }
    m_owner.Record("release-listener", "", l);
    m_mixer.ReleaseListener(l);
  }

 private:
  bool Known(VoiceId v, const char* call) {
    if (m_names.count(v)) return true;
    m_owner.Record("bad-voice", call, v);
    return false;
  }
  std::string Name(VoiceId v) const {
    auto it = m_names.find(v);
    return it == m_names.end() ? std::string("?") : it->second;
  }

  VirtualPlatform& m_owner;
  Mixer& m_mixer;
  std::map<VoiceId, std::string> m_names;  // the voices alive
  std::map<VoiceId, int32_t> m_pan;
  std::set<ListenerId> m_listeners;        // the listeners alive
};

VirtualPlatform::VirtualPlatform() = default;

VirtualPlatform::~VirtualPlatform() = default;

void VirtualPlatform::Schedule(uint64_t ms, const Event& event) {
  m_script.emplace(std::make_pair(ms, m_sequence++), event);
  m_lastScriptedMs = std::max(m_lastScriptedMs, ms);
}

void VirtualPlatform::PressAt(uint64_t ms, int vk, bool alt) {
  Schedule(ms, Event{EventType::KeyDown, vk, alt});
}
void VirtualPlatform::ReleaseAt(uint64_t ms, int vk, bool alt) {
  Schedule(ms, Event{EventType::KeyUp, vk, alt});
}
void VirtualPlatform::PaintAt(uint64_t ms) { Schedule(ms, Event{EventType::Paint, 0, false}); }
void VirtualPlatform::CloseAt(uint64_t ms) { Schedule(ms, Event{EventType::Close, 0, false}); }

void VirtualPlatform::Record(const std::string& op, const std::string& name, int64_t a, int64_t b) {
  m_log.push_back(LogEntry{m_now, op, name, a, b});
}

std::vector<LogEntry> VirtualPlatform::LogOf(const std::string& op) const {
  std::vector<LogEntry> out;
  for (const LogEntry& e : m_log)
    if (e.op == op) out.push_back(e);
  return out;
}

std::string VirtualPlatform::LogText() const {
  std::ostringstream out;
  for (const LogEntry& e : m_log)
    out << e.ms << ' ' << e.op << ' ' << e.name << ' ' << e.a << ' ' << e.b << '\n';
  return out.str();
}

void VirtualPlatform::AdvanceTo(uint64_t ms) {
  if (ms <= m_now) return;
  m_now = ms;
  if (!m_mixer) return;
  const uint64_t target = m_now * (kRate / 1000);
  constexpr uint32_t kPeriod = 256;
  if (m_scratch.size() < kPeriod * 2) m_scratch.resize(kPeriod * 2);
  const uint64_t lostFrame =
      m_outputLostMs == kForever ? UINT64_MAX : m_outputLostMs * (kRate / 1000);
  while (m_mixer->FramesRendered() < target) {
    const uint64_t at = m_mixer->FramesRendered();
    uint64_t n = std::min<uint64_t>(kPeriod, target - at);
    if (at < lostFrame) n = std::min(n, lostFrame - at);  // no period straddles the loss
    m_mixer->Render(m_scratch.data(), static_cast<uint32_t>(n));
    if (!m_captureMix) continue;
    if (at >= lostFrame) std::fill(m_scratch.begin(), m_scratch.begin() + 2 * n, 0.0f);
    m_mix.insert(m_mix.end(), m_scratch.begin(), m_scratch.begin() + 2 * n);
  }
}

void VirtualPlatform::Sleep(uint32_t ms) { AdvanceTo(m_now + ms); }

bool VirtualPlatform::SetTimer(uint32_t timerId, uint32_t intervalMs) {
  Record("settimer", "", timerId, intervalMs);
  return m_timerAvailable;
}

void VirtualPlatform::KillTimer(uint32_t timerId) { Record("killtimer", "", timerId); }

void VirtualPlatform::TakeDueEvents() {
  while (!m_script.empty() && m_script.begin()->first.first <= m_now) {
    m_queue.push_back(m_script.begin()->second);
    m_script.erase(m_script.begin());
  }
}

bool VirtualPlatform::PollEvent(Event* event) {
  TakeDueEvents();
  if (m_queueHead >= m_queue.size()) {
    m_queue.clear();
    m_queueHead = 0;
    return false;
  }
  *event = m_queue[m_queueHead++];
  return true;
}

void VirtualPlatform::WaitEvent(uint64_t untilMs) {
  TakeDueEvents();
  if (m_queueHead < m_queue.size()) return;
  if (m_script.empty() && m_closeWhenScriptEnds && !m_closeSent) {
    m_closeSent = true;
    Schedule(std::max(m_now, m_lastScriptedMs) + m_scriptEndGraceMs, Event{EventType::Close, 0, false});
  }
  uint64_t wake = untilMs;
  if (!m_script.empty()) wake = std::min(wake, m_script.begin()->first.first);
  if (wake == kForever) {
    // Nothing can ever happen again: rather than hang, the player closes the window.
    m_queue.push_back(Event{EventType::Close, 0, false});
    return;
  }
  AdvanceTo(wake);
}

bool VirtualPlatform::CreateMainWindow(const char* caption, int width, int height, const char* iconPath) {
  Record("window", caption, width, height);
  (void)iconPath;
  return true;
}

bool VirtualPlatform::DrawPicture(const char* bmpPath) {
  char head[2] = {};
  const bool ok = PosixReadFileHead(bmpPath, head, sizeof head) == 2 && head[0] == 'B' && head[1] == 'M';
  Record("paint", bmpPath, ok);
  return ok;
}

void VirtualPlatform::ShowAboutBox(const char* bmpPath, bool show) { Record("about", bmpPath, show); }

void VirtualPlatform::ShowMessageBox(const char* caption, const char* text) {
  Record("messagebox", text);
  (void)caption;
}

void VirtualPlatform::DestroyMainWindow() { Record("destroywindow", ""); }

long VirtualPlatform::ReadFileHead(const char* path, void* buffer, size_t maxBytes) {
  AdvanceTo(m_now + m_fileReadCostMs);
  const long read = PosixReadFileHead(path, buffer, maxBytes);
  Record("read", path, read);
  return read;
}

bool VirtualPlatform::WriteFileHead(const char* path, const void* data, size_t bytes) {
  if (m_readOnly.count(ResolveGamePath(path)) || m_readOnly.count(path)) {
    Record("write-refused", path);
    return false;
  }
  Record("write", path, static_cast<int64_t>(bytes));
  return PosixWriteFileHead(path, data, bytes);
}

AudioDevice* VirtualPlatform::OpenAudioDevice() {
  Record("opendevice", "", m_audioAvailable);
  if (!m_audioAvailable) return nullptr;
  if (!m_mixer) {
    m_mixer = std::make_unique<Mixer>(kRate, m_hrtfTablePath);
    // The mixer's clock starts where the virtual clock stands.
    m_scratch.assign(256 * 2, 0.0f);
    const uint64_t skip = m_now * (kRate / 1000);
    while (m_mixer->FramesRendered() < skip)
      m_mixer->Render(m_scratch.data(), static_cast<uint32_t>(std::min<uint64_t>(256, skip - m_mixer->FramesRendered())));
    if (m_captureMix) m_mix.assign(skip * 2, 0.0f);
    m_audio = std::make_unique<LoggingAudio>(*this, *m_mixer);
  }
  return m_audio.get();
}

void VirtualPlatform::CloseAudioDevice() {
  Record("closedevice", "");
  m_audio.reset();
  m_mixer.reset();
}

bool VirtualPlatform::OpenController() {
  Record("opencontroller", "", m_controllerAttached);
  m_controllerOpen = m_controllerAttached;
  return m_controllerOpen;
}

int VirtualPlatform::ReadController(ControllerState* state) {
  Record("readcontroller", "", m_controllerReadsFail ? -1 : 0);
  if (!m_controllerOpen || m_controllerReadsFail) return -1;
  auto after = m_controllerStates.upper_bound(m_now);
  *state = after == m_controllerStates.begin() ? ControllerState{} : std::prev(after)->second;
  return 0;
}

void VirtualPlatform::CloseController() {
  Record("closecontroller", "");
  m_controllerOpen = false;
}

HttpResult VirtualPlatform::HttpGet(const std::string& url, std::string* body, size_t maxBody) {
  HttpResult result = HttpResult::NoAnswer;
  if (m_http) result = m_http(url, body, maxBody);
  Record("http", url, static_cast<int>(result), body ? static_cast<int64_t>(body->size()) : -1);
  return result;
}

bool VirtualPlatform::WriteMixWav(const std::string& path) const {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const uint32_t frames = static_cast<uint32_t>(m_mix.size() / 2);
  const uint32_t dataBytes = frames * 4;  // 16-bit stereo
  auto put32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
  auto put16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
  std::fwrite("RIFF", 1, 4, f);
  put32(36 + dataBytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  put32(16);
  put16(1);
  put16(2);
  put32(kRate);
  put32(kRate * 4);
  put16(4);
  put16(16);
  std::fwrite("data", 1, 4, f);
  put32(dataBytes);
  for (float s : m_mix) {
    const float c = std::max(-1.0f, std::min(1.0f, s));
    const int16_t v = static_cast<int16_t>(c * 32767.0f);
    std::fwrite(&v, 2, 1, f);
  }
  return std::fclose(f) == 0;
}

}  // namespace plat
