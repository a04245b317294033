// Conversions between paths and narrow text: the file-name code page for narrow OS calls,
// UTF-8 for everything that goes into JSON or the log.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

// Narrow text in the code page the process uses for file names (on Windows CP_ACP, or
// CP_OEMCP when the file APIs are switched to OEM; elsewhere the native bytes) to a path.
// Throws std::system_error when the text is not valid in that code page.
std::filesystem::path fromFileNameCodePage(std::string_view text);

// A path to narrow text in the file-name code page, as a narrow OS call expects it.
// Throws std::system_error when a character has no exact representation there.
std::string toFileNameCodePage(const std::filesystem::path& path);

// A path to UTF-8 text. Never throws for encoding reasons: text that is not valid in the
// native encoding (an unpaired surrogate on Windows) becomes U+FFFD.
std::string toUtf8(const std::filesystem::path& path);

// UTF-8 text to a path. Throws std::system_error when the text is not valid UTF-8.
std::filesystem::path fromUtf8(std::string_view text);

// Whether the bytes are well-formed UTF-8 (no overlong forms, surrogates or values above
// U+10FFFF).
bool isValidUtf8(std::string_view text);

}  // namespace platform
