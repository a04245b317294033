// The stage: a fresh directory from which the add-in is loaded, the way NX loads a
// user-function library from its installation folder, with its properties file, the Torvane
// library and the help map beside it, and the journals and fault file of the run.
#pragma once

#include <filesystem>

#include "sim/runner/Scenario.h"

namespace simrunner {

struct Stage {
  std::filesystem::path directory;
  std::filesystem::path addin;           // the module that is loaded
  std::filesystem::path torvaneLibrary;  // where the add-in looks for it (may be absent)
  std::filesystem::path torvaneHome;
  std::filesystem::path torvaneJournal;
  std::filesystem::path faultsFile;
  std::filesystem::path browserJournal;
  std::filesystem::path localAppData;  // Windows: the add-in's default log base
  std::filesystem::path seedFile;      // empty: the stand-in's own catalog
  // The preparation probe beside the add-in; empty when no step of the scenario needs it.
  std::filesystem::path probe;
};

// Fills the (existing, empty) directory for the scenario, copying from the add-in module's
// directory. Raises std::runtime_error naming what is missing.
Stage prepareStage(const Scenario& scenario, const std::filesystem::path& directory,
                   const std::filesystem::path& addinModule);

// Replaces the fault file's content with the object, so that the next Torvane call reads it.
void writeFaults(const std::filesystem::path& file, const nlohmann::json& faults);

// Where the add-in writes its log: the properties' log directory (relative to the add-in's
// directory), else LOCALAPPDATA's Synquo\NX\logs, else the add-in's directory.
std::filesystem::path expectedLogFile(const Scenario& scenario, const Stage& stage,
                                      const std::string& localAppData);

// The value of a key in properties text, trimmed; empty when absent.
std::string propertyValue(const std::string& propertiesText, const std::string& key);

}  // namespace simrunner
