// File access shared by both back ends: the real file system on every platform, so that
// tests read and write the same files a player's game would.
#pragma once

#include <cstddef>
#include <string>

namespace plat {

// The path as the file system will find it: backslashes become '/', and where the exact
// spelling does not exist each component is matched without regard to case.
std::string ResolveGamePath(const char* path);

long PosixReadFileHead(const char* path, void* buffer, size_t maxBytes);
bool PosixWriteFileHead(const char* path, const void* data, size_t bytes);
std::string PosixExecutablePath();

}  // namespace plat
