// The loader's Linux names: Torvane's file name and how a directory and a file are joined.
#include <gtest/gtest.h>

#include <vantel/TorvaneLibraryName.h>

#include "client/bridge/LibraryLoader.h"

namespace vantel {
namespace {

TEST(LibraryLoaderPosix, NamesTheLinuxLibraryAndJoinsWithASlash) {
  EXPECT_EQ(std::string(kTorvaneLibraryFileName), "torvane-linux-amd64.so");
  EXPECT_EQ(loader::joinPath("/opt/nx", "t.so"), "/opt/nx/t.so");
  EXPECT_EQ(loader::joinPath("/", "t.so"), "/t.so");
  EXPECT_EQ(loader::joinPath("/opt/nx/", "t.so"), "/opt/nx/t.so");
}

}  // namespace
}  // namespace vantel
