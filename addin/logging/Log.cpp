// The add-in's log file: level filter, line layout and whole-line appends under one mutex.
#include "addin/logging/Log.h"

#include <atomic>
#include <charconv>
#include <memory>
#include <mutex>
#include <system_error>

#include "addin/common/Text.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"

namespace logging {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kLibraryTag = "[vantel]";

struct LogState {
  std::mutex mutex;
  fs::path directory;
  // The log file in that directory, worked out once per directory rather than per line.
  fs::path file;
  // The first failure since the last line was written, as the message of a warning.
  std::string unreported;
};

// Never destroyed: threads and static destructors may still log while the library unloads.
LogState& state() {
  static LogState* instance = new LogState();
  return *instance;
}

std::atomic<int>& levelValue() { return detail::threshold; }

void setLevel(LogLevel level) {
  levelValue().store(static_cast<int>(level), std::memory_order_relaxed);
}

// Caller holds the mutex.
fs::path resolveLocked(const std::string& fileName) {
  fs::path name;
  try {
    name = platform::fromFileNameCodePage(fileName);
  } catch (const std::exception&) {
    return {};
  }
  if (name.is_absolute()) return name;
  if (state().directory.empty()) return {};
  return state().directory / name;
}

// A setting is expected in UTF-8; a file saved in the ANSI code page is taken as such.
fs::path pathFromSetting(const std::string& text) {
  try {
    return platform::fromUtf8(text);
  } catch (const std::exception&) {
  }
  try {
    return platform::fromFileNameCodePage(text);
  } catch (const std::exception&) {
  }
  return {};
}

// Caller holds the mutex.
// The first failure also goes to the debug output at once: with no writable log, that is the
// only place an administrator can see why the log stays empty.
void rememberFailure(const char* what, const fs::path& path, const std::error_code& error) {
  if (!state().unreported.empty()) return;
  state().unreported = what + failureDetail(path, error);
  platform::os().debugOutput("Synquo log: " + state().unreported + "\n");
}

// Appends, and makes the directories on the way only when the append fails without one:
// asking before every line would cost a system call each. Caller holds the mutex. False when
// the text was not written; the failure is remembered.
bool appendCreating(const fs::path& path, const std::string& text) {
  platform::Platform& os = platform::os();
  std::error_code error = os.appendLine(path, text);
  if (!error) return true;
  const fs::path parent = path.parent_path();
  platform::FileType type = platform::FileType::NotFound;
  const bool parentIsDirectory =
      parent.empty() ||
      (!os.status(parent, platform::Links::Follow, type) && type == platform::FileType::Directory);
  if (!parentIsDirectory) {
    if (const std::error_code created = os.createDirectories(parent)) {
      rememberFailure("Failed to create log directory.", parent, created);
      return false;
    }
    error = os.appendLine(path, text);
    if (!error) return true;
  }
  rememberFailure("Failed to write log file.", path, error);
  return false;
}

void writeUnfiltered(LogLevel level, std::string_view message) {
  writeLogLine(formatLogLine(level, message));
}

void announceLevel(LogLevel level, const char* source) {
  std::string message = std::string("Log level set to ") + logLevelName(level);
  if (source[0] != '\0') message += std::string(" (") + source + ")";
  writeUnfiltered(LogLevel::Info, message);
}

long utcOffsetMinutes(const std::tm& local, const std::tm& utc) {
  long days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year) days = local.tm_year > utc.tm_year ? 1 : -1;
  return days * 1440 + (local.tm_hour - utc.tm_hour) * 60L + (local.tm_min - utc.tm_min);
}

}  // namespace

std::string failureDetail(const fs::path& path, const std::error_code& error) {
  std::string text;
  try {
    text = platform::toUtf8(path);
  } catch (const std::exception&) {
    text = "?";
  }
  // Some runtimes end the OS's message with a line break; the log line must stay one line.
  std::string reason = error.message();
  for (char& c : reason) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return " path=\"" + text + "\" reason=\"" + synquo::trim(reason) + "\"";
}

const char* logLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Debug:
      return "DEBUG";
    case LogLevel::Info:
      return "INFO";
    case LogLevel::Warning:
      return "WARNING";
    case LogLevel::Error:
      return "ERROR";
    case LogLevel::Off:
      return "OFF";
  }
  return "OFF";
}

LogLevel currentLogLevel() {
  return static_cast<LogLevel>(levelValue().load(std::memory_order_relaxed));
}

bool isLogLevelEnabled(LogLevel level) { return detail::passes(level); }

std::optional<LogLevel> parseLogLevel(std::string_view text) {
  const std::string name = synquo::toUpperAscii(synquo::trim(text));
  if (name == "DEBUG") return LogLevel::Debug;
  if (name == "INFO") return LogLevel::Info;
  if (name == "WARNING" || name == "WARN") return LogLevel::Warning;
  if (name == "ERROR") return LogLevel::Error;
  if (name == "OFF" || name == "NONE" || name == "DISABLED") return LogLevel::Off;
  return std::nullopt;
}

void applyLogLevel(const std::string& key, const std::string& text) {
  const LogLevel previous = currentLogLevel();
  if (text.empty()) {
    setLevel(LogLevel::Info);
    if (previous != LogLevel::Info || !logFileExists()) announceLevel(LogLevel::Info, "default");
    return;
  }
  const std::optional<LogLevel> parsed = parseLogLevel(text);
  if (!parsed) {
    writeUnfiltered(LogLevel::Warning, "synquo.properties: unrecognized value for " +
                                           (key.empty() ? std::string("log_level") : key) + ": \"" +
                                           text + "\"; ignoring.");
    return;
  }
  setLevel(*parsed);
  if (*parsed != LogLevel::Off && (*parsed != previous || !logFileExists())) {
    announceLevel(*parsed, "properties");
  }
}

void setLogDirectory(const fs::path& base, const std::string& setting) {
  const std::string text = synquo::trim(setting);
  fs::path resolved;
  if (text.empty()) {
    resolved = base;
  } else {
    const fs::path configured = pathFromSetting(text);
    if (configured.is_absolute()) {
      resolved = configured;
    } else if (!base.empty() && !configured.empty()) {
      resolved = base / configured;
    }
  }
  std::lock_guard<std::mutex> guard(state().mutex);
  state().directory = resolved;
  state().file = resolveLocked(kLogFileName);
  if (!resolved.empty()) {
    if (const std::error_code error = platform::os().createDirectories(resolved)) {
      rememberFailure("Failed to create log directory.", resolved, error);
    }
  }
}

fs::path logDirectory() {
  std::lock_guard<std::mutex> guard(state().mutex);
  return state().directory;
}

fs::path logFilePath(const std::string& fileName) {
  std::lock_guard<std::mutex> guard(state().mutex);
  return resolveLocked(fileName);
}

bool logFileExists() {
  std::lock_guard<std::mutex> guard(state().mutex);
  const fs::path path = resolveLocked(kLogFileName);
  if (path.empty()) return false;
  platform::FileType type = platform::FileType::NotFound;
  const std::error_code error = platform::os().status(path, platform::Links::DoNotFollow, type);
  return !error && type != platform::FileType::NotFound;
}

std::string formatLogLine(LogLevel level, std::string_view message) {
  return formatLogLine(level, message, platform::os().now());
}

std::string formatLogLine(LogLevel level, std::string_view message, std::time_t when) {
  platform::Platform& os = platform::os();
  const std::tm local = os.localTime(when);
  const long offset = utcOffsetMinutes(local, os.utcTime(when));
  char stamp[64] = {};
  std::strftime(stamp, sizeof(stamp), "%Y-%m-%d %H:%M:%S", &local);
  const long magnitude = (offset < 0 ? -offset : offset) % (100 * 60);
  const long hours = magnitude / 60;
  const long minutes = magnitude % 60;
  const char zone[] = {offset < 0 ? '-' : '+',
                       static_cast<char>('0' + hours / 10),
                       static_cast<char>('0' + hours % 10),
                       static_cast<char>('0' + minutes / 10),
                       static_cast<char>('0' + minutes % 10),
                       '\0'};

  std::string line;
  line.reserve(message.size() + 64);
  line.append("[").append(stamp).append(" ").append(zone).append("] [");
  line.append(logLevelName(level)).append("] ");
  if (message.substr(0, kLibraryTag.size()) != kLibraryTag) line.append("[Synquo] ");
  line.append(message);
  return line;
}

void writeLogLine(const std::string& line) {
  std::lock_guard<std::mutex> guard(state().mutex);
  try {
    const fs::path& path = state().file;
    if (path.empty()) return;
    if (!state().unreported.empty()) {
      const std::string report = formatLogLine(LogLevel::Warning, state().unreported);
      if (!appendCreating(path, report)) return;  // this line is lost too; the report waits
      state().unreported.clear();
    }
    appendCreating(path, line);
  } catch (const std::exception&) {
    // The line is lost; logging never fails its caller.
  }
}

namespace detail {

void logMessage(LogLevel level, std::string_view message) {
  writeLogLine(formatLogLine(level, message));
}

void appendPart(std::string& out, signed char value) {
  appendInteger(out, static_cast<long long>(value));
}
void appendPart(std::string& out, unsigned char value) {
  appendInteger(out, static_cast<unsigned long long>(value));
}

void appendPart(std::string& out, const std::filesystem::path& path) {
  out.append(platform::toUtf8(path));
}

void appendInteger(std::string& out, long long value) {
  char text[24];
  const std::to_chars_result end = std::to_chars(text, text + sizeof(text), value);
  out.append(text, end.ptr);
}

void appendInteger(std::string& out, unsigned long long value) {
  char text[24];
  const std::to_chars_result end = std::to_chars(text, text + sizeof(text), value);
  out.append(text, end.ptr);
}

void appendFloating(std::string& out, double value) {
  char text[64];
  const std::to_chars_result end =
      std::to_chars(text, text + sizeof(text), value, std::chars_format::general, 6);
  out.append(text, end.ptr);
}

void appendFloating(std::string& out, long double value) {
  char text[64];
  const std::to_chars_result end =
      std::to_chars(text, text + sizeof(text), value, std::chars_format::general, 6);
  out.append(text, end.ptr);
}

}  // namespace detail

namespace {

void logText(LogLevel level, const char* message) {
  if (!isLogLevelEnabled(level)) return;
  detail::logMessage(level, message != nullptr ? std::string_view(message) : std::string_view());
}

}  // namespace

void debug(const char* message) { logText(LogLevel::Debug, message); }
void info(const char* message) { logText(LogLevel::Info, message); }
void warning(const char* message) { logText(LogLevel::Warning, message); }
void error(const char* message) { logText(LogLevel::Error, message); }

}  // namespace logging
