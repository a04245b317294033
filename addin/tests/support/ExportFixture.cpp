// The export test fixture.
#include "addin/tests/support/ExportFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"

namespace testsupport {

ExportFixture::ExportFixture() {
  nxsim::reset();
  log_.clear();
}

ExportFixture::~ExportFixture() { nxsim::reset(); }

nxsim::PartDefinition ExportFixture::nativePart(const std::string& fileName) {
  const std::filesystem::path file = models() / platform::fromUtf8(fileName);
  writeFile(file, "native part " + fileName);
  nxsim::PartDefinition definition;
  definition.fullPath = platform::toUtf8(file);
  definition.uniqueIdentifier = kUuid;
  return definition;
}

nxsim::PartDefinition ExportFixture::managedPart(const std::string& partNumber) {
  nxsim::PartDefinition definition;
  definition.fullPath = "@DB/" + partNumber + "/A";
  definition.leaf = partNumber;
  definition.uniqueIdentifier = kUuid;
  nxsim::ManagedName managed;
  managed.partNumber = partNumber;
  managed.revision = "A";
  managed.revisionId = "A.1";
  definition.managed = managed;
  return definition;
}

NXOpen::BasePart* ExportFixture::display(const nxsim::PartDefinition& definition) {
  const tag_t tag = nxsim::addPart(definition);
  nxsim::setDisplayedPart(tag);
  return nxsim::partObject(tag);
}

std::filesystem::path ExportFixture::sessionDirectory() const {
  return synquo::sessionTempDirectory(kUuid);
}

std::vector<std::string> ExportFixture::exportLog() const {
  std::vector<std::string> lines;
  for (const std::string& line : log_.entries()) {
    if (line.find("session temp") == std::string::npos) lines.push_back(line);
  }
  return lines;
}

std::string ExportFixture::expand(std::string text) const {
  const std::string separator =
      platform::toUtf8(std::filesystem::path(std::string(1, '/')).make_preferred());
  const std::pair<const char*, std::string> names[] = {
      {"{D}", "[DEBUG] [Synquo] "},
      {"{I}", "[INFO] [Synquo] "},
      {"{W}", "[WARNING] [Synquo] "},
      {"{E}", "[ERROR] [Synquo] "},
      {"{/}", separator},
      {"{models}", platform::toUtf8(models())},
      // Asked only when needed: asking makes the directory.
      {"{session}",
       text.find("{session}") == std::string::npos ? "" : platform::toUtf8(sessionDirectory())},
  };
  for (const auto& [name, value] : names) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, std::strlen(name), value);
      at += value.size();
    }
  }
  return text;
}

std::vector<std::string> ExportFixture::expand(const std::vector<std::string>& lines) const {
  std::vector<std::string> expanded;
  for (const std::string& line : lines) expanded.push_back(expand(line));
  return expanded;
}

void ExportFixture::expectNxClean() const {
  EXPECT_EQ(nxsim::violations(), std::vector<std::string>());
  EXPECT_EQ(nxsim::ufInitializeDepth(), 0);
  EXPECT_EQ(nxsim::outstandingAllocations(), 0);
}

}  // namespace testsupport
