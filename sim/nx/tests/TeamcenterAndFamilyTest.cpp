#include <gtest/gtest.h>

#include <string>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class TeamcenterAndFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    ASSERT_EQ(uf().UF_initialize(), 0);
  }
  void TearDown() override {
    uf().UF_terminate();
    EXPECT_TRUE(violations().empty());
    reset();
  }
  host::Uf& uf() { return host::nx().Uf(); }

  tag_t managedPart(bool configured = true) {
    PartDefinition definition;
    definition.leaf = "123-A/B";
    ManagedName name;
    name.partNumber = "123-A";
    name.revision = "B";
    name.fileType = "UGMASTER";
    name.fileName = "drawing";
    name.revisionId = "B.2";
    name.hasConfiguredRevision = configured;
    definition.managed = name;
    return addPart(definition);
  }
};

TEST_F(TeamcenterAndFamily, ManagedPartNameDecodesToItsTeamcenterNames) {
  const tag_t tag = managedPart();
  char encoded[host::MAX_FSPEC_BUFSIZE];
  ASSERT_EQ(uf().UF_PART_ask_part_name(tag, encoded), 0);
  EXPECT_STREQ(encoded, "@DB/123-A/B");
  char number[host::UF_UGMGR_PARTNO_BUFSIZE];
  char revision[host::UF_UGMGR_PARTREV_BUFSIZE];
  char type[host::UF_UGMGR_FTYPE_BUFSIZE];
  char file[host::UF_UGMGR_FNAME_BUFSIZE];
  ASSERT_EQ(uf().UF_UGMGR_decode_part_file_name(encoded, number, revision, type, file), 0);
  EXPECT_STREQ(number, "123-A");
  EXPECT_STREQ(revision, "B");
  EXPECT_STREQ(type, "UGMASTER");
  EXPECT_STREQ(file, "drawing");
}

TEST_F(TeamcenterAndFamily, NativePathIsNoManagedName) {
  PartDefinition definition;
  definition.fullPath = "/m/native.prt";
  const tag_t tag = addPart(definition);
  char name[host::MAX_FSPEC_BUFSIZE];
  ASSERT_EQ(uf().UF_PART_ask_part_name(tag, name), 0);
  EXPECT_STREQ(name, "/m/native.prt");
  char number[host::UF_UGMGR_PARTNO_BUFSIZE];
  char revision[host::UF_UGMGR_PARTREV_BUFSIZE];
  char type[host::UF_UGMGR_FTYPE_BUFSIZE];
  char file[host::UF_UGMGR_FNAME_BUFSIZE];
  EXPECT_EQ(uf().UF_UGMGR_decode_part_file_name(name, number, revision, type, file),
            kErrorNotManagedName);
  ASSERT_EQ(uf().UF_UGMGR_decode_part_file_name("@DB/777/C", number, revision, type, file), 0);
  EXPECT_STREQ(number, "777");
  EXPECT_STREQ(revision, "C");
  EXPECT_STREQ(type, "");
}

TEST_F(TeamcenterAndFamily, RevisionIdComesThroughPartTagAndConfiguredRevision) {
  managedPart();
  host::UF_UGMGR_tag_t dbPart = NULL_TAG;
  ASSERT_EQ(uf().UF_UGMGR_ask_part_tag("123-A", &dbPart), 0);
  host::UF_UGMGR_tag_t rev = NULL_TAG;
  ASSERT_EQ(uf().UF_UGMGR_ask_configured_rev(dbPart, &rev), 0);
  char id[host::UF_UGMGR_NAME_BUFSIZE];
  ASSERT_EQ(uf().UF_UGMGR_ask_part_revision_id(rev, id), 0);
  EXPECT_STREQ(id, "B.2");
  EXPECT_EQ(uf().UF_UGMGR_ask_part_tag("999", &dbPart), kErrorNotFound);
  EXPECT_EQ(uf().UF_UGMGR_ask_part_revision_id(dbPart, id), kErrorBadTag);
}

TEST_F(TeamcenterAndFamily, PartWithoutConfiguredRevisionFails) {
  managedPart(false);
  host::UF_UGMGR_tag_t dbPart = NULL_TAG;
  ASSERT_EQ(uf().UF_UGMGR_ask_part_tag("123-A", &dbPart), 0);
  host::UF_UGMGR_tag_t rev = NULL_TAG;
  EXPECT_EQ(uf().UF_UGMGR_ask_configured_rev(dbPart, &rev), kErrorNotFound);
}

TEST_F(TeamcenterAndFamily, FamilyInstanceAndTemplateAreAnswered) {
  PartDefinition instance;
  instance.familyInstance = true;
  PartDefinition templ;
  templ.familyTemplate = true;
  PartDefinition member;
  member.familyIndex = 4;
  const tag_t a = addPart(instance);
  const tag_t b = addPart(templ);
  const tag_t c = addPart(member);
  bool answer = false;
  ASSERT_EQ(uf().UF_PART_is_family_instance(a, &answer), 0);
  EXPECT_TRUE(answer);
  ASSERT_EQ(uf().UF_PART_is_family_template(b, &answer), 0);
  EXPECT_TRUE(answer);
  ASSERT_EQ(uf().UF_PART_is_family_instance(c, &answer), 0);
  EXPECT_FALSE(answer);

  tag_t found = 1;
  ASSERT_EQ(uf().UF_PART_ask_family_instance(a, &found), 0);
  EXPECT_EQ(found, NULL_TAG);
  ASSERT_EQ(uf().UF_PART_ask_family_instance(c, &found), 0);
  ASSERT_NE(found, NULL_TAG);
  host::UF_FAM_instance_data_s data{};
  ASSERT_EQ(uf().UF_FAM_ask_instance_data(found, &data), 0);
  EXPECT_NE(data.family, NULL_TAG);
  EXPECT_EQ(data.index, 4);
  EXPECT_EQ(uf().UF_FAM_ask_instance_data(c, &data), kErrorBadTag);
}

}  // namespace
}  // namespace nxsim
