// Links on POSIX: symbolic links stand for junctions too.
#include <system_error>

#include "addin/tests/support/Links.h"

namespace testsupport {

bool makeDirectoryLink(const std::filesystem::path& target, const std::filesystem::path& link) {
  std::error_code error;
  std::filesystem::create_directory_symlink(target, link, error);
  return !error && std::filesystem::is_symlink(std::filesystem::symlink_status(link, error));
}

bool makeFileLink(const std::filesystem::path& target, const std::filesystem::path& link) {
  std::error_code error;
  std::filesystem::create_symlink(target, link, error);
  return !error && std::filesystem::is_symlink(std::filesystem::symlink_status(link, error));
}

bool makeJunction(const std::filesystem::path& target, const std::filesystem::path& link) {
  return makeDirectoryLink(target, link);
}

}  // namespace testsupport
