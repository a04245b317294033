// NX's user interface in the simulation: dialogs made from dialog files found in the resource
// directories, and message boxes that are recorded and answered; and resetting the simulation.
#include <uf_text_datatypes.h>
#include <NXOpen/BlockStyler_BlockDialog.hxx>
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/UI.hxx>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/nx/BlockDialogs.h"
#include "sim/nx/PlotObjects.h"
#include "sim/nx/State.h"

namespace nxsim {

std::string messageBoxTypeName(NXOpen::NXMessageBox::DialogType type) {
  switch (type) {
    case NXOpen::NXMessageBox::DialogTypeError:
      return "Error";
    case NXOpen::NXMessageBox::DialogTypeWarning:
      return "Warning";
    case NXOpen::NXMessageBox::DialogTypeInformation:
      return "Information";
    case NXOpen::NXMessageBox::DialogTypeQuestion:
      return "Question";
  }
  return "Unknown";
}

namespace detail {
namespace {

std::vector<std::filesystem::path> searchDirectories() {
  const auto& configured = state().resourceDirectories;
  if (configured) {
    return *configured;
  }
  return {moduleDirectory()};
}

class SimUI : public NXOpen::UI {};

}  // namespace

// The dialog file's text: found by name in the resource directories, or at an absolute path.
std::string dialogFileContent(const std::string& dialogName) {
  std::filesystem::path found;
  std::error_code error;
  const std::filesystem::path given = fileSystemPath(dialogName);
  if (!dialogName.empty() && given.is_absolute()) {
    if (std::filesystem::is_regular_file(given, error)) {
      found = given;
    }
  } else if (!dialogName.empty()) {
    for (const auto& directory : searchDirectories()) {
      if (std::filesystem::is_regular_file(directory / given, error)) {
        found = directory / given;
        break;
      }
    }
  }
  if (found.empty()) {
    raise(kErrorFileNotFound, "Unable to find the dialog file " + dialogName);
  }
  std::ifstream in(found, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  if (!in) {
    raise(kErrorBadFile, "Unable to read the dialog file " + dialogName);
  }
  return content.str();
}

}  // namespace detail

using namespace detail;

void reset() {
  Lock lock(state().mutex);
  State& s = state();
  s.parts.clear();
  s.partsByName.clear();
  s.managedPartsByName.clear();
  s.partsByNumber.clear();
  s.components.clear();
  s.sheets.clear();
  s.displayed = NULL_TAG;
  s.applicationModule = 0;
  s.journal.clear();
  s.journaling = true;
  s.violations.clear();
  s.faults.clear();
  s.faultsFired = 0;
  s.ufDepth = 0;
  s.textMode = UF_TEXT_LOCALE;
  for (void* pointer : s.allocations) {
    std::free(pointer);
  }
  s.allocations.clear();
  s.helpMap.clear();
  s.helpStack.clear();
  s.printWritesFile = true;
  s.builders.clear();
  s.clone = CloneSession{};
  s.namingFailures.clear();
  s.loadFailures.clear();
  s.messageBoxes.clear();
  s.messageBoxAnswerer = nullptr;
  s.dialogDriver = nullptr;
  s.dialogTimeout = std::chrono::milliseconds(30000);
  s.dialogs.clear();
}

void setResourceDirectories(std::vector<std::filesystem::path> directories) {
  Lock lock(state().mutex);
  state().resourceDirectories = std::move(directories);
}

std::vector<std::filesystem::path> resourceDirectories() {
  Lock lock(state().mutex);
  return searchDirectories();
}

void setDialogDriver(DialogDriver driver) {
  Lock lock(state().mutex);
  state().dialogDriver = std::move(driver);
}

void setDialogTimeout(std::chrono::milliseconds timeout) {
  Lock lock(state().mutex);
  state().dialogTimeout = timeout;
}

std::vector<DialogRecord> dialogHistory() {
  Lock lock(state().mutex);
  return state().dialogs;
}

std::vector<MessageBoxRecord> messageBoxes() {
  Lock lock(state().mutex);
  return state().messageBoxes;
}

void setMessageBoxAnswerer(std::function<int(const MessageBoxRecord&)> answerer) {
  Lock lock(state().mutex);
  state().messageBoxAnswerer = std::move(answerer);
}

}  // namespace nxsim

namespace NXOpen {

using nxsim::detail::Lock;
using nxsim::detail::openCall;
using nxsim::detail::state;
namespace d = nxsim::detail;

UI::UI() {}
UI::~UI() {}

UI* UI::GetUI() {
  Lock lock(state().mutex);
  if (openCall("UI::GetUI", {}, true)) {
    return nullptr;
  }
  if (!state().ui) {
    state().ui = std::make_unique<d::SimUI>();
  }
  return state().ui.get();
}

BlockStyler::BlockDialog* UI::CreateDialog(const NXString& dialogName) {
  Lock lock(state().mutex);
  const std::string name = d::utf8Of(dialogName);
  if (openCall("UI::CreateDialog", {name}, true)) {
    return nullptr;
  }
  const std::string content = d::dialogFileContent(name);
  d::DialogDefinition definition;
  try {
    definition = d::parseDialogFile(content);
  } catch (const std::runtime_error& e) {
    d::raise(nxsim::kErrorBadFile, "The dialog file " + name + " is not valid: " + e.what());
  }
  return d::makeBlockDialog(name, definition);
}

NXMessageBox* UI::NXMessageBox() {
  Lock lock(state().mutex);
  if (openCall("UI::NXMessageBox", {}, true)) {
    return nullptr;
  }
  if (!state().messageBox) {
    state().messageBox = std::make_unique<NXOpen::NXMessageBox>(this);
  }
  return state().messageBox.get();
}

NXMessageBox::NXMessageBox(UI* owner) : m_owner(owner) {}
NXMessageBox::~NXMessageBox() {}

int NXMessageBox::Show(const NXString& title, NXMessageBox::DialogType msgboxType,
                       const NXString& message) {
  std::function<int(const nxsim::MessageBoxRecord&)> answerer;
  nxsim::MessageBoxRecord record{d::utf8Of(title), msgboxType, d::utf8Of(message)};
  {
    Lock lock(state().mutex);
    openCall("NXMessageBox::Show",
             {record.title, nxsim::messageBoxTypeName(msgboxType), record.text}, false);
    state().messageBoxes.push_back(record);
    answerer = state().messageBoxAnswerer;
  }
  return answerer ? answerer(record) : 1;
}

}  // namespace NXOpen
