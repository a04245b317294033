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

bool linksAreRemovable() { return true; }

bool fileLinksCanBeMade() { return true; }

bool removeLink(const std::filesystem::path& link) {
  std::error_code error;
  return std::filesystem::remove(link, error) && !error;
}

// std::filesystem never follows a symbolic link when it removes a tree.
void removeLinksBelow(const std::filesystem::path&) {}

bool makeJunction(const std::filesystem::path& target, const std::filesystem::path& link) {
  return makeDirectoryLink(target, link);
}

}  // namespace testsupport
