#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/BlockStyler_CompositeBlock.hxx>
#include <NXOpen/BlockStyler_Enumeration.hxx>
#include <NXOpen/BlockStyler_PropertyList.hxx>
#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/NXException.hxx>
#include <NXOpen/UI.hxx>

#include "sim/nx/NxSim.h"
#include "sim/nx/tests/NxText.h"

namespace nxsim {
namespace {

namespace fs = std::filesystem;
namespace bs = NXOpen::BlockStyler;
using Properties = std::unique_ptr<bs::PropertyList>;

// One Block UI Styler item of the class with its BlockID and further Property elements.
std::string item(const std::string& uiClass, const std::string& id, const std::string& more = "") {
  return "<item id=\"" + id + "\" class=\"" + uiClass +
         "\"><PropertyList><Property sname=\"BlockID\" type=\"string\" value=\"" + id + "\"/>" +
         more + "</PropertyList></item>";
}

std::string dialogOf(const std::string& items) { return "<Dialog>" + items + "</Dialog>"; }

class DialogFile : public ::testing::Test {
 protected:
  void SetUp() override {
    reset();
    shipped_ = resourceDirectories();
    directory_ =
        fs::temp_directory_path() / ("nxsim-dlx-" + std::to_string(std::random_device{}()));
    fs::create_directories(directory_);
  }
  void TearDown() override {
    setResourceDirectories(shipped_);
    std::error_code ignored;
    fs::remove_all(directory_, ignored);
    reset();
  }

  void write(const std::string& name, const std::string& content) {
    std::ofstream(directory_ / name, std::ios::binary) << content;
  }

  std::unique_ptr<bs::BlockDialog> create(const std::string& name) {
    return std::unique_ptr<bs::BlockDialog>(NXOpen::UI::GetUI()->CreateDialog(name));
  }

  static Properties properties(bs::BlockDialog& dialog, const std::string& id) {
    return Properties(dialog.GetBlockProperties(id));
  }

  std::vector<fs::path> shipped_;
  fs::path directory_;
};

TEST_F(DialogFile, MissingFileRaisesAnNxErrorNamingIt) {
  setResourceDirectories({directory_});
  try {
    create("start.dlx");
    FAIL() << "a missing dialog file was loaded";
  } catch (const NXOpen::NXException& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorFileNotFound);
    EXPECT_STREQ(e.what(), "Unable to find the dialog file start.dlx");
  }
}

TEST_F(DialogFile, DirectoriesAreSearchedInOrder) {
  fs::create_directories(directory_ / "second");
  write("second/mine.dlx", dialogOf(item("UICOMP_button", "b2")));
  setResourceDirectories({directory_ / "first", directory_ / "second"});
  auto dialog = create("mine.dlx");
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(dialog->TopBlock()->FindBlock("b2"), nullptr);
  write("mine.dlx", dialogOf(item("UICOMP_button", "b1")));
  setResourceDirectories({directory_, directory_ / "second"});
  EXPECT_NE(create("mine.dlx")->TopBlock()->FindBlock("b1"), nullptr);
}

TEST_F(DialogFile, UnknownBlockIdGivesNull) {
  auto dialog = create("start.dlx");
  EXPECT_EQ(dialog->TopBlock()->FindBlock("noSuchBlock"), nullptr);
  EXPECT_EQ(properties(*dialog, "noSuchBlock"), nullptr);
}

TEST_F(DialogFile, BlocksAndPropertiesAreReadAsBlockUiStylerSavesThem) {
  write("all.dlx", R"(<?xml version="1.0" encoding="UTF-8"?>
<!-- every kind of property, a group holding a block, and what is read past -->
<Dialog NX="12.0.2" id="Dialog" name="Dialog" type="uicomp" ContainerItems="1">
  <item id="outer" class="UGS::UICOMP_group" ContainerItems="1"><PropertyList id="id" mode="0">
    <Property id="Members" type="array" sname="Members" dynamic="1">
      <PropertyList id="ContainerItems" mode="1"><Property id="text" type="uicomp" class="UICOMP_string">
        <item id="text" class="UICOMP_string"><PropertyList>
          <Property id="API Name" type="string" sname="BlockID" value="text"/>
          <Property id="Value" type="string" sname="Value" value="caf&#xE9; &lt;1&gt;"/>
        </PropertyList></item>
      </Property></PropertyList>
    </Property>
    <Property id="API Name" type="string" sname="BlockID" value="outer"/>
    <Property id="Visibility" type="logical" sname="Show" value="False"/>
    <Property id="Top" type="attachment" sname="Top" loc="1" offset="0" target="Default"/>
  </PropertyList></item>
  <item id="flag" class="UICOMP_toggle"><PropertyList>
    <Property sname="BlockID" type="string" value="flag"/>
    <Property sname="Value" type="logical" value="True"/>
  </PropertyList></item>
  <item id="choice" class="UICOMP_enum"><PropertyList>
    <Property sname="BlockID" type="string" value="choice"/>
    <Property sname="Items" type="utfstrings"><Strings value="One"/><Strings value="Two"/></Property>
    <Property sname="Value" type="enum" dynamic="1" selected="1">
      <Option name="One" value="0"/><Option name="Two" value="1"/>
    </Property>
  </PropertyList></item>
  <item id="ratio" class="UICOMP_label"><PropertyList>
    <Property sname="BlockID" type="string" value="ratio"/>
    <Property sname="Scale" type="double" value="2.5"/>
    <Property sname="Width" type="integer" value="-3"/>
  </PropertyList></item>
  <PropertyList id="id" mode="0"><Property sname="Label" type="utfstring" value="All &amp; more"/>
  </PropertyList>
  <AutoGenData><PropertyList/></AutoGenData>
</Dialog>)");
  setResourceDirectories({directory_});
  auto dialog = create("all.dlx");
  ASSERT_NE(dialog, nullptr);
  Properties text = properties(*dialog, "text");
  EXPECT_EQ(text->GetPropertyType("Value"), bs::PropertyList::PropertyTypeString);
  EXPECT_EQ(nxsim::text(text->GetString("Value")), "caf\xC3\xA9 <1>");
  EXPECT_EQ(nxsim::text(dialog->TopBlock()->FindBlock("outer")->Type()), "Group");
  EXPECT_FALSE(properties(*dialog, "outer")->GetLogical("Show"));
  EXPECT_TRUE(properties(*dialog, "flag")->GetLogical("Value"));
  Properties choice = properties(*dialog, "choice");
  EXPECT_EQ(choice->GetEnum("Value"), 1);
  EXPECT_EQ(nxsim::text(choice->GetEnumAsString("Value")), "Two");
  EXPECT_EQ(texts(choice->GetStrings("Items")), (std::vector<std::string>{"One", "Two"}));
  auto* list = dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("choice"));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(texts(list->GetEnumMembers()), (std::vector<std::string>{"One", "Two"}));
  EXPECT_EQ(nxsim::text(list->ValueAsString()), "Two");
  EXPECT_DOUBLE_EQ(properties(*dialog, "ratio")->GetDouble("Scale"), 2.5);
  EXPECT_EQ(properties(*dialog, "ratio")->GetInteger("Width"), -3);
}

TEST_F(DialogFile, TodaysOwnFormatIsRefused) {
  write("old.dlx", R"(<?xml version="1.0" encoding="UTF-8"?>
<dialog title="Synquo">
  <block id="signInButton" type="Button"/>
</dialog>)");
  setResourceDirectories({directory_});
  try {
    create("old.dlx");
    FAIL() << "a file of the retired format was loaded";
  } catch (const NXOpen::NXException& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorBadFile);
    EXPECT_STREQ(e.what(),
                 "The dialog file old.dlx is not valid: line 2: not a Block UI Styler file: the "
                 "root element is dialog, not Dialog");
  }
}

TEST_F(DialogFile, MalformedFilesAreRefusedWithTheLineAndTheReason) {
  setResourceDirectories({directory_});
  const std::string show = R"(<Property sname="Show" type="logical" value="yes"/>)";
  const std::map<std::string, std::pair<std::string, std::string>> broken = {
      {"unclosed.dlx",
       {"<Dialog><item class=\"UICOMP_button\">", "line 1: element item is not closed"}},
      {"root.dlx", {"<form/>", "line 1: the root element must be Dialog"}},
      {"class.dlx",
       {dialogOf(item("UICOMP_slider", "a")), "line 1: unknown block class UICOMP_slider"}},
      {"noclass.dlx", {"<Dialog>\n<item id=\"a\"/></Dialog>", "line 2: item without a class"}},
      {"nolist.dlx",
       {"<Dialog><item class=\"UICOMP_label\"/></Dialog>", "line 1: item without a PropertyList"}},
      {"noid.dlx",
       {"<Dialog><item class=\"UICOMP_label\"><PropertyList/></item></Dialog>",
        "line 1: item without a BlockID"}},
      {"mismatch.dlx",
       {"<Dialog><item id=\"b\" class=\"UICOMP_label\"><PropertyList><Property sname=\"BlockID\" "
        "type=\"string\" value=\"a\"/></PropertyList></item></Dialog>",
        "line 1: item b has the BlockID a"}},
      {"twice.dlx",
       {dialogOf(item("UICOMP_button", "a") + "\n" + item("UICOMP_label", "a")),
        "line 2: block id a used twice"}},
      {"logical.dlx",
       {dialogOf("\n" + item("UICOMP_button", "a", "\n" + show)),
        "line 3: logical Show must be True or False"}},
      {"retyped.dlx",
       {dialogOf(item("UICOMP_label", "a", R"(<Property sname="Show" type="string" value="x"/>)")),
        "line 1: property Show is logical, not string"}},
      {"nosname.dlx",
       {dialogOf(item("UICOMP_label", "a", R"(<Property type="string"/>)")),
        "line 1: property without an sname"}},
      {"ptype.dlx",
       {dialogOf(item("UICOMP_label", "a", R"(<Property sname="Odd" type="colour"/>)")),
        "line 1: unknown property type colour"}},
      {"members.dlx",
       {dialogOf(item("UICOMP_button", "a", R"(<Property sname="Members" type="array"/>)")),
        "line 1: only a group holds blocks"}},
      {"entity.dlx", {"<Dialog title=\"&bogus;\"/>", "line 1: unknown entity &bogus;"}},
  };
  for (const auto& [name, file] : broken) {
    write(name, file.first);
    try {
      create(name);
      ADD_FAILURE() << name << " was accepted";
    } catch (const NXOpen::NXException& e) {
      EXPECT_EQ(e.ErrorCode(), kErrorBadFile) << name;
      EXPECT_EQ(e.what(), "The dialog file " + name + " is not valid: " + file.second);
    }
  }
}

TEST_F(DialogFile, PropertyListRefusesUnknownNamesAndWrongTypes) {
  auto dialog = create("synquoGui.dlx");
  Properties label = properties(*dialog, "fileName");
  EXPECT_THROW(label->GetString("Nope"), NXOpen::NXException);
  EXPECT_THROW(label->SetLogical("Label", true), NXOpen::NXException);
  Properties list = properties(*dialog, "workspaceList");
  EXPECT_THROW(list->SetEnum("Value", 0), NXOpen::NXException);  // no members yet
  std::vector<NXOpen::NXString> members{"Alpha", "Beta"};
  list->SetEnumMembers("EnumMembers", members);
  EXPECT_EQ(list->GetEnum("Value"), 0);
  list->SetEnum("Value", 1);
  EXPECT_EQ(text(dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("workspaceList"))
                     ->ValueAsString()),
            "Beta");
  std::vector<NXOpen::NXString> none;
  list->SetEnumMembers("EnumMembers", none);
  EXPECT_EQ(list->GetEnum("Value"), -1);
}

// Every property has one type; its own accessor reads it and every other one raises.
TEST_F(DialogFile, EachPropertyIsReadOnlyByTheAccessorOfItsType) {
  using Type = bs::PropertyList::PropertyType;
  auto dialog = create("synquoGui.dlx");
  std::vector<NXOpen::NXString> alpha{"Alpha"};
  properties(*dialog, "workspaceList")->SetEnumMembers("EnumMembers", alpha);
  struct Row {
    const char* block;
    const char* property;
    Type type;
  };
  const Row rows[] = {
      {"fileName", "Label", bs::PropertyList::PropertyTypeString},
      {"fileName", "Show", bs::PropertyList::PropertyTypeLogical},
      {"workspaceList", "Value", bs::PropertyList::PropertyTypeEnum},
      {"workspaceList", "EnumMembers", bs::PropertyList::PropertyTypeStrings},
  };
  for (const Row& row : rows) {
    Properties list = properties(*dialog, row.block);
    const NXOpen::NXString name(row.property);
    EXPECT_EQ(list->GetPropertyType(name), row.type) << row.property;
    const auto raises = [&](Type type, auto read) {
      if (type == row.type) {
        EXPECT_NO_THROW(read()) << row.property;
      } else {
        EXPECT_THROW(read(), NXOpen::NXException) << row.property;
      }
    };
    raises(bs::PropertyList::PropertyTypeString, [&] { list->GetString(name); });
    raises(bs::PropertyList::PropertyTypeLogical, [&] { list->GetLogical(name); });
    raises(bs::PropertyList::PropertyTypeInteger, [&] { list->GetInteger(name); });
    raises(bs::PropertyList::PropertyTypeDouble, [&] { list->GetDouble(name); });
    raises(bs::PropertyList::PropertyTypeEnum, [&] { list->GetEnum(name); });
    raises(bs::PropertyList::PropertyTypeEnum, [&] { list->GetEnumAsString(name); });
    raises(bs::PropertyList::PropertyTypeStrings, [&] { list->GetStrings(name); });
  }
  Properties list = properties(*dialog, "workspaceList");
  EXPECT_EQ(text(list->GetEnumAsString("Value")), "Alpha");
  EXPECT_EQ(texts(list->GetEnumMembers("EnumMembers")), std::vector<std::string>{"Alpha"});
}

}  // namespace
}  // namespace nxsim
