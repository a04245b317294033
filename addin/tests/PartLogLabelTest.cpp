// The part log label: what NX names the part, and what stands in when it cannot.
#include "addin/logging/PartLogLabel.h"

#include <gtest/gtest.h>

#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

TEST(PartLogLabel, NamesThePartByWhatNxGives) {
  EXPECT_EQ(partLogLabel(nullptr), "<null part>");
  struct Case {
    const char* fullPath;
    const char* leaf;
    const char* failingCall;  // raises when read
    const char* label;
  };
  const Case cases[] = {
      {"/models/bracket.prt", "bracket", nullptr, "/models/bracket.prt (bracket)"},
      {"/models/bracket.prt", "bracket", "BasePart::Leaf", "/models/bracket.prt"},
      {"/models/bracket.prt", "bracket", "BasePart::FullPath", "bracket"},
      {"", "draft", nullptr, "draft"},
      {"", "", nullptr, "<unnamed NX part>"},
      {"", "draft", "BasePart::Leaf", "<unnamed NX part>"},
  };
  for (const Case& c : cases) {
    nxsim::reset();
    nxsim::PartDefinition definition;
    definition.fullPath = c.fullPath;
    definition.leaf = c.leaf;
    NXOpen::BasePart* part = nxsim::partObject(nxsim::addPart(definition));
    if (c.failingCall != nullptr) nxsim::injectFault({c.failingCall, nxsim::FaultKind::Throw});
    EXPECT_EQ(partLogLabel(part), c.label) << c.fullPath << " / " << c.leaf;
  }
}

}  // namespace
}  // namespace synquo
