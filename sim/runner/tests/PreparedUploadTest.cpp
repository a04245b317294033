// A prepare_upload step fails on every expectation the prepared upload does not meet, so that
// an example scenario cannot pass by checking nothing.
#include "sim/runner/PreparedUpload.h"

#include <gtest/gtest.h>

namespace simrunner {
namespace {

using nlohmann::json;

PreparedUploadReport report() {
  PreparedUploadReport r;
  r.event = {{"exported", "a.prt"},
             {"file_name", "a.prt"},
             {"source_file_id", "id-1"},
             {"error", ""},
             {"files", {{{"path", "a.prt"}, {"name", "a.prt"}, {"source_file_id", "id-1"}}}},
             {"parts", {{{"part", "a"}, {"synquo_id_saved", "0f-1"}, {"saves", 1}}}}};
  return r;
}

TEST(PreparedUploadTest, EachUnmetExpectationIsOneFailure) {
  struct Case {
    const char* name;
    void (*expect)(PrepareUpload&);
    size_t failures;
  };
  const Case cases[] = {
      {"all met, exact and by pattern",
       [](PrepareUpload& p) {
         p.expectExported = "a.prt";
         p.expectSourceFileId = "~id-[0-9]";
         p.expectFiles = {{std::string("a.prt"), std::string("~a\\.prt"), std::nullopt}};
         p.expectAttributes["a"] = "~[0-9a-f]+-1";
         p.expectSaves["a"] = 1;
         p.expectError = "";
       },
       0},
      {"a pattern matches the whole value only",
       [](PrepareUpload& p) { p.expectSourceFileId = "~id"; }, 1},
      {"another file count",
       [](PrepareUpload& p) { p.expectFiles = std::vector<PreparedFileExpectation>{}; }, 1},
      {"a file's name",
       [](PrepareUpload& p) {
         p.expectFiles = {{std::nullopt, std::string("b.prt"), std::nullopt}};
       },
       1},
      {"no attribute expected", [](PrepareUpload& p) { p.expectAttributes["a"] = std::nullopt; },
       1},
      {"saves", [](PrepareUpload& p) { p.expectSaves["a"] = 0; }, 1},
      {"an error expected", [](PrepareUpload& p) { p.expectError = "~.+"; }, 1},
  };
  for (const Case& c : cases) {
    PrepareUpload step;
    c.expect(step);
    EXPECT_EQ(checkPreparedUpload(step, report()).size(), c.failures) << c.name;
  }
  PreparedUploadReport missing = report();
  missing.problems = {"The prepared file /x/a.prt does not exist"};
  EXPECT_EQ(checkPreparedUpload(PrepareUpload{}, missing), missing.problems);
}

}  // namespace
}  // namespace simrunner
