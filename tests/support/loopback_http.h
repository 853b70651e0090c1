// The game's HTTP requests sent for real, through the platform's own client, to a server on
// this machine: whatever host the game built into the address, the request goes to
// 127.0.0.1 at the given port, so a test never reaches past the loopback interface.
// A real request takes real time; the virtual clock stands still meanwhile.
#pragma once

#include <string>

#include "platform/virtual/virtual_platform.h"

namespace testing_support {

// The address with its host (and port) replaced by 127.0.0.1:port; "" when it has none.
std::string OnLoopback(const std::string& url, int port);

// A handler for VirtualPlatform::SetHttpHandler with the given time-outs.
plat::VirtualPlatform::HttpHandler LoopbackHttp(int port, long connectTimeoutMs,
                                                long totalTimeoutMs);

}  // namespace testing_support
