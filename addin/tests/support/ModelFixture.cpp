// The export tests' fixture.
#include "addin/tests/support/ModelFixture.h"

#include "addin/platform/TextEncoding.h"
#include "addin/traceability/TraceabilityStatus.h"

namespace testsupport {

namespace fs = std::filesystem;

namespace {

std::string replaceAll(std::string text, const std::string& name, const std::string& value) {
  for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
    text.replace(at, name.size(), value);
    at += value.size();
  }
  return text;
}

}  // namespace

ModelFixture::ModelFixture() {
  nxsim::reset();
  configure("false");
  synquo::clearTraceabilityError();
  synquo::clearTraceabilityChanged();
}

ModelFixture::~ModelFixture() {
  nxsim::setDialogDriver({});
  nxsim::reset();
  synquo::clearTraceabilityError();
  synquo::clearTraceabilityChanged();
}

nxsim::PartDefinition ModelFixture::native(const std::string& fileName, const std::string& id,
                                           size_t bytes) const {
  nxsim::PartDefinition part;
  part.uniqueIdentifier = id;
  if (fileName.empty()) {
    part.leaf = "draft";
  } else {
    part.fullPath = platform::toUtf8(models_ / fileName);
    writeFile(models_ / fileName, std::string(bytes, 'x'));
  }
  return part;
}

nxsim::PartDefinition ModelFixture::managed(const std::string& number, const std::string& id) {
  nxsim::PartDefinition part;
  part.leaf = number;
  part.uniqueIdentifier = id;
  nxsim::ManagedName name;
  name.partNumber = number;
  name.revision = "B";
  name.revisionId = "B.2";
  part.managed = name;
  return part;
}

tag_t ModelFixture::display(const nxsim::PartDefinition& definition) {
  const tag_t part = nxsim::addPart(definition);
  nxsim::setDisplayedPart(part);
  return part;
}

std::vector<std::string> ModelFixture::expand(const std::vector<std::string>& lines,
                                              const fs::path& shared) const {
  std::vector<std::string> result;
  for (const std::string& line : lines) {
    std::string text = replaceAll(line, "{m}", platform::toUtf8(models_.path() / ""));
    text = replaceAll(text, "{s}", platform::toUtf8(shared / ""));
    result.push_back(replaceAll(text, "{shared}", platform::toUtf8(shared)));
  }
  return result;
}

std::vector<std::string> linesStartingWith(const LogCapture& log,
                                           const std::vector<std::string>& prefixes) {
  std::vector<std::string> lines;
  for (const std::string& entry : log.entries()) {
    const size_t tag = entry.find("[Synquo] ");
    if (tag == std::string::npos) continue;
    for (const std::string& prefix : prefixes) {
      if (entry.compare(tag + 9, prefix.size(), prefix) == 0) {
        lines.push_back(entry);
        break;
      }
    }
  }
  return lines;
}

}  // namespace testsupport
