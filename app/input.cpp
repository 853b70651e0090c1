#include "app/input.h"

#include "app/app.h"
#include "app/dispatch.h"
#include "app/globals.h"

bool g_controllerEnabled = false;

namespace {

// Before start-up has completed the arrows arrive mirrored, as the game always had them;
// a player who hears a broken start-up still walks the same way as before.
int ExchangeLeftRight(int vk) {
  if (g_startupDone) return vk;
  if (vk == plat::VK_LEFT) return plat::VK_RIGHT;
  if (vk == plat::VK_RIGHT) return plat::VK_LEFT;
  return vk;
}

constexpr int kAxisThreshold = 600;

}  // namespace

void HandleKeyDown(int vk) {
  if (DispatchKeyDown(ExchangeLeftRight(vk)) == 0 && g_mainWindow) g_mainWindow->Close();
}

void HandleKeyUp(int vk) { DispatchKeyUp(ExchangeLeftRight(vk)); }

int InitController() { return plat::g_platform->OpenController() ? 0 : -1; }

int PollController() {
  plat::ControllerState state;
  const int result = plat::g_platform->ReadController(&state);
  if (result < 0) return result;
  if (state.x < -kAxisThreshold) ControllerHook(1);
  if (state.x > kAxisThreshold) ControllerHook(2);
  if (state.y < -kAxisThreshold) ControllerHook(3);
  if (state.y > kAxisThreshold) ControllerHook(4);
  for (int button = 0; button < 128; ++button) ControllerHook(100 + button);
  return 0;
}

void ReleaseController() { plat::g_platform->CloseController(); }

// The controller is read but drives nothing: a place to map it to keys later.
void ControllerHook(int) {}
