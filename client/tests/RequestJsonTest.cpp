// The JSON the client writes for Torvane: initialize options, upload source and upload
// payload, members left out when empty, keys in byte order, UTF-8 unescaped.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <string>

namespace vantel {
namespace {

template <typename Record>
std::string compact(const Record& record) {
  return nlohmann::json(record).dump();
}

TEST(UploadSourceJson, TheAddInsOwnSourceIsBrevin) {
  EXPECT_EQ(compact(VantelUploadSource{VantelUploadSourceType::Brevin, "", ""}),
            R"({"source":"brevin"})");
  EXPECT_EQ(compact(VantelUploadSource{VantelUploadSourceType::Brevin, "nx-1", "NX \xc3\xa4"}),
            "{\"display_name\":\"NX \xc3\xa4\",\"source\":\"brevin\",\"source_id\":\"nx-1\"}");
}

TEST(UploadSourceJson, EveryMemberHasItsOwnIdentifier) {
  std::set<std::string> identifiers;
  for (int32_t value = 0; value <= 12; ++value) {
    const std::string identifier =
        uploadSourceIdentifier(static_cast<VantelUploadSourceType>(value));
    EXPECT_FALSE(identifier.empty());
    identifiers.insert(identifier);
  }
  EXPECT_EQ(identifiers.size(), 13u);
  EXPECT_EQ(uploadSourceIdentifier(VantelUploadSourceType::Brevin), "brevin");
  EXPECT_EQ(static_cast<int32_t>(VantelUploadSourceType::Brevin), 9);
}

TEST(UploadSourceJson, AValueOutsideTheEnumerationIsRefused) {
  for (const int32_t value : {-1, 13, 1000}) {
    VantelUploadSource source;
    source.sourceType = static_cast<VantelUploadSourceType>(value);
    try {
      compact(source);
      FAIL() << value;
    } catch (const std::invalid_argument& e) {
      EXPECT_STREQ(e.what(), "unknown upload source enum value");
    }
  }
}

TEST(UploadConfigurationJson, WritesOnlyTheValuesItHolds) {
  EXPECT_EQ(compact(VantelUploadConfiguration{}), "{}");
  VantelUploadConfiguration configuration;
  configuration.registerOnlyIfAllFilesUploaded = false;
  configuration.jobRetentionMinutes = -5;
  configuration.maxRetainedJobs = 20;
  EXPECT_EQ(
      compact(configuration),
      R"({"jobRetentionMinutes":-5,"maxRetainedJobs":20,"registerOnlyIfAllFilesUploaded":false})");
}

TEST(InitializeOptionsJson, EmptyOptionsGiveTheEmptyObject) {
  EXPECT_EQ(compact(VantelInitializeOptions{}), "{}");
  VantelInitializeOptions emptyTexts;
  emptyTexts.logFile = "";
  emptyTexts.logLevel = "";
  EXPECT_EQ(compact(emptyTexts), "{}");
}

TEST(InitializeOptionsJson, WritesEveryMemberItHolds) {
  VantelInitializeOptions options;
  options.logFile = "C:\\Users\\J\xc3\xb6rg\\synquo-torvane-integration.log";
  options.logLevel = "debug";
  options.disableStdStreams = true;
  options.debugMode = false;
  options.usRegion = false;
  options.registerOnlyIfAllFilesUploaded = true;
  options.uploadConfiguration = VantelUploadConfiguration{std::nullopt, 30, std::nullopt};
  options.externalServer =
      nlohmann::json::parse(R"({"url":"https://api.synquo.example","n":[1,2]})");
  options.uploadSource = VantelUploadSource{VantelUploadSourceType::Brevin, "", "NX"};
  options.serviceInfo = {{"nx", "2312"}, {"brevin", "1.0"}};
  EXPECT_EQ(compact(options),
            "{\"debugMode\":false,\"disableStdStreams\":true,"
            "\"externalServer\":{\"n\":[1,2],\"url\":\"https://api.synquo.example\"},"
            "\"logFile\":\"C:\\\\Users\\\\J\xc3\xb6rg\\\\synquo-torvane-integration.log\","
            "\"logLevel\":\"debug\",\"registerOnlyIfAllFilesUploaded\":true,"
            "\"serviceInfo\":{\"brevin\":\"1.0\",\"nx\":\"2312\"},"
            "\"uploadConfiguration\":{\"jobRetentionMinutes\":30},"
            "\"uploadSource\":{\"display_name\":\"NX\",\"source\":\"brevin\"},"
            "\"usRegion\":false}");
}

TEST(UploadPayloadJson, AnEmptyPayloadStillHasFilesAndAnUploadOption) {
  EXPECT_EQ(compact(VantelUploadPayload{}), R"({"files":[],"upload_option":"individual"})");
}

TEST(UploadPayloadJson, TheUploadOptionDefaultsByFileCount) {
  VantelUploadPayload payload;
  payload.files.resize(1);
  EXPECT_EQ(nlohmann::json(payload).at("upload_option"), "individual");
  payload.uploadOption = "";
  payload.files.resize(2);
  EXPECT_EQ(nlohmann::json(payload).at("upload_option"), "assembly");
  payload.uploadOption = "drawing";
  EXPECT_EQ(nlohmann::json(payload).at("upload_option"), "drawing");
  payload.files[1].autodiscoverModelId.reset();
  EXPECT_EQ(compact(payload),
            R"({"files":[{"autodiscover_model_id":true},{}],"upload_option":"drawing"})");
}

TEST(UploadPayloadJson, WorkspaceIdsAreDecimalKeysInByteOrder) {
  VantelUploadPayload payload;
  payload.workspaces = {{10, 1}, {9, 2}, {-3, 4}};
  EXPECT_EQ(compact(payload),
            R"({"files":[],"upload_option":"individual","workspaces":{"-3":4,"10":1,"9":2}})");
}

TEST(UploadPayloadJson, WritesEveryMemberItHolds) {
  VantelUploadPayload payload;
  payload.workspaces = {{5, 6}};
  payload.securityAttributes = {{"zone", {"eu", "de"}}, {"class", {}}};
  payload.parentFile = "asm.prt";
  payload.sourceState = "Released";
  payload.sourceRevisionName = "A";
  payload.sourceRevisionTime = "2026-01-02T03:04:05Z";
  payload.sourceRevisionUser = "designer";
  payload.sourceRevisionVersion = "3";
  payload.sourceRevisionId = "";
  VantelUploadPayloadFile file;
  file.localFilePath = "/tmp/x/asm.prt";
  file.filename = "asm.prt";
  file.securityAttributes = {{"zone", {"eu"}}};
  file.sourceFilePath = "@DB/100/A";
  file.sourceFileId = "fid";
  file.sourceRevisionId = "rid";
  file.sourceFolderId = "";
  file.sourceVersionId = "vid";
  file.autodiscoverModelId = false;
  payload.files.push_back(file);
  EXPECT_EQ(compact(payload),
            "{\"files\":[{\"autodiscover_model_id\":false,\"filename\":\"asm.prt\","
            "\"local_file_path\":\"/tmp/x/asm.prt\","
            "\"security_attributes\":{\"zone\":[\"eu\"]},\"source_file_id\":\"fid\","
            "\"source_file_path\":\"@DB/100/A\",\"source_revision_id\":\"rid\","
            "\"source_version_id\":\"vid\"}],"
            "\"parent_file\":\"asm.prt\","
            "\"security_attributes\":{\"class\":[],\"zone\":[\"eu\",\"de\"]},"
            "\"source_revision_name\":\"A\",\"source_revision_time\":\"2026-01-02T03:04:05Z\","
            "\"source_revision_user\":\"designer\",\"source_revision_version\":\"3\","
            "\"source_state\":\"Released\",\"upload_option\":\"individual\","
            "\"workspaces\":{\"5\":6}}");
}

TEST(UploadPayloadJson, ToJsonReplacesWhatTheTargetHeld) {
  nlohmann::json target = nlohmann::json::array({1, 2});
  to_json(target, VantelUploadConfiguration{});
  EXPECT_EQ(target.dump(), "{}");
}

TEST(UploadPayloadJson, InvalidUtf8FailsWhenWritten) {
  VantelUploadPayloadFile file;
  file.filename = "J\xf6rg.prt";
  const nlohmann::json value(file);
  EXPECT_THROW(value.dump(), nlohmann::json::type_error);
}

}  // namespace
}  // namespace vantel
