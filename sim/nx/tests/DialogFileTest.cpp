#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "sim/nx/NxSim.h"

namespace nxsim {
namespace {

namespace fs = std::filesystem;
namespace bs = host::BlockStyler;

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
    return host::nx().GetUI()->CreateDialog(name);
  }

  // The type of every block the add-in relies on, read through FindBlock.
  void expectBlocks(bs::BlockDialog& dialog, const std::map<std::string, std::string>& blocks) {
    for (const auto& [id, type] : blocks) {
      bs::UIBlock* block = dialog.TopBlock()->FindBlock(id);
      ASSERT_NE(block, nullptr) << id;
      EXPECT_EQ(block->Type(), type) << id;
      EXPECT_EQ(block->Name(), id);
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
  EXPECT_NE(dynamic_cast<bs::Button*>(button), nullptr);
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
    auto properties = dialog->GetBlockProperties(id);
    ASSERT_NE(properties, nullptr) << id;
    properties->SetString("Label", "text");
  }
  for (const char* id :
       {"idWarningGroup", "drwWarningGroup", "unsavedWarningGroup", "unsupportedWarningGroup",
        "identityWarningGroup", "targetWarningGroup", "uploadFilesGroup"}) {
    auto properties = dialog->GetBlockProperties(id);
    ASSERT_NE(properties, nullptr) << id;
    EXPECT_FALSE(properties->GetLogical("Show")) << id;
  }
  auto* list = dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("workspaceList"));
  ASSERT_NE(list, nullptr);
  EXPECT_TRUE(list->GetEnumMembers().empty());
  EXPECT_EQ(list->ValueAsString(), "");
  EXPECT_NE(dialog->GetBlockProperties("fileSize")->GetString("Bitmap"), "");
}

TEST_F(DialogFile, ShippedProgressDialogHasEveryBlockTheAddinUses) {
  auto dialog = create("uploadProgress.dlx");
  ASSERT_NE(dialog, nullptr);
  expectBlocks(*dialog, {{"openInSynquoButton", "Button"}, {"uploadAnotherButton", "Button"}});
  for (const char* id : {"primaryStatus", "spinner"}) {
    dialog->GetBlockProperties(id)->SetString("Bitmap", "synquo_upload_uploaded.bmp");
  }
  dialog->GetBlockProperties("actionGroup")->SetLogical("Show", true);
  auto model = dialog->GetBlockProperties("modelWorkspaceLabel");
  model->SetString("Label", "a -> b");
  model->SetString("BalloonTooltipText", "");
  for (const char* id : {"sizeSecondaryLabel", "emailLabel", "versionLabel", "leftLabel1",
                         "rightLabel1", "leftLabel2", "rightLabel2", "leftLabel3", "rightLabel3"}) {
    ASSERT_NE(dialog->GetBlockProperties(id), nullptr) << id;
    dialog->GetBlockProperties(id)->SetString("Label", "   ");
  }
}

TEST_F(DialogFile, MissingFileRaisesAnNxErrorNamingIt) {
  setResourceDirectories({directory_});
  try {
    create("start.dlx");
    FAIL() << "a missing dialog file was loaded";
  } catch (const host::NxException& e) {
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
  EXPECT_EQ(dialog->GetBlockProperties("noSuchBlock"), nullptr);
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
  auto* text = dynamic_cast<bs::StringBlock*>(dialog->TopBlock()->FindBlock("text"));
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->Value(), "caf\xC3\xA9 <1>");
  auto* flag = dynamic_cast<bs::Toggle*>(dialog->TopBlock()->FindBlock("flag"));
  ASSERT_NE(flag, nullptr);
  EXPECT_TRUE(flag->Value());
  auto choice = dialog->GetBlockProperties("choice");
  EXPECT_EQ(choice->GetInteger("Value"), 1);
  EXPECT_EQ(choice->GetString("Value"), "1");
  auto* list = dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("choice"));
  EXPECT_EQ(list->ValueAsString(), "Two");
  EXPECT_DOUBLE_EQ(dialog->GetBlockProperties("ratio")->GetDouble("Scale"), 2.5);
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
    } catch (const host::NxException& e) {
      EXPECT_EQ(e.ErrorCode(), kErrorBadFile) << name;
      EXPECT_EQ(std::string(e.what()).rfind("The dialog file " + name + " is not valid: line ", 0),
                0u)
          << e.what();
    }
  }
}

TEST_F(DialogFile, PropertyListRefusesUnknownNamesAndWrongTypes) {
  auto dialog = create("synquoGui.dlx");
  auto label = dialog->GetBlockProperties("fileName");
  EXPECT_THROW(label->GetString("Nope"), host::NxException);
  EXPECT_THROW(label->SetLogical("Label", true), host::NxException);
  EXPECT_EQ(label->GetString("Show"), "true");
  auto list = dialog->GetBlockProperties("workspaceList");
  EXPECT_THROW(list->SetInteger("Value", 0), host::NxException);  // no members yet
  list->SetEnumMembers("EnumMembers", {"Alpha", "Beta"});
  EXPECT_EQ(list->GetInteger("Value"), 0);
  list->SetInteger("Value", 1);
  EXPECT_EQ(dynamic_cast<bs::Enumeration*>(dialog->TopBlock()->FindBlock("workspaceList"))
                ->ValueAsString(),
            "Beta");
  list->SetEnumMembers("EnumMembers", {});
  EXPECT_EQ(list->GetInteger("Value"), -1);
}

}  // namespace
}  // namespace nxsim
