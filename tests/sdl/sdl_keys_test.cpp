#include "platform/sdl/sdl_events.h"

#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

struct KeyCase {
  SDL_Keycode key;
  SDL_Scancode scancode;
  int vk;
};

// The keys the screens react to, the ends of every range, and the layout fallbacks.
const KeyCase kCases[] = {
    {SDLK_RETURN, SDL_SCANCODE_RETURN, plat::VK_RETURN},
    {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, plat::VK_RETURN},
    {SDLK_LCTRL, SDL_SCANCODE_LCTRL, plat::VK_CONTROL},
    {SDLK_RCTRL, SDL_SCANCODE_RCTRL, plat::VK_CONTROL},
    {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, plat::VK_ESCAPE},
    {SDLK_SPACE, SDL_SCANCODE_SPACE, plat::VK_SPACE},
    {SDLK_LEFT, SDL_SCANCODE_LEFT, plat::VK_LEFT},
    {SDLK_UP, SDL_SCANCODE_UP, plat::VK_UP},
    {SDLK_RIGHT, SDL_SCANCODE_RIGHT, plat::VK_RIGHT},
    {SDLK_DOWN, SDL_SCANCODE_DOWN, plat::VK_DOWN},
    {SDLK_a, SDL_SCANCODE_A, 65},
    {SDLK_n, SDL_SCANCODE_N, plat::VK_N},
    {SDLK_y, SDL_SCANCODE_Y, plat::VK_Y},
    {SDLK_z, SDL_SCANCODE_Z, 90},
    // The layout decides: on a German keyboard the key labelled Y sits where US has Z.
    {SDLK_y, SDL_SCANCODE_Z, plat::VK_Y},
    {SDLK_0, SDL_SCANCODE_0, 48},
    {SDLK_9, SDL_SCANCODE_9, 57},
    {SDLK_F1, SDL_SCANCODE_F1, plat::VK_F1},
    {SDLK_F4, SDL_SCANCODE_F4, plat::VK_F4},
    {SDLK_F12, SDL_SCANCODE_F12, 123},
    {SDLK_F13, SDL_SCANCODE_F13, 124},
    {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
    {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
    {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 16},
    {SDLK_LALT, SDL_SCANCODE_LALT, 18},
    {SDLK_TAB, SDL_SCANCODE_TAB, 9},
    {SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
    // A Cyrillic layout: letters and digits are named by their place on a US keyboard.
    {0x43d /* Cyrillic en */, SDL_SCANCODE_Y, plat::VK_Y},
    {0x442 /* Cyrillic te */, SDL_SCANCODE_N, plat::VK_N},
    {0x2116 /* numero sign */, SDL_SCANCODE_3, '3'},
    // A French keyboard's digit row.
    {SDLK_AMPERSAND, SDL_SCANCODE_1, '1'},
    {0xe9 /* e acute */, SDL_SCANCODE_2, '2'},
    // Keys the game has no code for.
    {SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, 0},
    {SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0},
};

TEST(SdlKeys, MapsToVirtualKeys) {
  for (const KeyCase& c : kCases) {
    EXPECT_EQ(plat::VirtualKeyFromSdl(c.key, c.scancode), c.vk)
        << "key " << c.key << " scancode " << c.scancode;
  }
}

}  // namespace
