// The application object, the main window and the About box: start-up in two stages,
// the message loop, the tick, shut-down.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "sound/sound.h"

// The main window's client area, in pixels: the size of the title picture.
constexpr int MAIN_WINDOW_WIDTH = 215;
constexpr int MAIN_WINDOW_HEIGHT = 228;

class CAboutDlg {
 public:
  void Open();
  void Close();
  bool IsOpen() const { return m_open; }
  // Keys go here while the box is open: Enter, Escape and F1 close it.
  void OnKeyDown(int vk);
  // Its spoken text, released before the sound device goes with the window.
  void ReleaseSpeech();

 private:
  bool m_open = false;
  SoundBuffer m_speech = 0;
};

class CMainDlg {
 public:
  // Runs the window until it closes. Returns when OnDestroy has run.
  void DoModal();

  // The loop in pieces, for tests and tools that drive the virtual platform.
  void OnInitDialog();
  bool PumpUntil(uint64_t untilMs);  // handles messages until then; false once closed
  void Close();                      // destroys the window (OnDestroy) if it exists

  bool InitPaths();
  bool InitSystems();
  void OnPaint();
  void OnTimer(uint32_t timerId);
  void OnDestroy();

  bool IsOpen() const { return m_open; }
  bool HadNoWindow() const { return m_noWindow; }  // the window system gave no window
  CAboutDlg& About() { return m_about; }

 private:
  void HandleEvent(const plat::Event& event);

  bool m_open = false;
  bool m_noWindow = false;
  bool m_paintPending = false;
  bool m_timerSet = false;
  uint64_t m_nextTickMs = 0;
  CAboutDlg m_about;
};

class CGameApp {
 public:
  // Runs the main window modally; returns false so the application ends with it.
  bool InitInstance();
  CMainDlg* MainWindow() { return m_mainDlg; }
  int ExitStatus() const { return m_exitStatus; }

 private:
  CMainDlg* m_mainDlg = nullptr;
  int m_exitStatus = 0;
};

extern CGameApp theApp;
extern CMainDlg* g_mainWindow;  // null until the first start-up stage has succeeded

// The whole program on the platform in g_platform; returns the process exit status:
// 0, or 1 when there was no window to take the keyboard.
int RunChimebox();
