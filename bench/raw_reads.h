// The baseline every load is measured against: the same files read whole with plain
// open/read/close into one buffer, as fast as the file system gives them.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <vector>

namespace bench {

// Reads each file whole into buffer (size bytes); returns the bytes read in all, or -1 on a
// failure.
inline long ReadFilesRaw(const std::vector<std::string>& paths, char* buffer, size_t size) {
  long total = 0;
  for (const std::string& path : paths) {
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return -1;
    ssize_t n;
    size_t at = 0;
    while ((n = ::read(fd, buffer + at, size - at)) > 0) at += static_cast<size_t>(n);
    ::close(fd);
    if (n < 0) return -1;
    total += static_cast<long>(at);
  }
  return total;
}

}  // namespace bench
