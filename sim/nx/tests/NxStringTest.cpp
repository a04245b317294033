#include <gtest/gtest.h>

#include <NXOpen/NXException.hxx>
#include <NXOpen/NXString.hxx>

#include <string>

namespace nxsim {
namespace {

// An NXString keeps the form it was made in; the other form is converted through code page
// 1252, with "?" for what it lacks.
TEST(NxString, LocaleAndUtf8FormsAreKeptApart) {
  struct Row {
    const char* given;
    NXOpen::NXString::NXStringMode mode;
    const char* locale;
    const char* utf8;
  };
  const Row rows[] = {
      {"plain", NXOpen::NXString::Locale, "plain", "plain"},
      {"caf\xE9 \x80", NXOpen::NXString::Locale, "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
      {"caf\xC3\xA9 \xE2\x82\xAC", NXOpen::NXString::UTF8, "caf\xE9 \x80",
       "caf\xC3\xA9 \xE2\x82\xAC"},
      {"\xC4\x80\xE4\xB8\xAD", NXOpen::NXString::UTF8, "??", "\xC4\x80\xE4\xB8\xAD"},
  };
  for (const Row& row : rows) {
    const NXOpen::NXString text(row.given, row.mode);
    const NXOpen::NXString copy = text;
    EXPECT_EQ(copy.GetMode(), row.mode) << row.given;
    EXPECT_STREQ(copy.GetText(), row.given);
    EXPECT_STREQ(copy.GetLocaleText(), row.locale);
    EXPECT_STREQ(copy.GetUTF8Text(), row.utf8);
  }
  EXPECT_STREQ(NXOpen::NXString().GetUTF8Text(), "");
}

TEST(NxString, AMessageOnlyExceptionHasCodeZero) {
  EXPECT_EQ(NXOpen::NXException::Create("no code").ErrorCode(), 0);
  EXPECT_STREQ(NXOpen::NXException::Create("no code").what(), "no code");
  EXPECT_EQ(NXOpen::NXException::Create(12, "coded").ErrorCode(), 12);
}

}  // namespace
}  // namespace nxsim
