// A plain HTTP GET, the way a headless browser follows a link: libcurl on
// Linux, WinHTTP on Windows. Used by the simulated browser of brevin-sim.
#pragma once

#include <string>

namespace simrunner {

struct HttpGetResult {
  bool ok = false;    // a response arrived
  long status = 0;    // HTTP status code when ok
  std::string body;   // response body when ok
  std::string error;  // what went wrong when not ok
};

// Follows redirects; gives up after timeoutSeconds.
HttpGetResult httpGet(const std::string& url, long timeoutSeconds);

// True for http URLs whose host is 127.0.0.1 or localhost: the only ones the
// simulated browser follows; anything else is only recorded.
bool isLoopbackHttpUrl(const std::string& url);

}  // namespace simrunner
