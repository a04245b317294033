// Where a test finds its executable's directory and the fixture libraries beside it.
#include "client/tests/support/TestPaths.h"

#include <system_error>

namespace vantel::testing {

std::string fullFixtureFileName() { return VANTEL_FIXTURE_FULL; }

std::string fullFixturePath() { return (executableDirectory() / fullFixtureFileName()).string(); }

std::string noOptionalFixturePath() {
  return (executableDirectory() / VANTEL_FIXTURE_NO_OPTIONAL).string();
}

std::string noCreateDirectoryFixturePath() {
  return (executableDirectory() / VANTEL_FIXTURE_NO_CREATE_DIRECTORY).string();
}

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(a, b, error);
  return !error && same;
}

}  // namespace vantel::testing
