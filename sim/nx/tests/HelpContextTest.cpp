#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class HelpContext : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    ASSERT_EQ(uf().UF_initialize(), 0);
  }
  void TearDown() override {
    uf().UF_terminate();
    reset();
  }
  host::Uf& uf() { return host::nx().Uf(); }
};

TEST_F(HelpContext, ShippedMapPointsTheAddinContextToItsPage) {
  // Resources are copied beside every module of the build, nxsim's included.
  const std::filesystem::path map = resourceDirectories().at(0) / "synquohelp.map";
  ASSERT_EQ(uf().UF_HELP_load_map_file(map.string().c_str()), 0);
  EXPECT_EQ(helpPageFor("synquohelp"), "synquohelp.html");
  EXPECT_TRUE(std::filesystem::exists(resourceDirectories().at(0) / helpPageFor("synquohelp")));
}

TEST_F(HelpContext, MissingMapFailsButTheContextCanStillBePushedAndPopped) {
  EXPECT_EQ(uf().UF_HELP_load_map_file("/no/such/dir/synquohelp.map"), kErrorFileNotFound);
  char context[] = "synquohelp";
  EXPECT_EQ(uf().UF_HELP_push_primary_context(context), 0);
  EXPECT_EQ(helpContextStack(), (std::vector<std::string>{"synquohelp"}));
  EXPECT_EQ(helpPageFor("synquohelp"), "");
  EXPECT_EQ(uf().UF_HELP_pop_context(), 0);
  EXPECT_TRUE(helpContextStack().empty());
  EXPECT_TRUE(violations().empty());
}

TEST_F(HelpContext, PopWithoutPushFailsAndIsAViolation) {
  EXPECT_EQ(uf().UF_HELP_pop_context(), kErrorHelpStack);
  EXPECT_EQ(violations(),
            (std::vector<std::string>{"UF_HELP_pop_context with no help context pushed"}));
}

TEST_F(HelpContext, ContextsStackAndPopInReverseOrder) {
  char first[] = "first";
  char second[] = "second";
  uf().UF_HELP_push_primary_context(first);
  uf().UF_HELP_push_primary_context(second);
  EXPECT_EQ(helpContextStack(), (std::vector<std::string>{"first", "second"}));
  uf().UF_HELP_pop_context();
  EXPECT_EQ(helpContextStack(), (std::vector<std::string>{"first"}));
  EXPECT_EQ(uf().UF_HELP_push_primary_context(nullptr), kErrorBadArgument);
}

}  // namespace
}  // namespace nxsim
