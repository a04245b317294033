#include <gtest/gtest.h>

#include <uf.h>
#include <uf_help.h>
#include <uf_part.h>
#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/PartSaveStatus.hxx>
#include <NXOpen/Session.hxx>
#include <NXOpen/UI.hxx>

#include <memory>
#include <string>

#include "sim/nx/NxSim.h"
#include "sim/nx/tests/NxText.h"

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

  // Reads the displayed part's name between UF_initialize and UF_terminate, the way the add-in
  // brackets UF calls; "" on any failure.
  std::string askDisplayedName() {
    NXOpen::Session* session = NXOpen::Session::GetSession();
    if (session == nullptr) return "";
    NXOpen::PartCollection* parts = session->Parts();
    if (parts == nullptr) return "";
    NXOpen::BasePart* part = parts->BaseDisplay();
    if (part == nullptr) return "";
    const tag_t tag = part->Tag();
    if (UF_initialize() != 0) return "";
    char name[MAX_FSPEC_BUFSIZE] = {};
    const int status = UF_PART_ask_part_name(tag, name);
    UF_terminate();
    return status == 0 ? std::string(name) : "";
  }

  tag_t part_ = NULL_TAG;
};

TEST_F(FaultInjection, StatusFaultHitsOnlyTheNthCallOfItsFunction) {
  injectFault(Fault{"UF_initialize", FaultKind::Status, 2, false, 77});
  EXPECT_EQ(UF_initialize(), 0);
  EXPECT_EQ(UF_initialize(), 77);
  EXPECT_EQ(UF_initialize(), 0);
  EXPECT_EQ(ufInitializeDepth(), 2);
  EXPECT_EQ(faultsFired(), 1);
  UF_terminate();
  UF_terminate();
  EXPECT_TRUE(violations().empty());
}

TEST_F(FaultInjection, PersistentStatusFaultHitsEveryCallFromTheNthOn) {
  Fault fault{"UF_HELP_pop_context", FaultKind::Status, 2, true, 5};
  injectFault(fault);
  ASSERT_EQ(UF_initialize(), 0);
  char context[] = "ctx";
  for (int i = 0; i < 3; ++i) UF_HELP_push_primary_context(context);
  EXPECT_EQ(UF_HELP_pop_context(), 0);
  EXPECT_EQ(UF_HELP_pop_context(), 5);
  EXPECT_EQ(UF_HELP_pop_context(), 5);
  EXPECT_EQ(helpContextStack().size(), 2u);
  clearFaults();
  EXPECT_EQ(UF_HELP_pop_context(), 0);
  UF_terminate();
}

TEST_F(FaultInjection, ThrowFaultRaisesNXExceptionWithCodeAndMessageAcrossTheModule) {
  injectFault(Fault{"BasePart::FullPath", FaultKind::Throw, 1, false, 1, 1234, "disk gone"});
  NXOpen::BasePart* part = NXOpen::Session::GetSession()->Parts()->BaseDisplay();
  ASSERT_NE(part, nullptr);
  try {
    part->FullPath();
    FAIL() << "FullPath did not throw";
  } catch (const NXOpen::NXException& e) {
    EXPECT_EQ(e.ErrorCode(), 1234);
    EXPECT_STREQ(e.what(), "disk gone");
  }
  EXPECT_EQ(text(part->FullPath()), "/models/bracket.prt");
  EXPECT_EQ(journal().at(journal().size() - 2).outcome, "throw");
}

TEST_F(FaultInjection, ThrowFaultCanBeCaughtAsStdException) {
  injectFault(Fault{"NXObject::SetUserAttribute", FaultKind::Throw});
  NXOpen::BasePart* part = NXOpen::Session::GetSession()->Parts()->BaseDisplay();
  EXPECT_THROW(part->SetUserAttribute("SYNQUO_ID", -1, "x", NXOpen::Update::OptionNow),
               std::exception);
  EXPECT_TRUE(partState(part_).attributes.empty());
}

TEST_F(FaultInjection, NullFaultMakesObjectReturningMethodsAnswerNull) {
  injectFault(Fault{"PartCollection::BaseDisplay", FaultKind::Null});
  injectFault(Fault{"UI::CreateDialog", FaultKind::Null});
  injectFault(Fault{"Session::GetSession", FaultKind::Null, 3});
  EXPECT_EQ(NXOpen::Session::GetSession()->Parts()->BaseDisplay(), nullptr);
  EXPECT_NE(NXOpen::Session::GetSession()->Parts()->BaseDisplay(), nullptr);
  EXPECT_EQ(NXOpen::UI::GetUI()->CreateDialog("start.dlx"), nullptr);
  EXPECT_EQ(NXOpen::Session::GetSession(), nullptr);
  EXPECT_EQ(faultsFired(), 3);
}

TEST_F(FaultInjection, NullFaultIsNotCountedOnMethodsThatReturnNoObject) {
  injectFault(Fault{"*", FaultKind::Null, 1});
  // UF functions and FullPath cannot return null; the first object-returning call takes it.
  ASSERT_EQ(UF_initialize(), 0);
  UF_terminate();
  EXPECT_EQ(NXOpen::Session::GetSession(), nullptr);
  EXPECT_NE(NXOpen::Session::GetSession(), nullptr);
}

TEST_F(FaultInjection, SaveCanReturnNoStatusOrReportUnsavedObjects) {
  NXOpen::BasePart* part = NXOpen::Session::GetSession()->Parts()->BaseDisplay();
  injectFault(Fault{"BasePart::Save", FaultKind::Null});
  EXPECT_EQ(
      part->Save(NXOpen::BasePart::SaveComponentsFalse, NXOpen::BasePart::CloseAfterSaveFalse),
      nullptr);
  EXPECT_EQ(partState(part_).saveCount, 0);
  setSaveOutcome(part_, 0, 2);
  std::unique_ptr<NXOpen::PartSaveStatus> status(
      part->Save(NXOpen::BasePart::SaveComponentsFalse, NXOpen::BasePart::CloseAfterSaveFalse));
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
    } catch (const NXOpen::NXException& e) {
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
  EXPECT_EQ(UF_initialize(), 0);
  EXPECT_EQ(UF_terminate(), 0);
  EXPECT_EQ(faultsFired(), 0);
}

}  // namespace
}  // namespace nxsim
