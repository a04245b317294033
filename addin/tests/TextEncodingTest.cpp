// Conversions between paths and narrow text that hold on every platform.
#include "addin/platform/TextEncoding.h"

#include <gtest/gtest.h>

#include <system_error>

namespace platform {
namespace {

namespace fs = std::filesystem;

TEST(Utf8Validation, AcceptsWellFormedTextOnly) {
  EXPECT_TRUE(isValidUtf8(""));
  EXPECT_TRUE(isValidUtf8("plain"));
  EXPECT_TRUE(isValidUtf8("J\xc3\xb6rg \xe2\x82\xac \xf0\x9f\x98\x80"));
  EXPECT_FALSE(isValidUtf8("J\xf6rg"));           // Latin-1
  EXPECT_FALSE(isValidUtf8("\xc3"));              // cut short
  EXPECT_FALSE(isValidUtf8("\xc0\xaf"));          // overlong
  EXPECT_FALSE(isValidUtf8("\xe0\x80\xaf"));      // overlong
  EXPECT_FALSE(isValidUtf8("\xed\xa0\x80"));      // surrogate
  EXPECT_FALSE(isValidUtf8("\xf4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(isValidUtf8("\x80"));              // stray continuation
}

TEST(Utf8Conversion, RoundTripsNonAsciiPaths) {
  const std::string text = "dir/J\xc3\xb6rg/\xe2\x82\xac.prt";
  const fs::path path = fromUtf8(text);
  EXPECT_EQ(path.filename(), fromUtf8("\xe2\x82\xac.prt"));
  EXPECT_EQ(toUtf8(path), text);
  EXPECT_EQ(toUtf8(fs::path()), "");
  EXPECT_EQ(fromUtf8(""), fs::path());
}

TEST(Utf8Conversion, RejectsMalformedText) { EXPECT_THROW(fromUtf8("J\xf6rg"), std::system_error); }

TEST(FileNameCodePage, RoundTripsAscii) {
  const fs::path path = fromFileNameCodePage("logs/synquo-integration.log");
  EXPECT_EQ(path.filename(), fs::path("synquo-integration.log"));
  EXPECT_EQ(path.parent_path(), fs::path("logs"));
  EXPECT_EQ(toFileNameCodePage(path), "logs/synquo-integration.log");
  EXPECT_EQ(toFileNameCodePage(fs::path()), "");
}

TEST(FileNameCodePage, RoundTripsWhatTheCodePageCanHold) {
  const fs::path path = fromUtf8("J\xc3\xb6rg");
  EXPECT_EQ(fromFileNameCodePage(toFileNameCodePage(path)), path);
}

}  // namespace
}  // namespace platform
