// A damaged file where the Torvane library belongs (here a library header followed by
// garbage) is reported like a missing library, naming its path, and takes nothing down.
#include <gtest/gtest.h>

#include <fstream>

#include <vantel/TorvaneLibraryName.h>
#include "addin/client/ClientSetup.h"
#include "addin/platform/TextEncoding.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/FailureText.h"
#include "addin/tests/support/TorvaneStandIn.h"

namespace synquo {
namespace {

using testsupport::AddinEnvironment;
using testsupport::failureOf;
using testsupport::TorvaneStandIn;

TEST(ClientSetupNotALibrary, TheLoadFailureNamesThePathOnEveryCall) {
  AddinEnvironment installation;
  TorvaneStandIn torvane(installation.addinDirectory(), /*placeLibrary=*/false);
  const auto library = installation.addinDirectory() / vantel::kTorvaneLibraryFileName;
  {
    std::ofstream out(library, std::ios::binary);
#ifdef _WIN32
    out << "MZ";
#else
    out << "\x7f" "ELF\x02\x01\x01";
#endif
    for (int i = 0; i < 4096; ++i) out << static_cast<char>((i * 37) & 0xff);
  }
  installation.platform().setAddinModulePath(installation.addinDirectory() / "brevin.dll");
  const std::string expected =
      "Failed to load Torvane library at " + platform::toFileNameCodePage(library);
  EXPECT_EQ(failureOf([] { clientAuthCallbacks().authorize(); }), expected);
  EXPECT_EQ(failureOf([] { clientServiceOperations().listWorkspaces("token", ""); }), expected);
  EXPECT_TRUE(torvane.calls("Initialize").empty());
}

}  // namespace
}  // namespace synquo
