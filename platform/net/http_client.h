// HTTP GET on libcurl, shared by the SDL and virtual back ends' HttpGet.
#pragma once

#include <cstddef>
#include <string>

#include "platform/platform.h"

namespace plat {

// The address as it will be sent: blanks, control characters, bytes of 128 and over and
// the few characters URLs forbid ("<>\^`{|} and the double quote) become %XX; every other
// byte, '%', '&', '=' and '#' included, stays as it is.
std::string EncodeUnsafeUrlBytes(const std::string& url);

// A GET of url (encoded first with EncodeUnsafeUrlBytes). Ok means the server answered,
// whatever the status. body null: the body is not read, the request ends once the reply's
// headers are in. Otherwise body receives at most maxBody bytes (zero bytes kept) and the
// transfer is stopped beyond them. Redirects are not followed.
// NoAnswer: no connection, or no reply headers within the time-outs.
// ReadFailed: the headers came but the body broke off or timed out.
HttpResult CurlHttpGet(const std::string& url, std::string* body, size_t maxBody,
                       long connectTimeoutMs = 5000, long totalTimeoutMs = 15000);

}  // namespace plat
