#include "addin/ui/HelpContext.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/LogCapture.h"
#include "sim/nx/NxSim.h"

namespace ui {
namespace {

using testsupport::AddinEnvironment;
using testsupport::LogCapture;

int countCalls(const std::string& name) {
  const std::vector<std::string> names = nxsim::journalNames();
  return static_cast<int>(std::count(names.begin(), names.end(), name));
}

size_t countEntries(const LogCapture& log, const std::string& entry) {
  const std::vector<std::string> entries = log.entries();
  return static_cast<size_t>(std::count(entries.begin(), entries.end(), entry));
}

// The map path is computed once per process, so every case shares one installation.
TEST(HelpContext, PushesAndPopsOncePerShowingWhateverFails) {
  AddinEnvironment installation;
  LogCapture log(logging::LogLevel::Warning);
  nxsim::reset();

  const std::filesystem::path mapFile = installation.addinDirectory() / "synquohelp.map";
  const std::string mapPath = platform::toUtf8(mapFile);
  EXPECT_EQ(helpMapFilePath(), mapPath);

  // Map file missing: one warning per showing, the context is still pushed and popped.
  for (int showing = 0; showing < 2; ++showing) {
    ASSERT_TRUE(pushHelpContext());
    EXPECT_EQ(nxsim::helpContextStack(), std::vector<std::string>{"synquohelp"});
    popHelpContext();
    EXPECT_TRUE(nxsim::helpContextStack().empty());
  }
  EXPECT_EQ(countEntries(log, "[WARNING] [Synquo] UF_HELP_load_map_file failed for " + mapPath +
                                  " with status " + std::to_string(nxsim::kErrorFileNotFound)),
            2u);

  // With the map beside the add-in, the help key finds the add-in's page.
  testsupport::writeFile(mapFile, "synquohelp = synquohelp.html\n");
  log.clear();
  ASSERT_TRUE(pushHelpContext());
  EXPECT_EQ(nxsim::helpPageFor("synquohelp"), "synquohelp.html");
  popHelpContext();
  EXPECT_TRUE(log.entries().empty());

  // UF_initialize failing at push: nothing pushed, no UF_terminate, and the caller skips the pop.
  nxsim::clearJournal();
  nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 1, false, 5});
  EXPECT_FALSE(pushHelpContext());
  EXPECT_EQ(countCalls("UF_HELP_push_primary_context"), 0);
  EXPECT_EQ(countCalls("UF_terminate"), 0);
  EXPECT_TRUE(log.contains(
      "[WARNING] [Synquo] UF_initialize failed; cannot configure help context for synquohelp"));

  // A refused push is reported and UF is still closed.
  nxsim::clearJournal();
  nxsim::injectFault({"UF_HELP_push_primary_context", nxsim::FaultKind::Status, 1, false, 7});
  EXPECT_FALSE(pushHelpContext());
  EXPECT_EQ(countCalls("UF_terminate"), 1);
  EXPECT_TRUE(log.contains(
      "[WARNING] [Synquo] UF_HELP_push_primary_context failed for synquohelp with status 7"));

  // Pop failures are logged, never raised.
  ASSERT_TRUE(pushHelpContext());
  nxsim::injectFault({"UF_initialize", nxsim::FaultKind::Status, 1, false, 5});
  popHelpContext();
  EXPECT_TRUE(log.contains(
      "[WARNING] [Synquo] UF_initialize failed; cannot restore help context for synquohelp"));
  EXPECT_EQ(nxsim::helpContextStack().size(), 1u);
  nxsim::injectFault({"UF_HELP_pop_context", nxsim::FaultKind::Status, 1, false, 9});
  popHelpContext();
  EXPECT_TRUE(
      log.contains("[WARNING] [Synquo] UF_HELP_pop_context failed for synquohelp with status 9"));
  popHelpContext();
  EXPECT_TRUE(nxsim::helpContextStack().empty());

  EXPECT_EQ(nxsim::ufInitializeDepth(), 0);
  EXPECT_TRUE(nxsim::violations().empty());
}

}  // namespace
}  // namespace ui
