// raw_reads FILE...: reads each file whole and exits; 1 when one cannot be read. The
// baseline process the real program's start-up is timed against.
#include <memory>
#include <string>
#include <vector>

#include "bench/raw_reads.h"

int main(int argc, char** argv) {
  // Left uninitialised, as the game's own buffer is: only the pages read into are touched.
  constexpr size_t kSize = 10000000;
  const std::unique_ptr<char[]> buffer(new char[kSize]);
  const std::vector<std::string> files(argv + 1, argv + argc);
  return bench::ReadFilesRaw(files, buffer.get(), kSize) < 0 ? 1 : 0;
}
