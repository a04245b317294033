// File helpers for tests.
#include "addin/tests/support/TestFiles.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/Links.h"

namespace testsupport {

namespace fs = std::filesystem;

TempDir::TempDir(const std::string& utf8Label) {
  std::random_device device;
  std::mt19937_64 generator((static_cast<uint64_t>(device()) << 32) ^ device());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::ostringstream name;
    name << utf8Label << '-' << std::hex << generator();
    fs::path candidate = fs::temp_directory_path() / platform::fromUtf8(name.str());
    std::error_code error;
    if (fs::create_directory(candidate, error) && !error) {
      path_ = candidate;
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary test directory");
}

TempDir::~TempDir() {
  // The standard library may follow a link it cannot tell from a directory (mingw).
  removeLinksBelow(path_);
  std::error_code error;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
  fs::remove_all(path_, error);
}

fs::path TempDir::operator/(const std::string& utf8Name) const {
  return path_ / platform::fromUtf8(utf8Name);
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write test file " + platform::toUtf8(path));
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

}  // namespace testsupport
