#include "platform/sdl/sdl_platform.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <ctime>

#include "platform/posix/posix_files.h"
#include "platform/sdl/sdl_audio_output.h"
#include "platform/sdl/sdl_controller.h"
#include "platform/sdl/sdl_events.h"

#include "platform/net/http_client.h"
#include "platform/sdl/x11_errors.h"

namespace plat {

namespace {

// SDL's stand-in drivers draw nowhere and read no keyboard; they count only when someone
// asked SDL for them by name.
bool IsKeyboardDisplay() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) return false;
  if (std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return true;
  const char* requested = SDL_GetHint(SDL_HINT_VIDEODRIVER);
  return requested && std::strstr(requested, driver) != nullptr;
}

struct SurfaceDeleter {
  void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// A BMP file as a surface in the given pixel format, or null when it cannot be read.
// Found by the same rules as every other data file (backslashes, case).
SurfacePtr LoadBmp(const std::string& path, const SDL_PixelFormat* format) {
  if (path.empty()) return nullptr;
  SurfacePtr loaded(SDL_LoadBMP(ResolveGamePath(path.c_str()).c_str()));
  if (!loaded || !format) return loaded;
  return SurfacePtr(SDL_ConvertSurface(loaded.get(), format, 0));
}

// Copies a picture already in the target's format onto it, stretched to fit the rectangle
// (null: all of it). Linear filtering keeps shrunk text readable; SDL offers it for 32-bit
// pixels only.
void Stretch(SDL_Surface* picture, SDL_Surface* target, SDL_Rect* place) {
  if (picture->format->BytesPerPixel == 4 &&
      SDL_SoftStretchLinear(picture, nullptr, target, place) == 0) {
    return;
  }
  SDL_BlitScaled(picture, nullptr, target, place);
}

// The About box's place: its picture's own size, shrunk to fit inside the window with a
// margin when it is larger, centred.
SDL_Rect AboutBoxRect(int boxW, int boxH, int windowW, int windowH) {
  constexpr int kMargin = 4;
  const int roomW = std::max(1, windowW - 2 * kMargin);
  const int roomH = std::max(1, windowH - 2 * kMargin);
  int w = boxW;
  int h = boxH;
  if (w > roomW) {
    h = std::max(1, h * roomW / w);
    w = roomW;
  }
  if (h > roomH) {
    w = std::max(1, w * roomH / h);
    h = roomH;
  }
  return SDL_Rect{(windowW - w) / 2, (windowH - h) / 2, w, h};
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

SdlPlatform::SdlPlatform() {
  // The window's close button is a close request to the game, not the end of SDL's loop.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  // One small still picture: the window system's own image calls show it at once, where an
  // OpenGL framebuffer would first load a GL driver (about 100 ms, more in software).
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  // The game reads keys and never text, yet the X input method SDL opens parses the
  // locale's whole table of compose sequences first: about 7 ms before the introduction
  // can start. An empty table costs nothing; a player's own choice of table is kept.
  setenv("XCOMPOSEFILE", "/dev/null", 0);
  m_videoReady = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  if (!m_videoReady) {
    std::fprintf(stderr, "Chimebox: no display: %s\n", SDL_GetError());
  } else if (!IsKeyboardDisplay()) {
    // Without a display SDL falls back to a window nobody can type into: the game would
    // speak its introduction and then wait for keys that can never come.
    std::fprintf(stderr, "Chimebox: no display to take the keyboard (SDL video driver %s)\n",
                 SDL_GetCurrentVideoDriver());
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_videoReady = false;
  } else {
    TolerateVanishedXWindows();
  }
  // Face buttons by their place on the pad, not by the letters printed on them: south is
  // Enter on every maker's controller.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);  // without it there is simply no controller
  m_audioReady = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}

SdlPlatform::~SdlPlatform() {
  CloseController();
  CloseAudioDevice();
  DestroyMainWindow();
  SDL_Quit();
}

// ---- Time

uint64_t SdlPlatform::NowMs() { return SDL_GetTicks64(); }

uint32_t SdlPlatform::WallClockSeconds() { return static_cast<uint32_t>(std::time(nullptr)); }

void SdlPlatform::Sleep(uint32_t ms) {
  // Keeps answering the window system, so the desktop does not take the game for hung,
  // while every event waits in order for the game.
  const uint64_t until = NowMs() + ms;
  for (uint64_t now = NowMs(); now < until; now = NowMs()) {
    GatherEvents(static_cast<uint32_t>(until - now));
  }
}

// ---- Events

void SdlPlatform::GatherEvents(uint32_t timeoutMs) {
  SDL_Event sdlEvent;
  Event event;
  if (timeoutMs > 0) {
    const int wait = static_cast<int>(std::min<uint32_t>(timeoutMs, INT_MAX));
    if (SDL_WaitEventTimeout(&sdlEvent, wait) && TranslateSdlEvent(sdlEvent, &event)) {
      m_events.push_back(event);
    }
  }
  while (SDL_PollEvent(&sdlEvent)) {
    if (TranslateSdlEvent(sdlEvent, &event)) m_events.push_back(event);
  }
}

bool SdlPlatform::PollEvent(Event* event) {
  if (m_events.empty()) GatherEvents(0);
  if (m_events.empty()) return false;
  *event = m_events.front();
  m_events.pop_front();
  return true;
}

void SdlPlatform::WaitEvent(uint64_t untilMs) {
  while (m_events.empty()) {
    const uint64_t now = NowMs();
    if (now >= untilMs) return;
    GatherEvents(static_cast<uint32_t>(std::min<uint64_t>(untilMs - now, UINT32_MAX)));
  }
}

// ---- The window

bool SdlPlatform::CreateMainWindow(const char* caption, int width, int height,
                                   const char* iconPath) {
  if (!m_videoReady) return false;
  DestroyMainWindow();
  m_window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                              height, SDL_WINDOW_SHOWN);
  if (!m_window) {
    std::fprintf(stderr, "Chimebox: no window: %s\n", SDL_GetError());
    return false;
  }
  if (iconPath) {
    if (SurfacePtr icon = LoadBmp(iconPath, nullptr)) SDL_SetWindowIcon(m_window, icon.get());
  }
  // The game reads keys, never text; this keeps input methods out of the way.
  SDL_StopTextInput();
  return true;
}

bool SdlPlatform::Redraw() {
  if (!m_window) return false;
  SDL_Surface* screen = SDL_GetWindowSurface(m_window);
  if (!screen) return false;
  SurfacePtr picture = LoadBmp(m_picturePath, screen->format);
  if (picture) Stretch(picture.get(), screen, nullptr);
  bool drawn = picture != nullptr;
  if (SurfacePtr box = LoadBmp(m_aboutPath, screen->format)) {
    const SDL_Rect place = AboutBoxRect(box->w, box->h, screen->w, screen->h);
    // A dark frame sets the box off from the picture behind it.
    const SDL_Rect frame{place.x - 1, place.y - 1, place.w + 2, place.h + 2};
    SDL_FillRect(screen, &frame, SDL_MapRGB(screen->format, 0x20, 0x20, 0x20));
    SDL_Rect target = place;
    Stretch(box.get(), screen, &target);
    drawn = true;
  }
  if (drawn) SDL_UpdateWindowSurface(m_window);
  return picture != nullptr;
}

bool SdlPlatform::DrawPicture(const char* bmpPath) {
  m_picturePath = bmpPath ? bmpPath : "";
  return Redraw();
}

void SdlPlatform::ShowAboutBox(const char* bmpPath, bool show) {
  m_aboutPath = show && bmpPath ? bmpPath : "";
  Redraw();
}

void SdlPlatform::ShowMessageBox(const char* caption, const char* text) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
  std::fflush(stderr);
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, m_window);
}

void SdlPlatform::DestroyMainWindow() {
  if (m_window) SDL_DestroyWindow(m_window);
  m_window = nullptr;
  m_picturePath.clear();
  m_aboutPath.clear();
}

// ---- The program's location and files

std::string SdlPlatform::ExecutablePath() { return PosixExecutablePath(); }

long SdlPlatform::ReadFileHead(const char* path, void* buffer, size_t maxBytes) {
  return PosixReadFileHead(path, buffer, maxBytes);
}

bool SdlPlatform::WriteFileHead(const char* path, const void* data, size_t bytes) {
  return PosixWriteFileHead(path, data, bytes);
}

// ---- Sound

AudioDevice* SdlPlatform::OpenAudioDevice() {
  if (!m_audioReady) return nullptr;
  if (!m_audio) m_audio = SdlAudioOutput::Open(FolderOf(ExecutablePath()) + "hrtf.dat");
  return m_audio ? m_audio->Device() : nullptr;
}

void SdlPlatform::CloseAudioDevice() { m_audio.reset(); }

// ---- The game controller

bool SdlPlatform::OpenController() {
  CloseController();
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (!SDL_IsGameController(i)) continue;
    m_controller = SDL_GameControllerOpen(i);
    if (m_controller) return true;
  }
  return false;
}

int SdlPlatform::ReadController(ControllerState* state) {
  if (!m_controller) return -1;
  SDL_GameControllerUpdate();
  if (!SDL_GameControllerGetAttached(m_controller)) return -1;
  ReadSdlController(m_controller, state);
  return 0;
}

void SdlPlatform::CloseController() {
  if (m_controller) SDL_GameControllerClose(m_controller);
  m_controller = nullptr;
}

// ---- HTTP

HttpResult SdlPlatform::HttpGet(const std::string& url, std::string* body, size_t maxBody) {
  return CurlHttpGet(url, body, maxBody);
}

}  // namespace plat
