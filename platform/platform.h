// The platform contract: everything the game needs from the system, and nothing more.
//
// One implementation is chosen at start-up and stored in g_platform: the SDL back end
// (platform/sdl/) for the real program, the virtual back end (platform/virtual/) for tests
// and the replay tool. Game code includes this header and platform/audio_device.h only.
//
// Threads: every call here is made on the game thread. The audio device's own thread
// never calls into this interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/audio_device.h"

namespace plat {

// Windows virtual-key codes, the game's key language on every platform.
enum : int {
  VK_RETURN = 13,   // Enter
  VK_CONTROL = 17,  // either Control key
  VK_ESCAPE = 27,
  VK_SPACE = 32,
  VK_LEFT = 37,
  VK_UP = 38,
  VK_RIGHT = 39,
  VK_DOWN = 40,
  VK_N = 78,
  VK_Y = 89,
  VK_F1 = 112,  // opens and closes the About box
  VK_F4 = 115,
};

enum class EventType {
  KeyDown,  // a press or an auto-repeat
  KeyUp,
  Paint,    // the window needs drawing
  Close,    // the window's close button, or the window system's own close request
};

struct Event {
  EventType type = EventType::Paint;
  int vk = 0;        // KeyDown, KeyUp: virtual-key code; 0 for keys the game has no code for
  bool alt = false;  // KeyDown, KeyUp: Alt was held, so this is a system key
};

// The controller's buttons by their place on a standard pad, whatever the maker prints on
// them: the four face buttons by compass point, the d-pad as four buttons.
enum : int {
  PAD_SOUTH = 0,
  PAD_EAST = 1,
  PAD_WEST = 2,
  PAD_NORTH = 3,
  PAD_BACK = 4,  // also called Select or Share
  PAD_GUIDE = 5,
  PAD_START = 6,
  PAD_LEFT_STICK = 7,  // the sticks pressed in
  PAD_RIGHT_STICK = 8,
  PAD_LEFT_SHOULDER = 9,
  PAD_RIGHT_SHOULDER = 10,
  PAD_DPAD_UP = 11,
  PAD_DPAD_DOWN = 12,
  PAD_DPAD_LEFT = 13,
  PAD_DPAD_RIGHT = 14,
  PAD_BUTTON_COUNT = 15,
};

constexpr uint8_t PAD_PRESSED = 0x80;

// A controller reading: the left stick's X (right positive) and Y (down positive) scaled to
// -1000..1000, and 128 button bytes, numbered as above, whose high bit means pressed.
struct ControllerState {
  int x = 0;
  int y = 0;
  uint8_t buttons[128] = {};
};

enum class HttpResult {
  NoAnswer,    // no connection, or the server did not answer in time
  ReadFailed,  // the server answered but reading its body failed
  Ok,          // the server answered (whatever its status); the body was read if asked for
};

class Platform {
 public:
  virtual ~Platform() = default;

  // ---- Time. Game time is the tick; these are for waits and the random seed.
  virtual uint64_t NowMs() = 0;              // monotonic, from the platform's start
  virtual uint32_t WallClockSeconds() = 0;   // seconds since 1970-01-01 UTC
  virtual void Sleep(uint32_t ms) = 0;       // blocks the game thread; events keep queuing

  // ---- The tick timer. The loop in app/ times and delivers the ticks itself; the platform
  // is told so that it can refuse the timer or log it.
  virtual bool SetTimer(uint32_t /*timerId*/, uint32_t /*intervalMs*/) { return true; }
  virtual void KillTimer(uint32_t /*timerId*/) {}

  // ---- Events, in the order the player made them.
  virtual bool PollEvent(Event* event) = 0;        // takes the oldest waiting event, if any
  virtual void WaitEvent(uint64_t untilMs) = 0;    // until an event waits or NowMs() >= untilMs

  // ---- The window. Pictures are BMP files, named by full path.
  virtual bool CreateMainWindow(const char* caption, int width, int height, const char* iconPath) = 0;
  virtual bool DrawPicture(const char* bmpPath) = 0;       // stretched over the client area
  virtual void ShowAboutBox(const char* bmpPath, bool show) = 0;  // a box inside the window
  virtual void ShowMessageBox(const char* caption, const char* text) = 0;  // modal, OK only
  virtual void DestroyMainWindow() = 0;

  // ---- The program's own location: full path of the executable, "" when it cannot be read.
  virtual std::string ExecutablePath() = 0;

  // ---- Files. Every open is of an existing file: nothing here creates or truncates.
  // Backslashes in a name stand for the path separator, and a name whose exact spelling is
  // missing is matched component by component without regard to case.
  // Reads up to maxBytes from the start; -1 when the file cannot be opened.
  virtual long ReadFileHead(const char* path, void* buffer, size_t maxBytes) = 0;
  // Writes bytes at the start of an existing file, leaving its length as it is when the
  // write is shorter; false when the file cannot be opened for writing.
  virtual bool WriteFileHead(const char* path, const void* data, size_t bytes) = 0;

  // ---- Sound: the one output device, or null when the system has none.
  virtual AudioDevice* OpenAudioDevice() = 0;
  virtual void CloseAudioDevice() = 0;

  // ---- The game controller: the first attached one.
  virtual bool OpenController() = 0;                      // false: none attached
  virtual int ReadController(ControllerState* state) = 0; // 0, or negative when the read failed
  virtual void CloseController() = 0;

  // ---- HTTP GET of an address as the game built it (the platform encodes what cannot
  // stand in a URL). body may be null: then the body is not read. At most maxBody bytes.
  virtual HttpResult HttpGet(const std::string& url, std::string* body, size_t maxBody) = 0;
};

// The platform in use; set once before the game starts and never changed while it runs.
extern Platform* g_platform;

}  // namespace plat
