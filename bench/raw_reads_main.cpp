// raw_reads FILE...: reads each file whole and exits; 1 when one cannot be read. The
// baseline process the real program's start-up is timed against.
#include <string>
#include <vector>

#include "bench/raw_reads.h"

int main(int argc, char** argv) {
  std::vector<char> buffer(10000000);
  const std::vector<std::string> files(argv + 1, argv + argc);
  return bench::ReadFilesRaw(files, buffer) < 0 ? 1 : 0;
}
