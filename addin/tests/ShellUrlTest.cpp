#include "addin/common/ShellUrl.h"

#include <gtest/gtest.h>

namespace synquo {
namespace {

TEST(ShellUrl, AcceptsHttpAndHttpsInAnyCase) {
  EXPECT_TRUE(isShellSafeUrl("http://127.0.0.1:4711/authorize?state=abc"));
  EXPECT_TRUE(isShellSafeUrl("https://app.synquo.example/models/5?revisionId=3"));
  EXPECT_TRUE(isShellSafeUrl("HTTPS://APP.SYNQUO.EXAMPLE/"));
  EXPECT_TRUE(isShellSafeUrl("hTtP://host/%22encoded-quote"));
}

TEST(ShellUrl, RefusesWhatTheShellWouldRunAsAProgram) {
  EXPECT_EQ(shellUrlRefusal("file:///C:/Windows/System32/calc.exe"), "refused URL scheme \"file\"");
  EXPECT_EQ(shellUrlRefusal("C:\\Windows\\System32\\calc.exe"), "refused URL scheme \"C\"");
  EXPECT_EQ(shellUrlRefusal("\\\\server\\share\\tool.exe"), "refused URL without a scheme");
  EXPECT_EQ(shellUrlRefusal("ms-settings:privacy"), "refused URL scheme \"ms-settings\"");
  EXPECT_EQ(shellUrlRefusal("javascript:alert(1)"), "refused URL scheme \"javascript\"");
  EXPECT_EQ(shellUrlRefusal(""), "refused URL without a scheme");
  EXPECT_EQ(shellUrlRefusal("http:calc"), "refused http URL without a host");
  EXPECT_EQ(shellUrlRefusal("https://"), "refused https URL without a host");
}

TEST(ShellUrl, RefusesQuotesSpacesAndControlCharacters) {
  const std::string why = "refused https URL containing a quote, space or control character";
  EXPECT_EQ(shellUrlRefusal("https://host/\" --flag"), why);
  EXPECT_EQ(shellUrlRefusal("https://host/a b"), why);
  EXPECT_EQ(shellUrlRefusal("https://host/a'b"), why);
  EXPECT_EQ(shellUrlRefusal("https://host/a\tb"), why);
  EXPECT_EQ(shellUrlRefusal("https://host/a\nb"), why);
  EXPECT_EQ(shellUrlRefusal(std::string("https://host/a\0b", 16)), why);
}

}  // namespace
}  // namespace synquo
