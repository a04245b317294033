// The add-in's log: one append-only text file, "synquo-integration.log", in a directory the
// settings choose, written one whole line at a time by any thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <ctime>
#include <filesystem>
#include <locale>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>
#include <type_traits>

namespace logging {

enum class LogLevel : int { Debug = 0, Info = 1, Warning = 2, Error = 3, Off = 4 };

inline constexpr const char* kLogFileName = "synquo-integration.log";

// "DEBUG", "INFO", "WARNING", "ERROR" or "OFF".
const char* logLevelName(LogLevel level);

// The current threshold; Info until a setting changes it.
LogLevel currentLogLevel();

// Whether a message of this level passes the threshold (never when the threshold is Off).
bool isLogLevelEnabled(LogLevel level);

// A level from its name, trimmed and in any case: DEBUG, INFO, WARNING or WARN, ERROR, and
// OFF, NONE or DISABLED. None for any other text, the empty text included.
std::optional<LogLevel> parseLogLevel(std::string_view text);

// Sets the level from a setting's text and announces it in the log; an unrecognised text
// keeps the level and is reported with the setting's key ("log_level" when the key is
// empty). The announcement and the report pass whatever the threshold.
void applyLogLevel(const std::string& key, const std::string& text);

// Where a file operation failed and the OS's reason, to end a log line that says what failed:
// ` path="<path in UTF-8>" reason="<the OS's message>"`.
std::string failureDetail(const std::filesystem::path& path, const std::error_code& error);

// Chooses the log directory: the base when the trimmed setting is empty, the setting when it
// is absolute, otherwise the setting inside the base (nothing at all when the base is empty).
// The directory is created when missing. A failure to create it, like any failure to write
// the log, is reported by the first line written afterwards (see writeLogLine).
void setLogDirectory(const std::filesystem::path& base, const std::string& setting);

// The directory chosen last; empty when none is set.
std::filesystem::path logDirectory();

// The path of a file in the log directory, or the name itself when it is absolute. Empty
// when no directory is set or the name is not valid in the file-name code page.
std::filesystem::path logFilePath(const std::string& fileName);

// Whether "synquo-integration.log" exists in the log directory (any kind of entry counts).
bool logFileExists();

// "[YYYY-MM-DD HH:MM:SS +hhmm] [LEVEL] [Synquo] message" in local time, without a line end.
// A message that begins with "[vantel]" carries its own tag and gets no "[Synquo] ".
std::string formatLogLine(LogLevel level, std::string_view message);
std::string formatLogLine(LogLevel level, std::string_view message, std::time_t when);

// Appends one formatted line and CR LF to the log file, whole, creating the directories on
// the way. Nothing happens without a log directory. A line that cannot be written is lost;
// the first failure is remembered and written as a warning before the next line that can be
// written, "Failed to create log directory." or "Failed to write log file." with
// failureDetail. Never throws.
void writeLogLine(const std::string& line);

namespace detail {

// The threshold, read here so that a message below it costs one load and one comparison.
inline std::atomic<int> threshold{static_cast<int>(LogLevel::Info)};

inline bool passes(LogLevel level) {
  const int current = threshold.load(std::memory_order_relaxed);
  return current != static_cast<int>(LogLevel::Off) && static_cast<int>(level) >= current;
}

void logMessage(LogLevel level, std::string_view message);

// Parts are appended straight to the message text; only types without a form of their own go
// through a stream (in the classic locale), so a line costs little beyond its file write.
inline void appendPart(std::string& out, const char* text) {
  if (text != nullptr) out.append(text);
}
inline void appendPart(std::string& out, std::nullptr_t) { (void)out; }
inline void appendPart(std::string& out, bool value) { out.append(value ? "true" : "false"); }
inline void appendPart(std::string& out, char value) { out.push_back(value); }
void appendPart(std::string& out, signed char value);
void appendPart(std::string& out, unsigned char value);
inline void appendPart(std::string& out, LogLevel value) { out.append(logLevelName(value)); }
// Paths are written as UTF-8 text, without the quotes that stream insertion would add.
void appendPart(std::string& out, const std::filesystem::path& path);
// Wide text would be written as a pointer value.
void appendPart(std::string& out, wchar_t value) = delete;
void appendPart(std::string& out, const wchar_t* text) = delete;
void appendPart(std::string& out, const std::wstring& text) = delete;

void appendInteger(std::string& out, long long value);
void appendInteger(std::string& out, unsigned long long value);
// As a stream writes it by default: "%g" with six significant digits.
void appendFloating(std::string& out, long double value);
void appendFloating(std::string& out, double value);

template <typename T>
void appendPart(std::string& out, const T& value) {
  if constexpr (std::is_integral_v<T> && std::is_signed_v<T> && sizeof(T) > 1) {
    appendInteger(out, static_cast<long long>(value));
  } else if constexpr (std::is_integral_v<T> && std::is_unsigned_v<T> && sizeof(T) > 1) {
    appendInteger(out, static_cast<unsigned long long>(value));
  } else if constexpr (std::is_same_v<T, long double>) {
    appendFloating(out, value);
  } else if constexpr (std::is_floating_point_v<T>) {
    appendFloating(out, static_cast<double>(value));
  } else if constexpr (std::is_convertible_v<const T&, std::string_view>) {
    out.append(std::string_view(value));
  } else {
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream << value;
    out.append(stream.str());
  }
}

template <typename... Parts>
std::string joinParts(const Parts&... parts) {
  std::string out;
  out.reserve(128);
  (appendPart(out, parts), ...);
  return out;
}

template <typename... Parts>
void logParts(LogLevel level, const Parts&... parts) {
  if (!passes(level)) return;
  logMessage(level, joinParts(parts...));
}

}  // namespace detail

// One message per call. The single-text forms take a null-terminated text (null counts as
// empty); the other forms join texts, strings, numbers, Booleans and paths with nothing in
// between. A message that does not pass the threshold costs one comparison.
void debug(const char* message);
void info(const char* message);
void warning(const char* message);
void error(const char* message);

template <typename... Parts>
void debug(const Parts&... parts) {
  detail::logParts(LogLevel::Debug, parts...);
}
template <typename... Parts>
void info(const Parts&... parts) {
  detail::logParts(LogLevel::Info, parts...);
}
template <typename... Parts>
void warning(const Parts&... parts) {
  detail::logParts(LogLevel::Warning, parts...);
}
template <typename... Parts>
void error(const Parts&... parts) {
  detail::logParts(LogLevel::Error, parts...);
}

}  // namespace logging
