#include <gtest/gtest.h>

#include <uf.h>
#include <uf_assem.h>
#include <uf_part.h>
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/Drawings_DrawingSheet.hxx>
#include <NXOpen/Drawings_DrawingSheetCollection.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/Part.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/PartSaveStatus.hxx>
#include <NXOpen/Session.hxx>

#include <memory>
#include <string>
#include <vector>

#include "sim/nx/NxSim.h"
#include "sim/nx/tests/NxText.h"

namespace nxsim {
namespace {

using NXOpen::NXObject;
using SaveStatus = std::unique_ptr<NXOpen::PartSaveStatus>;

class PartModel : public ::testing::Test {
 protected:
  void SetUp() override { reset(); }
  void TearDown() override { reset(); }

  NXOpen::BasePart* displayed() { return NXOpen::Session::GetSession()->Parts()->BaseDisplay(); }
};

TEST_F(PartModel, NoDisplayedPartGivesNull) {
  addPart(PartDefinition{});
  EXPECT_EQ(displayed(), nullptr);
}

TEST_F(PartModel, DisplayedPartAnswersItsNamesIdentifierAndTag) {
  PartDefinition definition;
  definition.fullPath = "/models/bracket.prt";
  definition.uniqueIdentifier = "legacy-0042";
  const tag_t tag = addPart(definition);
  setDisplayedPart(tag);
  NXOpen::BasePart* part = displayed();
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(text(part->FullPath()), "/models/bracket.prt");
  EXPECT_EQ(text(part->Leaf()), "bracket");
  EXPECT_EQ(text(part->UniqueIdentifier()), "legacy-0042");
  EXPECT_EQ(part->Tag(), tag);
  EXPECT_NE(dynamic_cast<NXOpen::Part*>(part), nullptr);
}

TEST_F(PartModel, UnsavedPartHasEmptyPathAndItsGivenLeaf) {
  PartDefinition definition;
  definition.leaf = "_model1";
  setDisplayedPart(addPart(definition));
  EXPECT_EQ(text(displayed()->FullPath()), "");
  EXPECT_EQ(text(displayed()->Leaf()), "_model1");
}

TEST_F(PartModel, ABasePartThatIsNoPartDoesNotCastToPart) {
  PartDefinition definition;
  definition.fullPath = "/m/x.prt";
  definition.isPart = false;
  setDisplayedPart(addPart(definition));
  ASSERT_NE(displayed(), nullptr);
  EXPECT_EQ(dynamic_cast<NXOpen::Part*>(displayed()), nullptr);
  EXPECT_EQ(text(displayed()->FullPath()), "/m/x.prt");
}

TEST_F(PartModel, StringAttributesCanBeReadWrittenAndDeleted) {
  PartDefinition definition;
  definition.attributes["SYNQUO_ID"] = " abc ";
  const tag_t tag = addPart(definition);
  setDisplayedPart(tag);
  NXOpen::BasePart* part = displayed();
  EXPECT_TRUE(part->HasUserAttribute("SYNQUO_ID", NXObject::AttributeTypeString, -1));
  EXPECT_FALSE(part->HasUserAttribute("SYNQUO_ID", NXObject::AttributeTypeInteger, -1));
  EXPECT_FALSE(part->HasUserAttribute("OTHER", NXObject::AttributeTypeString, -1));
  EXPECT_EQ(text(part->GetUserAttributeAsString("SYNQUO_ID", NXObject::AttributeTypeString, -1)),
            " abc ");

  part->SetUserAttribute("SYNQUO_ID", -1, "new", NXOpen::Update::OptionNow);
  EXPECT_EQ(partState(tag).attributes.at("SYNQUO_ID"), "new");
  EXPECT_EQ(partState(tag).savedAttributes.at("SYNQUO_ID"), " abc ");
  EXPECT_TRUE(partState(tag).modified);

  part->DeleteUserAttribute(NXObject::AttributeTypeString, "SYNQUO_ID", true,
                            NXOpen::Update::OptionNow);
  EXPECT_FALSE(part->HasUserAttribute("SYNQUO_ID", NXObject::AttributeTypeString, -1));
  try {
    part->GetUserAttributeAsString("SYNQUO_ID", NXObject::AttributeTypeString, -1);
    FAIL() << "missing attribute was read";
  } catch (const NXOpen::NXException& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorNoAttribute);
  }
  EXPECT_THROW(part->DeleteUserAttribute(NXObject::AttributeTypeString, "SYNQUO_ID", true,
                                         NXOpen::Update::OptionNow),
               NXOpen::NXException);
}

TEST_F(PartModel, SaveWritesTheSessionAttributesToTheFile) {
  PartDefinition definition;
  definition.fullPath = "/m/a.prt";
  const tag_t tag = addPart(definition);
  setDisplayedPart(tag);
  displayed()->SetUserAttribute("SYNQUO_ID", -1, "v", NXOpen::Update::OptionNow);
  SaveStatus status(displayed()->Save(NXOpen::BasePart::SaveComponentsFalse,
                                      NXOpen::BasePart::CloseAfterSaveFalse));
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(status->NumberUnsavedParts(), 0);
  EXPECT_EQ(status->NumberUnsavedObjects(), 0);
  const PartState after = partState(tag);
  EXPECT_EQ(after.savedAttributes.at("SYNQUO_ID"), "v");
  EXPECT_FALSE(after.modified);
  EXPECT_EQ(after.saveCount, 1);
}

TEST_F(PartModel, AFailingSaveKeepsTheFileAsItWas) {
  const tag_t tag = addPart(PartDefinition{});
  setDisplayedPart(tag);
  setSaveOutcome(tag, 1, 0);
  displayed()->SetUserAttribute("SYNQUO_ID", -1, "v", NXOpen::Update::OptionNow);
  SaveStatus status(displayed()->Save(NXOpen::BasePart::SaveComponentsFalse,
                                      NXOpen::BasePart::CloseAfterSaveFalse));
  EXPECT_EQ(status->NumberUnsavedParts(), 1);
  EXPECT_TRUE(partState(tag).savedAttributes.empty());
  EXPECT_TRUE(partState(tag).modified);
}

TEST_F(PartModel, ComponentTreeYieldsChildrenInOrderWithTheirPrototypes) {
  PartDefinition root;
  root.fullPath = "/a/asm.prt";
  PartDefinition member;
  member.fullPath = "/a/bolt.prt";
  const tag_t asmTag = addPart(root);
  const tag_t boltTag = addPart(member);
  const tag_t first = addComponent(asmTag, boltTag);
  const tag_t second = addComponent(asmTag, NULL_TAG, "/a/missing.prt");
  addComponent(first, boltTag, "/a/bolt_alt.prt");
  setDisplayedPart(asmTag);

  NXOpen::Assemblies::Component* rootComponent = displayed()->ComponentAssembly()->RootComponent();
  ASSERT_NE(rootComponent, nullptr);
  auto children = rootComponent->GetChildren();
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0]->Tag(), first);
  EXPECT_EQ(children[1]->Tag(), second);
  auto* prototype = dynamic_cast<NXOpen::Part*>(children[0]->Prototype());
  ASSERT_NE(prototype, nullptr);
  EXPECT_EQ(text(prototype->FullPath()), "/a/bolt.prt");
  EXPECT_EQ(children[1]->Prototype(), nullptr);
  EXPECT_EQ(text(children[1]->DisplayName()), "missing");
  EXPECT_EQ(children[0]->GetChildren().size(), 1u);

  ASSERT_EQ(UF_initialize(), 0);
  char name[MAX_FSPEC_BUFSIZE];
  char refset[UF_OBJ_NAME_BUFSIZE];
  char instance[UF_CFI_MAX_FILE_NAME_BUFSIZE];
  double origin[3];
  double matrix[9];
  double transform[4][4];
  ASSERT_EQ(UF_ASSEM_ask_component_data(second, name, refset, instance, origin, matrix, transform),
            0);
  EXPECT_STREQ(name, "/a/missing.prt");
  ASSERT_EQ(UF_ASSEM_ask_component_data(first, name, refset, instance, origin, matrix, transform),
            0);
  EXPECT_STREQ(name, "/a/bolt.prt");
  EXPECT_EQ(UF_ASSEM_ask_component_data(asmTag, name, refset, instance, origin, matrix, transform),
            kErrorBadTag);
  UF_terminate();
}

TEST_F(PartModel, APartWithoutMembersHasNoRootComponent) {
  setDisplayedPart(addPart(PartDefinition{}));
  ASSERT_NE(displayed()->ComponentAssembly(), nullptr);
  EXPECT_EQ(displayed()->ComponentAssembly()->RootComponent(), nullptr);
}

TEST_F(PartModel, DrawingSheetsIterateInOrder) {
  PartDefinition definition;
  definition.drawingSheets = {"SHT1", "SHT2", "SHT3"};
  setDisplayedPart(addPart(definition));
  auto* part = dynamic_cast<NXOpen::Part*>(displayed());
  ASSERT_NE(part, nullptr);
  std::vector<std::string> names;
  for (NXOpen::Drawings::DrawingSheet* sheet : *part->DrawingSheets()) {
    names.push_back(text(sheet->Name()));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"SHT1", "SHT2", "SHT3"}));
}

TEST_F(PartModel, ModifiedStateAndApplicationModuleAreAnsweredThroughUf) {
  PartDefinition definition;
  definition.modified = true;
  const tag_t tag = addPart(definition);
  setApplicationModule(UF_APP_DRAFTING);
  ASSERT_EQ(UF_initialize(), 0);
  EXPECT_TRUE(UF_PART_is_modified(tag));
  setModified(tag, false);
  EXPECT_FALSE(UF_PART_is_modified(tag));
  int module = 0;
  EXPECT_EQ(UF_ask_application_module(&module), 0);
  EXPECT_EQ(module, UF_APP_DRAFTING);
  UF_terminate();
  EXPECT_TRUE(violations().empty());
}

TEST_F(PartModel, ControlCallsRefuseUnknownTags) {
  EXPECT_THROW(setDisplayedPart(4242), std::invalid_argument);
  EXPECT_THROW(addComponent(4242, NULL_TAG), std::invalid_argument);
  EXPECT_THROW(partState(4242), std::invalid_argument);
}

}  // namespace
}  // namespace nxsim
