// Path text on POSIX: file names are native bytes, taken to be UTF-8.
#include <system_error>

#include "addin/platform/TextEncoding.h"

namespace platform {

std::filesystem::path fromFileNameCodePage(std::string_view text) {
  return std::filesystem::path(std::string(text));
}

std::string toFileNameCodePage(const std::filesystem::path& path) { return path.string(); }

std::string toUtf8(const std::filesystem::path& path) { return path.string(); }

std::filesystem::path fromUtf8(std::string_view text) {
  if (!isValidUtf8(text)) {
    throw std::system_error(std::make_error_code(std::errc::illegal_byte_sequence),
                            "text is not valid UTF-8");
  }
  return std::filesystem::path(std::string(text));
}

}  // namespace platform
