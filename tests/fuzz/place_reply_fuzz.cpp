// The place page's reply as any bytes: at most one outcome is spoken, a place is always
// 1 to 10, and an empty reply is the only way to "not enough".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scores/send_score.h"
#include "tests/net/support/send_score_doubles.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  doubles::ScriptedPlatform& platform = doubles::Reset();
  const std::string reply(reinterpret_cast<const char*>(data), size);
  platform.http = [&reply](const std::string&, std::string* body, size_t) {
    if (body != nullptr) *body = reply;
    return plat::HttpResult::Ok;
  };
  g_scoreUrl = "http://127.0.0.1/chimebox/top1.php?score=1";
  QueryPlace();

  // The log holds the request, then at most one spoken outcome.
  Check(!doubles::g_log.empty());
  Check(doubles::g_log.size() <= 2);
  if (doubles::g_log.size() == 2) {
    const std::string& said = doubles::g_log[1];
    if (said == "say-not-enough") {
      Check(size == 0);
    } else {
      Check(said.compare(0, 10, "say-place ") == 0);
      int place = std::atoi(said.c_str() + 10);
      Check(place >= 1 && place <= 10);
      Check(size > 0 && data[0] >= '1' && data[0] <= '9');
    }
  } else {
    Check(size > 0 && !(data[0] >= '1' && data[0] <= '9'));
  }
  return 0;
}
