// Keyboard and game-controller input: the Left/Right exchange before start-up completes,
// and the controller that is set up and polled but drives nothing.
#pragma once

#include <cstdint>

extern bool g_controllerEnabled;  // a controller is set up and polled on every timer message

void HandleKeyDown(int vk);  // sends the window its close request when the dispatch says so
void HandleKeyUp(int vk);

int InitController();      // 0 on success, negative when no controller could be set up
int PollController();      // 0, or negative when reading the state failed
void ReleaseController();  // safe without a controller

// Every classified controller reading is handed here; it has no effect on the game.
// 1: X left, 2: X right, 3: Y up, 4: Y down; buttons as 100 + button number.
void ControllerHook(int reading);
