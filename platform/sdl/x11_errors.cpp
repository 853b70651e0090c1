#include "platform/sdl/x11_errors.h"

#include <SDL.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

namespace plat {
namespace {

XErrorHandler g_previousHandler = nullptr;

int OnXError(Display* display, XErrorEvent* error) {
  // A request about a window or drawable that has just been destroyed changes nothing the
  // player can hear or see: say so and go on.
  if (error->error_code == BadWindow || error->error_code == BadDrawable) {
    std::fprintf(stderr, "X error %d (request %d) about a vanished window 0x%lx ignored\n",
                 error->error_code, error->request_code, error->resourceid);
    return 0;
  }
  return g_previousHandler ? g_previousHandler(display, error) : 0;
}

}  // namespace

void TolerateVanishedXWindows() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "x11") != 0) return;
  XErrorHandler previous = XSetErrorHandler(OnXError);
  if (previous != OnXError) g_previousHandler = previous;
}

}  // namespace plat
