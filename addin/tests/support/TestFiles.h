// File helpers for tests: fresh temporary directories and whole-file reads and writes.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

// A new, empty directory under the system's temporary directory, removed with everything
// in it when the object goes. The name holds the given UTF-8 label and a random part, so
// tests running in parallel never share one.
class TempDir {
 public:
  explicit TempDir(const std::string& utf8Label = "brevin-test");
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& utf8Name) const;

 private:
  std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Polls the condition every few milliseconds until it holds or the time is up.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace testsupport
