// The loader seam on its own: opening, looking up exports, and finding the directory of
// the module that holds the code (here, the test executable itself).
#include <gtest/gtest.h>
#include <vantel/VantelException.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "client/bridge/LibraryLoader.h"
#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

namespace fs = std::filesystem;

TEST(LibraryLoader, OpensALibraryAndFindsOnlyItsExports) {
  const loader::OpenResult opened = loader::openLibrary(testing::fullFixturePath());
  ASSERT_NE(opened.handle, nullptr) << opened.error;
  EXPECT_EQ(opened.error, "");
  EXPECT_NE(loader::findSymbol(opened.handle, "FreeAllocatedString"), nullptr);
  EXPECT_NE(loader::findSymbol(opened.handle, "CreateDirectory"), nullptr);
  EXPECT_EQ(loader::findSymbol(opened.handle, "NoSuchExport"), nullptr);

  const loader::OpenResult without = loader::openLibrary(testing::noCreateDirectoryFixturePath());
  ASSERT_NE(without.handle, nullptr) << without.error;
  EXPECT_EQ(loader::findSymbol(without.handle, "CreateDirectory"), nullptr);
  EXPECT_NE(loader::findSymbol(without.handle, "CloseLogFile"), nullptr);
}

TEST(LibraryLoader, CapturesTheReasonWhenALibraryCannotBeOpened) {
  const fs::path directory =
      fs::temp_directory_path() /
      ("vantel-loader-" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(directory);
  const fs::path missing = directory / "missing-library";
  const loader::OpenResult absent = loader::openLibrary(missing.string());
  EXPECT_EQ(absent.handle, nullptr);
  EXPECT_NE(absent.error, "");

  const fs::path garbage = directory / "garbage-library";
  std::ofstream(garbage) << "this is not a shared library";
  const loader::OpenResult broken = loader::openLibrary(garbage.string());
  EXPECT_EQ(broken.handle, nullptr);
  EXPECT_NE(broken.error, "");

  std::error_code ignored;
  fs::remove_all(directory, ignored);
}

TEST(LibraryLoader, FindsTheDirectoryOfTheModuleHoldingTheCode) {
  const std::string directory = loader::moduleDirectory();
  ASSERT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), '/');
  EXPECT_NE(directory.back(), '\\');
  EXPECT_TRUE(testing::samePath(directory, testing::executableDirectory())) << directory;
}

}  // namespace
}  // namespace vantel
