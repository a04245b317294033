#include <gtest/gtest.h>

#include <uf.h>
#include <uf_part.h>
#include <uf_text.h>
#include <uf_ugmgr.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class UfText : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    UF_terminate();
    reset();
  }

  static tag_t native(const std::string& fullPath) {
    PartDefinition definition;
    definition.fullPath = fullPath;
    return addPart(definition);
  }
};

// The whole declared buffer is NX's: the text, then zeros to its end; a text longer than the
// buffer's characters is refused, never cut.
TEST_F(UfText, PartNamesFillTheWholeBufferOrFail) {
  struct Row {
    std::size_t length;
    int status;
  };
  for (const Row& row :
       {Row{1, 0}, Row{MAX_FSPEC_NCHARS, 0}, Row{MAX_FSPEC_NCHARS + 1, kErrorBufferTooSmall}}) {
    const std::string path = "/" + std::string(row.length - 1, 'p');
    const tag_t tag = native(path);
    std::vector<char> buffer(MAX_FSPEC_BUFSIZE, 'x');
    EXPECT_EQ(UF_PART_ask_part_name(tag, buffer.data()), row.status) << row.length;
    const std::string written = row.status == 0 ? path : "";
    EXPECT_EQ(std::string(buffer.data()), written) << row.length;
    EXPECT_EQ(std::count(buffer.begin() + static_cast<std::ptrdiff_t>(written.size()), buffer.end(),
                         '\0'),
              static_cast<std::ptrdiff_t>(MAX_FSPEC_BUFSIZE - written.size()))
        << row.length;
  }
}

TEST_F(UfText, PartNumbersUpToNxsLimitDecode) {
  struct Row {
    std::size_t length;
    int status;
  };
  for (const Row& row :
       {Row{UF_UGMGR_PARTNO_LIMIT, 0}, Row{UF_UGMGR_PARTNO_LIMIT + 1, kErrorBufferTooSmall}}) {
    const std::string number(row.length, '7');
    const std::string encoded = "@DB/" + number + "/A";
    char part[UF_UGMGR_PARTNO_BUFSIZE];
    char revision[UF_UGMGR_PARTREV_BUFSIZE];
    char type[UF_UGMGR_FTYPE_BUFSIZE];
    char file[UF_UGMGR_FNAME_BUFSIZE];
    EXPECT_EQ(UF_UGMGR_decode_part_file_name(encoded.c_str(), part, revision, type, file),
              row.status)
        << row.length;
    EXPECT_EQ(std::string(part), row.status == 0 ? number : "") << row.length;
  }
}

// Locale mode (code page 1252) after every UF_initialize; UTF-8 once asked for.
TEST_F(UfText, TextModeDecidesTheEncodingOfUfText) {
  const tag_t tag = native("/m/J\xC3\xB6rg-\xC4\x80.prt");  // "Jörg-Ā": Ā is not in 1252
  struct Row {
    bool utf8;
    const char* expected;
  };
  for (const Row& row : {Row{false, "/m/J\xF6rg-?.prt"}, Row{true, "/m/J\xC3\xB6rg-\xC4\x80.prt"},
                         Row{false, "/m/J\xF6rg-?.prt"}}) {
    UF_terminate();
    ASSERT_EQ(UF_initialize(), 0);
    EXPECT_EQ(UF_TEXT_ask_text_mode(), UF_TEXT_LOCALE);
    if (row.utf8) {
      ASSERT_EQ(UF_TEXT_set_text_mode(UF_TEXT_ALL_UTF8), 0);
    }
    char name[MAX_FSPEC_BUFSIZE];
    ASSERT_EQ(UF_PART_ask_part_name(tag, name), 0);
    EXPECT_STREQ(name, row.expected);
  }
  // Text given in locale mode is read as 1252.
  PartDefinition managed;
  managed.managed = ManagedName{};
  managed.managed->partNumber = "J\xC3\xB6rg";
  addPart(managed);
  char number[] = "J\xF6rg";
  UF_UGMGR_tag_t dbPart = NULL_TAG;
  EXPECT_EQ(UF_UGMGR_ask_part_tag(number, &dbPart), 0);
}

}  // namespace
}  // namespace nxsim
