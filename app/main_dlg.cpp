#include <string>
#include <vector>

#include "app/app.h"
#include "app/dispatch.h"
#include "app/globals.h"
#include "app/input.h"
#include "app/startup.h"

CMainDlg* g_mainWindow = nullptr;

namespace {

constexpr char kErrorCaption[] = "Error!";

// The folder of a full path, up to and including its last separator; "" without one.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void CMainDlg::DoModal() {
  OnInitDialog();
  while (PumpUntil(UINT64_MAX)) {
  }
}

void CMainDlg::OnInitDialog() {
  const std::string iconPath = FolderOf(plat::g_platform->ExecutablePath()) + "icon.bmp";
  if (!plat::g_platform->CreateMainWindow("Chimebox", MAIN_WINDOW_WIDTH, MAIN_WINDOW_HEIGHT,
                                          iconPath.c_str())) {
    m_noWindow = true;  // no window system: nothing to take the keyboard, nothing to run in
    return;
  }
  m_open = true;

  g_windowReady = true;
  if (!InitPaths()) {
    g_windowReady = false;
    Close();
    return;
  }
  if (!InitSystems())
    plat::g_platform->ShowMessageBox(kErrorCaption, "Error in second initialisation");
  // The window is on the screen now; its first paint comes before any tick.
  m_paintPending = true;
}

bool CMainDlg::InitPaths() {
  const std::string exe = plat::g_platform->ExecutablePath();
  if (exe.empty()) return false;
  g_programFolder = FolderOf(exe);
  g_mainWindow = this;
  return true;
}

bool CMainDlg::InitSystems() {
  if (!CreateSoundDevice()) {
    plat::g_platform->ShowMessageBox(kErrorCaption, "DSound not created");
    return false;
  }
  if (!plat::g_platform->SetTimer(TICK_TIMER_ID, TICK_INTERVAL_MS)) return false;
  m_timerSet = true;
  m_nextTickMs = plat::g_platform->NowMs() + TICK_INTERVAL_MS;
  g_controllerEnabled = InitController() >= 0;
  return InitGameSystems();
}

void CMainDlg::OnPaint() {
  plat::g_platform->DrawPicture((g_programFolder + "title.bmp").c_str());
  if (m_about.IsOpen()) plat::g_platform->ShowAboutBox((g_programFolder + "about.bmp").c_str(), true);
  if (g_windowReady && !g_introStarted) {
    g_introStarted = true;
    StartIntroOnFirstPaint();
  }
}

void CMainDlg::OnTimer(uint32_t timerId) {
  if (g_controllerEnabled) {
    std::vector<plat::Event> keys;
    const int result = PollController(&keys);
    // The controller's keys take the keyboard's road, About box included. Any of them may
    // close the window, and then the rest are moot.
    for (const plat::Event& key : keys) {
      if (!m_open) return;
      HandleEvent(key);
    }
    if (!m_open) return;
    if (result < 0) {
      g_controllerEnabled = false;
      ReleaseController();
    }
  }
  if (g_tickEnabled != 0 && timerId == TICK_TIMER_ID) DispatchTick();
}

void CMainDlg::OnDestroy() {
  ReleaseGameSounds();
  m_about.ReleaseSpeech();
  if (m_timerSet) {
    plat::g_platform->KillTimer(TICK_TIMER_ID);
    m_timerSet = false;
  }
  ReleaseController();
  ReleaseSoundDevice();
}

void CMainDlg::Close() {
  if (!m_open) return;
  OnDestroy();
  plat::g_platform->DestroyMainWindow();
  m_open = false;
}

void CMainDlg::HandleEvent(const plat::Event& event) {
  switch (event.type) {
    case plat::EventType::Close:
      Close();
      return;
    case plat::EventType::Paint:
      m_paintPending = true;
      return;
    case plat::EventType::KeyDown:
      // Alt makes a system key: Alt+F4 closes the window, the rest never reach the game.
      if (event.alt) {
        if (event.vk == plat::VK_F4) Close();
        return;
      }
      if (m_about.IsOpen()) {
        m_about.OnKeyDown(event.vk);
        return;
      }
      if (event.vk == plat::VK_F1) {
        m_about.Open();
        return;
      }
      HandleKeyDown(event.vk);
      return;
    case plat::EventType::KeyUp:
      if (event.alt || m_about.IsOpen() || event.vk == plat::VK_F1) return;
      HandleKeyUp(event.vk);
      return;
  }
}

// Messages in the order the game relies on: every waiting key first, then a paint, then
// at most one tick. Ticks that fell due while a handler blocked are not made up.
bool CMainDlg::PumpUntil(uint64_t untilMs) {
  while (m_open) {
    plat::Event event;
    if (plat::g_platform->PollEvent(&event)) {
      HandleEvent(event);
      continue;
    }
    if (m_paintPending) {
      m_paintPending = false;
      OnPaint();
      continue;
    }
    const uint64_t now = plat::g_platform->NowMs();
    if (m_timerSet && now >= m_nextTickMs) {
      m_nextTickMs += TICK_INTERVAL_MS * ((now - m_nextTickMs) / TICK_INTERVAL_MS + 1);
      OnTimer(TICK_TIMER_ID);
      continue;
    }
    if (now >= untilMs) return true;
    plat::g_platform->WaitEvent(m_timerSet ? std::min(untilMs, m_nextTickMs) : untilMs);
  }
  return false;
}
