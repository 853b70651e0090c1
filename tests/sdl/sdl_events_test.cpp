#include <gtest/gtest.h>

#include "platform/sdl/sdl_events.h"

namespace {

SDL_Event Key(Uint32 type, SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod, Uint8 repeat = 0) {
  SDL_Event e{};
  e.type = type;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = scancode;
  e.key.keysym.mod = mod;
  e.key.repeat = repeat;
  return e;
}

SDL_Event Window(Uint8 event) {
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = event;
  return e;
}

struct EventCase {
  const char* what;
  SDL_Event in;
  bool seen;
  plat::EventType type;
  int vk;
  bool alt;
};

TEST(SdlEvents, Translate) {
  using plat::EventType;
  const EventCase cases[] = {
      {"press", Key(SDL_KEYDOWN, SDLK_SPACE, SDL_SCANCODE_SPACE, KMOD_NONE), true,
       EventType::KeyDown, plat::VK_SPACE, false},
      {"auto-repeat is a press", Key(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, KMOD_NONE, 1),
       true, EventType::KeyDown, plat::VK_LEFT, false},
      {"release", Key(SDL_KEYUP, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_NONE), true,
       EventType::KeyUp, plat::VK_CONTROL, false},
      {"Control held is not a system key",
       Key(SDL_KEYDOWN, SDLK_UP, SDL_SCANCODE_UP, KMOD_LCTRL), true, EventType::KeyDown,
       plat::VK_UP, false},
      {"Alt+F4", Key(SDL_KEYDOWN, SDLK_F4, SDL_SCANCODE_F4, KMOD_LALT), true,
       EventType::KeyDown, plat::VK_F4, true},
      {"right Alt held", Key(SDL_KEYUP, SDLK_y, SDL_SCANCODE_Y, KMOD_RALT), true,
       EventType::KeyUp, plat::VK_Y, true},
      {"Alt's own press", Key(SDL_KEYDOWN, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_LALT), true,
       EventType::KeyDown, 18, true},
      {"Alt's own release, no longer held",
       Key(SDL_KEYUP, SDLK_LALT, SDL_SCANCODE_LALT, KMOD_NONE), true, EventType::KeyUp, 18,
       true},
      {"F10 is a system key", Key(SDL_KEYDOWN, SDLK_F10, SDL_SCANCODE_F10, KMOD_NONE), true,
       EventType::KeyDown, 121, true},
      {"unknown key", Key(SDL_KEYDOWN, SDLK_VOLUMEUP, SDL_SCANCODE_VOLUMEUP, KMOD_NONE), true,
       EventType::KeyDown, 0, false},
      {"close button", Window(SDL_WINDOWEVENT_CLOSE), true, EventType::Close, 0, false},
      {"exposed", Window(SDL_WINDOWEVENT_EXPOSED), true, EventType::Paint, 0, false},
      {"shown", Window(SDL_WINDOWEVENT_SHOWN), true, EventType::Paint, 0, false},
      {"restored", Window(SDL_WINDOWEVENT_RESTORED), true, EventType::Paint, 0, false},
      {"focus", Window(SDL_WINDOWEVENT_FOCUS_GAINED), false, EventType::Paint, 0, false},
      {"moved", Window(SDL_WINDOWEVENT_MOVED), false, EventType::Paint, 0, false},
  };
  for (const EventCase& c : cases) {
    plat::Event out;
    ASSERT_EQ(plat::TranslateSdlEvent(c.in, &out), c.seen) << c.what;
    if (!c.seen) continue;
    EXPECT_EQ(out.type, c.type) << c.what;
    EXPECT_EQ(out.vk, c.vk) << c.what;
    EXPECT_EQ(out.alt, c.alt) << c.what;
  }
}

TEST(SdlEvents, QuitSignalClosesAndOtherEventsAreIgnored) {
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  plat::Event out;
  ASSERT_TRUE(plat::TranslateSdlEvent(quit, &out));
  EXPECT_EQ(out.type, plat::EventType::Close);

  for (Uint32 type : {SDL_MOUSEMOTION, SDL_MOUSEBUTTONDOWN, SDL_TEXTINPUT,
                      SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERDEVICEREMOVED}) {
    SDL_Event e{};
    e.type = type;
    EXPECT_FALSE(plat::TranslateSdlEvent(e, &out)) << "type " << type;
  }
}

}  // namespace
