// A scenario: what brevin-sim sets up (the stage, the Torvane stand-in, the simulated NX
// session) and the steps it plays against the add-in, read from a JSON file.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace simrunner {

// A scenario file that cannot be played; the text names the key at fault.
class ScenarioError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One property a dialog block must show: {"userGreeting": {"Label": "Welcome back, ..."}}.
struct BlockExpectation {
  std::string block;
  std::string property;
  nlohmann::json value;  // a string, number, Boolean, or a list of strings for EnumMembers
};

struct Action {
  enum class Kind {
    Press,      // {"press": "signInButton"}
    Select,     // {"select": "workspaceList", "member": "Design"} or "index": 1
    SetString,  // {"set_string": "id", "value": "text"}
    SetToggle,  // {"set_toggle": "id", "value": true}
    Apply,      // {"apply": true}
    Ok,         // {"ok": true}
    Cancel,     // {"cancel": true}
    Close,      // {"close": true}: the window's close box
    Expect,     // {"expect": {"block": {"Property": value}}}
    WaitMs,     // {"wait_ms": 500}: let the dialog's timers run
    WaitUntil,  // {"wait_until": {"block", "property", "equals" | "contains", "timeout_ms"}}
  };
  Kind kind = Kind::Press;
  std::string block;
  std::optional<int> index;
  std::string text;  // member, string value, or the text wait_until looks for
  bool toggle = false;
  bool contains = false;  // wait_until: contains instead of equals
  int milliseconds = 0;   // wait_ms, wait_until's time-out
  std::string property;   // wait_until
  std::vector<BlockExpectation> expectations;
  nlohmann::json source;  // the action as written, for the transcript
};

// What to do with one showing of a dialog file.
struct DialogScript {
  std::string file;
  std::vector<Action> actions;
  // After the last action the dialog gets this long to close itself before brevin-sim closes
  // it; -1 lets it run until it closes or NX's dialog time-out.
  int settleMs = 1000;
};

struct MessageBoxExpectation {
  std::optional<std::string> title;
  std::optional<std::string> type;  // "Error", "Warning", "Information", "Question"
  std::optional<std::string> text;
  std::optional<std::string> textContains;
};

struct Invoke {
  std::string parameter;
  std::vector<DialogScript> dialogs;
  std::optional<std::vector<std::string>> expectDialogs;
  std::optional<std::vector<MessageBoxExpectation>> expectMessageBoxes;
  std::vector<int> answers;  // message box answers in order; then the scenario's default
  std::optional<bool> browserApprove;
};

struct WaitForSignIn {
  int timeoutMs = 20000;
  int graceMs = 300;
  std::string expect = "any";  // "success", "failure" or "any"
};

struct WaitForBrowser {
  int count = 1;  // URLs opened in the whole run so far
  int timeoutMs = 10000;
};

// A value a prepared upload must show: compared exactly, or, when it starts with "~", the rest
// is a regular expression that must match the whole value.
using ValuePattern = std::string;

// One file the prepared upload sends.
struct PreparedFileExpectation {
  std::optional<ValuePattern> path;  // local file, relative to the session directory, with '/'
  std::optional<ValuePattern> name;  // the upload name (filename)
  std::optional<ValuePattern> sourceFileId;
};

struct PrepareUpload {
  std::optional<std::vector<PreparedFileExpectation>> expectFiles;  // exactly these, in order
  std::optional<ValuePattern> expectExported;  // the root file, relative to the session directory
  std::optional<ValuePattern> expectFileName;  // the name the dialog shows and uploads
  std::optional<ValuePattern> expectSourceFileId;
  // What the preparation raised, else its preparation error, else "".
  std::optional<ValuePattern> expectError;
  // Part name -> the SYNQUO_ID saved in its file after the step (null: none).
  std::map<std::string, std::optional<ValuePattern>> expectAttributes;
  std::map<std::string, int> expectSaves;  // part name -> saves made during the step
};

struct NxFaultSpec {
  std::string call;
  std::string kind = "status";  // "status", "throw", "null"
  int nth = 1;
  bool persistent = false;
  int status = 1;
  int errorCode = 1;
  std::string message = "Injected NX failure";
};

struct Step {
  enum class Kind {
    Invoke,
    WaitForSignIn,
    SetFaults,
    SleepMs,
    SetBrowser,
    WaitForBrowser,
    NxFault,
    PrepareUpload,
    RefuseThreads,
    Unload
  };
  Kind kind = Kind::Invoke;
  Invoke invoke;
  WaitForSignIn waitForSignIn;
  WaitForBrowser waitForBrowser;
  nlohmann::json faults;
  int milliseconds = 0;  // sleep_ms; refuse_threads: how many
  bool browserApprove = true;
  std::vector<NxFaultSpec> nxFaults;
  PrepareUpload prepareUpload;
};

struct ComponentSpec {
  std::string part;         // name of a part of the scenario; empty: not loaded
  std::string backingName;  // file the assembly records for it
  std::vector<ComponentSpec> children;
};

struct PartSpec {
  std::string name;  // how the scenario refers to it
  // Relative (and not managed): a file of fileBytes bytes that brevin-sim writes below the
  // stage's "models" directory; absolute: taken as it is, nothing written.
  std::string fullPath;
  int fileBytes = 2048;
  std::string leaf;
  std::string uniqueIdentifier;
  bool modified = false;
  bool familyInstance = false;
  bool familyTemplate = false;
  int familyIndex = -1;
  std::optional<nlohmann::json> managed;  // part_number, revision, file_type, ...
  std::map<std::string, std::string> attributes;
  std::vector<std::string> drawingSheets;
  std::vector<std::string> cloneFiles;
  std::vector<ComponentSpec> components;
};

struct SaveOutcomeSpec {
  std::string part;
  int unsavedParts = 0;
  int unsavedObjects = 0;
};

struct NamingFailureSpec {
  std::string inputName;
  std::string outputName;
  int status = 0;
};

struct NxSetup {
  std::vector<PartSpec> parts;
  std::optional<bool> printWritesFile;
  std::vector<SaveOutcomeSpec> saveOutcomes;
  // Clone call name -> the naming failures it reports.
  std::map<std::string, std::vector<NamingFailureSpec>> namingFailures;
  std::vector<std::pair<std::string, int>> loadFailures;  // file name, status
  std::string displayedPart;
  std::optional<int> applicationModule;
  std::vector<NxFaultSpec> faults;
  int dialogTimeoutMs = 30000;
};

struct TorvaneSetup {
  bool present = true;
  std::string home;                    // empty: a fresh directory in the stage
  std::optional<nlohmann::json> seed;  // a catalog object, or a file name as a string
  std::optional<double> authTimeoutSeconds;
  std::optional<bool> autoApprove;
  std::optional<double> tokenTtlSeconds;
  std::optional<int> tokenUses;  // requests an access token answers before it lapses
  std::optional<int> jobStepMs;
};

struct Scenario {
  std::string name;
  std::string description;
  bool stage = true;
  // The text of synquo.properties; absent: no properties file.
  std::optional<std::string> propertiesText;
  TorvaneSetup torvane;
  nlohmann::json faults = nlohmann::json::object();
  std::map<std::string, std::string> environment;
  bool browserApprove = true;
  int messageBoxAnswer = 1;
  bool allowNxViolations = false;
  std::optional<int> invocations;  // interactive mode without invoke steps
  NxSetup nx;
  std::vector<Step> steps;
  std::filesystem::path directory;  // the scenario file's directory, for relative seed files
};

// Raises ScenarioError.
Scenario parseScenario(const nlohmann::json& document);
Scenario loadScenario(const std::filesystem::path& file);

}  // namespace simrunner
