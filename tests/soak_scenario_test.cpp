// A long, seeded storm of key presses, releases and time on the virtual platform across
// every screen. After every event the game's state is sane: the board holds each cell
// sound once, the mode is one of the nine, and no sound handle is used once released.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <set>
#include <string>

#include "app/globals.h"
#include "menu/menu.h"
#include "puzzle/board.h"
#include "tests/support/scenario.h"

using testing_support::Scenario;
using testing_support::WriteBytes;

namespace {

constexpr int kEvents = 100000;

std::string BoardProblem() {
  std::array<int32_t, 9> cells{};
  for (int r = 0; r < BOARD_SIZE; ++r)
    for (int c = 0; c < BOARD_SIZE; ++c) cells[r * BOARD_SIZE + c] = g_board[r][c];
  std::array<int32_t, 9> sorted = cells;
  std::sort(sorted.begin(), sorted.end());
  for (int i = 0; i < 9; ++i)
    if (sorted[i] != i + 2) return "the board is not a permutation of 2..10";
  if (g_cursorRow < 0 || g_cursorRow >= BOARD_SIZE || g_cursorColumn < 0 || g_cursorColumn >= BOARD_SIZE)
    return "the cursor left the board";
  return "";
}

bool ModeKnown() {
  static const std::set<int32_t> modes = {MODE_INTRO,       MODE_MENU,        MODE_SPEAKER_TEST,
                                          MODE_LEARN,       MODE_FINAL_SCORE, MODE_BEST_SCORES,
                                          MODE_SEND_SCORE,  MODE_LEVEL_END,   MODE_LEVEL};
  return modes.count(g_mode) == 1;
}

// A key that would end the program: the soak keeps it running instead.
bool WouldQuit(int vk) {
  return g_mode == MODE_MENU && (vk == plat::VK_ESCAPE || (vk == plat::VK_RETURN && g_menuItem == MENU_QUIT));
}

}  // namespace

TEST(Soak, AHundredThousandRandomEventsKeepEveryInvariant) {
  Scenario s;
  const char details[] = "Ann\nLee\nHigh Street 1\nNowhere\n";
  WriteBytes(s.folder + "config.dat", std::vector<unsigned char>(details, details + sizeof details - 1));
  std::mt19937 rng(20240611);
  s.vp.SetHttpHandler([&rng](const std::string&, std::string* body, size_t) {
    const unsigned pick = rng() % 4;
    if (body) *body = std::string(1, static_cast<char>('0' + rng() % 11));
    return pick == 0 ? plat::HttpResult::NoAnswer : plat::HttpResult::Ok;
  });

  const int keys[] = {plat::VK_RETURN, plat::VK_CONTROL, plat::VK_ESCAPE, plat::VK_SPACE,
                      plat::VK_LEFT,   plat::VK_UP,      plat::VK_RIGHT,  plat::VK_DOWN,
                      plat::VK_Y,      plat::VK_N,       plat::VK_F1,     plat::VK_DOWN};
  std::set<int32_t> modesSeen;
  int speakerTestSounds = 0;
  size_t logChecked = 0;
  s.Start();
  for (int event = 0; event < kEvents; ++event) {
    const uint64_t now = s.vp.NowMs();
    const unsigned kind = rng() % 10;
    const int vk = keys[rng() % (sizeof keys / sizeof keys[0])];
    if (rng() % 2000 == 0) {
      // Now and then the quickest win there is, so that a score exists to be sent: in a
      // level, the clock stopped with Control held resets the board, and a turn of a row
      // and its inverse solve it.
      for (int vk : {plat::VK_SPACE, plat::VK_CONTROL, plat::VK_SPACE, plat::VK_RIGHT, plat::VK_LEFT})
        s.vp.PressAt(now, vk);
      s.vp.ReleaseAt(now, plat::VK_CONTROL);
      s.RunUntil(now);
    } else if (kind < 5) {
      if (WouldQuit(vk)) continue;
      s.vp.PressAt(now, vk);
      s.RunUntil(now);
    } else if (kind < 8) {
      s.vp.ReleaseAt(now, vk);
      s.RunUntil(now);
    } else {
      s.RunUntil(now + rng() % 60);  // ticks, and sounds running out
    }
    ASSERT_TRUE(s.IsOpen()) << "event " << event;
    ASSERT_TRUE(ModeKnown()) << "event " << event << ": mode " << g_mode;
    const std::string board = BoardProblem();
    ASSERT_EQ(board, "") << "event " << event;
    const auto& log = s.vp.Log();
    for (; logChecked < log.size(); ++logChecked) {
      const plat::LogEntry& e = log[logChecked];
      ASSERT_TRUE(e.op != "bad-voice" && e.op != "bad-listener")
          << "event " << event << ": " << e.op << " " << e.name << " " << e.a;
      speakerTestSounds += e.op == "position3d";
    }
    modesSeen.insert(g_mode);
    // The log would otherwise hold every call of the whole run.
    if (log.size() > 20000) {
      s.vp.ClearLog();
      logChecked = 0;
    }
  }
  // The storm reached every screen; the speaker test runs within its one key press.
  EXPECT_EQ(modesSeen.size(), 8u) << testing::PrintToString(modesSeen);
  EXPECT_GT(speakerTestSounds, 0);
}
