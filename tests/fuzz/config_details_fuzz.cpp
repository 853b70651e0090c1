// config.dat as any bytes, read from a real file through the virtual platform: reading it
// never overruns, and the address built always carries the host, the page and the five
// query keys in order around the file's own bytes.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "scores/send_score.h"
#include "tests/support/scenario.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  testing_support::FuzzGameWithFile("config.dat", data, size);
  g_scoreUrl = "untouched";

  int built = ReadPlayerDetails();
  if (!built) {
    Check(g_scoreUrl == "untouched");
    return 0;
  }
  Check(size >= 2);
  const std::string prefix = "http://" CHIMEBOX_SCORE_HOST "/chimebox/top1.php?first_name=";
  Check(g_scoreUrl.compare(0, prefix.size(), prefix) == 0);
  size_t at = prefix.size();
  for (const char* key : {"&last_name=", "&addr=", "&country=", "&score="}) {
    at = g_scoreUrl.find(key, at);
    Check(at != std::string::npos);
  }
  Check(g_scoreUrl.size() >= prefix.size() + 29);
  // No more of the file than was read can be in the address.
  Check(g_scoreUrl.size() <= prefix.size() + 40 + CONFIG_READ_BYTES);
  Check(g_scoreUrl.find('\n') == std::string::npos);
  Check(g_scoreUrl.find('\0') == std::string::npos);

  const std::string digits = std::to_string(size);
  g_lastScore = static_cast<int32_t>(size);
  AppendScoreToUrl();
  Check(g_scoreUrl.compare(g_scoreUrl.size() - digits.size(), digits.size(), digits) == 0);
  return 0;
}
