// A platform whose files live in memory, for tests of the game's file handling alone.
// Files follow the platform's rules: nothing is created or truncated, writes go to the
// start of an existing file, and a read-only file refuses to be opened for writing.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"

class MemoryFilePlatform : public plat::Platform {
 public:
  std::map<std::string, std::vector<uint8_t>> files;
  std::set<std::string> readOnly;
  int writes = 0;  // successful WriteFileHead calls

  long ReadFileHead(const char* path, void* buffer, size_t maxBytes) override {
    auto file = files.find(path);
    if (file == files.end()) return -1;
    const size_t count = std::min(maxBytes, file->second.size());
    if (count > 0) std::memcpy(buffer, file->second.data(), count);
    return long(count);
  }

  bool WriteFileHead(const char* path, const void* data, size_t bytes) override {
    auto file = files.find(path);
    if (file == files.end() || readOnly.count(path)) return false;
    std::vector<uint8_t>& content = file->second;
    if (content.size() < bytes) content.resize(bytes);
    std::memcpy(content.data(), data, bytes);
    ++writes;
    return true;
  }

  uint64_t NowMs() override { return 0; }
  uint32_t WallClockSeconds() override { return 0; }
  void Sleep(uint32_t) override {}
  bool PollEvent(plat::Event*) override { return false; }
  void WaitEvent(uint64_t) override {}
  bool CreateMainWindow(const char*, int, int, const char*) override { return false; }
  bool DrawPicture(const char*) override { return false; }
  void ShowAboutBox(const char*, bool) override {}
  void ShowMessageBox(const char*, const char*) override {}
  void DestroyMainWindow() override {}
  std::string ExecutablePath() override { return ""; }
  plat::AudioDevice* OpenAudioDevice() override { return nullptr; }
  void CloseAudioDevice() override {}
  bool OpenController() override { return false; }
  int ReadController(plat::ControllerState*) override { return -1; }
  void CloseController() override {}
  plat::HttpResult HttpGet(const std::string&, std::string*, size_t) override {
    return plat::HttpResult::NoAnswer;
  }
};
