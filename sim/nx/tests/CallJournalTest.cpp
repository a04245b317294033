#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <uf.h>
#include <uf_clone.h>
#include <uf_part.h>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/Session.hxx>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class CallJournal : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }
};

TEST_F(CallJournal, RecordsCallsInOrderWithArgumentsAndOutcomes) {
  PartDefinition definition;
  definition.fullPath = "/m/a.prt";
  const tag_t part = addPart(definition);
  ASSERT_EQ(UF_initialize(), 0);
  char name[MAX_FSPEC_BUFSIZE];
  ASSERT_EQ(UF_PART_ask_part_name(part, name), 0);
  EXPECT_EQ(UF_PART_ask_part_name(part + 1000, name), kErrorBadTag);
  ASSERT_EQ(UF_terminate(), 0);

  const std::vector<Call> calls = journal();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].name, "UF_initialize");
  EXPECT_EQ(calls[0].outcome, "0");
  EXPECT_EQ(calls[1].name, "UF_PART_ask_part_name");
  EXPECT_EQ(calls[1].args, (std::vector<std::string>{std::to_string(part)}));
  EXPECT_EQ(calls[2].outcome, std::to_string(kErrorBadTag));
  EXPECT_EQ(calls[3].name, "UF_terminate");
  EXPECT_TRUE(violations().empty());
  EXPECT_EQ(ufInitializeDepth(), 0);
}

TEST_F(CallJournal, TerminateWithoutInitializeIsAViolation) {
  EXPECT_EQ(UF_terminate(), kErrorNotInitialized);
  ASSERT_EQ(violations().size(), 1u);
  EXPECT_EQ(violations()[0], "UF_terminate without a matching successful UF_initialize");
}

TEST_F(CallJournal, TerminateAfterAFailedInitializeIsAViolation) {
  injectFault(Fault{"UF_initialize", FaultKind::Status, 1, false, 3});
  EXPECT_EQ(UF_initialize(), 3);
  UF_terminate();
  EXPECT_EQ(violations(),
            (std::vector<std::string>{"UF_terminate without a matching successful UF_initialize"}));
}

TEST_F(CallJournal, NestedInitializeNeedsOneTerminateEach) {
  ASSERT_EQ(UF_initialize(), 0);
  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_EQ(UF_terminate(), 0);
  EXPECT_EQ(ufInitializeDepth(), 1);
  EXPECT_EQ(UF_terminate(), 0);
  EXPECT_EQ(UF_terminate(), kErrorNotInitialized);
  EXPECT_EQ(violations().size(), 1u);
}

TEST_F(CallJournal, UfCallOutsideInitializeFailsAndIsAViolation) {
  int module = -5;
  EXPECT_EQ(UF_ask_application_module(&module), kErrorNotInitialized);
  EXPECT_EQ(module, -5);
  EXPECT_FALSE(UF_PART_is_modified(NULL_TAG));
  ASSERT_EQ(violations().size(), 2u);
  EXPECT_EQ(violations()[0], "UF_ask_application_module called without a successful UF_initialize");
  EXPECT_EQ(violations()[1], "UF_PART_is_modified called without a successful UF_initialize");
}

TEST_F(CallJournal, NxOpenCallsAreJournalledWithTheirNames) {
  PartDefinition definition;
  definition.fullPath = "/m/a.prt";
  setDisplayedPart(addPart(definition));
  NXOpen::BasePart* part = NXOpen::Session::GetSession()->Parts()->BaseDisplay();
  part->Leaf();
  EXPECT_EQ(journalNames(),
            (std::vector<std::string>{"Session::GetSession", "Session::Parts",
                                      "PartCollection::BaseDisplay", "BasePart::Leaf"}));
  clearJournal();
  EXPECT_TRUE(journal().empty());
}

TEST_F(CallJournal, MemoryReleasedTwiceOrNotHandedOutIsAViolation) {
  setNamingFailures("UF_CLONE_apply_defaults", {{"a", "b", 1}});
  ASSERT_EQ(UF_initialize(), 0);
  ASSERT_EQ(UF_CLONE_initialise(UF_CLONE_export_operation), 0);
  UF_CLONE_naming_failures_s failures{};
  UF_CLONE_init_naming_failures(&failures);
  ASSERT_EQ(UF_CLONE_apply_defaults(&failures), 0);
  EXPECT_EQ(outstandingAllocations(), 5);  // statuses, two arrays, two names
  UF_free_string_array(failures.n_failures, failures.input_names);
  UF_free_string_array(failures.n_failures, failures.output_names);
  UF_free(failures.statuses);
  EXPECT_EQ(outstandingAllocations(), 0);
  EXPECT_TRUE(violations().empty());
  UF_free(failures.statuses);
  int local = 0;
  UF_free(&local);
  EXPECT_EQ(violations().size(), 2u) << ::testing::PrintToString(violations());
  UF_CLONE_terminate();
  UF_terminate();
}

}  // namespace
}  // namespace nxsim
