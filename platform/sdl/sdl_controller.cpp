#include "platform/sdl/sdl_controller.h"

#include <algorithm>

namespace plat {

namespace {

// Indexed by the game's PAD_ numbers. SDL names the face buttons after one maker's labels
// but places them by position (the platform asks it to, for every maker's pad).
constexpr SDL_GameControllerButton kSdlButtons[PAD_BUTTON_COUNT] = {
    SDL_CONTROLLER_BUTTON_A,             SDL_CONTROLLER_BUTTON_B,
    SDL_CONTROLLER_BUTTON_X,             SDL_CONTROLLER_BUTTON_Y,
    SDL_CONTROLLER_BUTTON_BACK,          SDL_CONTROLLER_BUTTON_GUIDE,
    SDL_CONTROLLER_BUTTON_START,         SDL_CONTROLLER_BUTTON_LEFTSTICK,
    SDL_CONTROLLER_BUTTON_RIGHTSTICK,    SDL_CONTROLLER_BUTTON_LEFTSHOULDER,
    SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_DPAD_UP,
    SDL_CONTROLLER_BUTTON_DPAD_DOWN,     SDL_CONTROLLER_BUTTON_DPAD_LEFT,
    SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
};

int ScaleAxis(Sint16 value) { return std::clamp(value * 1000 / 32767, -1000, 1000); }

}  // namespace

SDL_GameControllerButton SdlButtonForPad(int padButton) {
  if (padButton < 0 || padButton >= PAD_BUTTON_COUNT) return SDL_CONTROLLER_BUTTON_INVALID;
  return kSdlButtons[padButton];
}

void ReadSdlController(SDL_GameController* controller, ControllerState* state) {
  *state = ControllerState{};
  state->x = ScaleAxis(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX));
  state->y = ScaleAxis(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
  for (int b = 0; b < PAD_BUTTON_COUNT; ++b)
    if (SDL_GameControllerGetButton(controller, kSdlButtons[b])) state->buttons[b] = PAD_PRESSED;
}

}  // namespace plat
