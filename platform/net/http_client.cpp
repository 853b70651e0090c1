#include "platform/net/http_client.h"

#include <curl/curl.h>
#include <dlfcn.h>

#include <cstring>
#include <memory>

namespace plat {

namespace {

bool IsUnsafeUrlByte(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return true;  // blank, controls, DEL, everything past ASCII
  return std::strchr("\"<>\\^`{|}", c) != nullptr;
}

// libcurl and its chain of TLS, Kerberos and LDAP libraries cost about 10 ms at every
// start of the game, before its first word; they are loaded when a score is first sent.
struct CurlApi {
  CURLcode (*globalInit)(long flags);
  CURL* (*easyInit)();
  CURLcode (*easySetopt)(CURL* curl, CURLoption option, ...);
  CURLcode (*easyPerform)(CURL* curl);
  void (*easyCleanup)(CURL* curl);
  CURLcode (*easyGetinfo)(CURL* curl, CURLINFO info, ...);
};

template <typename F>
bool Bind(void* library, const char* name, F* function) {
  *function = reinterpret_cast<F>(dlsym(library, name));
  return *function != nullptr;
}

// Null when libcurl cannot be had. A function-local static loads it and runs
// curl_global_init (not thread-safe) exactly once; the library stays loaded.
const CurlApi* Curl() {
  static const CurlApi* const api = []() -> const CurlApi* {
    void* library = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    static CurlApi loaded;
    const bool bound = Bind(library, "curl_global_init", &loaded.globalInit) &&
                       Bind(library, "curl_easy_init", &loaded.easyInit) &&
                       Bind(library, "curl_easy_setopt", &loaded.easySetopt) &&
                       Bind(library, "curl_easy_perform", &loaded.easyPerform) &&
                       Bind(library, "curl_easy_cleanup", &loaded.easyCleanup) &&
                       Bind(library, "curl_easy_getinfo", &loaded.easyGetinfo);
    if (!bound || loaded.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &loaded;
  }();
  return api;
}

struct Transfer {
  CURL* curl = nullptr;
  std::string* body = nullptr;
  size_t maxBody = 0;
  bool headersDone = false;  // a final (non-1xx) status and its headers have arrived
  bool stoppedByUs = false;  // we ended the transfer on purpose: no body wanted, or full
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  Transfer* t = static_cast<Transfer*>(user);
  size_t bytes = size * count;
  bool blankLine = (bytes == 2 && data[0] == '\r' && data[1] == '\n') ||
                   (bytes == 1 && data[0] == '\n');
  if (blankLine) {
    long status = 0;
    Curl()->easyGetinfo(t->curl, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 200) {
      t->headersDone = true;
      if (t->body == nullptr) {
        t->stoppedByUs = true;
        return 0;  // any count but the one given stops the transfer
      }
    }
  }
  return bytes;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  Transfer* t = static_cast<Transfer*>(user);
  size_t bytes = size * count;
  if (bytes == 0) return 0;
  if (t->body == nullptr) {
    t->stoppedByUs = true;
    return 0;
  }
  size_t room = t->maxBody - t->body->size();
  if (bytes > room) {
    t->body->append(data, room);
    t->stoppedByUs = true;
    return 0;
  }
  t->body->append(data, bytes);
  return bytes;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { Curl()->easyCleanup(curl); }
};

}  // namespace

std::string EncodeUnsafeUrlBytes(const std::string& url) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(url.size());
  for (char ch : url) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (IsUnsafeUrlByte(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += ch;
    }
  }
  return out;
}

HttpResult CurlHttpGet(const std::string& url, std::string* body, size_t maxBody,
                       long connectTimeoutMs, long totalTimeoutMs) {
  if (body != nullptr) body->clear();
  const CurlApi* api = Curl();
  if (!api) return HttpResult::NoAnswer;
  std::unique_ptr<CURL, CurlDeleter> curl(api->easyInit());
  if (!curl) return HttpResult::NoAnswer;

  const std::string encoded = EncodeUnsafeUrlBytes(url);
  Transfer t;
  t.curl = curl.get();
  t.body = body;
  t.maxBody = maxBody;

  CURL* c = curl.get();
  api->easySetopt(c, CURLOPT_URL, encoded.c_str());
  api->easySetopt(c, CURLOPT_HTTPGET, 1L);
  api->easySetopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  api->easySetopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  // Time-outs without signals: the game thread may not be the only thread.
  api->easySetopt(c, CURLOPT_NOSIGNAL, 1L);
  api->easySetopt(c, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
  api->easySetopt(c, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
  api->easySetopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
  api->easySetopt(c, CURLOPT_HEADERDATA, &t);
  api->easySetopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  api->easySetopt(c, CURLOPT_WRITEDATA, &t);

  CURLcode rc = api->easyPerform(c);
  if (rc == CURLE_OK) return HttpResult::Ok;
  if (!t.headersDone) return HttpResult::NoAnswer;
  return t.stoppedByUs ? HttpResult::Ok : HttpResult::ReadFailed;
}

}  // namespace plat
