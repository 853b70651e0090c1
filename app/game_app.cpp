#include "app/app.h"

CGameApp theApp;

bool CGameApp::InitInstance() {
  CMainDlg dlg;
  m_mainDlg = &dlg;
  dlg.DoModal();
  m_exitStatus = dlg.HadNoWindow() ? 1 : 0;
  m_mainDlg = nullptr;
  return false;
}

int RunChimebox() {
  theApp.InitInstance();
  return theApp.ExitStatus();
}
