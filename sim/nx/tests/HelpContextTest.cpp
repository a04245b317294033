#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <uf.h>
#include <uf_help.h>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class HelpContext : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    UF_terminate();
    reset();
  }
};

TEST_F(HelpContext, ShippedMapPointsTheAddinContextToItsPage) {
  // Resources are copied beside every module of the build, nxsim's included.
  const std::filesystem::path map = resourceDirectories().at(0) / "synquohelp.map";
  std::string path = map.string();
  ASSERT_EQ(UF_HELP_load_map_file(path.data()), 0);
  EXPECT_EQ(helpPageFor("synquohelp"), "synquohelp.html");
  EXPECT_TRUE(std::filesystem::exists(resourceDirectories().at(0) / helpPageFor("synquohelp")));
}

TEST_F(HelpContext, MissingMapFailsButTheContextCanStillBePushedAndPopped) {
  char missing[] = "/no/such/dir/synquohelp.map";
  EXPECT_EQ(UF_HELP_load_map_file(missing), kErrorFileNotFound);
  char context[] = "synquohelp";
  EXPECT_EQ(UF_HELP_push_primary_context(context), 0);
  EXPECT_EQ(helpContextStack(), (std::vector<std::string>{"synquohelp"}));
  EXPECT_EQ(helpPageFor("synquohelp"), "");
  EXPECT_EQ(UF_HELP_pop_context(), 0);
  EXPECT_TRUE(helpContextStack().empty());
  EXPECT_TRUE(violations().empty());
}

TEST_F(HelpContext, PopWithoutPushFailsAndIsAViolation) {
  EXPECT_EQ(UF_HELP_pop_context(), kErrorHelpStack);
  EXPECT_EQ(violations(),
            (std::vector<std::string>{"UF_HELP_pop_context with no help context pushed"}));
}

TEST_F(HelpContext, ContextsStackAndPopInReverseOrder) {
  char first[] = "first";
  char second[] = "second";
  UF_HELP_push_primary_context(first);
  UF_HELP_push_primary_context(second);
  EXPECT_EQ(helpContextStack(), (std::vector<std::string>{"first", "second"}));
  UF_HELP_pop_context();
  EXPECT_EQ(helpContextStack(), (std::vector<std::string>{"first"}));
  EXPECT_EQ(UF_HELP_push_primary_context(nullptr), kErrorBadArgument);
}

}  // namespace
}  // namespace nxsim
