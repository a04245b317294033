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

  // The type of every block the add-in relies on, read through FindBlock.
  void expectBlocks(bs::BlockDialog& dialog, const std::map<std::string, std::string>& blocks) {
    for (const auto& [id, type] : blocks) {
      bs::UIBlock* block = dialog.TopBlock()->FindBlock(id);
      ASSERT_NE(block, nullptr) << id;
      EXPECT_EQ(text(block->Type()), type) << id;
      EXPECT_EQ(text(block->Name()), id);
    }
  }

  std::vector<fs::path> shipped_;
  fs::path directory_;
};

TEST_F(DialogFile, ShippedStartDialogHasTheSignInButton) {
  auto dialog = create("start.dlx");
  ASSERT_NE(dialog, nullptr);
  bs::UIBlock* button = dialog->TopBlock()->FindBlock("signInButton");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(text(button->Type()), "Button");
}

TEST_F(DialogFile, ShippedMainDialogHasEveryBlockTheAddinUses) {
  auto dialog = create("synquoGui.dlx");
  ASSERT_NE(dialog, nullptr);
  expectBlocks(*dialog, {{"userGreeting", "Label"},
                         {"blankLabel1", "Label"},
                         {"group0", "Group"},
                         {"fileName", "Label"},
                         {"fileSize", "Label"},
                         {"lastModified", "Label"},
                         {"blankLabel2", "Label"},
                         {"selectWorkspaceLabel", "Label"},
                         {"workspaceList", "Enumeration"},
                         {"signOutButton", "Button"},
                         {"uploadButton", "Button"}});
  std::vector<std::string> labels = {"emailLabel",      "versionLabel",   "idWarning",
                                     "drwWarning",      "unsavedWarning", "unsupportedWarning",
                                     "identityWarning", "targetWarning"};
  for (int line = 1; line <= 21; ++line) labels.push_back("uploadFile" + std::to_string(line));
  for (const std::string& id : labels) {
    Properties list = properties(*dialog, id);
    ASSERT_NE(list, nullptr) << id;
    list->SetString("Label", "text");
  }
  for (const char* id :
       {"idWarningGroup", "drwWarningGroup", "unsavedWarningGroup", "unsupportedWarningGroup",
        "identityWarningGroup", "targetWarningGroup", "uploadFilesGroup"}) {
    Properties list = properties(*dialog, id);
    ASSERT_NE(list, nullptr) << id;
    EXPECT_FALSE(list->GetLogical("Show")) << id;
  }
  auto* list = dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("workspaceList"));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->GetEnumMembers().empty());
  EXPECT_EQ(text(list->ValueAsString()), "");
  EXPECT_NE(text(properties(*dialog, "fileSize")->GetString("Bitmap")), "");
}

TEST_F(DialogFile, ShippedProgressDialogHasEveryBlockTheAddinUses) {
  auto dialog = create("uploadProgress.dlx");
  ASSERT_NE(dialog, nullptr);
  expectBlocks(*dialog, {{"openInSynquoButton", "Button"}, {"uploadAnotherButton", "Button"}});
  for (const char* id : {"primaryStatus", "spinner"}) {
    properties(*dialog, id)->SetString("Bitmap", "synquo_upload_uploaded.bmp");
  }
  properties(*dialog, "actionGroup")->SetLogical("Show", true);
  Properties model = properties(*dialog, "modelWorkspaceLabel");
  model->SetString("Label", "a -> b");
  model->SetString("BalloonTooltipText", "");
  for (const char* id : {"sizeSecondaryLabel", "emailLabel", "versionLabel", "leftLabel1",
                         "rightLabel1", "leftLabel2", "rightLabel2", "leftLabel3", "rightLabel3"}) {
    ASSERT_NE(properties(*dialog, id), nullptr) << id;
    properties(*dialog, id)->SetString("Label", "   ");
  }
}

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
  write("second/mine.dlx", R"(<dialog><block id="b2" type="Button"/></dialog>)");
  setResourceDirectories({directory_ / "first", directory_ / "second"});
  auto dialog = create("mine.dlx");
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(dialog->TopBlock()->FindBlock("b2"), nullptr);
  write("mine.dlx", R"(<dialog><block id="b1" type="Button"/></dialog>)");
  setResourceDirectories({directory_, directory_ / "second"});
  EXPECT_NE(create("mine.dlx")->TopBlock()->FindBlock("b1"), nullptr);
}

TEST_F(DialogFile, UnknownBlockIdGivesNull) {
  auto dialog = create("start.dlx");
  EXPECT_EQ(dialog->TopBlock()->FindBlock("noSuchBlock"), nullptr);
  EXPECT_EQ(properties(*dialog, "noSuchBlock"), nullptr);
}

TEST_F(DialogFile, PropertiesOfEveryTypeAreReadFromTheFile) {
  write("all.dlx", R"(<?xml version="1.0"?>
<!-- every kind of property -->
<dialog title="All &amp; more">
  <block id="text" type="String"><property name="Value">caf&#xE9; &lt;1&gt;</property></block>
  <block id="flag" type="Toggle"><property name="Value" value="true"/></block>
  <block id="choice" type="Enumeration">
    <property name="EnumMembers"><member>One</member><member>Two</member></property>
    <property name="Value" value="1"/>
  </block>
  <block id="ratio" type="Label"><property name="Scale" type="double" value="2.5"/></block>
</dialog>)");
  setResourceDirectories({directory_});
  auto dialog = create("all.dlx");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(text(properties(*dialog, "text")->GetString("Value")), "caf\xC3\xA9 <1>");
  EXPECT_TRUE(properties(*dialog, "flag")->GetLogical("Value"));
  Properties choice = properties(*dialog, "choice");
  EXPECT_EQ(choice->GetEnum("Value"), 1);
  EXPECT_EQ(text(choice->GetEnumAsString("Value")), "Two");
  auto* list = dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("choice"));
  EXPECT_EQ(text(list->ValueAsString()), "Two");
  EXPECT_DOUBLE_EQ(properties(*dialog, "ratio")->GetDouble("Scale"), 2.5);
}

TEST_F(DialogFile, MalformedFilesRaiseAnNxErrorWithTheProblem) {
  setResourceDirectories({directory_});
  const std::map<std::string, std::string> broken = {
      {"unclosed.dlx", "<dialog><block id=\"a\" type=\"Button\">"},
      {"root.dlx", "<form/>"},
      {"type.dlx", "<dialog><block id=\"a\" type=\"Slider\"/></dialog>"},
      {"twice.dlx",
       "<dialog><block id=\"a\" type=\"Button\"/><block id=\"a\" type=\"Label\"/></dialog>"},
      {"logical.dlx",
       "<dialog><block id=\"a\" type=\"Button\"><property name=\"Show\" "
       "value=\"yes\"/></block></dialog>"},
      {"untyped.dlx",
       "<dialog><block id=\"a\" type=\"Button\"><property name=\"Odd\" "
       "value=\"1\"/></block></dialog>"},
      {"nested.dlx",
       "<dialog><block id=\"a\" type=\"Button\"><block id=\"b\" type=\"Label\"/></block></dialog>"},
      {"entity.dlx", "<dialog title=\"&bogus;\"/>"},
  };
  for (const auto& [name, content] : broken) {
    write(name, content);
    try {
      create(name);
      ADD_FAILURE() << name << " was accepted";
    } catch (const NXOpen::NXException& e) {
      EXPECT_EQ(e.ErrorCode(), kErrorBadFile) << name;
      EXPECT_EQ(std::string(e.what()).rfind("The dialog file " + name + " is not valid: line ", 0),
                0u)
          << e.what();
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
