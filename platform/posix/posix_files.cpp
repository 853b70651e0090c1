#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace plat {
namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// The entry of dir whose name equals name without regard to case, or "" if none.
std::string FindCaseless(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return std::string();
  std::string found;
  while (struct dirent* e = ::readdir(d)) {
    if (::strcasecmp(e->d_name, name.c_str()) == 0) {
      found = e->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::string ResolveGamePath(const char* path) {
  std::string p(path ? path : "");
  for (char& c : p)
    if (c == '\\') c = '/';
  if (p.empty() || Exists(p)) return p;

  // Walk the components, keeping each one that exists as spelt and looking up the others.
  std::string out;
  size_t pos = 0;
  if (p[0] == '/') {
    out = "/";
    pos = 1;
  }
  while (pos <= p.size()) {
    size_t slash = p.find('/', pos);
    if (slash == std::string::npos) slash = p.size();
    std::string part = p.substr(pos, slash - pos);
    pos = slash + 1;
    if (part.empty()) continue;
    std::string candidate = out + part;
    if (!Exists(candidate)) {
      std::string match = FindCaseless(out.empty() ? std::string() : out, part);
      if (match.empty()) return p;  // missing whatever the case: let the open fail on it
      candidate = out + match;
    }
    out = candidate;
    if (slash < p.size()) out += '/';
  }
  return out;
}

long PosixReadFileHead(const char* path, void* buffer, size_t maxBytes) {
  const std::string resolved = ResolveGamePath(path);
  const int fd = ::open(resolved.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  // One request, like the reads the game was written for, but a short read is continued:
  // a regular file gives what it has.
  size_t total = 0;
  char* out = static_cast<char*>(buffer);
  while (total < maxBytes) {
    const ssize_t n = ::read(fd, out + total, maxBytes - total);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    total += static_cast<size_t>(n);
  }
  ::close(fd);
  return static_cast<long>(total);
}

bool PosixWriteFileHead(const char* path, const void* data, size_t bytes) {
  const std::string resolved = ResolveGamePath(path);
  // Never created, never truncated: only an existing file is written, from its first byte.
  const int fd = ::open(resolved.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const char* in = static_cast<const char*>(data);
  size_t done = 0;
  bool ok = true;
  while (done < bytes) {
    const ssize_t n = ::pwrite(fd, in + done, bytes - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) ok = false;
  return ok;
}

std::string PosixExecutablePath() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  return std::string(buf, static_cast<size_t>(n));
}

}  // namespace plat
