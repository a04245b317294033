// The properties file reader, on a file whose content is the input. The OS seam serves the
// file from memory and keeps the log in memory, so no setting reaches the disk. Whatever the
// content, loading succeeds, and every value read back is trimmed and one line.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "addin/platform/PlatformWrapper.h"
#include "addin/settings/PropertiesFile.h"

namespace {

namespace fs = std::filesystem;

const fs::path kAddinDirectory = "/fuzz-addin";

class InMemoryPlatform : public platform::PlatformWrapper {
 public:
  InMemoryPlatform() : PlatformWrapper(platform::nativePlatform()) {}

  std::string content;

  platform::ModuleFile addinModuleFile() override {
    return platform::ModuleFile{true, kAddinDirectory / "brevin.so"};
  }
  fs::path environmentPath(const std::string&) override { return fs::path(); }
  std::error_code appendLine(const fs::path&, std::string_view) override { return {}; }
  std::error_code status(const fs::path& path, platform::Links, platform::FileType& type) override {
    type = path == kAddinDirectory / synquo::kPropertiesFileName ? platform::FileType::Regular
                                                                 : platform::FileType::Directory;
    return {};
  }
  std::error_code createDirectories(const fs::path&) override { return {}; }
  std::error_code createDirectory(const fs::path&) override { return {}; }
  std::error_code readFile(const fs::path& path, std::string& out) override {
    if (path != kAddinDirectory / synquo::kPropertiesFileName) {
      return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    out = content;
    return {};
  }
  void debugOutput(std::string_view) override {}
};

bool isTrimSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The keys the input's own lines name, as far as they look like "key=value".
std::vector<std::string> namedKeys(const std::string& content) {
  std::vector<std::string> keys = {"synquo_nx_log_level", "synquo_nx_log_directory",
                                   "synquo_fix_legacy_id", "synquo_nx_retain_temp_files"};
  std::size_t start = 0;
  while (start < content.size() && keys.size() < 64) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    const std::string line = content.substr(start, end - start);
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) keys.push_back(line.substr(0, equals));
    start = end + 1;
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static InMemoryPlatform* memory = new InMemoryPlatform();
  static platform::ScopedPlatform* scope = new platform::ScopedPlatform(*memory);
  (void)scope;

  memory->content.assign(reinterpret_cast<const char*>(data), size);
  bool opened = false;
  try {
    opened = synquo::loadSettings();
    for (const std::string& key : namedKeys(memory->content)) {
      const std::string value = synquo::getProperty(key);
      fuzzcheck::require(value.find('\n') == std::string::npos, "one line", key + "=" + value);
      if (!value.empty()) {
        fuzzcheck::require(!isTrimSpace(value.front()) && !isTrimSpace(value.back()), "trimmed",
                           key + "=" + value);
      }
    }
    synquo::fixLegacyIdEnabled();
    synquo::retainTempFiles();
  } catch (...) {
    fuzzcheck::unexpectedException("loadSettings");
  }
  fuzzcheck::require(opened, "the file is read");
  fuzzcheck::require(synquo::loadedPropertiesPath() == kAddinDirectory / synquo::kPropertiesFileName,
                     "the file read is the one beside the add-in");
  return 0;
}
