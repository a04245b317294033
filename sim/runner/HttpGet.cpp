// Shared part of the simulated browser's HTTP client.
#include "sim/runner/HttpGet.h"

namespace simrunner {

bool isLoopbackHttpUrl(const std::string& url) {
  const std::string scheme = "http://";
  if (url.compare(0, scheme.size(), scheme) != 0) return false;
  const size_t hostStart = scheme.size();
  const size_t hostEnd = url.find_first_of(":/?#", hostStart);
  const std::string host =
      url.substr(hostStart, hostEnd == std::string::npos ? std::string::npos : hostEnd - hostStart);
  return host == "127.0.0.1" || host == "localhost";
}

}  // namespace simrunner
