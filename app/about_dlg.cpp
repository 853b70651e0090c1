#include "app/app.h"
#include "app/globals.h"

// The About box is a picture drawn inside the main window: there is no system menu to
// reach a separate dialog from, and a modal box would stop the tick. It also says what it
// shows, so that a player who cannot see it knows where the keys went and how to leave.
void CAboutDlg::Open() {
  m_open = true;
  plat::g_platform->ShowAboutBox((g_programFolder + "about.bmp").c_str(), true);
  m_speech = LoadSound("game\\about.vgz");
  PlayOnce(m_speech, plat::PAN_CENTER, plat::VOLUME_FULL);
}

void CAboutDlg::Close() {
  m_open = false;
  ReleaseSpeech();
  plat::g_platform->ShowAboutBox((g_programFolder + "about.bmp").c_str(), false);
}

void CAboutDlg::OnKeyDown(int vk) {
  if (vk == plat::VK_RETURN || vk == plat::VK_ESCAPE || vk == plat::VK_F1) Close();
}

void CAboutDlg::ReleaseSpeech() {
  StopSound(m_speech);
  ReleaseSound(m_speech);
}
