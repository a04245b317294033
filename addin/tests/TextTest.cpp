#include "addin/common/Text.h"

#include <gtest/gtest.h>

namespace synquo {
namespace {

TEST(Text, TrimRemovesExactlyTheFourWhitespaceCharacters) {
  EXPECT_EQ(trim(" \t\r\nvalue \r\n\t "), "value");
  EXPECT_EQ(trim("\v value \f"), "\v value \f");
  EXPECT_EQ(trim("   "), "");
  EXPECT_EQ(trim("a b"), "a b");
}

TEST(Text, CaseFoldingTouchesOnlyAsciiLetters) {
  EXPECT_EQ(toLowerAscii("US_Staging-1"), "us_staging-1");
  EXPECT_EQ(toUpperAscii("warn\xc3\xa4"), "WARN\xc3\xa4");
}

}  // namespace
}  // namespace synquo
