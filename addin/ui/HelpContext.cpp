// The add-in's help context.
#include "addin/ui/HelpContext.h"

#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include <uf_help.h>

#include "addin/common/CurrentException.h"
#include "addin/logging/Log.h"
#include "addin/nx/UfScope.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"

namespace ui {
namespace {

constexpr const char* kHelpMapFileName = "synquohelp.map";

std::string computeHelpMapFilePath() {
  const std::filesystem::path directory = synquo::propertiesFilePath().parent_path();
  if (directory.empty()) return kHelpMapFileName;
  return platform::toUtf8(directory / kHelpMapFileName);
}

// Called inside the catch block of a UF_terminate that raised.
void logTerminateFailure() {
  logging::warning("UF_terminate failed after a help context call: ",
                   synquo::currentExceptionText());
}

bool pushOrRaise() {
  // A map that cannot be named costs only the help page, as a missing one does.
  std::string mapFile;
  try {
    mapFile = helpMapFilePath();
  } catch (...) {
    logging::warning("Cannot name ", kHelpMapFileName,
                     " for the help context: ", synquo::currentExceptionText());
  }
  nx::UfScope session(logTerminateFailure);
  if (!session.ok()) {
    logging::warning("UF_initialize failed; cannot configure help context for synquohelp");
    return false;
  }
  if (!mapFile.empty()) {
    // NX takes the file name as a writable text.
    std::vector<char> writable(mapFile.begin(), mapFile.end());
    writable.push_back('\0');
    const int loadStatus = UF_HELP_load_map_file(writable.data());
    if (loadStatus != 0) {
      logging::warning("UF_HELP_load_map_file failed for ", mapFile, " with status ", loadStatus);
    }
  }
  // NX takes the context name as a writable text.
  char context[] = "synquohelp";
  const int pushStatus = UF_HELP_push_primary_context(context);
  if (pushStatus != 0) {
    logging::warning("UF_HELP_push_primary_context failed for synquohelp with status ", pushStatus);
    return false;
  }
  return true;
}

void popOrRaise() {
  nx::UfScope session(logTerminateFailure);
  if (!session.ok()) {
    logging::warning("UF_initialize failed; cannot restore help context for synquohelp");
    return;
  }
  const int popStatus = UF_HELP_pop_context();
  if (popStatus != 0) {
    logging::warning("UF_HELP_pop_context failed for synquohelp with status ", popStatus);
  }
}

}  // namespace

const std::string& helpMapFilePath() {
  static const std::string path = computeHelpMapFilePath();
  return path;
}

bool pushHelpContext() {
  try {
    return pushOrRaise();
  } catch (...) {
    logging::warning("Help context for synquohelp not pushed: ", synquo::currentExceptionText());
    return false;
  }
}

void popHelpContext() {
  try {
    popOrRaise();
  } catch (...) {
    logging::warning("Help context for synquohelp not restored: ", synquo::currentExceptionText());
  }
}

}  // namespace ui
