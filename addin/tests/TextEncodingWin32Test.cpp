// Path text on Windows, where the file-name code page (1252 under wine) is not UTF-8: a
// user named Jörg has a temporary directory whose narrow name differs by encoding.
#include <windows.h>

#include <gtest/gtest.h>

#include <system_error>

#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/TestFiles.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

class CodePage1252 : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 1252 || !AreFileApisANSI()) GTEST_SKIP() << "needs ANSI code page 1252";
  }
};

TEST_F(CodePage1252, ConvertsBothWaysWithTheAnsiCodePage) {
  const fs::path path(L"C:\\Users\\J\u00f6rg\\AppData\\Local\\Temp\\");
  EXPECT_EQ(toFileNameCodePage(path), "C:\\Users\\J\xf6rg\\AppData\\Local\\Temp\\");
  EXPECT_EQ(fromFileNameCodePage("C:\\Users\\J\xf6rg"), fs::path(L"C:\\Users\\J\u00f6rg"));
  EXPECT_EQ(toUtf8(path), "C:\\Users\\J\xc3\xb6rg\\AppData\\Local\\Temp\\");
  EXPECT_EQ(fromUtf8("J\xc3\xb6rg"), fs::path(L"J\u00f6rg"));
}

TEST_F(CodePage1252, RefusesCharactersTheCodePageCannotHold) {
  EXPECT_THROW(toFileNameCodePage(fs::path(L"C:\\\u4e2d\u6587")), std::system_error);
  // No best-fit guess either: an "a" with a ring would become a plain "a" otherwise.
  EXPECT_THROW(toFileNameCodePage(fs::path(L"\u0101")), std::system_error);
}

TEST(Utf8OnWindows, AnUnpairedSurrogateBecomesAReplacementCharacter) {
  const fs::path broken(std::wstring(L"a") + wchar_t(0xD800) + L"b");
  EXPECT_EQ(toUtf8(broken),
            "a\xef\xbf\xbd"
            "b");
}

TEST_F(CodePage1252, ATemporaryDirectoryNamedJoergIsReportedAndUsable) {
  testsupport::TempDir home("J\xc3\xb6rg");
  const fs::path temp = home.path() / "Temp";
  fs::create_directory(temp);
  const wchar_t* previous = _wgetenv(L"TMP");
  const std::wstring saved = previous != nullptr ? previous : L"";
  SetEnvironmentVariableW(L"TMP", temp.c_str());

  const fs::path reported = nativePlatform().tempDirectory();
  SetEnvironmentVariableW(L"TMP", saved.empty() ? nullptr : saved.c_str());
  EXPECT_EQ(reported, temp / "");
  EXPECT_NE(toFileNameCodePage(reported).find("J\xf6rg"), std::string::npos);
  EXPECT_NE(toUtf8(reported).find("J\xc3\xb6rg"), std::string::npos);
  EXPECT_EQ(nativePlatform().appendLine(reported / "a.log", "ok"), std::error_code());
  EXPECT_EQ(testsupport::readFile(temp / "a.log"), "ok\r\n");
}

TEST(TempPathOnWindows, APathLongerThanTheBufferGivesNothing) {
  testsupport::TempDir dir("brevin-long");
  const std::wstring longPath = dir.path().native() + L"\\" + std::wstring(280, L'x');
  const wchar_t* previous = _wgetenv(L"TMP");
  const std::wstring saved = previous != nullptr ? previous : L"";
  SetEnvironmentVariableW(L"TMP", longPath.c_str());
  const fs::path reported = nativePlatform().tempDirectory();
  SetEnvironmentVariableW(L"TMP", saved.empty() ? nullptr : saved.c_str());
  EXPECT_TRUE(reported.empty()) << reported.string();
}

}  // namespace
}  // namespace platform
