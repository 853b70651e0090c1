// The real program: the game on the SDL platform. It reads no argument and no environment
// variable of its own.
#define SDL_MAIN_HANDLED  // our own main, on every system
#include "app/app.h"
#include "platform/sdl/sdl_platform.h"

int main() {
  auto* platform = new plat::SdlPlatform();
  plat::g_platform = platform;
  const int status = RunChimebox();
  plat::g_platform = nullptr;
  delete platform;
  return status;
}
