// DynamicVantelBridge against the fixture library with every export: the process-wide load,
// the C arguments each export receives, and the ownership of the texts it returns.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "client/tests/support/FixtureControl.h"
#include "client/tests/support/TestPaths.h"

namespace vantel {
namespace {

using ::testing::ElementsAre;
using testing::FixtureControl;
using testing::fullFixturePath;
using ::testing::IsEmpty;

class BridgeLoadFullTest : public ::testing::Test {
 protected:
  void SetUp() override { fixture.reset(); }
  void TearDown() override { EXPECT_EQ(fixture.liveTexts(), 0) << "texts not given back"; }

  DynamicVantelBridge bridge{fullFixturePath()};
  FixtureControl fixture{fullFixturePath()};
};

std::string messageOf(const std::string& path) {
  try {
    DynamicVantelBridge other(path);
  } catch (const VantelException& e) {
    return e.what();
  }
  return "<constructed>";
}

TEST(BridgeLoad, ConstructorsOnSeveralThreadsShareOneLoad) {
  std::vector<std::string> paths(4);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    threads.emplace_back(
        [&paths, i] { paths[i] = DynamicVantelBridge(fullFixturePath()).libraryPath(); });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_THAT(paths, ::testing::Each(fullFixturePath()));
}

TEST_F(BridgeLoadFullTest, BridgesWithTheSamePathShareTheLibrary) {
  DynamicVantelBridge second(fullFixturePath());
  EXPECT_EQ(second.libraryPath(), fullFixturePath());
  bridge.closeLogFile();
  second.setLogLevel("info");
  EXPECT_THAT(fixture.journal(), ElementsAre("CloseLogFile()", "SetLogLevel(\"info\")"));
}

TEST_F(BridgeLoadFullTest, AnEmptyPathAcceptsTheLoadedLibrary) {
  DynamicVantelBridge reused("");
  EXPECT_EQ(reused.libraryPath(), fullFixturePath());
  reused.setDebugMode(true);
  EXPECT_THAT(fixture.journal(), ElementsAre("SetDebugMode(1)"));
}

TEST_F(BridgeLoadFullTest, ADifferentPathIsRefusedAndNamesBoth) {
  const std::string other = testing::noOptionalFixturePath();
  EXPECT_EQ(messageOf(other),
            "Torvane library already loaded from " + fullFixturePath() + ", cannot load " + other);
  // Paths are compared byte for byte: the same file spelled differently is still refused.
  const std::string respelled =
      (testing::executableDirectory() / "." / testing::fullFixtureFileName()).string();
  EXPECT_EQ(messageOf(respelled), "Torvane library already loaded from " + fullFixturePath() +
                                      ", cannot load " + respelled);
}

TEST_F(BridgeLoadFullTest, EveryOperationCallsItsExportWithItsArgumentsInOrder) {
  bridge.initialize("{\"debugMode\":true}");
  bridge.localAuthFlowAuthorize();
  bridge.localAuthFlowAuthorizeWithTimeout(-120);
  bridge.localAuthFlowComplete();
  bridge.localAuthFlowGenerateAccessToken("refresh");
  bridge.localAuthFlowLogout();
  bridge.getAllWorkspaces("tok", "filter");
  bridge.getWorkspace("tok", 42);
  bridge.getWorkspaceUser("tok", 42, "7");
  bridge.getCurrentUser("tok");
  bridge.getRootDirectory("tok", -3);
  bridge.getDirectory("tok", 42, "9");
  bridge.getSubDirectories("tok", 42, "10");
  bridge.findRevision("tok", "D", "A", "B", "C", 5, true, false, false, true);
  bridge.listSupportedFileTypes("tok");
  bridge.upload("tok", "{\"files\":[]}", true);
  bridge.startUpload("tok", "{}", false);
  bridge.getUploadStatus("job-1");
  bridge.cancelUpload("job-2");
  bridge.createDirectory("tok", 1, 9223372036854775807, "N\xc3\xa4me");
  bridge.setDebugMode(true);
  bridge.setUSRegion(false);
  bridge.setRegisterOnlyIfAllFilesUploaded(true);
  bridge.setUploadSource("brevin", "src", "Display");
  bridge.setExternalServer("{\"url\":\"https://synquo.example\"}");
  bridge.setLogFile("/tmp/torvane.log");
  bridge.setLogLevel("debug");
  bridge.closeLogFile();
  bridge.addServiceInfo("vantel", "1.0.2");
  EXPECT_THAT(
      fixture.journal(),
      ElementsAre("Initialize(\"{\"debugMode\":true}\")", "LocalAuthFlowAuthorize()",
                  "LocalAuthFlowAuthorizeWithTimeout(-120)", "LocalAuthFlowComplete()",
                  "LocalAuthFlowGenerateAccessToken(\"refresh\")", "LocalAuthFlowLogout()",
                  "GetAllWorkspaces(\"tok\", \"filter\")", "GetWorkspace(\"tok\", 42)",
                  "GetWorkspaceUser(\"tok\", 42, \"7\")", "GetCurrentUser(\"tok\")",
                  "GetRootDirectory(\"tok\", 18446744073709551613)",
                  "GetDirectory(\"tok\", 42, \"9\")", "GetSubDirectories(\"tok\", 42, \"10\")",
                  "FindRevision(\"tok\", \"D\", \"A\", \"B\", \"C\", 5, 1, 0, 0, 1)",
                  "ListSupportedFileTypes(\"tok\")", "Upload(\"tok\", \"{\"files\":[]}\", 1)",
                  "StartUpload(\"tok\", \"{}\", 0)", "GetUploadStatus(\"job-1\")",
                  "CancelUpload(\"job-2\")",
                  "CreateDirectory(\"tok\", 1, 9223372036854775807, \"N\xc3\xa4me\")",
                  "SetDebugMode(1)", "SetUSRegion(0)", "SetRegisterOnlyIfAllFilesUploaded(1)",
                  "SetUploadSource(\"brevin\", \"src\", \"Display\")",
                  "SetExternalServer(\"{\"url\":\"https://synquo.example\"}\")",
                  "SetLogFile(\"/tmp/torvane.log\")", "SetLogLevel(\"debug\")", "CloseLogFile()",
                  "AddServiceInfo(\"vantel\", \"1.0.2\")"));
}

TEST_F(BridgeLoadFullTest, TextsTravelAsPointerAndLengthWithoutATerminator) {
  bridge.setLogFile(std::string("a\0b", 3));
  bridge.setLogLevel("");
  const std::string path = "C:\\Users\\J\xf6rg\\torvane.log";  // any bytes pass unchanged
  bridge.setLogFile(path);
  EXPECT_THAT(fixture.journal(), ElementsAre(std::string("SetLogFile(\"a\0b\")", 17),
                                             "SetLogLevel(\"\")", "SetLogFile(\"" + path + "\")"));
}

TEST_F(BridgeLoadFullTest, BothReturnedTextsAreCopiedAndFreedResultFirst) {
  fixture.script("GetCurrentUser", "{\"id\":1}", "partial");
  const BridgeResponse response = bridge.getCurrentUser("tok");
  EXPECT_EQ(response.payload, "{\"id\":1}");
  EXPECT_EQ(response.error, "partial");
  EXPECT_THAT(fixture.journal(),
              ElementsAre("GetCurrentUser(\"tok\")", "FreeAllocatedString(\"{\"id\":1}\")",
                          "FreeAllocatedString(\"partial\")"));
}

TEST_F(BridgeLoadFullTest, NullTextsGiveEmptyStringsAndNothingToFree) {
  fixture.script("GetAllWorkspaces", std::nullopt, std::nullopt);
  const BridgeResponse response = bridge.getAllWorkspaces("tok", "");
  EXPECT_EQ(response.payload, "");
  EXPECT_EQ(response.error, "");
  EXPECT_THAT(fixture.journal(), ElementsAre("GetAllWorkspaces(\"tok\", \"\")"));
}

TEST_F(BridgeLoadFullTest, OnlyTheNonNullTextIsFreed) {
  fixture.script("Initialize", std::nullopt, "bad options");
  fixture.script("SetExternalServer", "", std::nullopt);
  const BridgeResponse failed = bridge.initialize("{");
  const BridgeResponse empty = bridge.setExternalServer("{}");
  EXPECT_EQ(failed.payload, "");
  EXPECT_EQ(failed.error, "bad options");
  EXPECT_EQ(empty.payload, "");
  EXPECT_EQ(empty.error, "");
  EXPECT_THAT(fixture.journal(),
              ElementsAre("Initialize(\"{\")", "FreeAllocatedString(\"bad options\")",
                          "SetExternalServer(\"{}\")", "FreeAllocatedString(\"\")"));
}

TEST_F(BridgeLoadFullTest, EveryAnsweringExportHandsItsTextsBack) {
  for (const char* name : {"Initialize",
                           "LocalAuthFlowAuthorize",
                           "LocalAuthFlowAuthorizeWithTimeout",
                           "LocalAuthFlowComplete",
                           "LocalAuthFlowGenerateAccessToken",
                           "LocalAuthFlowLogout",
                           "GetAllWorkspaces",
                           "GetWorkspace",
                           "GetWorkspaceUser",
                           "GetCurrentUser",
                           "GetRootDirectory",
                           "GetDirectory",
                           "GetSubDirectories",
                           "FindRevision",
                           "ListSupportedFileTypes",
                           "Upload",
                           "StartUpload",
                           "GetUploadStatus",
                           "CancelUpload",
                           "CreateDirectory",
                           "SetUploadSource",
                           "SetExternalServer"}) {
    fixture.script(name, std::string("payload of ") + name, std::string("error of ") + name);
  }
  std::vector<BridgeResponse> responses = {
      bridge.initialize(""),
      bridge.localAuthFlowAuthorize(),
      bridge.localAuthFlowAuthorizeWithTimeout(1),
      bridge.localAuthFlowComplete(),
      bridge.localAuthFlowGenerateAccessToken(""),
      bridge.localAuthFlowLogout(),
      bridge.getAllWorkspaces("", ""),
      bridge.getWorkspace("", 1),
      bridge.getWorkspaceUser("", 1, ""),
      bridge.getCurrentUser(""),
      bridge.getRootDirectory("", 1),
      bridge.getDirectory("", 1, ""),
      bridge.getSubDirectories("", 1, ""),
      bridge.findRevision("", "", "", "", "", 1, false, false, false, false),
      bridge.listSupportedFileTypes(""),
      bridge.upload("", "", false),
      bridge.startUpload("", "", false),
      bridge.getUploadStatus(""),
      bridge.cancelUpload(""),
      bridge.createDirectory("", 1, 2, ""),
      bridge.setUploadSource("", "", ""),
      bridge.setExternalServer(""),
  };
  const std::vector<std::string> journal = fixture.journal();
  ASSERT_EQ(journal.size(), responses.size() * 3);
  for (std::size_t i = 0; i < responses.size(); ++i) {
    const std::string name = journal[3 * i].substr(0, journal[3 * i].find('('));
    SCOPED_TRACE(name);
    EXPECT_EQ(responses[i].payload, "payload of " + name);
    EXPECT_EQ(responses[i].error, "error of " + name);
    EXPECT_EQ(journal[3 * i + 1], "FreeAllocatedString(\"payload of " + name + "\")");
    EXPECT_EQ(journal[3 * i + 2], "FreeAllocatedString(\"error of " + name + "\")");
  }
}

TEST_F(BridgeLoadFullTest, TheBridgeLeavesFailureDecisionsToItsCaller) {
  fixture.script("LocalAuthFlowLogout", std::nullopt, "revocation failed");
  EXPECT_NO_THROW(bridge.localAuthFlowLogout());
  EXPECT_THAT(fixture.journal(),
              ElementsAre("LocalAuthFlowLogout()", "FreeAllocatedString(\"revocation failed\")"));
  fixture.reset();
  EXPECT_THAT(fixture.journal(), IsEmpty());
}

}  // namespace
}  // namespace vantel
