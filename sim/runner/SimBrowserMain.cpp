// sim-browser: the system browser of the simulation. The add-in's shell launch
// reaches it (Linux: the opener program; Windows: the http/https handler of the
// wine prefix). It records every URL and follows loopback ones headlessly,
// approving the Torvane stand-in's sign-in page unless told not to. Journal lines:
// {"url", "state": "opened"}, then {"url", "state": "done", "followed", "requested",
// "status" | "error"}.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

#include "sim/runner/HttpGet.h"

namespace {

std::string envOr(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : fallback;
}

std::string withApproval(const std::string& url) {
  const size_t fragment = url.find('#');
  std::string base = url.substr(0, fragment);
  base += base.find('?') == std::string::npos ? "?approve=1" : "&approve=1";
  if (fragment != std::string::npos) base += url.substr(fragment);
  return base;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: sim-browser URL\n");
    return 2;
  }
  const std::string url = argv[1];
  const std::string journal = envOr("BREVIN_SIM_BROWSER_JOURNAL", "");
  // One line when the URL arrives and one when it has been dealt with, so that a reader
  // knows a launch is still loading its page.
  auto record = [&journal](const nlohmann::json& line) {
    if (journal.empty()) return;
    std::ofstream out(journal, std::ios::app | std::ios::binary);
    out << line.dump() + "\n";
  };
  record({{"url", url}, {"state", "opened"}});
  nlohmann::json entry = {{"url", url}, {"state", "done"}, {"followed", false}};
  if (simrunner::isLoopbackHttpUrl(url)) {
    const bool approve = envOr("BREVIN_SIM_BROWSER_APPROVE", "1") != "0";
    const std::string target = approve ? withApproval(url) : url;
    const simrunner::HttpGetResult got = simrunner::httpGet(target, 30);
    entry["followed"] = true;
    entry["requested"] = target;
    if (got.ok) {
      entry["status"] = got.status;
    } else {
      entry["error"] = got.error;
    }
  }
  record(entry);
  // Run by hand, it says what it did; under brevin-sim its output would mix with the transcript.
  if (journal.empty()) std::printf("%s\n", entry.dump().c_str());
  return 0;
}
