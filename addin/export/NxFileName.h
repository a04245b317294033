// A path as the narrow text NX reads file names in (the process's file-name code page), and
// the error a user sees when the path cannot be written that way.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace synquo {

// Its text is meant for the user: it names the path and what to change.
class UnusableNxPathError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The path in the file-name code page. Throws UnusableNxPathError when a character of the
// path has no exact representation there (NX would otherwise get '?' in its place).
std::string nxFileName(const std::filesystem::path& path);

}  // namespace synquo
