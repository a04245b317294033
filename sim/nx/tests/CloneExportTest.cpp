#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include <uf.h>
#include <uf_clone.h>
#include <uf_part.h>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

namespace fs = std::filesystem;

class CloneExport : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    directory_ =
        fs::temp_directory_path() / ("nxsim-clone-" + std::to_string(std::random_device{}()));
    fs::create_directories(directory_);
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    UF_terminate();
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
    reset();
  }

  static tag_t managed(const std::string& number) {
    PartDefinition definition;
    ManagedName name;
    name.partNumber = number;
    name.revision = "A";
    definition.managed = name;
    return addPart(definition);
  }

  void configure() {
    ASSERT_EQ(UF_CLONE_initialise(UF_CLONE_export_operation), 0);
    ASSERT_EQ(UF_CLONE_set_def_directory(directory_.string().c_str()), 0);
    char base[] = "";
    char rule[] = "${DB_PART_NO}";
    UF_CLONE_name_rule_def_s def{UF_CLONE_rename, base, rule};
    UF_CLONE_naming_failures_s failures{};
    ASSERT_EQ(UF_CLONE_init_naming_failures(&failures), 0);
    ASSERT_EQ(UF_CLONE_set_name_rule(&def, &failures), 0);
    ASSERT_EQ(failures.n_failures, 0);
    ASSERT_EQ(UF_CLONE_set_dryrun(false), 0);
  }

  fs::path directory_;
};

TEST_F(CloneExport, AssemblyExportWritesEveryMemberNamedByPartNumber) {
  const tag_t root = managed("100");
  const tag_t bolt = managed("200");
  const tag_t nut = managed("300");
  const tag_t sub = addComponent(root, bolt);
  addComponent(sub, nut);
  addComponent(root, bolt);
  configure();
  UF_PART_load_status_s load{};
  ASSERT_EQ(UF_CLONE_add_assembly("@DB/100/A", &load), 0);
  EXPECT_EQ(load.n_parts, 0);
  UF_CLONE_naming_failures_s failures{};
  UF_CLONE_init_naming_failures(&failures);
  ASSERT_EQ(UF_CLONE_perform_clone(&failures), 0);
  ASSERT_EQ(UF_CLONE_terminate(), 0);
  EXPECT_TRUE(fs::is_regular_file(directory_ / "100.prt"));
  EXPECT_TRUE(fs::is_regular_file(directory_ / "200.prt"));
  EXPECT_TRUE(fs::is_regular_file(directory_ / "300.prt"));
  EXPECT_TRUE(violations().empty());
}

TEST_F(CloneExport, ConfiguredCloneFilesAndDryRun) {
  PartDefinition definition;
  ManagedName name;
  name.partNumber = "123-A";
  definition.managed = name;
  definition.cloneFiles = {"123-A.prt", "123-A.pdf", "sub/extra.txt"};
  addPart(definition);
  configure();
  ASSERT_EQ(UF_CLONE_add_part("@DB/123-A/"), 0);
  ASSERT_EQ(UF_CLONE_set_dryrun(true), 0);
  ASSERT_EQ(UF_CLONE_perform_clone(nullptr), 0);
  EXPECT_TRUE(fs::is_empty(directory_));
  ASSERT_EQ(UF_CLONE_set_dryrun(false), 0);
  ASSERT_EQ(UF_CLONE_perform_clone(nullptr), 0);
  EXPECT_TRUE(fs::is_regular_file(directory_ / "123-A.pdf"));
  EXPECT_TRUE(fs::is_regular_file(directory_ / "sub" / "extra.txt"));
  UF_CLONE_terminate();
}

TEST_F(CloneExport, NamingAndLoadFailuresAreHandedOutAndReleased) {
  managed("100");
  std::vector<NamingFailure> six;
  for (int i = 0; i < 6; ++i) six.push_back({"in" + std::to_string(i), "out", 10 + i});
  setNamingFailures("UF_CLONE_perform_clone", six);
  setLoadFailures({{"/missing.prt", 641}});
  configure();
  UF_PART_load_status_s load{};
  ASSERT_EQ(UF_CLONE_add_assembly("@DB/100/A", &load), 0);
  ASSERT_EQ(load.n_parts, 1);
  EXPECT_STREQ(load.file_names[0], "/missing.prt");
  EXPECT_EQ(load.statuses[0], 641);
  UF_CLONE_naming_failures_s failures{};
  UF_CLONE_init_naming_failures(&failures);
  ASSERT_EQ(UF_CLONE_perform_clone(&failures), 0);
  ASSERT_EQ(failures.n_failures, 6);
  EXPECT_STREQ(failures.input_names[5], "in5");
  EXPECT_EQ(failures.statuses[5], 15);
  UF_free_string_array(failures.n_failures, failures.input_names);
  UF_free_string_array(failures.n_failures, failures.output_names);
  UF_free(failures.statuses);
  UF_PART_free_load_status(&load);
  EXPECT_EQ(outstandingAllocations(), 0);
  EXPECT_EQ(load.n_parts, 0);
  UF_CLONE_terminate();
  EXPECT_TRUE(violations().empty());
}

TEST_F(CloneExport, CallsOutsideAnOpenCloneFail) {
  EXPECT_EQ(UF_CLONE_set_def_action(UF_CLONE_overwrite), kErrorCloneState);
  EXPECT_EQ(UF_CLONE_terminate(), kErrorCloneState);
  ASSERT_EQ(UF_CLONE_initialise(UF_CLONE_export_operation), 0);
  EXPECT_EQ(UF_CLONE_initialise(UF_CLONE_export_operation), kErrorCloneState);
  EXPECT_EQ(UF_CLONE_add_part("@DB/unknown/A"), kErrorNotFound);
  EXPECT_EQ(UF_CLONE_perform_clone(nullptr), kErrorCloneState);  // no directory
  EXPECT_EQ(UF_CLONE_terminate(), 0);
  EXPECT_EQ(violations().size(), 3u);
}

TEST_F(CloneExport, InjectedStatusStopsTheCallWithoutEffect) {
  managed("100");
  configure();
  ASSERT_EQ(UF_CLONE_add_part("@DB/100/A"), 0);
  injectFault(Fault{"UF_CLONE_perform_clone", FaultKind::Status, 1, false, 42});
  EXPECT_EQ(UF_CLONE_perform_clone(nullptr), 42);
  EXPECT_TRUE(fs::is_empty(directory_));
  UF_CLONE_terminate();
}

}  // namespace
}  // namespace nxsim
