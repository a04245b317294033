// Where a test finds its executable's directory and the fixture libraries beside it.
#pragma once

#include <filesystem>
#include <string>

namespace vantel::testing {

std::filesystem::path executableDirectory();

// The fixture libraries, next to the test executable.
std::string fullFixtureFileName();
std::string fullFixturePath();
std::string noOptionalFixturePath();
std::string noCreateDirectoryFixturePath();

// True when both name the same existing file or directory.
bool samePath(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace vantel::testing
