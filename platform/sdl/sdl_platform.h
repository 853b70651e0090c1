// The real back end: SDL2 for the window, events, message boxes and the game controller;
// the shared POSIX files, the SDL audio output over the mixer, and libcurl for HTTP.
#pragma once

#include <SDL.h>

#include <deque>
#include <memory>
#include <string>

#include "platform/platform.h"

namespace plat {

class SdlAudioOutput;

class SdlPlatform : public Platform {
 public:
  // Starts SDL's video, event and controller parts, and audio when it can: a system without
  // sound still runs, and OpenAudioDevice then reports no device.
  SdlPlatform();
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  uint64_t NowMs() override;
  uint32_t WallClockSeconds() override;
  void Sleep(uint32_t ms) override;

  bool PollEvent(Event* event) override;
  void WaitEvent(uint64_t untilMs) override;

  bool CreateMainWindow(const char* caption, int width, int height, const char* iconPath) override;
  bool DrawPicture(const char* bmpPath) override;
  void ShowAboutBox(const char* bmpPath, bool show) override;
  void ShowMessageBox(const char* caption, const char* text) override;
  void DestroyMainWindow() override;

  std::string ExecutablePath() override;
  long ReadFileHead(const char* path, void* buffer, size_t maxBytes) override;
  bool WriteFileHead(const char* path, const void* data, size_t bytes) override;

  AudioDevice* OpenAudioDevice() override;
  void CloseAudioDevice() override;

  bool OpenController() override;
  int ReadController(ControllerState* state) override;
  void CloseController() override;

  HttpResult HttpGet(const std::string& url, std::string* body, size_t maxBody) override;

 private:
  // Moves SDL's waiting events into m_events, waiting at most timeoutMs for the first one.
  void GatherEvents(uint32_t timeoutMs);
  // Draws the remembered picture and, when open, the About box over it.
  bool Redraw();

  bool m_videoReady = false;
  bool m_audioReady = false;
  std::deque<Event> m_events;  // translated and waiting, oldest first
  SDL_Window* m_window = nullptr;
  std::string m_picturePath;   // the picture the window shows; "" before the first draw
  std::string m_aboutPath;     // the About box's picture while the box is open, else ""
  SDL_GameController* m_controller = nullptr;
  std::unique_ptr<SdlAudioOutput> m_audio;
};

}  // namespace plat
