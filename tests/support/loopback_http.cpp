#include "tests/support/loopback_http.h"

#include "platform/net/http_client.h"

namespace testing_support {

std::string OnLoopback(const std::string& url, int port) {
  const size_t scheme = url.find("://");
  if (scheme == std::string::npos) return "";
  const size_t hostStart = scheme + 3;
  const size_t hostEnd = url.find('/', hostStart);
  std::string routed = url;
  routed.replace(hostStart, (hostEnd == std::string::npos ? url.size() : hostEnd) - hostStart,
                 "127.0.0.1:" + std::to_string(port));
  return routed;
}

plat::VirtualPlatform::HttpHandler LoopbackHttp(int port, long connectTimeoutMs,
                                                long totalTimeoutMs) {
  return [=](const std::string& url, std::string* body, size_t maxBody) {
    const std::string routed = OnLoopback(url, port);
    if (routed.empty()) return plat::HttpResult::NoAnswer;
    return plat::CurlHttpGet(routed, body, maxBody, connectTimeoutMs, totalTimeoutMs);
  };
}

}  // namespace testing_support
