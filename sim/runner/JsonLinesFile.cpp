// Reading a growing file of JSON lines.
#include "sim/runner/JsonLinesFile.h"

#include <fstream>

namespace simrunner {

std::vector<nlohmann::json> JsonLinesFile::readNew() {
  std::vector<nlohmann::json> fresh;
  std::ifstream in(path_, std::ios::binary);
  if (!in) return fresh;
  in.seekg(static_cast<std::streamoff>(offset_));
  std::string chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  size_t start = 0;
  for (;;) {
    const size_t end = chunk.find('\n', start);
    if (end == std::string::npos) break;
    std::string line = chunk.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) {
      nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
      fresh.push_back(value.is_discarded() ? nlohmann::json(line) : value);
    }
    start = end + 1;
  }
  offset_ += start;
  lines_.insert(lines_.end(), fresh.begin(), fresh.end());
  return fresh;
}

}  // namespace simrunner
