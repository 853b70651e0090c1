// The place page's reply as any bytes, heard on the virtual platform: at most one outcome is
// spoken, a place is always "made it" and a number from 1 to 10, and an empty reply is the
// only way to "not enough".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "scores/send_score.h"
#include "tests/support/scenario.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

std::string g_reply;

// The spoken words cut short, so that each input stays quick.
testing_support::FixtureOptions ShortWords() {
  testing_support::FixtureOptions options;
  for (const testing_support::GameFileSpec& f : testing_support::GameSoundFiles())
    if (f.name.rfind("score\\", 0) == 0) options.durationMs[f.name] = 5;
  options.durationMs["game\\made_it.vgz"] = 5;
  options.durationMs["game\\not_enough.vgz"] = 5;
  return options;
}

// The game started once for the whole run; its place page answers with the current input.
testing_support::Scenario& Game() {
  static testing_support::Scenario game(ShortWords());
  static const bool started = [] {
    game.vp.SetHttpHandler([](const std::string&, std::string* body, size_t) {
      if (body != nullptr) *body = g_reply;
      return plat::HttpResult::Ok;
    });
    game.Start();
    return true;
  }();
  (void)started;
  return game;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testing_support::Scenario& game = Game();
  g_reply.assign(reinterpret_cast<const char*>(data), size);
  game.vp.ClearLog();
  g_scoreUrl = "http://127.0.0.1/chimebox/top1.php?score=1";
  QueryPlace();

  Check(game.vp.LogOf("http").size() == 1);
  const std::vector<std::string> heard = game.StartedNames();
  const bool placeDigit = size > 0 && data[0] >= '1' && data[0] <= '9';
  if (size == 0) {
    Check(heard == std::vector<std::string>{"game\\not_enough.vgz"});
  } else if (!placeDigit) {
    Check(heard.empty());
  } else {
    Check(heard.size() == 2 && heard[0] == "game\\made_it.vgz");
    const int place = std::atoi(heard[1].c_str() + 6);  // after "score\"
    Check(heard[1].compare(0, 6, "score\\") == 0 && place >= 1 && place <= 10);
  }
  return 0;
}
