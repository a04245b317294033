// A test fixture for the exports: the simulated NX reset, session temporary directories in a
// fresh base, model files in a folder with a non-ASCII name, and the log captured at Debug.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <NXOpen/BasePart.hxx>

#include "addin/tests/support/LogCapture.h"
#include "addin/tests/support/SessionTempFixture.h"
#include "sim/nx/NxSim.h"

namespace testsupport {

// Public, so table rows (lambdas given the fixture) can use it.
class ExportFixture : public SessionTempFixture {
 public:
  static constexpr const char* kUuid = "0f8fad5b-d9cb-469f-a165-70867728950e";

  ExportFixture();
  ~ExportFixture() override;

  // A saved native part whose file exists in the models folder (leaf: the name's stem).
  nxsim::PartDefinition nativePart(const std::string& fileName);
  // A Teamcenter part "@DB/<number>/A" that has no file of its own.
  nxsim::PartDefinition managedPart(const std::string& partNumber);
  // Adds the part and displays it.
  NXOpen::BasePart* display(const nxsim::PartDefinition& definition);

  const std::filesystem::path& models() const { return models_.path(); }
  // The session directory of the displayed part (kUuid).
  std::filesystem::path sessionDirectory() const;

  // Log entries without time stamps, leaving out the session directories' own lines.
  std::vector<std::string> exportLog() const;
  void clearLog() { log_.clear(); }
  // {D} {I} {W} {E}: level prefixes; {/}: the separator; {models}, {session}: those folders
  // in UTF-8.
  std::string expand(std::string text) const;
  std::vector<std::string> expand(const std::vector<std::string>& lines) const;

  // NX was left as it was found: no violation, no open UF bracket, no memory held.
  void expectNxClean() const;

  platform::FakePlatform& fakePlatform() { return addin_.platform(); }
  void emptySessionBase() { emptyBase(); }

 private:
  TempDir models_{"brevin-models-J\xc3\xb6rg"};
  LogCapture log_{logging::LogLevel::Debug};
};

}  // namespace testsupport
