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

// A prepared single part, a signed-in session and a service that answers; each case breaks
// one thing and keeps what the service was sent.
struct Upload {
  auth::SessionManager session;
  synquo::ModelMetadata metadata;
  int64_t workspaceId = 7;
  std::vector<std::string> calls;
  std::optional<vantel::VantelUploadPayload> sent;
  vantel::VantelUploadResult answer;
  synquo::ServiceOperations operations;

  Upload() {
    setToken("token");
    metadata.exportedFile = "out/bolt.prt";
    answer.entries = {{"bolt.prt", "https://synquo.example/m/1"}};
    operations.getRootDirectory = [this](const std::string& token, int64_t id) {
      calls.push_back("root " + token + " " + std::to_string(id));
      vantel::VantelDirectory root;
      root.id = 70;
      return root;
    };
    operations.upload = [this](const std::string& token, const vantel::VantelUploadPayload& p,
                               bool flag) {
      calls.push_back("upload " + token + (flag ? " true" : " false"));
      sent = p;
      return answer;
    };
  }
  void setToken(const std::string& token) {
    const auto state = session.sharedState();
    std::lock_guard<std::mutex> lock(state->mutex);
    state->tokens.accessToken = token;
  }
  UploadExecutionResult run() {
    std::vector<vantel::VantelWorkspace> workspaces(2);
    workspaces[1].id = 7;
    return runUpload(workspaceId, workspaces, session, metadata, operations);
  }
};

TEST(UploadWorkflow, FirstFailingCheckBecomesTheErrorText) {
  const auto brokenAfterWorkspace = [](Upload& u) {
    u.metadata.traceabilityError = "trace";
    u.metadata.preparationError = "prepare";
    u.metadata.exportedFile.clear();
    u.setToken("");
  };
  struct Case {
    const char* name;
    std::function<void(Upload&)> breakIt;
    std::string error;
    bool resolved;
    std::vector<std::string> calls;
  };
  const std::vector<std::string> both = {"root token 7", "upload token false"};
  const std::vector<Case> cases = {
      {"missing workspace hides everything",
       [&](Upload& u) {
         brokenAfterWorkspace(u);
         u.workspaceId = 8;
       },
       kNoWorkspace,
       false,
       {}},
      {"traceability", brokenAfterWorkspace, "trace", true, {}},
      {"preparation",
       [&](Upload& u) {
         brokenAfterWorkspace(u);
         u.metadata.traceabilityError.clear();
       },
       "prepare",
       true,
       {}},
      {"no file before no token",
       [](Upload& u) {
         u.metadata.exportedFile.clear();
         u.setToken("");
       },
       kNoFile,
       true,
       {}},
      {"no assembly file",
       [](Upload& u) {
         u.metadata.isAssembly = true;
         u.metadata.files = {record("", "a.prt")};
       },
       kNoAssemblyFiles,
       true,
       {}},
      {"no token", [](Upload& u) { u.setToken(""); }, kNoToken, true, {}},
      {"no root directory",
       [](Upload& u) { u.operations.getRootDirectory = nullptr; },
       kNotConfigured,
       true,
       {}},
      {"no upload", [](Upload& u) { u.operations.upload = nullptr; }, kNotConfigured, true, {}},
      {"standard exception",
       [](Upload& u) {
         u.operations.getRootDirectory = [](const std::string&,
                                            int64_t) -> vantel::VantelDirectory {
           throw std::runtime_error("GetRootDirectory failed: gone");
         };
       },
       "GetRootDirectory failed: gone",
       true,
       {}},
      {"other exception",
       [](Upload& u) {
         u.operations.upload = [](const std::string&, const vantel::VantelUploadPayload&,
                                  bool) -> vantel::VantelUploadResult { throw 42; };
       },
       kUnknown,
       true,
       {"root token 7"}},
      {"first message",
       [](Upload& u) {
         u.answer.errors = {"A", "B"};
       },
       "A", true, both},
      {"success", [](Upload&) {}, "", true, both},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Upload u;
    c.breakIt(u);
    const UploadExecutionResult result = u.run();
    EXPECT_EQ(result.error, c.error);
    EXPECT_EQ(result.workspaceResolved, c.resolved);
    EXPECT_EQ(result.workspaceId, c.resolved ? 7 : 0);
    EXPECT_EQ(result.succeeded, c.error.empty());
    EXPECT_EQ(u.calls, c.calls);
    if (c.calls == both) {
      EXPECT_EQ(result.rootDirectoryId, 70);
      EXPECT_EQ(result.links, u.answer.entries);
      EXPECT_EQ(result.messages, u.answer.errors);
      EXPECT_EQ(u.sent->workspaces, (std::map<int64_t, int64_t>{{7, 70}}));
    }
  }
}

TEST(UploadWorkflow, SingleRecordIsMadeFromTheModelOnlyWithoutCollectedFiles) {
  synquo::ModelMetadata m;
  m.fileName = "bolt.prt";
  m.source = "/models/bolt.prt";
  m.sourceFileId = "uuid";
  m.familyInstance = true;
  m.revisionId = "B";
  const auto single = uploadFilesFor(m);
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].localFilePath, "");
  EXPECT_EQ(single[0].filename, "bolt.prt");
  EXPECT_EQ(single[0].sourceFilePath, "/models/bolt.prt");
  EXPECT_EQ(single[0].sourceFileId, "uuid_bolt");
  EXPECT_EQ(single[0].sourceRevisionId, "B");
  EXPECT_EQ(single[0].sourceVersionId, "1");
  EXPECT_EQ(single[0].sourceFolderId, "");
  m.exportedFile = "tmp/bolt_export.prt";
  EXPECT_EQ(uploadFilesFor(m)[0].filename, "bolt_export.prt");
  m.files = {record("x", "")};
  EXPECT_EQ(uploadFilesFor(m)[0].localFilePath, "x");
  EXPECT_EQ(uploadFilesFor(m).size(), 1u);
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
      {"assembly first record",
       true,
       "",
       {record("l", "a.prt"), record("m", "b.prt")},
       "x.prt",
       "a.prt"},
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

TEST(UploadWorkflow, RevisionMembersOnlyForAKnownRevision) {
  synquo::ModelMetadata m;
  m.lastModifiedUtc = "2026-12-08T12:00:00Z";
  EXPECT_EQ(nlohmann::json(buildUploadPayload(m, 7, 70)).dump(),
            R"({"files":[{"autodiscover_model_id":true,"source_version_id":"1"}],)"
            R"("source_revision_time":"2026-12-08T12:00:00Z","upload_option":"individual",)"
            R"("workspaces":{"7":70}})");
  m.revisionId = "B";
  const vantel::VantelUploadPayload payload = buildUploadPayload(m, 7, 70);
  EXPECT_EQ(payload.sourceRevisionId, "B");
  EXPECT_EQ(payload.sourceRevisionName, "B");
  EXPECT_EQ(payload.sourceRevisionVersion, "1");
}

}  // namespace
}  // namespace ui
