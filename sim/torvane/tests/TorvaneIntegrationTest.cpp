// The client library driven against the Torvane stand-in through the real binding: sign-in
// through the loopback page, the catalog, uploads, revision lookup, jobs and logout.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vantel/vantel.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sim/torvane/tests/support/LoopbackHttp.h"

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

class CollectingLogger : public vantel::IVantelLogger {
 public:
  void debug(const char* message) override { add(message); }
  void info(const char* message) override { add(message); }
  void warning(const char* message) override { add(std::string("WARNING ") + message); }
  void error(const char* message) override { add(std::string("ERROR ") + message); }

  std::string all() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string out;
    for (const auto& m : messages_) out += m + "\n";
    return out;
  }

 private:
  void add(const std::string& message) {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(message);
  }
  std::mutex mutex_;
  std::vector<std::string> messages_;
};

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void writeFile(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

std::string messageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const vantel::VantelException& e) {
    return e.what();
  }
  return "no exception";
}

vantel::VantelUploadPayloadFile fileRecord(const fs::path& path, const std::string& sourceFileId,
                                           const std::string& revision) {
  vantel::VantelUploadPayloadFile file;
  file.localFilePath = path.u8string();
  file.filename = path.filename().u8string();
  file.sourceFileId = sourceFileId;
  file.sourceRevisionId = revision;
  file.sourceVersionId = "1";
  return file;
}

constexpr int64_t kDesignReview = 101;

}  // namespace

class TorvaneIntegration : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::random_device random;
    dir_ = new fs::path(fs::temp_directory_path() /
                        ("torvane-it-" + std::to_string(random()) + std::to_string(random())));
    fs::create_directories(*dir_);
    // The stand-in reads these at its first call, so every run starts from an empty store.
    torvane_test::setEnvironmentVariable("TORVANE_SIM_HOME", (*dir_ / "store").u8string());
    torvane_test::setEnvironmentVariable("TORVANE_SIM_JOURNAL", journal().u8string());
    torvane_test::setEnvironmentVariable("TORVANE_SIM_FAULTS", faults().u8string());
    torvane_test::setEnvironmentVariable("TORVANE_SIM_JOB_STEP_MS", "20");
    torvane_test::setEnvironmentVariable("TORVANE_SIM_AUTH_TIMEOUT", "30");

    logger_ = new std::shared_ptr<CollectingLogger>(std::make_shared<CollectingLogger>());
    auto bridge = std::make_shared<vantel::DynamicVantelBridge>("");
    bridgePath_ = new std::string(bridge->libraryPath());
    client_ = new vantel::VantelClient(bridge, *logger_);

    vantel::VantelInitializeOptions options;
    options.logFile = (*dir_ / "logs" / "synquo-torvane-integration.log").u8string();
    options.logLevel = "debug";
    options.externalServer = nlohmann::json{{"LoginURL", "https://login.synquo.example/"},
                                            {"ServerURL", "https://app.synquo.example/"},
                                            {"ClientID", "0123456789abcdefABCDEF0123456789"},
                                            {"Audience", "https://idp.synquo.example/api/v2/"}};
    options.serviceInfo = {{"brevin", "1.0.0"}};
    client_->initialize(options);
  }

  static void TearDownTestSuite() {
    client_->closeLogFile();
    std::error_code ignored;
    fs::remove_all(*dir_, ignored);
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove(faults(), ignored);
  }

  static fs::path journal() { return *dir_ / "journal.jsonl"; }
  static fs::path faults() { return *dir_ / "faults.json"; }
  static fs::path store() { return *dir_ / "store"; }

  // Plays the browser: approves the sign-in page while the client waits for the tokens.
  static vantel::VantelLocalAuthTokens signIn() {
    const std::string url = client_->localAuthFlowAuthorize();
    auto tokens = std::async(std::launch::async, [] { return client_->localAuthFlowComplete(); });
    const auto reply = torvane_test::httpGet(url + "&approve=1");
    EXPECT_EQ(200, reply.status);
    return tokens.get();
  }

  static vantel::VantelClient& client() { return *client_; }

  static fs::path* dir_;
  static std::string* bridgePath_;
  static std::shared_ptr<CollectingLogger>* logger_;
  static vantel::VantelClient* client_;
};

fs::path* TorvaneIntegration::dir_ = nullptr;
std::string* TorvaneIntegration::bridgePath_ = nullptr;
std::shared_ptr<CollectingLogger>* TorvaneIntegration::logger_ = nullptr;
vantel::VantelClient* TorvaneIntegration::client_ = nullptr;

TEST_F(TorvaneIntegration, LoadsTheStandInAndInitializes) {
  EXPECT_THAT(*bridgePath_, HasSubstr(TORVANE_SIM_FILE_NAME));
  const std::string log = readFile(*dir_ / "logs" / "synquo-torvane-integration.log");
  EXPECT_THAT(log, HasSubstr("[torvane] Initialized (service info: brevin/1.0.0)"));

  EXPECT_THAT(messageOf([] { client().initialize(std::string("[1]")); }),
              StartsWith("Initialize failed: invalid initialize options: expected a JSON object"));
  EXPECT_THAT(messageOf([] { client().initialize(std::string("{\"logLevel\":")); }),
              StartsWith("Initialize failed: invalid initialize options: "));
  EXPECT_THAT(messageOf([] { client().setExternalServer("\"nowhere\""); }),
              StartsWith("SetExternalServer failed: invalid external server configuration"));
}

TEST_F(TorvaneIntegration, SignInThroughTheLoopbackPage) {
  const std::string url = client().localAuthFlowAuthorize();
  ASSERT_THAT(url, StartsWith("http://127.0.0.1:"));
  const auto page = torvane_test::httpGet(url);
  EXPECT_EQ(200, page.status);
  EXPECT_THAT(page.body, HasSubstr("name=\"approve\" value=\"1\""));

  auto pending = std::async(std::launch::async, [] { return client().localAuthFlowComplete(); });
  EXPECT_EQ(std::future_status::timeout, pending.wait_for(std::chrono::milliseconds(200)));
  EXPECT_EQ(200, torvane_test::httpGet(url + "&approve=1").status);
  const auto tokens = pending.get();
  EXPECT_THAT(tokens.accessToken, StartsWith("at_"));
  EXPECT_THAT(tokens.refreshToken, StartsWith("rt_"));
  EXPECT_FALSE(tokens.expiresAt.empty());

  const auto user = client().getCurrentUser(tokens.accessToken);
  EXPECT_EQ(7, user.id);
  EXPECT_EQ("Jordan", user.firstName);
  EXPECT_EQ("Lee", user.lastName);
  EXPECT_EQ("jordan.lee@synquo.example", user.email);

  const auto refreshed = client().localAuthFlowGenerateAccessToken(tokens.refreshToken);
  EXPECT_NE(tokens.accessToken, refreshed.accessToken);
  EXPECT_EQ(7, client().getCurrentUser(refreshed.accessToken).id);
}

TEST_F(TorvaneIntegration, ANewSignInAbandonsTheOpenOneAndAnUnfinishedOneTimesOut) {
  client().localAuthFlowAuthorize();
  auto first = std::async(std::launch::async,
                          [] { return messageOf([] { client().localAuthFlowComplete(); }); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const std::string second = client().localAuthFlowAuthorize();
  EXPECT_THAT(first.get(),
              StartsWith("LocalAuthFlowComplete failed: authorization flow abandoned"));
  auto tokens = std::async(std::launch::async, [] { return client().localAuthFlowComplete(); });
  torvane_test::httpGet(second + "&approve=1");
  EXPECT_FALSE(tokens.get().accessToken.empty());

  client().localAuthFlowAuthorizeWithTimeout(1);
  EXPECT_THAT(messageOf([] { client().localAuthFlowComplete(); }),
              StartsWith("LocalAuthFlowComplete failed: authorization timed out"));
}

TEST_F(TorvaneIntegration, WorkspacesUserAndDirectories) {
  const std::string token = signIn().accessToken;
  const auto workspaces = client().listWorkspaces(token, "");
  ASSERT_EQ(3u, workspaces.size());
  EXPECT_EQ(kDesignReview, workspaces[0].id);
  EXPECT_EQ("Design Review", workspaces[0].name);
  EXPECT_TRUE(workspaces[0].downloadingAllowed);
  EXPECT_FALSE(workspaces[0].uuid.empty());
  EXPECT_EQ(std::optional<std::string>("released"), workspaces[1].sourceState);

  EXPECT_EQ("Supplier Exchange", client().getWorkspace(token, 102).name);
  EXPECT_EQ("Sam", client().getWorkspaceUser(token, kDesignReview, 8).firstName);

  const auto root = client().getRootDirectory(token, kDesignReview);
  EXPECT_EQ(1001, root.id);
  EXPECT_FALSE(root.parentId.has_value());
  const auto created = client().createDirectory(token, kDesignReview, root.id, "Integration");
  EXPECT_EQ(std::optional<std::string>(std::to_string(root.id)), created.parentId);
  EXPECT_EQ("Integration", client().getDirectory(token, kDesignReview, created.id).name);
  bool listed = false;
  for (const auto& d : client().listSubDirectories(token, kDesignReview, root.id)) {
    listed = listed || d.id == created.id;
  }
  EXPECT_TRUE(listed);
  EXPECT_THAT(
      messageOf([&] { client().createDirectory(token, kDesignReview, root.id, "integration"); }),
      StartsWith("CreateDirectory failed: received non-200 status code: 409"));
  EXPECT_THAT(messageOf([&] { client().getWorkspace(token, 999); }),
              StartsWith("GetWorkspace failed: received non-200 status code: 404"));
  EXPECT_THAT(client().listSupportedFileTypes(token), ::testing::Contains(".prt"));
}

TEST_F(TorvaneIntegration, UploadStoresTheFilesAndFindRevisionSeesThem) {
  const std::string token = signIn().accessToken;
  const auto root = client().getRootDirectory(token, kDesignReview);
  const auto lookup = [&] {
    return client().findRevision(token, kDesignReview, "IT-BRACKET", "1", "B", "", false, true,
                                 true, true);
  };
  EXPECT_TRUE(lookup().empty());

  const fs::path part = *dir_ / "local" / "it_bracket.prt";
  const fs::path drawing = *dir_ / "local" / "it_bracket_dwg1.pdf";
  writeFile(part, "part bytes");
  writeFile(drawing, "%PDF-1.7 drawing");
  vantel::VantelUploadPayload payload;
  payload.workspaces[kDesignReview] = root.id;
  payload.parentFile = "it_bracket.prt";
  payload.files = {fileRecord(part, "IT-BRACKET", "B"), fileRecord(drawing, "IT-BRACKET-DWG", "B")};
  const auto result = client().upload(token, payload, false);
  EXPECT_TRUE(result.errors.empty());
  ASSERT_EQ(2u, result.entries.size());
  const std::string link = result.entries.at("it_bracket.prt");
  EXPECT_THAT(link, StartsWith("http://127.0.0.1:"));
  EXPECT_THAT(link, HasSubstr("?revisionId=1"));
  EXPECT_EQ(200, torvane_test::httpGet(link).status);

  std::vector<std::string> stored;
  for (const auto& entry : fs::recursive_directory_iterator(store() / "files")) {
    if (entry.is_regular_file() && entry.path().string().find("it_bracket") != std::string::npos) {
      stored.push_back(readFile(entry.path()));
    }
  }
  EXPECT_THAT(stored, ::testing::UnorderedElementsAre("part bytes", "%PDF-1.7 drawing"));

  const auto found = lookup();
  ASSERT_EQ(1u, found.size());
  EXPECT_EQ(std::optional<int64_t>(kDesignReview), found[0].workspaceId);
  EXPECT_EQ(std::optional<int64_t>(root.id), found[0].directoryId);
  EXPECT_EQ("B", found[0].sourceRevisionId);
  EXPECT_EQ(link, found[0].link);
  EXPECT_TRUE(found[0].assetId.has_value());
  EXPECT_TRUE(client()
                  .findRevision(token, 102, "IT-BRACKET", "1", "B", "", false, true, true, true)
                  .empty());
}

TEST_F(TorvaneIntegration, MissingFilesBecomeErrorItemsAndTheRestUploads) {
  const std::string token = signIn().accessToken;
  const fs::path present = *dir_ / "local" / "present.prt";
  const fs::path absent = *dir_ / "local" / "absent.prt";
  writeFile(present, "here");
  vantel::VantelUploadPayload payload;
  payload.workspaces[kDesignReview] = client().getRootDirectory(token, kDesignReview).id;
  payload.files = {fileRecord(absent, "IT-ABSENT", "A"), fileRecord(present, "IT-PRESENT", "A")};
  const auto result = client().upload(token, payload, false);
  EXPECT_THAT(result.errors, ::testing::ElementsAre("file not found: " + absent.u8string()));
  EXPECT_EQ(1u, result.entries.count("present.prt"));
  EXPECT_EQ(0u, result.entries.count("absent.prt"));
}

TEST_F(TorvaneIntegration, JobUploadIsFollowedToCompletion) {
  const std::string token = signIn().accessToken;
  const fs::path a = *dir_ / "local" / "job_a.prt";
  const fs::path b = *dir_ / "local" / "job_b.prt";
  writeFile(a, "aaaa");
  writeFile(b, "bbbbbbbb");
  vantel::VantelUploadPayload payload;
  payload.workspaces[kDesignReview] = client().getRootDirectory(token, kDesignReview).id;
  payload.files = {fileRecord(a, "IT-JOB-A", "A"), fileRecord(b, "IT-JOB-B", "A")};
  const std::string jobId = client().startUpload(token, payload, false).jobId;
  ASSERT_FALSE(jobId.empty());

  vantel::VantelUploadJobStatus status;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  do {
    status = client().getUploadStatus(jobId);
    if (status.status == "completed" || status.status == "failed") break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ("completed", status.status);
  EXPECT_EQ(jobId, status.jobId);
  EXPECT_EQ(2, status.inputFilesTotal);
  EXPECT_EQ(2, status.filesUploaded);
  EXPECT_EQ(0, status.filesRemaining);
  EXPECT_EQ(12, status.bytesTotal);
  EXPECT_EQ(12, status.bytesUploaded);
  EXPECT_EQ(2, status.registrationRegistered);
  EXPECT_FALSE(status.canCancel);
  EXPECT_TRUE(status.expiresAt.has_value());
  EXPECT_TRUE(status.errors.empty());
  EXPECT_EQ(1u, client()
                    .findRevision(token, kDesignReview, "IT-JOB-B", "1", "A", "", false, true,
                                  false, true)
                    .size());

  // A finished job answers its status together with why it cannot be cancelled.
  EXPECT_EQ("completed", client().cancelUpload(jobId).status);
  EXPECT_THAT((*logger_)->all(),
              HasSubstr("WARNING [vantel] CancelUpload returned latest status with warning: "));
  EXPECT_THAT(messageOf([] { client().getUploadStatus("job_unknown"); }),
              StartsWith("GetUploadStatus failed: received non-200 status code: 404"));
}

TEST_F(TorvaneIntegration, ARunningJobCanBeCancelled) {
  const std::string token = signIn().accessToken;
  torvane_test::setEnvironmentVariable("TORVANE_SIM_JOB_STEP_MS", "400");
  vantel::VantelUploadPayload payload;
  payload.workspaces[kDesignReview] = client().getRootDirectory(token, kDesignReview).id;
  for (const char* name : {"cancel_a.prt", "cancel_b.prt", "cancel_c.prt"}) {
    writeFile(*dir_ / "local" / name, name);
    payload.files.push_back(fileRecord(*dir_ / "local" / name, std::string("IT-") + name, "A"));
  }
  const std::string jobId = client().startUpload(token, payload, false).jobId;
  torvane_test::setEnvironmentVariable("TORVANE_SIM_JOB_STEP_MS", "20");
  const auto requested = client().cancelUpload(jobId);
  EXPECT_TRUE(requested.cancellationRequested);
  EXPECT_EQ(std::optional<std::string>("cancelled at the client's request"),
            requested.cancellationReason);

  vantel::VantelUploadJobStatus status;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  do {
    status = client().getUploadStatus(jobId);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (status.status != "cancelled" && std::chrono::steady_clock::now() < deadline);
  EXPECT_EQ("cancelled", status.status);
  EXPECT_EQ(0, status.registrationRegistered);
  EXPECT_FALSE(status.canCancel);
  EXPECT_TRUE(client()
                  .findRevision(token, kDesignReview, "IT-cancel_a.prt", "1", "A", "", false, true,
                                false, true)
                  .empty());
}

TEST_F(TorvaneIntegration, LogoutRevokesTheTokens) {
  const auto tokens = signIn();
  EXPECT_EQ(7, client().getCurrentUser(tokens.accessToken).id);
  EXPECT_THAT(client().localAuthFlowLogout(), StartsWith("https://login.synquo.example/logout"));
  EXPECT_THAT(messageOf([&] { client().getCurrentUser(tokens.accessToken); }),
              StartsWith("GetCurrentUser failed: received non-200 status code: 401"));
  EXPECT_THAT(messageOf([&] { client().listWorkspaces(tokens.accessToken, ""); }),
              StartsWith("GetAllWorkspaces failed: received non-200 status code: 401"));
  EXPECT_THAT(
      messageOf([&] { client().localAuthFlowGenerateAccessToken(tokens.refreshToken); }),
      StartsWith("LocalAuthFlowGenerateAccessToken failed: received non-200 status code: 401"));
}

TEST_F(TorvaneIntegration, InjectedFaultsReachTheClient) {
  const std::string token = signIn().accessToken;
  writeFile(faults(),
            R"({"GetAllWorkspaces": {"error": "service unavailable"},
                "FindRevision": {"error": "received non-200 status code: 404: gone"},
                "LocalAuthFlowLogout": {"payload": "https://login.synquo.example/logout",
                                        "error": "revocation failed"}})");
  EXPECT_EQ("GetAllWorkspaces failed: service unavailable",
            messageOf([&] { client().listWorkspaces(token, ""); }));
  EXPECT_EQ("FindRevision failed: received non-200 status code: 404: gone", messageOf([&] {
              client().findRevision(token, kDesignReview, "X", "1", "A", "", false, true, false,
                                    true);
            }));
  EXPECT_EQ("https://login.synquo.example/logout", client().localAuthFlowLogout());
  // The fault answered instead of the service, so the session is still good.
  EXPECT_EQ(7, client().getCurrentUser(token).id);

  writeFile(faults(), "{}");
  EXPECT_EQ(3u, client().listWorkspaces(token, "").size());
}

TEST_F(TorvaneIntegration, JournalRecordsCallsWithoutTokens) {
  const std::string token = signIn().accessToken;
  client().getCurrentUser(token);
  const std::string journal = readFile(TorvaneIntegration::journal());
  EXPECT_THAT(journal, HasSubstr("\"fn\":\"Initialize\""));
  EXPECT_THAT(journal, HasSubstr("\"fn\":\"AddServiceInfo\""));
  EXPECT_THAT(journal, HasSubstr("\"fn\":\"GetCurrentUser\""));
  EXPECT_THAT(journal, HasSubstr("\"token\":\"" + token.substr(0, 7)));
  EXPECT_EQ(std::string::npos, journal.find(token));
}

TEST_F(TorvaneIntegration, CallsFromSeveralThreadsAtOnce) {
  const std::string token = signIn().accessToken;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 6; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 10; ++i) {
        try {
          if ((t + i) % 2 == 0) {
            if (client().listWorkspaces(token, "").size() != 3u) ++failures;
          } else if (client().getCurrentUser(token).id != 7) {
            ++failures;
          }
        } catch (const std::exception&) {
          ++failures;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(0, failures.load());
}
