// An upload prepared for a user named Jörg, with non-ASCII model names, written as the
// client's request JSON: every path must reach it as UTF-8 and still name the file. Its own
// executable, because the session temporary base is found once per process.
#include <gtest/gtest.h>
#include <vantel/vantel.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "addin/export/DisplayMetadata.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/tests/support/ModelFixture.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;

constexpr const char* kRootId = "11111111-1111-4111-8111-111111111111";
constexpr const char* kMemberId = "22222222-2222-4222-8222-222222222222";

using UploadJsonPaths = testsupport::ModelFixture;

bool isInside(const fs::path& path, const fs::path& directory) {
  const fs::path relative = path.lexically_relative(directory);
  return !relative.empty() && *relative.begin() != "..";
}

TEST_F(UploadJsonPaths, NonAsciiPathsReachTheJsonAsUtf8) {
  const fs::path jorg = base_ / platform::fromUtf8("J\xc3\xb6rg");
  fs::create_directories(jorg);
  addin_.platform().setTempDirectory(jorg / "");
  struct Row {
    const char* name;  // UTF-8
    const char* id;
  };
  const std::vector<Row> rows = {
      {"Gr\xc3\xbc\xc3\x9f"
       "e.prt",
       kRootId},
      {"Mutter_\xc3\xa4.prt", kMemberId},
  };
  const tag_t root = display(native(rows[0].name, rows[0].id));
  nxsim::addComponent(root, nxsim::addPart(native(rows[1].name, rows[1].id)));

  ModelMetadata metadata = readDisplayMetadata();
  prepareUpload(metadata);
  ASSERT_EQ(metadata.preparationError, "");
  vantel::VantelUploadPayload payload;
  payload.parentFile = metadata.uploadName;
  payload.files = metadata.files;
  const nlohmann::json request = nlohmann::json::parse(nlohmann::json(payload).dump());

  const fs::path session = sessionTempDirectory(kRootId);
  EXPECT_TRUE(isInside(session, jorg));
  EXPECT_EQ(request.at("parent_file").get<std::string>(), rows[0].name);
  const nlohmann::json& files = request.at("files");
  ASSERT_EQ(files.size(), rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    const nlohmann::json& file = files.at(i);
    const fs::path local = platform::fromUtf8(file.at("local_file_path").get<std::string>());
    EXPECT_TRUE(fs::is_regular_file(local));
    EXPECT_TRUE(isInside(local, session));
    EXPECT_EQ(file.at("filename").get<std::string>(), rows[i].name);
    EXPECT_EQ(file.at("source_file_path").get<std::string>(),
              platform::toUtf8(models_ / rows[i].name));
  }
}

}  // namespace
}  // namespace synquo
