#include <gtest/gtest.h>

#include <string>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class FaultInjection : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    PartDefinition definition;
    definition.fullPath = "/models/bracket.prt";
    definition.uniqueIdentifier = "3f2a1c9e-0b7d-4e51-9a3c-5d8e7f6a1b2c";
    part_ = addPart(definition);
    setDisplayedPart(part_);
  }
  void TearDown() override { reset(); }

  host::Uf& uf() { return host::nx().Uf(); }

  // Reads the displayed part's name between UF_initialize and UF_terminate, the way the add-in
  // brackets UF calls; "" on any failure.
  std::string askDisplayedName() {
    host::Session* session = host::nx().GetSession();
    if (session == nullptr) return "";
    host::PartCollection* parts = session->Parts();
    if (parts == nullptr) return "";
    host::BasePart* part = parts->BaseDisplay();
    if (part == nullptr) return "";
    const tag_t tag = part->Tag();
    if (uf().UF_initialize() != 0) return "";
    char name[host::MAX_FSPEC_BUFSIZE] = {};
    const int status = uf().UF_PART_ask_part_name(tag, name);
    uf().UF_terminate();
    return status == 0 ? std::string(name) : "";
  }

  tag_t part_ = NULL_TAG;
};

TEST_F(FaultInjection, StatusFaultHitsOnlyTheNthCallOfItsFunction) {
  injectFault(Fault{"UF_initialize", FaultKind::Status, 2, false, 77});
  EXPECT_EQ(uf().UF_initialize(), 0);
  EXPECT_EQ(uf().UF_initialize(), 77);
  EXPECT_EQ(uf().UF_initialize(), 0);
  EXPECT_EQ(ufInitializeDepth(), 2);
  EXPECT_EQ(faultsFired(), 1);
  uf().UF_terminate();
  uf().UF_terminate();
  EXPECT_TRUE(violations().empty());
}

TEST_F(FaultInjection, PersistentStatusFaultHitsEveryCallFromTheNthOn) {
  Fault fault{"UF_HELP_pop_context", FaultKind::Status, 2, true, 5};
  injectFault(fault);
  ASSERT_EQ(uf().UF_initialize(), 0);
  char context[] = "ctx";
  for (int i = 0; i < 3; ++i) uf().UF_HELP_push_primary_context(context);
  EXPECT_EQ(uf().UF_HELP_pop_context(), 0);
  EXPECT_EQ(uf().UF_HELP_pop_context(), 5);
  EXPECT_EQ(uf().UF_HELP_pop_context(), 5);
  EXPECT_EQ(helpContextStack().size(), 2u);
  clearFaults();
  EXPECT_EQ(uf().UF_HELP_pop_context(), 0);
  uf().UF_terminate();
}

TEST_F(FaultInjection, ThrowFaultRaisesNxExceptionWithCodeAndMessageAcrossTheModule) {
  injectFault(Fault{"BasePart::FullPath", FaultKind::Throw, 1, false, 1, 1234, "disk gone"});
  host::BasePart* part = host::nx().GetSession()->Parts()->BaseDisplay();
  ASSERT_NE(part, nullptr);
  try {
    part->FullPath();
    FAIL() << "FullPath did not throw";
  } catch (const host::NxException& e) {
    EXPECT_EQ(e.ErrorCode(), 1234);
    EXPECT_STREQ(e.what(), "disk gone");
  }
  EXPECT_EQ(part->FullPath(), "/models/bracket.prt");
  EXPECT_EQ(journal().at(journal().size() - 2).outcome, "throw");
}

TEST_F(FaultInjection, ThrowFaultCanBeCaughtAsStdException) {
  injectFault(Fault{"NXObject::SetUserAttribute", FaultKind::Throw});
  host::BasePart* part = host::nx().GetSession()->Parts()->BaseDisplay();
  EXPECT_THROW(part->SetUserAttribute("SYNQUO_ID", -1, "x", host::NXObject::UpdateOption::Now),
               std::exception);
  EXPECT_TRUE(partState(part_).attributes.empty());
}

TEST_F(FaultInjection, NullFaultMakesObjectReturningMethodsAnswerNull) {
  injectFault(Fault{"PartCollection::BaseDisplay", FaultKind::Null});
  injectFault(Fault{"UI::CreateDialog", FaultKind::Null});
  injectFault(Fault{"Session::GetSession", FaultKind::Null, 3});
  EXPECT_EQ(host::nx().GetSession()->Parts()->BaseDisplay(), nullptr);
  EXPECT_NE(host::nx().GetSession()->Parts()->BaseDisplay(), nullptr);
  EXPECT_EQ(host::nx().GetUI()->CreateDialog("start.dlx"), nullptr);
  EXPECT_EQ(host::nx().GetSession(), nullptr);
  EXPECT_EQ(faultsFired(), 3);
}

TEST_F(FaultInjection, NullFaultIsNotCountedOnMethodsThatReturnNoObject) {
  injectFault(Fault{"*", FaultKind::Null, 1});
  // UF functions and FullPath cannot return null; the first object-returning call takes it.
  ASSERT_EQ(uf().UF_initialize(), 0);
  uf().UF_terminate();
  EXPECT_EQ(host::nx().GetSession(), nullptr);
  EXPECT_NE(host::nx().GetSession(), nullptr);
}

TEST_F(FaultInjection, SaveCanReturnNoStatusOrReportUnsavedObjects) {
  host::BasePart* part = host::nx().GetSession()->Parts()->BaseDisplay();
  injectFault(Fault{"BasePart::Save", FaultKind::Null});
  EXPECT_EQ(
      part->Save(host::BasePart::SaveComponents::False, host::BasePart::CloseAfterSave::False),
      nullptr);
  EXPECT_EQ(partState(part_).saveCount, 0);
  setSaveOutcome(part_, 0, 2);
  auto status =
      part->Save(host::BasePart::SaveComponents::False, host::BasePart::CloseAfterSave::False);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->NumberUnsavedParts(), 0);
  EXPECT_EQ(status->NumberUnsavedObjects(), 2);
  EXPECT_EQ(partState(part_).saveCount, 0);
}

// Anomaly run: fail the 1st, 2nd, ... status-returning call until the operation succeeds; every
// failing run leaves UF balanced and breaks no rule.
TEST_F(FaultInjection, AnomalyRunOverEveryStatusCallLeavesUfBalanced) {
  int failingRuns = 0;
  for (int nth = 1; nth < 20; ++nth) {
    clearFaults();
    clearJournal();
    injectFault(Fault{"*", FaultKind::Status, nth, false, 9});
    const std::string name = askDisplayedName();
    EXPECT_EQ(ufInitializeDepth(), 0) << "nth=" << nth;
    EXPECT_TRUE(violations().empty()) << "nth=" << nth << ": " << violations().front();
    if (faultsFired() == 0) {
      EXPECT_EQ(name, "/models/bracket.prt");
      break;
    }
    ++failingRuns;
  }
  // UF_initialize, UF_PART_ask_part_name and UF_terminate can each fail.
  EXPECT_EQ(failingRuns, 3);
}

TEST_F(FaultInjection, AnomalyRunOverEveryThrowingCallIsCaught) {
  int failingRuns = 0;
  for (int nth = 1; nth < 30; ++nth) {
    clearFaults();
    injectFault(Fault{"*", FaultKind::Throw, nth});
    try {
      askDisplayedName();
      if (faultsFired() == 0) break;
      ADD_FAILURE() << "fault " << nth << " fired without an exception";
    } catch (const host::NxException& e) {
      EXPECT_EQ(e.ErrorCode(), 1);
      ++failingRuns;
    }
    EXPECT_EQ(ufInitializeDepth(), 0);
  }
  EXPECT_EQ(failingRuns, 4);  // GetSession, Parts, BaseDisplay, Tag
}

TEST_F(FaultInjection, ResetClearsFaults) {
  injectFault(Fault{"UF_initialize", FaultKind::Status, 1, true});
  reset();
  EXPECT_EQ(uf().UF_initialize(), 0);
  EXPECT_EQ(uf().UF_terminate(), 0);
  EXPECT_EQ(faultsFired(), 0);
}

}  // namespace
}  // namespace nxsim
