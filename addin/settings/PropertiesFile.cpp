// The properties file: lookup beside the module, line syntax, and the flag readers.
#include "addin/settings/PropertiesFile.h"

#include <map>
#include <mutex>
#include <optional>
#include <utility>

#include "addin/common/Text.h"
#include "addin/logging/Log.h"
#include "addin/platform/Platform.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

struct PropertyTable {
  std::mutex mutex;
  std::map<std::string, std::string> values;
  fs::path loadedFrom;
};

PropertyTable& table() {
  static PropertyTable* instance = new PropertyTable();
  return *instance;
}

std::map<std::string, std::string> parseProperties(const std::string& content) {
  std::map<std::string, std::string> values;
  size_t start = 0;
  bool firstLine = true;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string_view line(content.data() + start, end - start);
    start = end + 1;
    if (firstLine && line.size() > 2 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    firstLine = false;

    const std::string trimmed = trim(line);
    if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == '!') continue;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos) continue;
    std::string key = trim(std::string_view(trimmed).substr(0, equals));
    if (key.empty()) continue;
    values[std::move(key)] = trim(std::string_view(trimmed).substr(equals + 1));
  }
  return values;
}

struct PropertiesRead {
  std::map<std::string, std::string> values;
  fs::path path;          // empty when the file could not be read
  fs::path failedPath;    // the file, when reading it failed for a reason other than absence
  std::error_code error;  // why
};

// A read error (a directory of that name, a failing disk) is no file at all, only reported.
PropertiesRead readPropertiesFile() {
  PropertiesRead read;
  const fs::path path = propertiesFilePath();
  platform::Platform& os = platform::os();
  platform::FileType type = platform::FileType::NotFound;
  std::error_code error = os.status(path, platform::Links::Follow, type);
  if (!error && type == platform::FileType::NotFound) return read;
  std::string content;
  if (!error) error = os.readFile(path, content);
  if (error) {
    read.failedPath = path;
    read.error = error;
    return read;
  }
  read.values = parseProperties(content);
  read.path = path;
  return read;
}

}  // namespace

fs::path propertiesFilePath() {
  const platform::ModuleFile module = platform::os().addinModuleFile();
  if (module.found && !module.path.empty()) {
    return module.path.parent_path() / kPropertiesFileName;
  }
  return fs::path(kPropertiesFileName);
}

fs::path loadedPropertiesPath() {
  std::lock_guard<std::mutex> guard(table().mutex);
  return table().loadedFrom;
}

std::string getProperty(const std::string& key) {
  std::lock_guard<std::mutex> guard(table().mutex);
  auto found = table().values.find(key);
  return found == table().values.end() ? std::string() : found->second;
}

fs::path defaultLogDirectory() {
  const fs::path localAppData = platform::os().environmentPath("LOCALAPPDATA");
  if (!localAppData.empty()) return localAppData / "Synquo" / "NX" / "logs";
  return propertiesFilePath().parent_path();
}

bool loadSettings() {
  PropertiesRead read = readPropertiesFile();
  const bool opened = !read.path.empty();
  {
    std::lock_guard<std::mutex> guard(table().mutex);
    table().values = std::move(read.values);
    table().loadedFrom = std::move(read.path);
  }
  const std::string directory = trim(getProperty("synquo_nx_log_directory"));
  const fs::path base =
      directory.empty() ? defaultLogDirectory() : propertiesFilePath().parent_path();
  logging::setLogDirectory(base, directory);
  logging::applyLogLevel("synquo_nx_log_level", getProperty("synquo_nx_log_level"));
  // Only now does the log know where to go.
  if (read.error) {
    logging::warning("Failed to read synquo.properties.",
                     logging::failureDetail(read.failedPath, read.error));
  }
  return opened;
}

bool fixLegacyIdEnabled() {
  static std::optional<std::pair<std::string, bool>> announced;

  const std::string stored = getProperty("synquo_fix_legacy_id");
  const std::string value = toLowerAscii(trim(stored));
  bool enabled = true;
  bool recognised = true;
  if (value == "0" || value == "false" || value == "no" || value == "off" || value == "disabled") {
    enabled = false;
  } else if (!value.empty() && value != "1" && value != "true" && value != "yes" && value != "on" &&
             value != "enabled") {
    recognised = false;
  }

  const std::pair<std::string, bool> outcome(stored, enabled);
  if (announced != outcome) {
    if (!recognised) {
      logging::warning("synquo.properties: unrecognized value for synquo_fix_legacy_id: \"", stored,
                       "\"; using default true.");
    }
    if (stored.empty()) {
      logging::info("synquo_fix_legacy_id is true (default true).");
    } else {
      logging::info("synquo_fix_legacy_id is ", enabled, " (configured value: \"", stored, "\").");
    }
    announced = outcome;
  }
  return enabled;
}

bool retainTempFiles() {
  return toLowerAscii(getProperty("synquo_nx_retain_temp_files")) == "true";
}

}  // namespace synquo
