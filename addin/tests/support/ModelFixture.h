// A fixture for the export tests: the simulated NX reset, session temporary directories and
// settings in place, and helpers that make parts backed by real files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "addin/tests/support/LogCapture.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "addin/tests/support/TestFiles.h"
#include "sim/nx/NxSim.h"

namespace testsupport {

class ModelFixture : public SessionTempFixture {
 public:
  ModelFixture();
  ~ModelFixture() override;

  // A native part saved in the models directory with that many bytes (the name in UTF-8); an
  // empty file name gives a part never saved, whose leaf is "draft".
  nxsim::PartDefinition native(const std::string& fileName, const std::string& id,
                               size_t bytes = 0) const;
  // A Teamcenter part whose leaf is its number, revision "B" with the id "B.2".
  static nxsim::PartDefinition managed(const std::string& number, const std::string& id);
  static tag_t display(const nxsim::PartDefinition& definition);

  // Lines with {m} (the models directory) and {s} (the given directory) replaced, each
  // followed by a separator; {shared} is the given directory itself.
  std::vector<std::string> expand(const std::vector<std::string>& lines,
                                  const std::filesystem::path& shared = {}) const;

  TempDir models_{"brevin-models"};
};

// The log entries whose message starts with one of the prefixes.
std::vector<std::string> linesStartingWith(const LogCapture& log,
                                           const std::vector<std::string>& prefixes);

}  // namespace testsupport
