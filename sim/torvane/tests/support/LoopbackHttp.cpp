// The portable part of the loopback HTTP client: URL and reply parsing.
#include "sim/torvane/tests/support/LoopbackHttp.h"

#include <stdexcept>

namespace torvane_test {

HttpReply httpGet(const std::string& url) {
  const std::string prefix = "http://127.0.0.1:";
  if (url.compare(0, prefix.size(), prefix) != 0) {
    throw std::runtime_error("not a loopback URL: " + url);
  }
  const std::size_t slash = url.find('/', prefix.size());
  const std::string portText = url.substr(prefix.size(), slash - prefix.size());
  const std::string target = slash == std::string::npos ? "/" : url.substr(slash);
  const unsigned long port = std::stoul(portText);
  if (port == 0 || port > 65535) {
    throw std::runtime_error("bad port in " + url);
  }
  const std::string reply = exchangeWithLoopback(
      static_cast<uint16_t>(port), "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1:" + portText +
                                       "\r\nConnection: close\r\n\r\n");
  // "HTTP/1.1 200 OK\r\n..."
  const std::size_t space = reply.find(' ');
  const std::size_t headerEnd = reply.find("\r\n\r\n");
  if (reply.compare(0, 5, "HTTP/") != 0 || space == std::string::npos ||
      headerEnd == std::string::npos) {
    throw std::runtime_error("no HTTP reply from " + url);
  }
  HttpReply result;
  result.status = std::stoi(reply.substr(space + 1, 3));
  result.body = reply.substr(headerEnd + 4);
  return result;
}

}  // namespace torvane_test
