#include "app/input.h"

#include "app/app.h"
#include "app/dispatch.h"
#include "app/globals.h"

bool g_controllerEnabled = false;
uint32_t g_controllerKeysHeld = 0;
uint32_t g_controllerStickHeld = 0;
int g_controllerRepeatVk = 0;
uint64_t g_controllerRepeatAtMs = 0;

namespace {

// Before start-up has completed the arrows arrive mirrored, as the game always had them;
// a player who hears a broken start-up still walks the same way as before.
int ExchangeLeftRight(int vk) {
  if (g_startupDone) return vk;
  if (vk == plat::VK_LEFT) return plat::VK_RIGHT;
  if (vk == plat::VK_RIGHT) return plat::VK_LEFT;
  return vk;
}

enum Stick { STICK_NONE, STICK_LEFT, STICK_RIGHT, STICK_UP, STICK_DOWN };

struct ControllerKey {
  int vk;
  int buttons[2];  // either holds the key; -1 for none
  Stick stick;
};

// Control comes first: the order of this table is the order of presses in one reading.
constexpr ControllerKey kControllerKeys[] = {
    {plat::VK_CONTROL, {plat::PAD_LEFT_SHOULDER, plat::PAD_RIGHT_SHOULDER}, STICK_NONE},
    {plat::VK_LEFT, {plat::PAD_DPAD_LEFT, -1}, STICK_LEFT},
    {plat::VK_UP, {plat::PAD_DPAD_UP, -1}, STICK_UP},
    {plat::VK_RIGHT, {plat::PAD_DPAD_RIGHT, -1}, STICK_RIGHT},
    {plat::VK_DOWN, {plat::PAD_DPAD_DOWN, -1}, STICK_DOWN},
    {plat::VK_RETURN, {plat::PAD_SOUTH, -1}, STICK_NONE},
    {plat::VK_ESCAPE, {plat::PAD_EAST, -1}, STICK_NONE},
    {plat::VK_SPACE, {plat::PAD_WEST, -1}, STICK_NONE},
    {plat::VK_Y, {plat::PAD_NORTH, -1}, STICK_NONE},
    {plat::VK_N, {plat::PAD_BACK, -1}, STICK_NONE},
};
constexpr int kControllerKeyCount = sizeof kControllerKeys / sizeof kControllerKeys[0];
static_assert(kControllerKeyCount <= 32, "one bit per key in g_controllerKeysHeld");

// Within this of its time, a repeat is due: polls arrive on the tick's grid, a little late.
constexpr uint64_t kRepeatSlackMs = CONTROLLER_REPEAT_INTERVAL_MS / 2;

bool ButtonPressed(const plat::ControllerState& state, int button) {
  return button >= 0 && (state.buttons[button] & plat::PAD_PRESSED) != 0;
}

bool StickHolds(const plat::ControllerState& state, Stick stick, bool heldBefore) {
  const int bound = heldBefore ? CONTROLLER_STICK_RELEASE : CONTROLLER_STICK_PRESS;
  switch (stick) {
    case STICK_LEFT: return state.x < -bound;
    case STICK_RIGHT: return state.x > bound;
    case STICK_UP: return state.y < -bound;
    case STICK_DOWN: return state.y > bound;
    case STICK_NONE: break;
  }
  return false;
}

bool Repeats(const ControllerKey& key) { return key.stick != STICK_NONE; }

void Append(std::vector<plat::Event>* keys, plat::EventType type, int vk) {
  plat::Event event;
  event.type = type;
  event.vk = vk;
  keys->push_back(event);
}

}  // namespace

void HandleKeyDown(int vk) {
  if (DispatchKeyDown(ExchangeLeftRight(vk)) == 0 && g_mainWindow) g_mainWindow->Close();
}

void HandleKeyUp(int vk) { DispatchKeyUp(ExchangeLeftRight(vk)); }

void ControllerKeyEvents(const plat::ControllerState& state, uint64_t nowMs,
                         std::vector<plat::Event>* keys) {
  uint32_t held = 0;
  uint32_t stickHeld = 0;
  for (int i = 0; i < kControllerKeyCount; ++i) {
    const ControllerKey& key = kControllerKeys[i];
    const uint32_t bit = 1u << i;
    if (StickHolds(state, key.stick, (g_controllerStickHeld & bit) != 0)) stickHeld |= bit;
    if ((stickHeld & bit) || ButtonPressed(state, key.buttons[0]) ||
        ButtonPressed(state, key.buttons[1]))
      held |= bit;
  }
  g_controllerStickHeld = stickHeld;

  for (int i = 0; i < kControllerKeyCount; ++i) {
    const uint32_t bit = 1u << i;
    if (!(g_controllerKeysHeld & bit) || (held & bit)) continue;
    Append(keys, plat::EventType::KeyUp, kControllerKeys[i].vk);
    if (g_controllerRepeatVk == kControllerKeys[i].vk) g_controllerRepeatVk = 0;
  }
  bool newDirection = false;
  for (int i = 0; i < kControllerKeyCount; ++i) {
    const uint32_t bit = 1u << i;
    if ((g_controllerKeysHeld & bit) || !(held & bit)) continue;
    Append(keys, plat::EventType::KeyDown, kControllerKeys[i].vk);
    if (Repeats(kControllerKeys[i])) {
      // As on a keyboard, the direction pressed last is the one that repeats.
      g_controllerRepeatVk = kControllerKeys[i].vk;
      g_controllerRepeatAtMs = nowMs + CONTROLLER_REPEAT_DELAY_MS;
      newDirection = true;
    }
  }
  g_controllerKeysHeld = held;

  if (!newDirection && g_controllerRepeatVk != 0 &&
      nowMs + kRepeatSlackMs >= g_controllerRepeatAtMs) {
    Append(keys, plat::EventType::KeyDown, g_controllerRepeatVk);
    // At most one repeat a reading: those missed while a handler blocked are not made up.
    g_controllerRepeatAtMs += CONTROLLER_REPEAT_INTERVAL_MS;
  }
}

void ReleaseControllerKeys(std::vector<plat::Event>* keys) {
  for (int i = 0; i < kControllerKeyCount; ++i)
    if (g_controllerKeysHeld & (1u << i)) Append(keys, plat::EventType::KeyUp, kControllerKeys[i].vk);
  g_controllerKeysHeld = 0;
  g_controllerStickHeld = 0;
  g_controllerRepeatVk = 0;
}

int InitController() { return plat::g_platform->OpenController() ? 0 : -1; }

int PollController(std::vector<plat::Event>* keys) {
  plat::ControllerState state;
  const int result = plat::g_platform->ReadController(&state);
  if (result < 0) {
    ReleaseControllerKeys(keys);
    return result;
  }
  ControllerKeyEvents(state, plat::g_platform->NowMs(), keys);
  return 0;
}

void ReleaseController() {
  std::vector<plat::Event> unheard;  // the window is going or the keys were released before
  ReleaseControllerKeys(&unheard);
  plat::g_platform->CloseController();
}
