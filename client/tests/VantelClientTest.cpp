// VantelClient's call pattern: service-info registration, debug texts, failure names,
// partial successes, the not-found rule and the arguments each operation hands the bridge.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "client/tests/support/RecordingBridge.h"
#include "client/tests/support/RecordingLogger.h"

namespace vantel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::RecordingBridge;
using testing::RecordingLogger;

const char* const kServiceEntry = "AddServiceInfo(\"vantel\", \"1.0.2\")";
const char* const kNotFoundError =
    "GET /revisions: received non-200 status code: 404: The revision or asset you requested "
    "does not exist or you do not have permission to access it.";
const char* const kStatusJson =
    R"({"job_id":"job-7","status":"cancelled","created_at":"c","updated_at":"u",)"
    R"("progress":{"input_files_total":1,"workspaces_total":1,"files_total":1,)"
    R"("files_uploading":0,"files_uploaded":0,"files_failed":0,"files_remaining":1,)"
    R"("bytes_total":10,"bytes_uploaded":0},"registration":{"pending":0,"registering":0,)"
    R"("registered":0,"failed":0,"skipped":0},"cancellation":{"requested":true,)"
    R"("can_cancel":false}})";

class VantelClientTest : public ::testing::Test {
 protected:
  std::shared_ptr<RecordingBridge> bridge = std::make_shared<RecordingBridge>();
  std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
  VantelClient client{bridge, logger};

  std::string failureOf(const std::function<void()>& operation) {
    try {
      operation();
    } catch (const VantelException& e) {
      return e.what();
    }
    return "<no VantelException>";
  }
};

TEST(VantelClientConstruction, RequiresABridge) {
  try {
    VantelClient client(nullptr, std::make_shared<RecordingLogger>());
    FAIL() << "constructed without a bridge";
  } catch (const VantelException& e) {
    EXPECT_STREQ(e.what(), "VantelClient requires a bridge instance");
  }
}

TEST(VantelClientConstruction, LogsItsVersionAndSendsNothing) {
  auto bridge = std::make_shared<RecordingBridge>();
  auto logger = std::make_shared<RecordingLogger>();
  VantelClient client(bridge, logger);
  EXPECT_THAT(logger->lines(),
              ElementsAre("DEBUG [vantel] VantelClient initialized (vantel 1.0.2)"));
  EXPECT_THAT(bridge->calls(), IsEmpty());
  EXPECT_EQ(versionString(), "1.0.2");
}

TEST(VantelClientConstruction, WorksWithoutALogger) {
  auto bridge = std::make_shared<RecordingBridge>();
  VantelClient client(bridge, nullptr);
  bridge->script("GetAllWorkspaces", "", "boom");
  try {
    client.listWorkspaces("token", "");
    FAIL() << "no exception";
  } catch (const VantelException& e) {
    EXPECT_STREQ(e.what(), "GetAllWorkspaces failed: boom");
  }
}

TEST(VantelExceptionType, IsACopyableStandardException) {
  const VantelException original("text é");
  VantelException copy = original;
  const std::exception& asStandard = copy;
  EXPECT_STREQ(asStandard.what(), "text é");
  copy = VantelException("other");
  EXPECT_STREQ(copy.what(), "other");
  EXPECT_STREQ(original.what(), "text é");
}

TEST(VantelClientThreads, ConcurrentFirstCallsSendTheServiceEntryOnceAndAfterIt) {
  class CountingBridge : public RecordingBridge {
   public:
    std::atomic<int> entries{0};
    std::atomic<int> callsBeforeEntry{0};
    std::atomic<int> calls{0};
    void addServiceInfo(const std::string&, const std::string&) override {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      ++entries;
    }
    BridgeResponse listSupportedFileTypes(const std::string&) override {
      if (entries.load() == 0) ++callsBeforeEntry;
      ++calls;
      return BridgeResponse{};
    }
  };
  auto bridge = std::make_shared<CountingBridge>();
  const VantelClient client(bridge, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&client] { client.listSupportedFileTypes("t"); });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(bridge->entries.load(), 1);
  EXPECT_EQ(bridge->calls.load(), 8);
  EXPECT_EQ(bridge->callsBeforeEntry.load(), 0);
}

TEST_F(VantelClientTest, SendsItsOwnServiceEntryOnceBeforeTheFirstOperation) {
  client.listSupportedFileTypes("token");
  client.listSupportedFileTypes("token");
  client.closeLogFile();
  EXPECT_THAT(bridge->calls(), ElementsAre(kServiceEntry, "ListSupportedFileTypes(\"token\")",
                                           "ListSupportedFileTypes(\"token\")", "CloseLogFile()"));
}

TEST_F(VantelClientTest, InitializeSendsTheServiceEntryOnlyAfterSuccess) {
  bridge->script("Initialize", "", "bad options");
  EXPECT_EQ(failureOf([&] { client.initialize("{}"); }), "Initialize failed: bad options");
  EXPECT_THAT(bridge->calls(), ElementsAre("Initialize(\"{}\")"));

  bridge->script("Initialize", "ok", "");
  client.initialize("{\"a\":1}");
  client.setDebugMode(true);
  EXPECT_THAT(bridge->calls(), ElementsAre("Initialize(\"{}\")", "Initialize(\"{\"a\":1}\")",
                                           kServiceEntry, "SetDebugMode(1)"));
}

TEST_F(VantelClientTest, TypedInitializeSendsCompactSortedJson) {
  VantelInitializeOptions options;
  options.usRegion = false;
  options.logFile = "C:/logs/t\xc3\xb6rvane.log";
  options.serviceInfo = {{"brevin", "2.0"}};
  client.initialize(options);
  EXPECT_THAT(bridge->calls(),
              ElementsAre("Initialize(\"{\"logFile\":\"C:/logs/t\xc3\xb6rvane.log\","
                          "\"serviceInfo\":{\"brevin\":\"2.0\"},\"usRegion\":false}\")",
                          kServiceEntry));
  EXPECT_THAT(logger->at("DEBUG"), ElementsAre("[vantel] VantelClient initialized (vantel 1.0.2)",
                                               "[vantel] Calling Initialize with typed options",
                                               "[vantel] Calling Initialize"));
}

TEST_F(VantelClientTest, AddServiceInfoSkipsIncompleteEntriesAndNeverReplacesItsOwn) {
  client.addServiceInfo({{"vantel", "9.9"}, {"", "1"}, {"nx", ""}, {"brevin", "3.1"}});
  EXPECT_THAT(bridge->calls(), ElementsAre(kServiceEntry, "AddServiceInfo(\"brevin\", \"3.1\")"));
  client.addServiceInfo({{"zeta", "1"}, {"alpha", "2"}});
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry, "AddServiceInfo(\"brevin\", \"3.1\")",
                          "AddServiceInfo(\"alpha\", \"2\")", "AddServiceInfo(\"zeta\", \"1\")"));
}

TEST_F(VantelClientTest, AnErrorTextBecomesTheFailureNameAndIsLoggedWithTheTag) {
  struct Case {
    const char* exportName;
    std::function<void()> operation;
    const char* failureName;
    const char* debugText;
  };
  const std::vector<Case> cases = {
      {"LocalAuthFlowAuthorize", [&] { client.localAuthFlowAuthorize(); },
       "LocalAuthFlowAuthorize failed", "Calling LocalAuthFlowAuthorize"},
      {"LocalAuthFlowAuthorizeWithTimeout", [&] { client.localAuthFlowAuthorizeWithTimeout(5); },
       "LocalAuthFlowAuthorizeWithTimeout failed", "Calling LocalAuthFlowAuthorizeWithTimeout"},
      {"LocalAuthFlowComplete", [&] { client.localAuthFlowComplete(); },
       "LocalAuthFlowComplete failed", "Calling LocalAuthFlowComplete"},
      {"LocalAuthFlowGenerateAccessToken", [&] { client.localAuthFlowGenerateAccessToken("r"); },
       "LocalAuthFlowGenerateAccessToken failed", "Calling LocalAuthFlowGenerateAccessToken"},
      {"LocalAuthFlowLogout", [&] { client.localAuthFlowLogout(); }, "LocalAuthFlowLogout failed",
       "Calling LocalAuthFlowLogout"},
      {"GetAllWorkspaces", [&] { client.listWorkspaces("t", ""); }, "GetAllWorkspaces failed",
       "Calling GetAllWorkspaces"},
      {"GetWorkspace", [&] { client.getWorkspace("t", 1); }, "GetWorkspace failed",
       "Calling GetWorkspace"},
      {"GetWorkspaceUser", [&] { client.getWorkspaceUser("t", 1, 2); }, "GetWorkspaceUser failed",
       "Calling GetWorkspaceUser"},
      {"GetCurrentUser", [&] { client.getCurrentUser("t"); }, "GetCurrentUser failed",
       "Calling GetCurrentUser"},
      {"GetRootDirectory", [&] { client.getRootDirectory("t", 1); }, "GetRootDirectory failed",
       "Calling GetRootDirectory"},
      {"GetDirectory", [&] { client.getDirectory("t", 1, 2); }, "GetDirectory failed",
       "Calling GetDirectory"},
      {"GetSubDirectories", [&] { client.listSubDirectories("t", 1, 2); },
       "GetSubDirectories failed", "Calling GetSubDirectories"},
      {"CreateDirectory", [&] { client.createDirectory("t", 1, 2, "n"); }, "CreateDirectory failed",
       "Calling CreateDirectory"},
      {"FindRevision", [&] { client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0); },
       "FindRevision failed", "Calling FindRevision"},
      {"ListSupportedFileTypes", [&] { client.listSupportedFileTypes("t"); },
       "ListSupportedFileTypes failed", "Calling ListSupportedFileTypes"},
      {"StartUpload", [&] { client.startUpload("t", VantelUploadPayload{}, false); },
       "StartUpload failed", "Calling StartUpload"},
      {"GetUploadStatus", [&] { client.getUploadStatus("job-1"); }, "GetUploadStatus failed",
       "Calling GetUploadStatus for upload job: job-1"},
      {"CancelUpload", [&] { client.cancelUpload("job-2"); }, "CancelUpload failed",
       "Calling CancelUpload for upload job: job-2"},
      {"SetUploadSource", [&] { client.setUploadSource(VantelUploadSource{}); },
       "SetUploadSource failed", "Setting upload source: brevin"},
      {"SetUploadSource", [&] { client.clearUploadSource(); }, "SetUploadSource failed",
       "Clearing upload source"},
      {"SetExternalServer", [&] { client.setExternalServer("{}"); }, "SetExternalServer failed",
       "Setting external server configuration"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failureName);
    bridge->script(c.exportName, "", "torvane said no");
    const std::size_t before = logger->lines().size();
    EXPECT_EQ(failureOf(c.operation), std::string(c.failureName) + ": torvane said no");
    const std::vector<std::string> added(logger->lines().begin() + static_cast<long>(before),
                                         logger->lines().end());
    EXPECT_THAT(added,
                ElementsAre(std::string("DEBUG [vantel] ") + c.debugText,
                            std::string("ERROR [vantel] ") + c.failureName + ": torvane said no"));
  }
}

TEST_F(VantelClientTest, ConfigurationCallsLogWhatTheySet) {
  client.setDebugMode(false);
  client.setUSRegion(true);
  client.setRegisterOnlyIfAllFilesUploaded(true);
  client.setLogFile("/tmp/t.log");
  client.setLogLevel("debug");
  client.closeLogFile();
  client.setExternalServer("{\"url\":\"https://synquo.example\"}");
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry, "SetDebugMode(0)", "SetUSRegion(1)",
                          "SetRegisterOnlyIfAllFilesUploaded(1)", "SetLogFile(\"/tmp/t.log\")",
                          "SetLogLevel(\"debug\")", "CloseLogFile()",
                          "SetExternalServer(\"{\"url\":\"https://synquo.example\"}\")"));
  EXPECT_THAT(
      logger->at("DEBUG"),
      ElementsAre("[vantel] VantelClient initialized (vantel 1.0.2)",
                  "[vantel] Setting debug mode: false", "[vantel] Setting US region: true",
                  "[vantel] Setting registerOnlyIfAllFilesUploaded: true",
                  "[vantel] Setting torvane log file: /tmp/t.log",
                  "[vantel] Setting torvane log level: debug", "[vantel] Closing torvane log file",
                  "[vantel] Setting external server configuration"));
}

TEST_F(VantelClientTest, UploadSourceIsSentByIdentifierAndClearedWithEmptyTexts) {
  client.setUploadSource(VantelUploadSource{VantelUploadSourceType::Brevin, "id-1", "NX add-in"});
  client.clearUploadSource();
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry, "SetUploadSource(\"brevin\", \"id-1\", \"NX add-in\")",
                          "SetUploadSource(\"\", \"\", \"\")"));
}

TEST_F(VantelClientTest, AnUnknownUploadSourceIsRefusedBeforeAnythingIsLoggedOrSent) {
  const std::size_t before = logger->lines().size();
  VantelUploadSource source;
  source.sourceType = static_cast<VantelUploadSourceType>(13);
  try {
    client.setUploadSource(source);
    FAIL() << "accepted value 13";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "unknown upload source enum value");
  }
  EXPECT_THAT(bridge->calls(), IsEmpty());
  EXPECT_EQ(logger->lines().size(), before);
}

TEST_F(VantelClientTest, FindRevisionHandsTheFourthTextFirst) {
  bridge->script("FindRevision", R"([{"asset_id":1},{"asset_id":2}])");
  const auto revisions =
      client.findRevision("tok", 42, "A", "B", "C", "D", true, false, true, false);
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry,
                          "FindRevision(\"tok\", \"D\", \"A\", \"B\", \"C\", 42, 1, 0, 1, 0)"));
  ASSERT_EQ(revisions.size(), 2u);
  EXPECT_EQ(revisions[1].assetId, 2);
}

TEST_F(VantelClientTest, FindRevisionTreatsTheNotFoundAnswerAsNoRevision) {
  bridge->script("FindRevision", "", kNotFoundError);
  EXPECT_THAT(client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0), IsEmpty());
  EXPECT_THAT(logger->at("ERROR"), IsEmpty());
}

TEST_F(VantelClientTest, FindRevisionNeedsBothPartsOfTheNotFoundAnswer) {
  const std::string statusOnly = "GET /revisions: received non-200 status code: 404";
  bridge->script("FindRevision", "", statusOnly);
  EXPECT_EQ(failureOf([&] { client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0); }),
            "FindRevision failed: " + statusOnly);

  const std::string sentenceOnly =
      "received non-200 status code: 403: The revision or asset you requested does not exist "
      "or you do not have permission to access it.";
  bridge->script("FindRevision", "", sentenceOnly);
  EXPECT_EQ(failureOf([&] { client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0); }),
            "FindRevision failed: " + sentenceOnly);

  const std::string otherCase =
      "RECEIVED NON-200 STATUS CODE: 404: The revision or asset you requested does not exist "
      "or you do not have permission to access it.";
  bridge->script("FindRevision", "", otherCase);
  EXPECT_EQ(failureOf([&] { client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0); }),
            "FindRevision failed: " + otherCase);
}

TEST_F(VantelClientTest, EmptyListPayloadsGiveEmptyLists) {
  EXPECT_THAT(client.listWorkspaces("t", ""), IsEmpty());
  EXPECT_THAT(client.listSubDirectories("t", 1, 2), IsEmpty());
  EXPECT_THAT(client.listSupportedFileTypes("t"), IsEmpty());
  EXPECT_THAT(client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0), IsEmpty());
}

TEST_F(VantelClientTest, GetWorkspaceRefusesAnEmptyPayload) {
  EXPECT_EQ(failureOf([&] { client.getWorkspace("t", 3); }),
            "GetWorkspace returned an empty payload");
  EXPECT_THAT(logger->at("ERROR"), ElementsAre("[vantel] GetWorkspace returned an empty payload"));
}

TEST_F(VantelClientTest, IdsTravelAsDecimalTextOrUnsignedBits) {
  bridge->script("GetDirectory", R"({"id":0,"name":"root"})");
  bridge->script("GetSubDirectories", "[]");
  bridge->script("GetWorkspaceUser", R"({"id":5})");
  bridge->script("CreateDirectory", R"({"id":9,"name":"new"})");
  client.getDirectory("t", 7, 0);
  client.getDirectory("t", -1, -12);
  client.listSubDirectories("t", 7, 9000000000);
  client.getWorkspaceUser("t", 7, -5);
  client.createDirectory("t", 3, -4, "Neu \xc3\xa4");
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry, "GetDirectory(\"t\", 7, \"0\")",
                          "GetDirectory(\"t\", 18446744073709551615, \"-12\")",
                          "GetSubDirectories(\"t\", 7, \"9000000000\")",
                          "GetWorkspaceUser(\"t\", 7, \"-5\")",
                          "CreateDirectory(\"t\", 3, 18446744073709551612, \"Neu \xc3\xa4\")"));
}

TEST_F(VantelClientTest, LogoutWithAnErrorAndAPayloadContinuesWithAWarning) {
  bridge->script("LocalAuthFlowLogout", "https://login.synquo.example/logout", "revoke failed");
  EXPECT_EQ(client.localAuthFlowLogout(), "https://login.synquo.example/logout");
  EXPECT_THAT(logger->at("WARNING"),
              ElementsAre("[vantel] LocalAuthFlowLogout token revocation failed, continuing "
                          "with logout URL: revoke failed"));
  EXPECT_THAT(logger->at("ERROR"), IsEmpty());
}

TEST_F(VantelClientTest, CancelUploadWithAnErrorAndAStatusReturnsTheStatusWithAWarning) {
  bridge->script("CancelUpload", kStatusJson, "already registering");
  const VantelUploadJobStatus status = client.cancelUpload("job-7");
  EXPECT_EQ(status.jobId, "job-7");
  EXPECT_EQ(status.status, "cancelled");
  EXPECT_TRUE(status.cancellationRequested);
  EXPECT_THAT(logger->at("WARNING"),
              ElementsAre("[vantel] CancelUpload returned latest status with warning: already "
                          "registering"));
}

TEST_F(VantelClientTest, AuthorizeReturnsThePayloadUnchanged) {
  bridge->script("LocalAuthFlowAuthorize", " https://login.synquo.example/a?x=1 ");
  bridge->script("LocalAuthFlowAuthorizeWithTimeout", "{\"url\":1}");
  EXPECT_EQ(client.localAuthFlowAuthorize(), " https://login.synquo.example/a?x=1 ");
  EXPECT_EQ(client.localAuthFlowAuthorizeWithTimeout(-30), "{\"url\":1}");
  EXPECT_THAT(bridge->calls(), ElementsAre(kServiceEntry, "LocalAuthFlowAuthorize()",
                                           "LocalAuthFlowAuthorizeWithTimeout(-30)"));
}

TEST_F(VantelClientTest, UploadNeverRaisesForTorvaneErrors) {
  bridge->script("Upload", "", "a, b ,, ");
  const VantelUploadResult result = client.upload("t", VantelUploadPayload{}, true);
  EXPECT_THAT(result.errors, ElementsAre("a", "b"));
  EXPECT_THAT(result.entries, IsEmpty());
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry,
                          "Upload(\"t\", \"{\"files\":[],\"upload_option\":\"individual\"}\", 1)"));
  EXPECT_THAT(logger->at("ERROR"), IsEmpty());
}

TEST_F(VantelClientTest, StartUploadLogsTheJobId) {
  bridge->script("StartUpload", R"({"job_id":"j-1"})");
  VantelUploadPayload payload;
  payload.workspaces = {{10, 1}, {9, 2}, {-3, 4}};
  EXPECT_EQ(client.startUpload("t", payload, false).jobId, "j-1");
  EXPECT_THAT(bridge->calls(),
              ElementsAre(kServiceEntry,
                          "StartUpload(\"t\", \"{\"files\":[],\"upload_option\":\"individual\","
                          "\"workspaces\":{\"-3\":4,\"10\":1,\"9\":2}}\", 0)"));
  EXPECT_EQ(logger->lines().back(), "DEBUG [vantel] Started upload job: j-1");
}

TEST_F(VantelClientTest, InvalidUtf8IsRefusedByTheJsonWriterBeforeTorvaneIsCalled) {
  VantelUploadPayload payload;
  VantelUploadPayloadFile file;
  file.localFilePath = "C:\\Users\\J\xf6rg\\AppData\\Local\\Temp\\part.prt";  // code page 1252
  payload.files.push_back(file);
  for (const bool synchronous : {true, false}) {
    try {
      if (synchronous) {
        client.upload("t", payload, false);
      } else {
        client.startUpload("t", payload, false);
      }
      FAIL() << "invalid UTF-8 was sent";
    } catch (const nlohmann::json::type_error& e) {
      EXPECT_EQ(e.id, 316);
      EXPECT_THAT(e.what(), ::testing::HasSubstr("invalid UTF-8 byte"));
    }
  }
  VantelInitializeOptions options;
  options.logFile = "J\xf6rg.log";
  EXPECT_THROW(client.initialize(options), nlohmann::json::type_error);
  EXPECT_THAT(bridge->calls(), ElementsAre(kServiceEntry));
}

TEST_F(VantelClientTest, BridgeExceptionsPassThroughUnchanged) {
  class FailingBridge : public RecordingBridge {
   public:
    BridgeResponse getCurrentUser(const std::string&) override {
      throw VantelException("Missing symbol: GetCurrentUser");
    }
  };
  auto failing = std::make_shared<FailingBridge>();
  VantelClient other(failing, logger);
  EXPECT_EQ(failureOf([&] { other.getCurrentUser("t"); }), "Missing symbol: GetCurrentUser");
}

}  // namespace
}  // namespace vantel
