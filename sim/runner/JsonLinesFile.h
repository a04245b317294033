// A file that another process appends JSON lines to (the Torvane stand-in's journal, the
// simulated browser's journal), read as it grows: only complete lines are taken.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include <nlohmann/json.hpp>

namespace simrunner {

class JsonLinesFile {
 public:
  explicit JsonLinesFile(std::filesystem::path path) : path_(std::move(path)) {}

  const std::filesystem::path& path() const { return path_; }
  // Reads the lines completed since the last call; a line that is not JSON becomes a string.
  std::vector<nlohmann::json> readNew();
  // Every line read so far.
  const std::vector<nlohmann::json>& lines() const { return lines_; }

 private:
  std::filesystem::path path_;
  std::uintmax_t offset_ = 0;
  std::vector<nlohmann::json> lines_;
};

}  // namespace simrunner
