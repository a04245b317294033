// Building the stage of a run.
#include "sim/runner/Stage.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "sim/runner/PreparationProbe.h"
#include "sim/runner/RunnerPlatform.h"

namespace simrunner {
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& file, const std::string& content) {
  // Written beside and renamed, so that a reader never sees half a file.
  const fs::path partial = file.parent_path() / (file.filename().string() + ".partial");
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) throw std::runtime_error("Cannot write " + partial.u8string());
  }
  // A reader holding the file open (Torvane reads the fault file at every call) makes the
  // replacement fail on Windows for a moment.
  std::error_code error;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::rename(partial, file, error);
    if (!error) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (error) {
    fs::remove(partial, error);
    throw std::runtime_error("Cannot write " + file.u8string());
  }
}

void copyInto(const fs::path& source, const fs::path& directory) {
  if (!fs::is_regular_file(source)) {
    throw std::runtime_error("Cannot stage " + source.u8string() + ": no such file");
  }
  // Removed first: mingw's copy_file refuses to overwrite whatever the options say.
  std::error_code error;
  fs::remove(directory / source.filename(), error);
  fs::copy_file(source, directory / source.filename(), error);
  if (error) {
    throw std::runtime_error("Cannot copy " + source.u8string() + " to " + directory.u8string() +
                             ": " + error.message());
  }
}

std::string trim(const std::string& text) {
  const char* space = " \t\r\n";
  const size_t first = text.find_first_not_of(space);
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(space) - first + 1);
}

}  // namespace

void writeFaults(const fs::path& file, const nlohmann::json& faults) {
  writeFile(file, faults.dump(2) + "\n");
}

Stage prepareStage(const Scenario& scenario, const fs::path& directory,
                   const fs::path& addinModule) {
  Stage stage;
  stage.directory = directory;
  const fs::path sourceDirectory = addinModule.parent_path();
  if (scenario.stage) {
    copyInto(addinModule, directory);
    stage.addin = directory / addinModule.filename();
    if (scenario.torvane.present) copyInto(sourceDirectory / torvaneFileName(), directory);
    const fs::path helpMap = sourceDirectory / "synquohelp.map";
    if (fs::exists(helpMap)) copyInto(helpMap, directory);
    if (scenario.propertiesText)
      writeFile(directory / "synquo.properties", *scenario.propertiesText);
  } else {
    if (!fs::is_regular_file(addinModule)) {
      throw std::runtime_error("Cannot load " + addinModule.u8string() + ": no such file");
    }
    stage.addin = addinModule;
  }
  stage.torvaneLibrary = stage.addin.parent_path() / torvaneFileName();
  const bool prepares =
      std::any_of(scenario.steps.begin(), scenario.steps.end(),
                  [](const Step& s) { return s.kind == Step::Kind::PrepareUpload; });
  if (prepares) {
    const fs::path probe = sourceDirectory / probeFileName();
    if (scenario.stage) {
      copyInto(probe, directory);
      stage.probe = directory / probe.filename();
    } else {
      stage.probe = probe;
    }
  }

  if (scenario.torvane.home.empty()) {
    stage.torvaneHome = directory / "torvane-home";
  } else {
    stage.torvaneHome = fs::u8path(scenario.torvane.home);
    if (stage.torvaneHome.is_relative()) stage.torvaneHome = scenario.directory / stage.torvaneHome;
  }
  fs::create_directories(stage.torvaneHome);
  stage.torvaneJournal = directory / "torvane-journal.jsonl";
  stage.faultsFile = directory / "torvane-faults.json";
  writeFaults(stage.faultsFile, scenario.faults);
  stage.browserJournal = directory / "browser-journal.jsonl";
  stage.localAppData = directory / "localappdata";
  fs::create_directories(stage.localAppData);
  if (scenario.torvane.seed) {
    if (scenario.torvane.seed->is_string()) {
      stage.seedFile = fs::u8path(scenario.torvane.seed->get<std::string>());
      if (stage.seedFile.is_relative()) stage.seedFile = scenario.directory / stage.seedFile;
      if (!fs::is_regular_file(stage.seedFile)) {
        throw std::runtime_error("The seed file " + stage.seedFile.u8string() + " does not exist");
      }
    } else {
      stage.seedFile = directory / "torvane-seed.json";
      writeFile(stage.seedFile, scenario.torvane.seed->dump(2) + "\n");
    }
  }
  return stage;
}

std::string propertyValue(const std::string& propertiesText, const std::string& key) {
  std::istringstream in(propertiesText);
  std::string line;
  std::string value;
  while (std::getline(in, line)) {
    const std::string trimmed = trim(line);
    if (trimmed.empty() || trimmed[0] == '#' || trimmed[0] == '!') continue;
    const size_t equals = trimmed.find('=');
    if (equals == std::string::npos) continue;
    if (trim(trimmed.substr(0, equals)) == key) value = trim(trimmed.substr(equals + 1));
  }
  return value;
}

fs::path expectedLogFile(const Scenario& scenario, const Stage& stage,
                         const std::string& localAppData) {
  const fs::path addinDirectory = stage.addin.parent_path();
  const std::string configured =
      scenario.propertiesText ? propertyValue(*scenario.propertiesText, "synquo_nx_log_directory")
                              : std::string();
  fs::path directory;
  if (!configured.empty()) {
    directory = fs::u8path(configured);
    if (directory.is_relative()) directory = addinDirectory / directory;
  } else if (!localAppData.empty()) {
    directory = fs::u8path(localAppData) / "Synquo" / "NX" / "logs";
  } else {
    directory = addinDirectory;
  }
  return directory / "synquo-integration.log";
}

}  // namespace simrunner
