// An add-in folder whose name the ANSI code page cannot hold: the help map cannot be named,
// which costs the help page but never the dialog. Its own executable, because the map path
// is computed once per process.
#include <windows.h>

#include <gtest/gtest.h>

#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/LogCapture.h"
#include "addin/ui/HelpContext.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

TEST(HelpContextUnnamed, PushesWithoutTheMapAndNeverRaises) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252";
  platform::FakePlatform fake;
  fake.setAddinModulePath(L"C:\\NX\\\u4e2d\u6587\\brevin.dll");
  platform::ScopedPlatform scope(fake);
  testsupport::LogCapture log(logging::LogLevel::Warning);
  nxsim::reset();

  for (int showing = 0; showing < 2; ++showing) {
    ASSERT_TRUE(pushHelpContext());
    EXPECT_EQ(nxsim::helpContextStack(), std::vector<std::string>{"synquohelp"});
    popHelpContext();
  }
  const std::vector<std::string> entries = log.entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(
      entries[0].rfind("[WARNING] [Synquo] Cannot name synquohelp.map for the help context: ", 0),
      0u);
  for (const std::string& name : nxsim::journalNames()) EXPECT_NE(name, "UF_HELP_load_map_file");
  EXPECT_TRUE(nxsim::violations().empty());
}

}  // namespace
}  // namespace ui
