#include "app/app.h"

CGameApp theApp;

bool CGameApp::InitInstance() {
  CMainDlg dlg;
  m_mainDlg = &dlg;
  dlg.DoModal();
  m_mainDlg = nullptr;
  return false;
}

int RunChimebox() {
  theApp.InitInstance();
  return 0;
}
