// NX's user interface in the simulation: dialogs made from dialog files found in the resource
// directories, message boxes that are recorded and answered, and the root of the NX seam.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sim/nx/BlockDialogs.h"
#include "sim/nx/PlotObjects.h"
#include "sim/nx/SimUf.h"
#include "sim/nx/State.h"

namespace nxsim {

std::string messageBoxTypeName(host::NXMessageBox::DialogType type) {
  switch (type) {
    case host::NXMessageBox::DialogType::Error:
      return "Error";
    case host::NXMessageBox::DialogType::Warning:
      return "Warning";
    case host::NXMessageBox::DialogType::Information:
      return "Information";
    case host::NXMessageBox::DialogType::Question:
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

class SimMessageBox : public host::NXMessageBox {
 public:
  int Show(const std::string& title, DialogType type, const std::string& message) override {
    std::function<int(const MessageBoxRecord&)> answerer;
    MessageBoxRecord record{title, type, message};
    {
      Lock lock(state().mutex);
      openCall("NXMessageBox::Show", {title, messageBoxTypeName(type), message}, false);
      state().messageBoxes.push_back(record);
      answerer = state().messageBoxAnswerer;
    }
    return answerer ? answerer(record) : 1;
  }
};

class SimUI : public host::UI {
 public:
  std::unique_ptr<host::BlockStyler::BlockDialog> CreateDialog(
      const std::string& dialogName) override {
    Lock lock(state().mutex);
    if (openCall("UI::CreateDialog", {dialogName}, true)) {
      return nullptr;
    }
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
      throw host::NxException(kErrorFileNotFound, "Unable to find the dialog file " + dialogName);
    }
    std::ifstream in(found, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in) {
      throw host::NxException(kErrorBadFile, "Unable to read the dialog file " + dialogName);
    }
    try {
      return makeBlockDialog(dialogName, parseDialogFile(content.str()));
    } catch (const std::runtime_error& e) {
      throw host::NxException(kErrorBadFile,
                              "The dialog file " + dialogName + " is not valid: " + e.what());
    }
  }

  host::NXMessageBox* NXMessageBox() override {
    Lock lock(state().mutex);
    if (openCall("UI::NXMessageBox", {}, true)) {
      return nullptr;
    }
    if (!state().messageBox) {
      state().messageBox = std::make_unique<SimMessageBox>();
    }
    return state().messageBox.get();
  }
};

class SimNx : public host::Nx {
 public:
  host::Session* GetSession() override {
    Lock lock(state().mutex);
    if (openCall("Session::GetSession", {}, true)) {
      return nullptr;
    }
    return sessionObject();
  }

  host::UI* GetUI() override {
    Lock lock(state().mutex);
    if (openCall("UI::GetUI", {}, true)) {
      return nullptr;
    }
    if (!state().ui) {
      state().ui = std::make_unique<SimUI>();
    }
    return state().ui.get();
  }

  host::Uf& Uf() override { return ufObject(); }
};

}  // namespace

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

namespace host {

// The simulated NX is this process's NX.
NXSIM_EXPORT Nx& nx();

Nx& nx() {
  static nxsim::detail::SimNx* instance = new nxsim::detail::SimNx();
  return *instance;
}

}  // namespace host
