// Preloaded into the program by startup_probe: SDL's disk audio driver writes each mixed
// period through a stdio stream whose buffer holds two periods, so a period would show in
// the file up to two periods after it was mixed. Unbuffered, each period reaches the file
// as soon as it is written, and the probe times the mixing rather than the buffering.
// Only the stream of SDL_DISKAUDIOFILE is touched.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

FILE* Unbuffered(FILE* stream, const char* path) {
  const char* disk = std::getenv("SDL_DISKAUDIOFILE");
  if (stream && path && disk && std::strcmp(path, disk) == 0) std::setvbuf(stream, nullptr, _IONBF, 0);
  return stream;
}

using OpenFn = FILE* (*)(const char*, const char*);

}  // namespace

extern "C" {

FILE* fopen(const char* path, const char* mode) {
  static const auto real = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, "fopen"));
  return Unbuffered(real(path, mode), path);
}

FILE* fopen64(const char* path, const char* mode) {
  static const auto real = reinterpret_cast<OpenFn>(dlsym(RTLD_NEXT, "fopen64"));
  return Unbuffered(real(path, mode), path);
}

}  // extern "C"
