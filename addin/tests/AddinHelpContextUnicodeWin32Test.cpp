// An add-in folder whose name the ANSI code page cannot hold: the UF calls take UTF-8, so the
// help map is named whole for NX all the same. Its own executable, because the map path is
// computed once per process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "addin/tests/support/FakePlatform.h"
#include "addin/tests/support/LogCapture.h"
#include "addin/ui/HelpContext.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

TEST(HelpContextOutsideCodePage, HandsNxTheWholeMapName) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs ANSI code page 1252";
  platform::FakePlatform fake;
  fake.setAddinModulePath(L"C:\\NX\\\u4e2d\u6587\\brevin.dll");
  platform::ScopedPlatform scope(fake);
  testsupport::LogCapture log(logging::LogLevel::Warning);
  nxsim::reset();

  const std::string map = "C:\\NX\\\xe4\xb8\xad\xe6\x96\x87\\synquohelp.map";
  EXPECT_EQ(helpMapFilePath(), map);
  for (int showing = 0; showing < 2; ++showing) {
    ASSERT_TRUE(pushHelpContext());
    EXPECT_EQ(nxsim::helpContextStack(), std::vector<std::string>{"synquohelp"});
    popHelpContext();
  }
  // No map is there, and NX says so about the map it was given.
  const std::string missing = "[WARNING] [Synquo] UF_HELP_load_map_file failed for " + map +
                              " with status " + std::to_string(nxsim::kErrorFileNotFound);
  EXPECT_EQ(log.entries(), std::vector<std::string>(2, missing));
  EXPECT_TRUE(nxsim::violations().empty());
}

}  // namespace
}  // namespace ui
