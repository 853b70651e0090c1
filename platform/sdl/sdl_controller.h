// SDL's game-controller API as the game sees it: the left stick and the buttons in the
// game's own numbering (PAD_... in platform/platform.h).
#pragma once

#include <SDL_gamecontroller.h>

#include "platform/platform.h"

namespace plat {

// SDL's button at each place of the game's numbering.
SDL_GameControllerButton SdlButtonForPad(int padButton);

// The controller's current reading: the left stick scaled to -1000..1000, the d-pad as
// four buttons, and no button pressed beyond PAD_BUTTON_COUNT.
void ReadSdlController(SDL_GameController* controller, ControllerState* state);

}  // namespace plat
