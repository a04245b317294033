// The add-in's help context.
#include "addin/entry/HelpContext.h"

#include <filesystem>

#include "addin/host/Nx.h"
#include "addin/logging/Log.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"

namespace synquo {
namespace {

constexpr const char* kHelpMapFileName = "synquohelp.map";

std::string computeHelpMapFilePath() {
  const std::filesystem::path directory = propertiesFilePath().parent_path();
  if (directory.empty()) return kHelpMapFileName;
  return platform::toFileNameCodePage(directory / kHelpMapFileName);
}

}  // namespace

const std::string& helpMapFilePath() {
  static const std::string path = computeHelpMapFilePath();
  return path;
}

bool pushHelpContext() {
  const std::string& mapFile = helpMapFilePath();
  host::Uf& uf = host::nx().Uf();
  const int initStatus = uf.UF_initialize();
  if (initStatus != 0) {
    logging::warning("UF_initialize failed; cannot configure help context for synquohelp");
    return false;
  }
  const int loadStatus = uf.UF_HELP_load_map_file(mapFile.c_str());
  if (loadStatus != 0) {
    logging::warning("UF_HELP_load_map_file failed for ", mapFile, " with status ", loadStatus);
  }
  // NX takes the context name as a writable text.
  char context[] = "synquohelp";
  const int pushStatus = uf.UF_HELP_push_primary_context(context);
  uf.UF_terminate();
  if (pushStatus != 0) {
    logging::warning("UF_HELP_push_primary_context failed for synquohelp with status ", pushStatus);
    return false;
  }
  return true;
}

void popHelpContext() {
  host::Uf& uf = host::nx().Uf();
  const int initStatus = uf.UF_initialize();
  if (initStatus != 0) {
    logging::warning("UF_initialize failed; cannot restore help context for synquohelp");
    return;
  }
  const int popStatus = uf.UF_HELP_pop_context();
  uf.UF_terminate();
  if (popStatus != 0) {
    logging::warning("UF_HELP_pop_context failed for synquohelp with status ", popStatus);
  }
}

}  // namespace synquo
