#include <gtest/gtest.h>

#include <string>

#include <uf.h>
#include <uf_fam.h>
#include <uf_part.h>
#include <uf_ugmgr.h>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

class TeamcenterAndFamily : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    ASSERT_EQ(UF_initialize(), 0);
  }
  void TearDown() override {
    UF_terminate();
    EXPECT_TRUE(violations().empty());
    reset();
  }

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
  char encoded[MAX_FSPEC_BUFSIZE];
  ASSERT_EQ(UF_PART_ask_part_name(tag, encoded), 0);
  EXPECT_STREQ(encoded, "@DB/123-A/B");
  char number[UF_UGMGR_PARTNO_BUFSIZE];
  char revision[UF_UGMGR_PARTREV_BUFSIZE];
  char type[UF_UGMGR_FTYPE_BUFSIZE];
  char file[UF_UGMGR_FNAME_BUFSIZE];
  ASSERT_EQ(UF_UGMGR_decode_part_file_name(encoded, number, revision, type, file), 0);
  EXPECT_STREQ(number, "123-A");
  EXPECT_STREQ(revision, "B");
  EXPECT_STREQ(type, "UGMASTER");
  EXPECT_STREQ(file, "drawing");
}

TEST_F(TeamcenterAndFamily, NativePathIsNoManagedName) {
  PartDefinition definition;
  definition.fullPath = "/m/native.prt";
  const tag_t tag = addPart(definition);
  char name[MAX_FSPEC_BUFSIZE];
  ASSERT_EQ(UF_PART_ask_part_name(tag, name), 0);
  EXPECT_STREQ(name, "/m/native.prt");
  char number[UF_UGMGR_PARTNO_BUFSIZE];
  char revision[UF_UGMGR_PARTREV_BUFSIZE];
  char type[UF_UGMGR_FTYPE_BUFSIZE];
  char file[UF_UGMGR_FNAME_BUFSIZE];
  EXPECT_EQ(UF_UGMGR_decode_part_file_name(name, number, revision, type, file),
            kErrorNotManagedName);
  const char* other = "@DB/777/C";
  ASSERT_EQ(UF_UGMGR_decode_part_file_name(other, number, revision, type, file), 0);
  EXPECT_STREQ(number, "777");
  EXPECT_STREQ(revision, "C");
  EXPECT_STREQ(type, "");
}

TEST_F(TeamcenterAndFamily, RevisionIdComesThroughPartTagAndConfiguredRevision) {
  managedPart();
  UF_UGMGR_tag_t dbPart = NULL_TAG;
  char number[] = "123-A";
  ASSERT_EQ(UF_UGMGR_ask_part_tag(number, &dbPart), 0);
  UF_UGMGR_tag_t rev = NULL_TAG;
  ASSERT_EQ(UF_UGMGR_ask_configured_rev(dbPart, &rev), 0);
  char id[UF_UGMGR_NAME_BUFSIZE];
  ASSERT_EQ(UF_UGMGR_ask_part_revision_id(rev, id), 0);
  EXPECT_STREQ(id, "B.2");
  char unknown[] = "999";
  EXPECT_EQ(UF_UGMGR_ask_part_tag(unknown, &dbPart), kErrorNotFound);
  EXPECT_EQ(UF_UGMGR_ask_part_revision_id(dbPart, id), kErrorBadTag);
}

TEST_F(TeamcenterAndFamily, PartWithoutConfiguredRevisionFails) {
  managedPart(false);
  UF_UGMGR_tag_t dbPart = NULL_TAG;
  char number[] = "123-A";
  ASSERT_EQ(UF_UGMGR_ask_part_tag(number, &dbPart), 0);
  UF_UGMGR_tag_t rev = NULL_TAG;
  EXPECT_EQ(UF_UGMGR_ask_configured_rev(dbPart, &rev), kErrorNotFound);
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
  logical answer = false;
  ASSERT_EQ(UF_PART_is_family_instance(a, &answer), 0);
  EXPECT_TRUE(answer);
  ASSERT_EQ(UF_PART_is_family_template(b, &answer), 0);
  EXPECT_TRUE(answer);
  ASSERT_EQ(UF_PART_is_family_instance(c, &answer), 0);
  EXPECT_FALSE(answer);

  tag_t found = 1;
  ASSERT_EQ(UF_PART_ask_family_instance(a, &found), 0);
  EXPECT_EQ(found, NULL_TAG);
  ASSERT_EQ(UF_PART_ask_family_instance(c, &found), 0);
  ASSERT_NE(found, NULL_TAG);
  tag_t family = NULL_TAG;
  int index = -1;
  ASSERT_EQ(UF_FAM_ask_instance_data(found, &family, &index), 0);
  EXPECT_NE(family, NULL_TAG);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(UF_FAM_ask_instance_data(c, &family, &index), kErrorBadTag);
}

}  // namespace
}  // namespace nxsim
