#include "platform/sdl/sdl_events.h"

namespace plat {

namespace {

struct KeyPair {
  SDL_Keycode key;
  int vk;
};

// Keys outside the contiguous ranges handled in VirtualKeyFromSdl.
constexpr KeyPair kKeys[] = {
    {SDLK_BACKSPACE, 8},    {SDLK_TAB, 9},           {SDLK_RETURN, 13},
    {SDLK_KP_ENTER, 13},    {SDLK_RETURN2, 13},      {SDLK_LSHIFT, 16},
    {SDLK_RSHIFT, 16},      {SDLK_LCTRL, 17},        {SDLK_RCTRL, 17},
    {SDLK_LALT, 18},        {SDLK_RALT, 18},         {SDLK_PAUSE, 19},
    {SDLK_CAPSLOCK, 20},    {SDLK_ESCAPE, 27},       {SDLK_SPACE, 32},
    {SDLK_PAGEUP, 33},      {SDLK_PAGEDOWN, 34},     {SDLK_END, 35},
    {SDLK_HOME, 36},        {SDLK_LEFT, 37},         {SDLK_UP, 38},
    {SDLK_RIGHT, 39},       {SDLK_DOWN, 40},         {SDLK_PRINTSCREEN, 44},
    {SDLK_INSERT, 45},      {SDLK_DELETE, 46},       {SDLK_LGUI, 91},
    {SDLK_RGUI, 92},        {SDLK_APPLICATION, 93},  {SDLK_KP_MULTIPLY, 106},
    {SDLK_KP_PLUS, 107},    {SDLK_KP_MINUS, 109},    {SDLK_KP_PERIOD, 110},
    {SDLK_KP_DIVIDE, 111},  {SDLK_NUMLOCKCLEAR, 144}, {SDLK_SCROLLLOCK, 145},
    {SDLK_SEMICOLON, 186},  {SDLK_EQUALS, 187},      {SDLK_COMMA, 188},
    {SDLK_MINUS, 189},      {SDLK_PERIOD, 190},      {SDLK_SLASH, 191},
    {SDLK_BACKQUOTE, 192},  {SDLK_LEFTBRACKET, 219}, {SDLK_BACKSLASH, 220},
    {SDLK_RIGHTBRACKET, 221}, {SDLK_QUOTE, 222},
};

}  // namespace

int VirtualKeyFromSdl(SDL_Keycode key, SDL_Scancode scancode) {
  // The digit row gives digits on every layout, as on Windows (French '&' is 1).
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) {
    return '1' + (scancode - SDL_SCANCODE_1);
  }
  if (scancode == SDL_SCANCODE_0) return '0';
  if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
  if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
  // SDL numbers F1-F12 and F13-F24 in two separate runs.
  if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
  if (key >= SDLK_F13 && key <= SDLK_F24) return 124 + (key - SDLK_F13);
  if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 97 + (key - SDLK_KP_1);
  if (key == SDLK_KP_0) return 96;
  for (const KeyPair& pair : kKeys) {
    if (pair.key == key) return pair.vk;
  }
  // A letter no Latin layout has (Cyrillic, Greek...): name the key by its place.
  if (key >= 128 && !(key & SDLK_SCANCODE_MASK) && scancode >= SDL_SCANCODE_A &&
      scancode <= SDL_SCANCODE_Z) {
    return 'A' + (scancode - SDL_SCANCODE_A);
  }
  return 0;
}

bool TranslateSdlEvent(const SDL_Event& sdlEvent, Event* event) {
  switch (sdlEvent.type) {
    case SDL_QUIT:  // a signal asking the program to end
      *event = Event{EventType::Close, 0, false};
      return true;
    case SDL_WINDOWEVENT:
      switch (sdlEvent.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          *event = Event{EventType::Close, 0, false};
          return true;
        case SDL_WINDOWEVENT_SHOWN:
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_RESTORED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          *event = Event{EventType::Paint, 0, false};
          return true;
        default:
          return false;
      }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Keysym& key = sdlEvent.key.keysym;
      // System keys as Windows has them: anything with Alt held, the Alt keys themselves
      // (press and release), and F10.
      const bool system = (key.mod & KMOD_ALT) != 0 || key.sym == SDLK_LALT ||
                          key.sym == SDLK_RALT || key.sym == SDLK_F10;
      *event = Event{sdlEvent.type == SDL_KEYDOWN ? EventType::KeyDown : EventType::KeyUp,
                     VirtualKeyFromSdl(key.sym, key.scancode), system};
      return true;
    }
    default:
      return false;
  }
}

}  // namespace plat
