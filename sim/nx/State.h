// The simulated NX's one process-wide state: the part model, the journal, injected faults,
// help contexts, dialogs and message boxes. Internal to nxsim.
#pragma once

#include <chrono>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <uf_text_datatypes.h>
#include <NXOpen/Assemblies_Component.hxx>
#include <NXOpen/Assemblies_ComponentAssembly.hxx>
#include <NXOpen/BasePart.hxx>
#include <NXOpen/Drawings_DrawingSheet.hxx>
#include <NXOpen/Drawings_DrawingSheetCollection.hxx>
#include <NXOpen/NXMessageBox.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/PlotManager.hxx>
#include <NXOpen/PrintPDFBuilder.hxx>
#include <NXOpen/Session.hxx>

#include "sim/nx/NXObjectManager.h"
#include "sim/nx/NxSim.h"

// Declared only: <windows.h>, which some of nxsim's sources include, makes CreateDialog a macro.
namespace NXOpen {
class UI;
}

namespace nxsim {
namespace detail {

using Attributes = std::map<std::string, std::string>;

struct PartData {
  tag_t tag = NULL_TAG;
  PartDefinition definition;
  Attributes attributes;
  Attributes savedAttributes;
  bool modified = false;
  int saveCount = 0;
  int unsavedParts = 0;
  int unsavedObjects = 0;
  tag_t rootComponent = NULL_TAG;
  std::vector<tag_t> sheets;
  std::unique_ptr<NXOpen::BasePart> object;
  std::unique_ptr<NXOpen::Assemblies::ComponentAssembly> assembly;
  std::unique_ptr<NXOpen::Drawings::DrawingSheetCollection> sheetCollection;
  std::unique_ptr<NXOpen::PlotManager> plotManager;
};

struct ComponentData {
  tag_t tag = NULL_TAG;
  tag_t prototype = NULL_TAG;
  std::string backingName;
  std::vector<tag_t> children;
  Attributes attributes;
  std::unique_ptr<NXOpen::Assemblies::Component> object;
};

struct SheetData {
  tag_t tag = NULL_TAG;
  tag_t part = NULL_TAG;
  std::string name;
  Attributes attributes;
  std::unique_ptr<NXOpen::Drawings::DrawingSheet> object;
};

struct CloneSession {
  bool active = false;
  int operationClass = 0;
  std::string directory;
  std::string assocRootDirectory;
  std::string nameRuleNewString;
  bool dryrun = false;
  std::vector<tag_t> parts;
};

struct FaultState {
  Fault fault;
  int seen = 0;
};

struct State {
  std::recursive_mutex mutex;

  tag_t nextTag = 100;
  // Hashed: a walk over a large assembly looks a tag up per call.
  std::unordered_map<tag_t, PartData> parts;
  std::unordered_map<tag_t, ComponentData> components;
  std::map<tag_t, SheetData> sheets;
  // The first part (lowest tag) by encoded name or full path, and by Teamcenter part number,
  // so lookups by name stay constant-time in large assemblies.
  std::unordered_map<std::string, tag_t> partsByName;
  std::unordered_map<std::string, tag_t> partsByNumber;
  // The entries of partsByName that name a managed part: decoding a native part's name, as
  // every check of a large native assembly does, then finds nothing at once.
  std::unordered_map<std::string, tag_t> managedPartsByName;
  tag_t displayed = NULL_TAG;
  int applicationModule = 0;

  // Grows without moving what it holds, so a long session's calls cost the same each.
  std::deque<Call> journal;
  bool journaling = true;
  std::vector<std::string> violations;
  std::vector<FaultState> faults;
  int faultsFired = 0;
  int ufDepth = 0;
  UF_TEXT_mode_t textMode = UF_TEXT_LOCALE;
  std::set<void*> allocations;

  std::map<std::string, std::string> helpMap;
  std::vector<std::string> helpStack;

  bool printWritesFile = true;
  std::vector<std::unique_ptr<NXOpen::PrintPDFBuilder>> builders;
  CloneSession clone;
  std::map<std::string, std::vector<NamingFailure>> namingFailures;
  std::vector<LoadFailure> loadFailures;

  std::vector<MessageBoxRecord> messageBoxes;
  std::function<int(const MessageBoxRecord&)> messageBoxAnswerer;
  DialogDriver dialogDriver;
  std::chrono::milliseconds dialogTimeout{30000};
  std::vector<DialogRecord> dialogs;
  std::optional<std::vector<std::filesystem::path>> resourceDirectories;

  std::unique_ptr<NXOpen::Session> session;
  std::unique_ptr<NXOpen::PartCollection> partCollection;
  std::unique_ptr<NXOpen::UI> ui;
  std::unique_ptr<NXOpen::NXMessageBox> messageBox;
};

State& state();
using Lock = std::lock_guard<std::recursive_mutex>;

enum KindMask { kCanFailStatus = 1, kCanThrow = 2, kCanReturnNull = 4 };

// Journals a call and decides whether an injected fault hits it. Call with the mutex held.
struct Entry {
  std::size_t index = 0;
  std::optional<Fault> fault;
};
// The name is a view: most calls pass a literal, and an unjournaled call copies nothing.
Entry enter(std::string_view name, std::vector<std::string> args, int kinds);
void setOutcome(std::size_t index, const std::string& outcome);
void violation(const std::string& text);

// An NX Open method: raises an injected NXException; true when an injected null is due.
bool openCall(std::string_view name, std::vector<std::string> args, bool returnsObject);

// A release function (UF_free, ...), after it released: raises an injected Throw or Foreign
// fault, as a host's translated system fault would reach the caller.
void raiseAfterRelease(const Entry& entry);

// A UF function: journals it, applies an injected status and checks that UF is initialised.
class UfCall {
 public:
  UfCall(std::string_view name, std::vector<std::string> args, bool needsInitialize = true);
  // Non-zero when the call must return at once with this status.
  int early() const { return early_; }
  int finish(int status);

 private:
  std::size_t index_ = 0;
  int early_ = 0;
};

// Memory handed to the caller, released through UF_free.
char* allocateString(const std::string& text);
void* allocateBytes(std::size_t size);
// false when the pointer was not handed out (or is released already).
bool release(void* pointer);

// Raises NXOpen::NXException as NX does (code 0: a message only).
[[noreturn]] void raise(int errorCode, const std::string& message);

// NX Open hands out UTF-8 NXStrings and reads its arguments as UTF-8.
NXOpen::NXString nxText(const std::string& utf8);
inline std::string utf8Of(const NXOpen::NXString& text) { return text.GetUTF8Text(); }
inline tag_t tagOf(const NXOpen::TaggedObject& object) {
  return NXOpen::NXObjectManager::TagOf(object);
}

// UF text in the current text mode: char* read as locale text or UTF-8 into the model's
// UTF-8, and the model's UTF-8 handed out in the mode's form. Null reads as "".
std::string ufIn(const char* text);
std::string ufOut(const std::string& utf8);
// The text (UTF-8) in the mode's form, zeros to the end of a buffer of NX_BUFSIZE(nchars):
// 0, or kErrorBufferTooSmall (buffer all zeros) when it holds more than nchars characters.
int fillBuffer(const std::string& utf8, char* buffer, int nchars);

std::string tagText(tag_t tag);
PartData* findPart(tag_t tag);
Attributes* attributesOf(tag_t tag);
// The Teamcenter encoded name of a managed part; empty for a native one.
std::string encodedName(const PartData& part);
// The part whose encoded name or full path is the text.
PartData* findPartByName(const std::string& name);
// The part findPartByName gives when that part is managed, else null.
PartData* findManagedPartByName(const std::string& name);

std::filesystem::path moduleDirectory();

// A file name the model holds (UTF-8).
std::filesystem::path fileSystemPath(const std::string& utf8);

// Space, tab, CR and LF off both ends; ASCII upper case.
std::string trimText(const std::string& text);
std::string upperAscii(std::string text);

}  // namespace detail
}  // namespace nxsim
