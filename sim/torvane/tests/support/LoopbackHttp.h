// Test helpers that play the browser against the stand-in's loopback pages, and set the
// environment the stand-in reads.
#pragma once

#include <cstdint>
#include <string>

namespace torvane_test {

struct HttpReply {
  int status = 0;
  std::string body;
};

// GETs an http://127.0.0.1:PORT/... URL with "Connection: close"; throws std::runtime_error
// when the URL is not such a URL or the exchange fails.
HttpReply httpGet(const std::string& url);

// Sends a complete request to 127.0.0.1:port and returns everything the server sent until
// it closed the connection. Platform specific.
std::string exchangeWithLoopback(uint16_t port, const std::string& request);

// Sets a variable of this process's environment, as the stand-in sees it.
void setEnvironmentVariable(const std::string& name, const std::string& value);

}  // namespace torvane_test
