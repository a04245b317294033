// UUID-style identifier texts: which texts count, and what a new identifier looks like.
#include "addin/traceability/TraceableIdText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace synquo {
namespace {

TEST(TraceableIdText, UuidStyleIsTheShapeNotTheVersion) {
  struct Case {
    std::string text;
    bool uuidStyle;
  };
  const Case cases[] = {
      {"0f8fad5b-d9cb-469f-a165-70867728950e", true},
      {"0F8FAD5B-D9CB-469F-A165-70867728950E", true},
      {"00000000-0000-0000-0000-000000000000", true},    // no version or variant check
      {"0f8fad5b-d9cb-469f-a165-70867728950", false},    // 35
      {"0f8fad5b-d9cb-469f-a165-70867728950e0", false},  // 37
      {"0f8fad5bd-9cb-469f-a165-70867728950e", false},   // '-' at 9
      {"0f8fad5b-d9cb-469f-a165-70867728950g", false},
      {"0f8fad5b-d9cb-469f-a165+70867728950e", false},
      {" 0f8fad5b-d9cb-469f-a165-70867728950e", false},
      {"{f8fad5b-d9cb-469f-a165-70867728950}", false},
      {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(isUuidStyleId(c.text), c.uuidStyle) << c.text;
}

TEST(TraceableIdText, GeneratedIdentifiersAreLowerCaseRandomVersion4Uuids) {
  std::set<std::string> seen;
  for (int i = 0; i < 200; ++i) {
    const std::string id = generateTraceableId();
    ASSERT_TRUE(isUuidStyleId(id)) << id;
    EXPECT_EQ(id.find_first_of("ABCDEF"), std::string::npos) << id;
    EXPECT_EQ(id[14], '4') << id;
    EXPECT_NE(std::string("89ab").find(id[19]), std::string::npos) << id;
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 200u);
}

}  // namespace
}  // namespace synquo
