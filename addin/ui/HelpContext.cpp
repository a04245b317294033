// The add-in's help context.
#include "addin/ui/HelpContext.h"

#include <exception>
#include <filesystem>

#include "addin/common/CurrentException.h"
#include "addin/host/Nx.h"
#include "addin/logging/Log.h"
#include "addin/platform/TextEncoding.h"
#include "addin/settings/PropertiesFile.h"

namespace ui {
namespace {

constexpr const char* kHelpMapFileName = "synquohelp.map";

std::string computeHelpMapFilePath() {
  const std::filesystem::path directory = synquo::propertiesFilePath().parent_path();
  if (directory.empty()) return kHelpMapFileName;
  return platform::toFileNameCodePage(directory / kHelpMapFileName);
}

// UF_terminate for a successful UF_initialize, also when a UF call in between raises.
class UfSession {
 public:
  explicit UfSession(host::Uf& uf) : uf_(uf), status_(uf.UF_initialize()) {}
  ~UfSession() {
    if (status_ != 0) return;
    try {
      uf_.UF_terminate();
    } catch (...) {
      logging::warning("UF_terminate failed after a help context call: ",
                       synquo::currentExceptionText());
    }
  }
  UfSession(const UfSession&) = delete;
  UfSession& operator=(const UfSession&) = delete;

  int status() const { return status_; }

 private:
  host::Uf& uf_;
  int status_;
};

bool pushOrRaise() {
  // A map that cannot be named costs only the help page, as a missing one does.
  std::string mapFile;
  try {
    mapFile = helpMapFilePath();
  } catch (...) {
    logging::warning("Cannot name ", kHelpMapFileName,
                     " for the help context: ", synquo::currentExceptionText());
  }
  host::Uf& uf = host::nx().Uf();
  UfSession session(uf);
  if (session.status() != 0) {
    logging::warning("UF_initialize failed; cannot configure help context for synquohelp");
    return false;
  }
  if (!mapFile.empty()) {
    const int loadStatus = uf.UF_HELP_load_map_file(mapFile.c_str());
    if (loadStatus != 0) {
      logging::warning("UF_HELP_load_map_file failed for ", mapFile, " with status ", loadStatus);
    }
  }
  // NX takes the context name as a writable text.
  char context[] = "synquohelp";
  const int pushStatus = uf.UF_HELP_push_primary_context(context);
  if (pushStatus != 0) {
    logging::warning("UF_HELP_push_primary_context failed for synquohelp with status ", pushStatus);
    return false;
  }
  return true;
}

void popOrRaise() {
  host::Uf& uf = host::nx().Uf();
  UfSession session(uf);
  if (session.status() != 0) {
    logging::warning("UF_initialize failed; cannot restore help context for synquohelp");
    return;
  }
  const int popStatus = uf.UF_HELP_pop_context();
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
