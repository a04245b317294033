// Which link of an upload result opens the model, and the revision it loses on the way.
#include "addin/ui/ModelLink.h"

#include <gtest/gtest.h>

namespace ui {
namespace {

TEST(ModelLinkTest, RevisionParametersAreRemovedAndTheRestKept) {
  const std::pair<const char*, const char*> cases[] = {
      {"https://a.example/m/1?revisionId=5&view=3d#top", "https://a.example/m/1?view=3d#top"},
      {"https://a.example/m/1?revision_id=9", "https://a.example/m/1"},
      {"  https://a.example/m/1?revisionId=1&&revision_id=2&revisionId&x=revisionId=3\t",
       "https://a.example/m/1?x=revisionId=3"},
      {"https://a.example/m/1?revisionIds=5#f?revisionId=2",
       "https://a.example/m/1?revisionIds=5#f?revisionId=2"},
      {"https://a.example/m/1", "https://a.example/m/1"},
      {"https://a.example/m/1#f?revisionId=2", "https://a.example/m/1#f?revisionId=2"},
      {"https://a.example/m/1 \t?revisionId=5", "https://a.example/m/1"},
      {"https://a.example/m/1?view=3d& &revisionId=5", "https://a.example/m/1?view=3d"},
      {" \r\n", ""},
      {"  ?revisionId\t\t&revision_id=4&&", ""},
      {"https://a.example/m/1?view=3d&revisionId =5", "https://a.example/m/1?view=3d"},
  };
  for (const auto& [link, normalised] : cases) {
    EXPECT_EQ(withoutRevisionParameters(link), normalised) << link;
  }
}

TEST(ModelLinkTest, TheFileNameChoosesTheEntry) {
  const std::map<std::string, std::string> two = {{"A.prt", "1"}, {"a.PRT", "2"}};
  EXPECT_EQ(findModelLink(two, "a.PRT"), "2") << "exact key first";
  EXPECT_EQ(findModelLink(two, "a.prt"), "1") << "then the first equal when lower-cased";
  EXPECT_EQ(findModelLink(two, "b.prt"), std::nullopt);
  EXPECT_EQ(findModelLink({{"other.prt", "3"}}, "mine.prt"), "3") << "the only entry";
  EXPECT_EQ(findModelLink({{"other.prt", "3"}}, ""), "3");
  EXPECT_EQ(findModelLink({}, "mine.prt"), std::nullopt);
}

}  // namespace
}  // namespace ui
