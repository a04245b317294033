// Reading a file of JSON lines while another process appends to it.
#include "sim/runner/JsonLinesFile.h"

#include <gtest/gtest.h>

#include <fstream>

#include "sim/runner/RunnerPlatform.h"

namespace simrunner {
namespace {

namespace fs = std::filesystem;

class JsonLinesFileTest : public ::testing::Test {
 protected:
  void TearDown() override { fs::remove_all(dir_); }
  void append(const std::string& text) {
    std::ofstream out(file_, std::ios::app | std::ios::binary);
    out << text;
  }
  fs::path dir_ = makeTemporaryDirectory("jsonlines-test-");
  fs::path file_ = dir_ / "journal.jsonl";
};

TEST_F(JsonLinesFileTest, AMissingFileHasNoLines) {
  JsonLinesFile journal(file_);
  EXPECT_TRUE(journal.readNew().empty());
}

TEST_F(JsonLinesFileTest, OnlyCompleteLinesAreTakenAndEachOnlyOnce) {
  JsonLinesFile journal(file_);
  append("{\"fn\":\"A\"}\n{\"fn\":");
  auto fresh = journal.readNew();
  ASSERT_EQ(fresh.size(), 1u);
  EXPECT_EQ(fresh[0].at("fn"), "A");
  EXPECT_TRUE(journal.readNew().empty());
  append("\"B\"}\r\n\nnot json\n");
  fresh = journal.readNew();
  ASSERT_EQ(fresh.size(), 2u);
  EXPECT_EQ(fresh[0].at("fn"), "B");
  EXPECT_EQ(fresh[1], "not json");
  EXPECT_EQ(journal.lines().size(), 3u);
}

}  // namespace
}  // namespace simrunner
