// Reading Torvane's answers into records, through the client operations that use each
// parser: required and optional keys, the numeric rule, and every parser's own messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <functional>
#include <memory>
#include <string>

#include "client/tests/support/RecordingBridge.h"

namespace vantel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

const char* const kStatusProgress =
    R"("progress":{"input_files_total":2,"workspaces_total":1,"files_total":3,)"
    R"("files_uploading":1,"files_uploaded":1,"files_failed":0,"files_remaining":1,)"
    R"("bytes_total":"5000000000","bytes_uploaded":1234.4})";
const char* const kStatusRegistration =
    R"("registration":{"pending":1,"registering":0,"registered":2,"failed":0,"skipped":4294967297})";
const char* const kStatusCancellation =
    R"("cancellation":{"requested":false,"can_cancel":true,"reason":7})";

std::string statusJson(const std::string& progress, const std::string& extra = "") {
  return R"({"job_id":"j","status":"running","created_at":"c","updated_at":"u",)" + progress + "," +
         kStatusRegistration + "," + kStatusCancellation + extra + "}";
}

class PayloadParsersTest : public ::testing::Test {
 protected:
  std::shared_ptr<testing::RecordingBridge> bridge = std::make_shared<testing::RecordingBridge>();
  VantelClient client{bridge, nullptr};

  std::string failureOf(const std::function<void()>& operation) {
    try {
      operation();
    } catch (const VantelException& e) {
      return e.what();
    }
    return "<no VantelException>";
  }

  std::vector<VantelWorkspace> workspaces(const std::string& payload) {
    bridge->script("GetAllWorkspaces", payload);
    return client.listWorkspaces("t", "");
  }
  std::string workspacesFailure(const std::string& payload) {
    bridge->script("GetAllWorkspaces", payload);
    return failureOf([&] { client.listWorkspaces("t", ""); });
  }
  VantelDirectory directory(const std::string& payload) {
    bridge->script("GetRootDirectory", payload);
    return client.getRootDirectory("t", 1);
  }
  std::vector<VantelFindRevisionResult> revisions(const std::string& payload) {
    bridge->script("FindRevision", payload);
    return client.findRevision("t", 1, "a", "b", "c", "d", false, false, false, false);
  }
  VantelUploadJobStatus status(const std::string& payload) {
    bridge->script("GetUploadStatus", payload);
    return client.getUploadStatus("j");
  }
  std::string statusFailure(const std::string& payload) {
    bridge->script("GetUploadStatus", payload);
    return failureOf([&] { client.getUploadStatus("j"); });
  }
  VantelUploadResult uploadResult(const std::string& payload, const std::string& error) {
    bridge->script("Upload", payload, error);
    return client.upload("t", VantelUploadPayload{}, false);
  }
};

// Workspaces and the numeric rule.

TEST_F(PayloadParsersTest, AWorkspaceListMustBeAnArray) {
  EXPECT_EQ(workspacesFailure(R"({"id":1,"name":"w"})"),
            "Failed to parse workspaces payload: Workspaces payload is not an array");
  EXPECT_THAT(workspacesFailure("[{\"id\":1,\"name\":\"w\"},]"),
              StartsWith("Failed to parse workspaces payload: [json.exception.parse_error."));
  EXPECT_THAT(workspacesFailure("[] // no comments"),
              StartsWith("Failed to parse workspaces payload: [json.exception.parse_error."));
}

TEST_F(PayloadParsersTest, AWorkspaceReadsEveryKey) {
  const auto list = workspaces(
      R"([{"id":7,"name":"Getriebe \u00e4","color":"#fff","created_by_user_id":"12",)"
      R"("created_time":"t1","modified_time":"t2","downloading_allowed":true,"project_id":3,)"
      R"("source_state":"Released","uuid":"u-1","unknown":{"ignored":true}},)"
      R"({"id":8,"name":"second"}])");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].id, 7);
  EXPECT_EQ(list[0].name, "Getriebe \xc3\xa4");
  EXPECT_EQ(list[0].color, "#fff");
  EXPECT_EQ(list[0].createdByUserId, 12);
  EXPECT_EQ(list[0].createdTime, "t1");
  EXPECT_EQ(list[0].modifiedTime, "t2");
  EXPECT_TRUE(list[0].downloadingAllowed);
  EXPECT_EQ(list[0].projectId, 3);
  EXPECT_EQ(list[0].sourceState, "Released");
  EXPECT_EQ(list[0].uuid, "u-1");
  EXPECT_EQ(list[1].color, "");
  EXPECT_FALSE(list[1].createdByUserId.has_value());
  EXPECT_FALSE(list[1].downloadingAllowed);
  EXPECT_FALSE(list[1].projectId.has_value());
  EXPECT_FALSE(list[1].sourceState.has_value());
}

TEST_F(PayloadParsersTest, OptionalWorkspaceMembersToleranceDiffersByKind) {
  const auto list =
      workspaces(R"([{"id":1,"name":"a","downloading_allowed":"true","project_id":null,)"
                 R"("created_by_user_id":null,"source_state":5}])");
  EXPECT_FALSE(list[0].downloadingAllowed);
  EXPECT_FALSE(list[0].projectId.has_value());
  EXPECT_FALSE(list[0].createdByUserId.has_value());
  EXPECT_FALSE(list[0].sourceState.has_value());

  EXPECT_THAT(workspacesFailure(R"([{"id":1,"name":"a","color":null}])"),
              StartsWith("Failed to parse workspaces payload: [json.exception.type_error.302]"));
  EXPECT_THAT(workspacesFailure(R"([{"id":1}])"),
              StartsWith("Failed to parse workspaces payload: [json.exception.out_of_range.403]"));
  EXPECT_THAT(workspacesFailure(R"([{"id":1,"name":"a"},{"id":2,"name":3}])"),
              StartsWith("Failed to parse workspaces payload: [json.exception.type_error.302]"));
  EXPECT_THAT(workspacesFailure(R"([5])"),
              StartsWith("Failed to parse workspaces payload: [json.exception.type_error.304]"));
}

TEST_F(PayloadParsersTest, NumericRuleAcceptsDigitsInTextAndRoundsFloatsHalfAwayFromZero) {
  const auto list =
      workspaces(R"([{"id":"123","name":"a"},{"id":123.0,"name":"b"},{"id":"123abc","name":"c"},)"
                 R"({"id":"  -42","name":"d"},{"id":2.5,"name":"e"},{"id":-2.5,"name":"f"},)"
                 R"({"id":2.49,"name":"g"},{"id":9223372036854775807,"name":"h"},)"
                 R"({"id":-9223372036854775808,"name":"i"},{"id":"+7","name":"j"}])");
  std::vector<int64_t> ids;
  for (const VantelWorkspace& w : list) ids.push_back(w.id);
  EXPECT_THAT(ids, ElementsAre(123, 123, 123, -42, 3, -3, 2, INT64_MAX, INT64_MIN, 7));
}

TEST_F(PayloadParsersTest, NumericRuleRefusesWhatHasNoSigned64BitValue) {
  EXPECT_EQ(workspacesFailure(R"([{"id":"abc","name":"a"}])"),
            "Failed to parse workspaces payload: invalid stoll argument");
  EXPECT_EQ(workspacesFailure(R"([{"id":"","name":"a"}])"),
            "Failed to parse workspaces payload: invalid stoll argument");
  EXPECT_EQ(workspacesFailure(R"([{"id":"99999999999999999999","name":"a"}])"),
            "Failed to parse workspaces payload: stoll argument out of range");
  EXPECT_EQ(workspacesFailure(R"([{"id":1e300,"name":"a"}])"),
            "Failed to parse workspaces payload: Numeric value out of range");
  EXPECT_EQ(workspacesFailure(R"([{"id":-1e19,"name":"a"}])"),
            "Failed to parse workspaces payload: Numeric value out of range");
  EXPECT_EQ(workspacesFailure(R"([{"id":9223372036854775807.0,"name":"a"}])"),
            "Failed to parse workspaces payload: Numeric value out of range");
  EXPECT_EQ(workspacesFailure(R"([{"id":9223372036854775808,"name":"a"}])"),
            "Failed to parse workspaces payload: Numeric value out of range");
  EXPECT_EQ(workspacesFailure(R"([{"id":true,"name":"a"}])"),
            "Failed to parse workspaces payload: Expected numeric value");
  EXPECT_EQ(workspacesFailure(R"([{"id":null,"name":"a"}])"),
            "Failed to parse workspaces payload: Expected numeric value");
  EXPECT_EQ(workspacesFailure(R"([{"id":1,"name":"a","project_id":[1]}])"),
            "Failed to parse workspaces payload: Expected numeric value");
}

TEST_F(PayloadParsersTest, ASingleWorkspaceHasItsOwnPrefix) {
  bridge->script("GetWorkspace", R"({"id":"5","name":"one"})");
  EXPECT_EQ(client.getWorkspace("t", 5).name, "one");
  bridge->script("GetWorkspace", "[1]");
  EXPECT_THAT(failureOf([&] { client.getWorkspace("t", 5); }),
              StartsWith("Failed to parse workspace payload: [json.exception.type_error.304]"));
}

// Users and directories.

TEST_F(PayloadParsersTest, AUserMustBeAnObject) {
  bridge->script("GetCurrentUser",
                 R"({"id":3,"company_id":"9","email":"e@synquo.example","username":"u",)"
                 R"("first_name":"F","last_name":"L","phone_number":"p","job_title":"j",)"
                 R"("created_time":"c","modified_time":"m"})");
  const VantelUser user = client.getCurrentUser("t");
  EXPECT_EQ(user.id, 3);
  EXPECT_EQ(user.companyId, 9);
  EXPECT_EQ(user.email, "e@synquo.example");
  EXPECT_EQ(user.username, "u");
  EXPECT_EQ(user.firstName, "F");
  EXPECT_EQ(user.lastName, "L");
  EXPECT_EQ(user.phoneNumber, "p");
  EXPECT_EQ(user.jobTitle, "j");
  EXPECT_EQ(user.createdTime, "c");
  EXPECT_EQ(user.modifiedTime, "m");

  bridge->script("GetWorkspaceUser", "[]");
  EXPECT_EQ(failureOf([&] { client.getWorkspaceUser("t", 1, 2); }),
            "Failed to parse user payload: VantelUser payload is not a JSON object");
  bridge->script("GetCurrentUser", "");
  EXPECT_THAT(failureOf([&] { client.getCurrentUser("t"); }),
              StartsWith("Failed to parse user payload: [json.exception.parse_error.101]"));
}

TEST_F(PayloadParsersTest, ADirectoryParentIdIsTextWhateverItArrivesAs) {
  EXPECT_EQ(directory(R"({"id":1,"name":"d","parent_id":17})").parentId, "17");
  EXPECT_EQ(directory(R"({"id":1,"name":"d","parent_id":17.5})").parentId, "18");
  EXPECT_EQ(directory(R"({"id":1,"name":"d","parent_id":"p-17"})").parentId, "p-17");
  EXPECT_FALSE(directory(R"({"id":1,"name":"d","parent_id":true})").parentId.has_value());
  EXPECT_FALSE(directory(R"({"id":1,"name":"d","parent_id":null})").parentId.has_value());
  const VantelDirectory full =
      directory(R"({"id":"4","name":"root","created_time":"c","modified_time":"m"})");
  EXPECT_EQ(full.id, 4);
  EXPECT_EQ(full.name, "root");
  EXPECT_EQ(full.createdTime, "c");
  EXPECT_EQ(full.modifiedTime, "m");
  EXPECT_FALSE(full.parentId.has_value());
}

TEST_F(PayloadParsersTest, DirectoryMessages) {
  bridge->script("GetRootDirectory", "\"root\"");
  EXPECT_EQ(failureOf([&] { client.getRootDirectory("t", 1); }),
            "Failed to parse directory payload: VantelDirectory payload is not a JSON object");
  bridge->script("CreateDirectory", R"({"id":1})");
  EXPECT_THAT(failureOf([&] { client.createDirectory("t", 1, 2, "n"); }),
              StartsWith("Failed to parse directory payload: [json.exception.out_of_range.403]"));
  bridge->script("GetSubDirectories", R"({"id":1,"name":"d"})");
  EXPECT_EQ(failureOf([&] { client.listSubDirectories("t", 1, 2); }),
            "Failed to parse directory list payload: VantelDirectory list payload is not an array");
  bridge->script("GetSubDirectories", R"([{"id":1,"name":"a"},{"id":"x","name":"b"}])");
  EXPECT_EQ(failureOf([&] { client.listSubDirectories("t", 1, 2); }),
            "Failed to parse directory list payload: invalid stoll argument");
  bridge->script("GetSubDirectories", R"([{"id":1,"name":"a"},{"id":2,"name":"b"}])");
  const auto list = client.listSubDirectories("t", 1, 2);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].name, "b");
}

// Revisions, strings, tokens.

TEST_F(PayloadParsersTest, ARevisionPayloadMayBeOneValueOrAnArray) {
  const auto single = revisions(
      R"({"asset_id":1,"bom_asset_id":"2","directory_id":3.0,"link":"https://synquo.example/r",)"
      R"("revision_link_id":4,"workspace_id":5,"bom_revision_id":"b","unresolved_feedback_count":6,)"
      R"("review":{"id":7,"status":"approved"},"message":"m","source_version":"A.1",)"
      R"("source_revision_id":"r1"})");
  ASSERT_EQ(single.size(), 1u);
  const VantelFindRevisionResult& r = single[0];
  EXPECT_EQ(r.assetId, 1);
  EXPECT_EQ(r.bomAssetId, 2);
  EXPECT_EQ(r.directoryId, 3);
  EXPECT_EQ(r.link, "https://synquo.example/r");
  EXPECT_EQ(r.revisionLinkId, 4);
  EXPECT_EQ(r.workspaceId, 5);
  EXPECT_EQ(r.bomRevisionId, "b");
  EXPECT_EQ(r.unresolvedFeedbackCount, 6);
  EXPECT_EQ(r.reviewId, 7);
  EXPECT_EQ(r.reviewStatus, "approved");
  EXPECT_EQ(r.message, "m");
  EXPECT_EQ(r.sourceVersion, "A.1");
  EXPECT_EQ(r.sourceRevisionId, "r1");

  const auto number = revisions("5");
  ASSERT_EQ(number.size(), 1u);
  EXPECT_FALSE(number[0].assetId.has_value());
  EXPECT_EQ(number[0].link, "");

  const auto list = revisions(R"([{"asset_id":1,"review":null},"text",{"asset_id":null}])");
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].assetId, 1);
  EXPECT_FALSE(list[0].reviewId.has_value());
  EXPECT_FALSE(list[1].assetId.has_value());
  EXPECT_FALSE(list[2].assetId.has_value());

  bridge->script("FindRevision", R"([{"asset_id":"none"}])");
  EXPECT_EQ(failureOf([&] { client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0); }),
            "Failed to parse revision payload: invalid stoll argument");
  bridge->script("FindRevision", "{");
  EXPECT_THAT(failureOf([&] { client.findRevision("t", 1, "a", "b", "c", "d", 0, 0, 0, 0); }),
              StartsWith("Failed to parse revision payload: [json.exception.parse_error."));
}

TEST_F(PayloadParsersTest, FileTypesAreAnArrayOfTexts) {
  bridge->script("ListSupportedFileTypes", R"(["prt","pdf"])");
  EXPECT_THAT(client.listSupportedFileTypes("t"), ElementsAre("prt", "pdf"));
  bridge->script("ListSupportedFileTypes", R"({"types":[]})");
  EXPECT_EQ(failureOf([&] { client.listSupportedFileTypes("t"); }),
            "Failed to parse string list payload: String list payload is not an array");
  bridge->script("ListSupportedFileTypes", R"(["prt",3])");
  EXPECT_THAT(failureOf([&] { client.listSupportedFileTypes("t"); }),
              StartsWith("Failed to parse string list payload: [json.exception.type_error.302]"));
}

TEST_F(PayloadParsersTest, SignInTokensNeedAnAccessToken) {
  bridge->script("LocalAuthFlowComplete", R"({"access_token":""})");
  const VantelLocalAuthTokens empty = client.localAuthFlowComplete();
  EXPECT_EQ(empty.accessToken, "");
  EXPECT_EQ(empty.refreshToken, "");

  const auto failure = [&](const std::string& payload) {
    bridge->script("LocalAuthFlowGenerateAccessToken", payload);
    return failureOf([&] { client.localAuthFlowGenerateAccessToken("r"); });
  };
  EXPECT_EQ(failure(""), "Failed to parse local auth tokens: Local auth payload is empty");
  EXPECT_EQ(failure("[]"),
            "Failed to parse local auth tokens: Local auth payload is not a JSON object");
  EXPECT_EQ(failure(R"({"refresh_token":"r"})"),
            "Failed to parse local auth tokens: Missing access_token in response");
  EXPECT_THAT(failure(R"({"access_token":null})"),
              StartsWith("Failed to parse local auth tokens: [json.exception.type_error.302]"));
  EXPECT_THAT(failure("{"),
              StartsWith("Failed to parse local auth tokens: [json.exception.parse_error."));
}

// Upload jobs.

TEST_F(PayloadParsersTest, AnUploadJobStartNeedsAJobId) {
  const auto failure = [&](const std::string& payload) {
    bridge->script("StartUpload", payload);
    return failureOf([&] { client.startUpload("t", VantelUploadPayload{}, false); });
  };
  EXPECT_EQ(failure(""),
            "Failed to parse upload job start payload: Upload job start payload is empty");
  EXPECT_EQ(failure("\"j\""),
            "Failed to parse upload job start payload: Upload job start payload is not a JSON "
            "object");
  EXPECT_THAT(failure("{}"), StartsWith("Failed to parse upload job start payload: "
                                        "[json.exception.out_of_range.403]"));
}

TEST_F(PayloadParsersTest, AnUploadStatusReadsProgressRegistrationAndCancellation) {
  const VantelUploadJobStatus s =
      status(statusJson(kStatusProgress, R"(,"expires_at":"e","errors":["x","y"])"));
  EXPECT_EQ(s.jobId, "j");
  EXPECT_EQ(s.status, "running");
  EXPECT_EQ(s.createdAt, "c");
  EXPECT_EQ(s.updatedAt, "u");
  EXPECT_EQ(s.expiresAt, "e");
  EXPECT_EQ(s.inputFilesTotal, 2);
  EXPECT_EQ(s.workspacesTotal, 1);
  EXPECT_EQ(s.filesTotal, 3);
  EXPECT_EQ(s.filesUploading, 1);
  EXPECT_EQ(s.filesUploaded, 1);
  EXPECT_EQ(s.filesFailed, 0);
  EXPECT_EQ(s.filesRemaining, 1);
  EXPECT_EQ(s.bytesTotal, 5000000000);
  EXPECT_EQ(s.bytesUploaded, 1234);
  EXPECT_EQ(s.registrationPending, 1);
  EXPECT_EQ(s.registrationRegistering, 0);
  EXPECT_EQ(s.registrationRegistered, 2);
  EXPECT_EQ(s.registrationFailed, 0);
  EXPECT_EQ(s.registrationSkipped, 1);  // the low 32 bits of 2^32 + 1
  EXPECT_FALSE(s.cancellationRequested);
  EXPECT_TRUE(s.canCancel);
  EXPECT_FALSE(s.cancellationReason.has_value());
  EXPECT_THAT(s.errors, ElementsAre("x", "y"));
}

TEST_F(PayloadParsersTest, UploadStatusOptionalPartsAndMessages) {
  const VantelUploadJobStatus objectErrors =
      status(statusJson(kStatusProgress, R"(,"expires_at":5,"errors":{"a":"b"})"));
  EXPECT_THAT(objectErrors.errors, IsEmpty());
  EXPECT_FALSE(objectErrors.expiresAt.has_value());

  std::string noFilesFailed = kStatusProgress;
  noFilesFailed.replace(noFilesFailed.find("\"files_failed\":0,"), 17, "");
  const std::string missing = statusFailure(statusJson(noFilesFailed));
  EXPECT_THAT(missing, StartsWith("Failed to parse upload job status payload: "
                                  "[json.exception.out_of_range.403]"));
  EXPECT_THAT(missing, HasSubstr("'files_failed' not found"));

  EXPECT_EQ(statusFailure(""),
            "Failed to parse upload job status payload: Upload job status payload is empty");
  EXPECT_EQ(statusFailure("[]"),
            "Failed to parse upload job status payload: Upload job status payload is not a JSON "
            "object");
  EXPECT_THAT(statusFailure(statusJson(kStatusProgress, R"(,"errors":["x",1])")),
              StartsWith("Failed to parse upload job status payload: "
                         "[json.exception.type_error.302]"));
  std::string textFlag = statusJson(kStatusProgress);
  textFlag.replace(textFlag.find("\"requested\":false"), 17, "\"requested\":\"false\"");
  EXPECT_THAT(statusFailure(textFlag), StartsWith("Failed to parse upload job status payload: "
                                                  "[json.exception.type_error.302]"));
}

// Synchronous upload results.

TEST_F(PayloadParsersTest, UploadEntriesKeepTheFirstValueOfAName) {
  const VantelUploadResult result =
      uploadResult(R"([{"a":"first","b":"x"},{"a":"second"},["p","q"],"plain",{"":"late"}])", "");
  EXPECT_THAT(result.entries, ElementsAre(std::make_pair("", "plain"), std::make_pair("0", "p"),
                                          std::make_pair("1", "q"), std::make_pair("a", "first"),
                                          std::make_pair("b", "x")));
  EXPECT_THAT(result.errors, IsEmpty());
}

TEST_F(PayloadParsersTest, UploadErrorsAreTheNonEmptyTrimmedCommaSeparatedItems) {
  EXPECT_THAT(uploadResult("", "a, b ,, ").errors, ElementsAre("a", "b"));
  EXPECT_THAT(uploadResult("", "\tonly one\n").errors, ElementsAre("only one"));
  EXPECT_THAT(uploadResult("", " , ,").errors, IsEmpty());
  const VantelUploadResult both = uploadResult(R"([{"f.prt":"9"}])", "g.prt failed");
  EXPECT_THAT(both.entries, ElementsAre(std::make_pair("f.prt", "9")));
  EXPECT_THAT(both.errors, ElementsAre("g.prt failed"));
  const VantelUploadResult none = uploadResult("", "");
  EXPECT_THAT(none.entries, IsEmpty());
  EXPECT_THAT(none.errors, IsEmpty());
}

TEST_F(PayloadParsersTest, UploadResultMessages) {
  bridge->script("Upload", R"({"a":"b"})", "ignored");
  EXPECT_EQ(failureOf([&] { client.upload("t", VantelUploadPayload{}, false); }),
            "Failed to parse upload payload: Upload result payload is not an array");
  bridge->script("Upload", R"([{"a":1}])");
  EXPECT_THAT(failureOf([&] { client.upload("t", VantelUploadPayload{}, false); }),
              StartsWith("Failed to parse upload payload: [json.exception.type_error.302]"));
  bridge->script("Upload", R"([null])");
  EXPECT_THAT(failureOf([&] { client.upload("t", VantelUploadPayload{}, false); }),
              StartsWith("Failed to parse upload payload: [json.exception.type_error.302]"));
}

}  // namespace
}  // namespace vantel
