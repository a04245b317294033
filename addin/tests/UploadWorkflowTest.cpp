// The upload workflow against recording service callables: which failure wins, what reaches
// the service, and the parent file the request names.
#include "addin/ui/UploadWorkflow.h"

#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace ui {
namespace {

const std::string kNoWorkspace =
    "The selected Synquo workspace was not found in the workspace list loaded by NX. Refresh "
    "the Synquo dialog and select the workspace again.";
const std::string kNoAssemblyFiles =
    "No exported NX assembly files are available for upload. The NX export step did not "
    "produce local files for the assembly root or members. If NX logging is enabled, check "
    "synquo-integration.log in the configured NX log directory for export details. Then try "
    "the upload again.";
const std::string kNoFile =
    "No exported NX file is available for upload. The NX export step did not produce a local "
    ".prt, or .pdf file. If NX logging is enabled, check synquo-integration.log in the "
    "configured NX log directory for export details. Then try the upload again.";
const std::string kNoToken =
    "No Synquo auth token is available for upload. Sign out, sign in again, and retry the "
    "upload.";
const std::string kNotConfigured =
    "The Synquo upload client is not fully configured. NX could not create the root-directory "
    "or upload operation needed to send the exported files.";
const std::string kUnknown =
    "Upload failed before Synquo returned details. If NX logging is enabled, check "
    "synquo-integration.log in the configured NX log directory for the preceding export and "
    "upload events. Then try again.";

vantel::VantelUploadPayloadFile record(const std::string& local, const std::string& name) {
  vantel::VantelUploadPayloadFile file;
  file.localFilePath = local;
  file.filename = name;
  return file;
}

// A session, a model and a service whose calls are kept; ready to upload once `ready()` ran.
struct Upload {
  auth::SessionManager session;
  synquo::ModelMetadata metadata;
  int64_t workspaceId = 7;
  std::vector<std::string> calls;
  std::optional<vantel::VantelUploadPayload> sent;
  vantel::VantelUploadResult answer;
  std::function<void()> raiseOnRoot = [] {};
  std::function<void()> raiseOnUpload = [] {};
  synquo::ServiceOperations operations;

  void setToken(const std::string& token) {
    const auto state = session.sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->tokens.accessToken = token;
  }
  void answerRoot() {
    operations.getRootDirectory = [this](const std::string& token, int64_t id) {
      calls.push_back("root " + token + " " + std::to_string(id));
      raiseOnRoot();
      vantel::VantelDirectory root;
      root.id = 70;
      return root;
    };
  }
  void answerUpload() {
    operations.upload = [this](const std::string& token, const vantel::VantelUploadPayload& p,
                               bool flag) {
      calls.push_back("upload " + token + (flag ? " true" : " false"));
      sent = p;
      raiseOnUpload();
      return answer;
    };
  }
  void ready() {
    setToken("token");
    metadata.exportedFile = "out/bolt.prt";
    answerRoot();
    answerUpload();
  }
  UploadExecutionResult run() {
    std::vector<vantel::VantelWorkspace> workspaces(2);
    workspaces[1].id = 7;
    return runUpload(workspaceId, workspaces, session, metadata, operations);
  }
};

TEST(UploadWorkflow, EachCheckHidesTheOnesAfterIt) {
  Upload u;
  u.workspaceId = 8;
  u.metadata.traceabilityError = "trace";
  u.metadata.preparationError = "prepare";
  u.metadata.isAssembly = true;
  u.metadata.files = {record("", "a.prt")};
  struct Step {
    std::function<void()> fix;
    std::string error;
  };
  const std::vector<Step> steps = {
      {[] {}, kNoWorkspace},
      {[&] { u.workspaceId = 7; }, "trace"},
      {[&] { u.metadata.traceabilityError.clear(); }, "prepare"},
      {[&] { u.metadata.preparationError.clear(); }, kNoAssemblyFiles},
      {[&] { u.metadata = synquo::ModelMetadata(); }, kNoFile},
      {[&] { u.metadata.exportedFile = "out/bolt.prt"; }, kNoToken},
      {[&] { u.setToken("token"); }, kNotConfigured},
      {[&] { u.answerRoot(); }, kNotConfigured},
      {[&] { u.answerUpload(); }, kUnconfirmedUploadText},
      {[&] { u.answer.entries = {{"bolt.prt", "https://synquo.example/m/1"}}; }, ""},
  };
  for (size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE(i);
    steps[i].fix();
    const UploadExecutionResult result = u.run();
    EXPECT_EQ(result.error, steps[i].error);
    EXPECT_EQ(result.workspaceResolved, i > 0);
    EXPECT_EQ(result.workspaceId, i > 0 ? 7 : 0);
    EXPECT_EQ(u.calls.empty(), i + 2 < steps.size());
  }
}

TEST(UploadWorkflow, ServiceOutcomeBecomesTheResult) {
  using Answer = std::function<void(Upload&)>;
  struct Case {
    const char* name;
    Answer answer;
    std::string error;
    bool rootFound;
    bool uploadAnswered;
  };
  const Answer messages = [](Upload& u) { u.answer.errors = {"A", "B"}; };
  const Answer rootGone = [](Upload& u) {
    u.raiseOnRoot = [] { throw std::runtime_error("GetRootDirectory failed: gone"); };
  };
  const Answer odd = [](Upload& u) { u.raiseOnUpload = [] { throw 42; }; };
  const std::vector<Case> cases = {
      {"success", [](Upload&) {}, "", true, true},
      {"messages", messages, "A", true, true},
      {"standard exception", rootGone, "GetRootDirectory failed: gone", false, false},
      {"other exception", odd, kUnknown, true, false},
      {"nothing confirmed", [](Upload& u) { u.answer.entries.clear(); }, kUnconfirmedUploadText,
       true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Upload u;
    u.ready();
    u.answer.entries = {{"bolt.prt", "https://synquo.example/m/1"}};
    c.answer(u);
    const UploadExecutionResult result = u.run();
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.succeeded, c.error.empty());
    EXPECT_TRUE(result.workspaceResolved);
    EXPECT_EQ(result.rootDirectoryId, c.rootFound ? 70 : 0);
    EXPECT_EQ(result.links.size(), c.uploadAnswered ? u.answer.entries.size() : 0u);
    EXPECT_EQ(result.messages, c.uploadAnswered ? u.answer.errors : std::vector<std::string>());
    if (c.rootFound) {
      EXPECT_EQ(u.calls, (std::vector<std::string>{"root token 7", "upload token false"}));
      ASSERT_TRUE(u.sent);
      EXPECT_EQ(u.sent->workspaces, (std::map<int64_t, int64_t>{{7, 70}}));
    }
  }
}

TEST(UploadWorkflow, ModelItselfMakesTheOnlyRecordWhenNoneWereCollected) {
  synquo::ModelMetadata m;
  m.fileName = "bolt.prt";
  m.source = "/models/bolt.prt";
  m.sourceFileId = "uuid";
  m.familyInstance = true;
  m.revisionId = "B";
  m.lastModifiedUtc = "2026-12-08T12:00:00Z";
  EXPECT_EQ(nlohmann::json(buildUploadPayload(m, 7, 70)).dump(),
            R"({"files":[{"autodiscover_model_id":true,"filename":"bolt.prt",)"
            R"("source_file_id":"uuid_bolt","source_file_path":"/models/bolt.prt",)"
            R"("source_revision_id":"B","source_version_id":"1"}],"source_revision_id":"B",)"
            R"("source_revision_name":"B","source_revision_time":"2026-12-08T12:00:00Z",)"
            R"("source_revision_version":"1","upload_option":"individual","workspaces":{"7":70}})");
  m.exportedFile = "tmp/bolt_export.prt";
  EXPECT_EQ(uploadFilesFor(m).at(0).filename, "bolt_export.prt");
  m.revisionId.clear();
  m.files = {record("x", ""), record("y", "")};
  const vantel::VantelUploadPayload collected = buildUploadPayload(m, 7, 70);
  EXPECT_EQ(collected.files.size(), 2u);
  EXPECT_FALSE(collected.sourceRevisionName || collected.sourceRevisionVersion);
}

TEST(UploadWorkflow, ParentFileIsTheUploadNameOrAnAssemblysRootFile) {
  struct Case {
    const char* name;
    bool assembly;
    std::optional<std::string> uploadName;
    std::vector<vantel::VantelUploadPayloadFile> files;
    const char* exported;
    std::optional<std::string> parent;
  };
  const std::vector<Case> cases = {
      {"single part", false, std::nullopt, {}, "out/bolt.prt", std::nullopt},
      {"single part named", false, "named.prt", {}, "out/bolt.prt", "named.prt"},
      {"assembly first record", true, "", {record("l", "a.prt"), record("", "")}, "", "a.prt"},
      {"assembly exported file", true, std::nullopt, {record("l", "")}, "out/asm.prt", "asm.prt"},
      {"assembly file name", true, std::nullopt, {}, "", "shown.prt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    synquo::ModelMetadata m;
    m.fileName = "shown.prt";
    m.isAssembly = c.assembly;
    m.uploadName = c.uploadName;
    m.files = c.files;
    m.exportedFile = c.exported;
    const nlohmann::json json = buildUploadPayload(m, 7, 70);
    EXPECT_EQ(json.contains("parent_file"), c.parent.has_value());
    EXPECT_EQ(json.value("parent_file", std::string()), c.parent.value_or(""));
  }
}

}  // namespace
}  // namespace ui
