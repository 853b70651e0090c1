// Keyboard and game-controller input: the Left/Right exchange before start-up completes,
// and the controller's readings turned into the same key presses and releases as the
// keyboard's.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/platform.h"

// The stick stands for an arrow beyond this, and lets go of it only back inside the release
// bound, so that a stick held near the edge does not chatter.
constexpr int CONTROLLER_STICK_PRESS = 600;
constexpr int CONTROLLER_STICK_RELEASE = 400;
// A held direction repeats like a keyboard key: first after the delay, then at the interval.
constexpr uint64_t CONTROLLER_REPEAT_DELAY_MS = 500;
constexpr uint64_t CONTROLLER_REPEAT_INTERVAL_MS = 100;

extern bool g_controllerEnabled;  // a controller is set up and polled on every timer message

// Lifetime: from the first reading of the controller until it is released.
extern uint32_t g_controllerKeysHeld;   // one bit per mapped key the controller holds down
extern uint32_t g_controllerStickHeld;  // one bit per arrow the stick alone would hold
extern int g_controllerRepeatVk;        // the direction that repeats; 0 for none
extern uint64_t g_controllerRepeatAtMs; // when it repeats next

void HandleKeyDown(int vk);  // sends the window its close request when the dispatch says so
void HandleKeyUp(int vk);

int InitController();  // 0 on success, negative when no controller could be set up
// Reads the controller and appends the key events it stands for, in the order to handle
// them. A failed read appends the releases of every key it held and returns its negative
// code; the caller then releases the controller for good.
int PollController(std::vector<plat::Event>* keys);
void ReleaseController();  // safe without a controller

// The key events that take the controller's keys from the last reading to this one:
// releases, then presses (Control before the arrows, so a turn pressed at once is a turn),
// then the repeat of a held direction when it is due.
void ControllerKeyEvents(const plat::ControllerState& state, uint64_t nowMs,
                         std::vector<plat::Event>* keys);
// Releases of every key the controller holds; afterwards it holds none.
void ReleaseControllerKeys(std::vector<plat::Event>* keys);
