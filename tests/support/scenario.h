// Whole-game scenarios on the virtual platform, in a few lines:
//
//   Scenario s;                      // a fixture game folder, the virtual platform
//   s.Press(250, plat::VK_CONTROL);  // at 250 ms press Control
//   s.Start();                       // start-up at 0 ms
//   s.RunUntil(5000);
//   EXPECT_EQ(s.FirstStart("menu\\arrows.vgz"), 250);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/app.h"
#include "platform/virtual/virtual_platform.h"
#include "tests/support/game_fixture.h"

namespace testing_support {

struct Heard {
  uint64_t ms;
  std::string name;
  bool looped;
  int64_t pan;
};

class Scenario {
 public:
  explicit Scenario(const FixtureOptions& options = {});
  ~Scenario();
  Scenario(const Scenario&) = delete;
  Scenario& operator=(const Scenario&) = delete;

  Scenario& Press(uint64_t ms, int vk) { vp.PressAt(ms, vk); return *this; }
  Scenario& Release(uint64_t ms, int vk) { vp.ReleaseAt(ms, vk); return *this; }
  Scenario& Tap(uint64_t ms, int vk) { vp.TapAt(ms, vk); return *this; }

  void Start();                 // start-up at the current virtual time
  bool RunUntil(uint64_t ms);   // false once the window has closed
  void RunToEnd();              // until the window closes (the script's end closes it)
  bool IsOpen() const { return m_dlg.IsOpen(); }
  CMainDlg& Window() { return m_dlg; }

  // Every start of a sound (once or looped), in order.
  std::vector<Heard> Starts() const;
  std::vector<std::string> StartedNames(uint64_t fromMs = 0, uint64_t toMs = UINT64_MAX) const;
  // The first start of a sound at or after fromMs; -1 when none.
  int64_t FirstStart(const std::string& name, uint64_t fromMs = 0) const;
  int CountStarts(const std::string& name) const;
  std::vector<std::string> MessageBoxes() const;

  plat::VirtualPlatform vp;
  const std::string folder;

 private:
  CMainDlg m_dlg;
};

// For fuzzing: one in-memory game folder holding data files only, shared by the whole run.
// Writes the input there as `fileName`, points the game at the folder and empties the log.
Scenario& FuzzGameWithFile(const std::string& fileName, const uint8_t* data, size_t size);

}  // namespace testing_support
