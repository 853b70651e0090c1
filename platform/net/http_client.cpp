#include "platform/net/http_client.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>

namespace plat {

namespace {

bool IsUnsafeUrlByte(unsigned char c) {
  if (c <= 0x20 || c >= 0x7F) return true;  // blank, controls, DEL, everything past ASCII
  return std::strchr("\"<>\\^`{|}", c) != nullptr;
}

// curl_global_init is not thread-safe; a function-local static runs it exactly once.
bool CurlReady() {
  static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return ready;
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
    curl_easy_getinfo(t->curl, CURLINFO_RESPONSE_CODE, &status);
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
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
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
  if (!CurlReady()) return HttpResult::NoAnswer;
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return HttpResult::NoAnswer;

  const std::string encoded = EncodeUnsafeUrlBytes(url);
  Transfer t;
  t.curl = curl.get();
  t.body = body;
  t.maxBody = maxBody;

  CURL* c = curl.get();
  curl_easy_setopt(c, CURLOPT_URL, encoded.c_str());
  curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  // Time-outs without signals: the game thread may not be the only thread.
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, totalTimeoutMs);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, &t);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, &t);

  CURLcode rc = curl_easy_perform(c);
  if (rc == CURLE_OK) return HttpResult::Ok;
  if (!t.headersDone) return HttpResult::NoAnswer;
  return t.stoppedByUs ? HttpResult::Ok : HttpResult::ReadFailed;
}

}  // namespace plat
