// SDL's events as the game sees them: keys as Windows virtual-key codes, paint, close.
#pragma once

#include <SDL_events.h>
#include <SDL_keycode.h>
#include <SDL_scancode.h>

#include "platform/platform.h"

namespace plat {

// The virtual-key code of a key as the current keyboard layout names it (the key labelled
// Y gives 89 on every Latin layout). As on Windows, the digit row always gives digits and a
// letter of a non-Latin layout gives the letter at its place on a US keyboard. 0 for keys
// that have no code.
int VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode);

// Turns one SDL event into the game's event; false for events the game does not see.
bool TranslateSdlEvent(const SDL_Event& sdlEvent, Event* event);

}  // namespace plat
