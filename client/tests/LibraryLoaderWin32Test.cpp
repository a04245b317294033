// The loader's Windows names: Torvane's file name and how a directory and a file are joined.
#include <gtest/gtest.h>

#include <vantel/TorvaneLibraryName.h>

#include "client/bridge/LibraryLoader.h"

namespace vantel {
namespace {

TEST(LibraryLoaderWin32, NamesTheWindowsLibraryAndJoinsWithABackslash) {
  EXPECT_EQ(std::string(kTorvaneLibraryFileName), "torvane-windows-amd64.dll");
  EXPECT_EQ(loader::joinPath("C:\\NX\\Synquo", "t.dll"), "C:\\NX\\Synquo\\t.dll");
  EXPECT_EQ(loader::joinPath("C:\\", "t.dll"), "C:\\t.dll");
  EXPECT_EQ(loader::joinPath("C:\\NX/", "t.dll"), "C:\\NX/t.dll");
}

}  // namespace
}  // namespace vantel
