// Playing a scenario against the add-in.
#include "sim/runner/Runner.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "sim/nx/CustomDirectory.h"
#include "sim/nx/NxSim.h"
#include "sim/runner/AddinLibrary.h"
#include "sim/runner/DialogView.h"
#include "sim/runner/InteractiveDriver.h"
#include "sim/runner/JsonLinesFile.h"
#include "sim/runner/PreparationProbe.h"
#include "sim/runner/PreparedUpload.h"
#include "sim/runner/RunnerPlatform.h"
#include "sim/runner/ScriptedDriver.h"
#include "sim/runner/SignInProgress.h"
#include "sim/runner/Stage.h"
#include "sim/runner/ThreadRefusal.h"
#include "sim/runner/Transcript.h"

namespace simrunner {
namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

std::string number(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

std::string listText(const std::vector<std::string>& items) {
  std::string text = "[";
  for (size_t i = 0; i < items.size(); ++i) text += (i ? ", " : "") + items[i];
  return text + "]";
}

nxsim::FaultKind faultKind(const std::string& kind) {
  if (kind == "throw") return nxsim::FaultKind::Throw;
  if (kind == "null") return nxsim::FaultKind::Null;
  if (kind == "foreign") return nxsim::FaultKind::Foreign;
  return nxsim::FaultKind::Status;
}

void injectNxFaults(const std::vector<NxFaultSpec>& faults) {
  for (const auto& f : faults) {
    nxsim::injectFault(
        {f.call, faultKind(f.kind), f.nth, f.persistent, f.status, f.errorCode, f.message});
  }
}

class Run {
 public:
  Run(const Scenario& scenario, const RunOptions& options)
      : scenario_(scenario),
        options_(options),
        transcript_(stdout),
        tracker_(transcript_),
        scripted_(transcript_, tracker_),
        interactive_(transcript_, tracker_, std::cin) {}

  int execute();

 private:
  void setUpEnvironment();
  void setUpNx();
  std::string modelFilePath(const PartSpec& part) const;
  void addComponents(tag_t parent, const std::vector<ComponentSpec>& components);
  void runStep(const Step& step, bool& invoked);
  void invoke(const Invoke& invoke);
  void waitForSignIn(const WaitForSignIn& wait);
  void waitForBrowser(const WaitForBrowser& wait);
  void prepareUpload(const PrepareUpload& step);
  void cleanUp();
  void unload(int waitMs);
  void pollBrowser();
  void settleBrowser(std::chrono::milliseconds quiet);
  int answerMessageBox(const nxsim::MessageBoxRecord& box);
  void checkMessageBoxes(const std::vector<MessageBoxExpectation>& expected, size_t first);
  void finish();
  nlohmann::json document(int exitCode) const;

  const Scenario& scenario_;
  const RunOptions& options_;
  Stage stage_;
  fs::path logFile_;
  Transcript transcript_;
  DialogTracker tracker_;
  ScriptedDriver scripted_;
  InteractiveDriver interactive_;
  std::optional<AddinLibrary> addin_;
  std::optional<PreparationProbe> probe_;
  bool threadRefusalInstalled_ = false;
  bool cleanedUp_ = false;
  std::vector<tag_t> partTags_;
  std::optional<JsonLinesFile> browserJournal_;
  std::optional<JsonLinesFile> torvaneJournal_;
  int invocations_ = 0;
  int browserOpened_ = 0;
  int browserDone_ = 0;
  Clock::time_point lastBrowserPoll_{};
  std::vector<int> answers_;
  size_t nextAnswer_ = 0;
  nlohmann::json messageBoxes_ = nlohmann::json::array();
  nlohmann::json urls_ = nlohmann::json::array();
};

void Run::setUpEnvironment() {
  setEnvironment("TORVANE_SIM_HOME", stage_.torvaneHome.u8string());
  setEnvironment("TORVANE_SIM_JOURNAL", stage_.torvaneJournal.u8string());
  setEnvironment("TORVANE_SIM_FAULTS", stage_.faultsFile.u8string());
  if (stage_.seedFile.empty()) {
    unsetEnvironment("TORVANE_SIM_SEED");
  } else {
    setEnvironment("TORVANE_SIM_SEED", stage_.seedFile.u8string());
  }
  const TorvaneSetup& t = scenario_.torvane;
  setEnvironment("TORVANE_SIM_AUTH_TIMEOUT", number(t.authTimeoutSeconds.value_or(60)));
  // What the scenario leaves open is the stand-in's default, not whatever the shell had.
  auto setOrClear = [](const char* name, const std::optional<std::string>& value) {
    if (value) {
      setEnvironment(name, *value);
    } else {
      unsetEnvironment(name);
    }
  };
  setOrClear("TORVANE_SIM_AUTO_APPROVE",
             t.autoApprove ? std::optional<std::string>(*t.autoApprove ? "1" : "0") : std::nullopt);
  setOrClear("TORVANE_SIM_TOKEN_TTL", t.tokenTtlSeconds
                                          ? std::optional<std::string>(number(*t.tokenTtlSeconds))
                                          : std::nullopt);
  setOrClear("TORVANE_SIM_TOKEN_USES",
             t.tokenUses ? std::optional<std::string>(std::to_string(*t.tokenUses)) : std::nullopt);
  setOrClear("TORVANE_SIM_JOB_STEP_MS",
             t.jobStepMs ? std::optional<std::string>(std::to_string(*t.jobStepMs)) : std::nullopt);
  setEnvironment("BREVIN_SIM_BROWSER_JOURNAL", stage_.browserJournal.u8string());
  setEnvironment("BREVIN_SIM_BROWSER_APPROVE", scenario_.browserApprove ? "1" : "0");
  if (isWindows()) setEnvironment("LOCALAPPDATA", stage_.localAppData.u8string());
  installBrowser(executablePath().parent_path() / executableFileName("sim-browser"));
  for (const auto& [name, value] : scenario_.environment) setEnvironment(name, value);
}

void Run::addComponents(tag_t parent, const std::vector<ComponentSpec>& components) {
  for (const auto& c : components) {
    tag_t prototype = NULL_TAG;
    if (!c.part.empty()) {
      for (size_t i = 0; i < scenario_.nx.parts.size(); ++i) {
        if (scenario_.nx.parts[i].name == c.part) prototype = partTags_[i];
      }
    }
    const tag_t component = nxsim::addComponent(parent, prototype, c.backingName);
    addComponents(component, c.children);
  }
}

std::string Run::modelFilePath(const PartSpec& part) const {
  const fs::path given = fs::u8path(part.fullPath);
  // A managed part's name is Teamcenter's, not a file.
  if (part.fullPath.empty() || part.managed || given.is_absolute() || given.has_root_path()) {
    return part.fullPath;
  }
  const fs::path file = stage_.directory / "models" / given;
  fs::create_directories(file.parent_path());
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  const std::string block = "simulated NX part " + given.generic_u8string() + "\n";
  const size_t bytes = static_cast<size_t>(part.fileBytes);
  for (size_t written = 0; written < bytes; written += block.size()) {
    out.write(block.data(), static_cast<std::streamsize>(std::min(block.size(), bytes - written)));
  }
  if (!out) throw std::runtime_error("Cannot write the model file " + file.u8string());
  return file.u8string();
}

void Run::setUpNx() {
  nxsim::reset();
  const NxSetup& nx = scenario_.nx;
  for (const auto& p : nx.parts) {
    nxsim::PartDefinition d;
    d.fullPath = modelFilePath(p);
    d.leaf = p.leaf;
    d.uniqueIdentifier = p.uniqueIdentifier;
    d.modified = p.modified;
    d.familyInstance = p.familyInstance;
    d.familyTemplate = p.familyTemplate;
    d.familyIndex = p.familyIndex;
    d.attributes = p.attributes;
    d.drawingSheets = p.drawingSheets;
    d.cloneFiles = p.cloneFiles;
    if (p.managed) {
      const nlohmann::json& m = *p.managed;
      nxsim::ManagedName name;
      name.partNumber = m.value("part_number", "");
      name.revision = m.value("revision", "");
      name.fileType = m.value("file_type", "");
      name.fileName = m.value("file_name", "");
      name.revisionId = m.value("revision_id", "");
      name.encodedName = m.value("encoded_name", "");
      name.hasConfiguredRevision = m.value("has_configured_revision", true);
      d.managed = name;
    }
    partTags_.push_back(nxsim::addPart(d));
  }
  for (size_t i = 0; i < nx.parts.size(); ++i) addComponents(partTags_[i], nx.parts[i].components);
  for (size_t i = 0; i < nx.parts.size(); ++i) {
    if (nx.parts[i].name == nx.displayedPart) nxsim::setDisplayedPart(partTags_[i]);
  }
  if (nx.applicationModule) nxsim::setApplicationModule(*nx.applicationModule);
  if (nx.printWritesFile) nxsim::setPrintWritesFile(*nx.printWritesFile);
  for (const auto& outcome : nx.saveOutcomes) {
    for (size_t i = 0; i < nx.parts.size(); ++i) {
      if (nx.parts[i].name == outcome.part) {
        nxsim::setSaveOutcome(partTags_[i], outcome.unsavedParts, outcome.unsavedObjects);
      }
    }
  }
  for (const auto& [call, failures] : nx.namingFailures) {
    std::vector<nxsim::NamingFailure> list;
    for (const auto& f : failures) list.push_back({f.inputName, f.outputName, f.status});
    nxsim::setNamingFailures(call, list);
  }
  if (!nx.loadFailures.empty()) {
    std::vector<nxsim::LoadFailure> list;
    for (const auto& [file, status] : nx.loadFailures) list.push_back({file, status});
    nxsim::setLoadFailures(list);
  }
  nxsim::setDialogTimeout(options_.interactive ? std::chrono::hours(24)
                                               : std::chrono::milliseconds(nx.dialogTimeoutMs));
  injectNxFaults(nx.faults);
  nxsim::setMessageBoxAnswerer(
      [this](const nxsim::MessageBoxRecord& box) { return answerMessageBox(box); });
  nxsim::setDialogDriver([this](nxsim::OpenDialog& dialog) {
    pollBrowser();
    if (options_.interactive) {
      interactive_.drive(dialog);
    } else {
      scripted_.drive(dialog);
    }
  });
}

int Run::answerMessageBox(const nxsim::MessageBoxRecord& box) {
  tracker_.sync();
  nlohmann::json event = {{"event", "message_box"},
                          {"invocation", invocations_},
                          {"title", box.title},
                          {"type", nxsim::messageBoxTypeName(box.type)},
                          {"text", box.text}};
  int answer = scenario_.messageBoxAnswer;
  if (options_.interactive) {
    transcript_.add(event);
    answer = interactive_.answer(box);
    transcript_.amendLast("answer", answer);
  } else {
    if (nextAnswer_ < answers_.size()) answer = answers_[nextAnswer_++];
    event["answer"] = answer;
    transcript_.add(event);
  }
  event["answer"] = answer;
  messageBoxes_.push_back(event);
  return answer;
}

void Run::checkMessageBoxes(const std::vector<MessageBoxExpectation>& expected, size_t first) {
  std::vector<nlohmann::json> shown(messageBoxes_.begin() + static_cast<std::ptrdiff_t>(first),
                                    messageBoxes_.end());
  const std::string where = "Invocation " + std::to_string(invocations_) + ": ";
  if (shown.size() != expected.size()) {
    std::string texts;
    for (const auto& b : shown)
      texts += "\n    [" + b.value("type", "") + "] " + b.value("text", "");
    transcript_.fail(where + std::to_string(shown.size()) + " message box(es) shown, expected " +
                     std::to_string(expected.size()) + texts);
    return;
  }
  for (size_t i = 0; i < shown.size(); ++i) {
    const auto& e = expected[i];
    const auto& b = shown[i];
    auto compare = [&](const char* key, const std::optional<std::string>& want) {
      if (want && b.value(key, "") != *want) {
        transcript_.fail(where + "message box " + std::to_string(i + 1) + " has " + key + " \"" +
                         b.value(key, "") + "\", expected \"" + *want + "\"");
      }
    };
    compare("title", e.title);
    compare("type", e.type);
    compare("text", e.text);
    if (e.textContains && b.value("text", "").find(*e.textContains) == std::string::npos) {
      transcript_.fail(where + "message box " + std::to_string(i + 1) + " text \"" +
                       b.value("text", "") + "\" does not contain \"" + *e.textContains + "\"");
    }
  }
}

void Run::invoke(const Invoke& invoke) {
  if (!addin_->loaded()) {
    transcript_.fail("The add-in was invoked after it was unloaded");
    return;
  }
  ++invocations_;
  transcript_.add({{"event", "invocation"}, {"index", invocations_}});
  if (invoke.browserApprove) {
    setEnvironment("BREVIN_SIM_BROWSER_APPROVE", *invoke.browserApprove ? "1" : "0");
  }
  answers_ = invoke.answers;
  nextAnswer_ = 0;
  const size_t firstBox = messageBoxes_.size();
  const size_t firstDialog = tracker_.historySize();
  scripted_.begin(invoke);
  try {
    addin_->ufusr(invoke.parameter);
  } catch (const std::exception& e) {
    transcript_.fail("An exception escaped ufusr: " + std::string(e.what()));
  } catch (...) {
    transcript_.fail("An exception escaped ufusr");
  }
  tracker_.sync();
  if (!options_.interactive) scripted_.end();
  settleBrowser(std::chrono::milliseconds(150));
  const std::vector<std::string> dialogs = tracker_.filesSince(firstDialog);
  transcript_.add({{"event", "invocation_end"}, {"index", invocations_}, {"dialogs", dialogs}});
  if (invocations_ == 1) {
    const int unload = addin_->ufusrAskUnload();
    transcript_.add({{"event", "step"},
                     {"step", "ufusr_ask_unload returned " + std::to_string(unload)},
                     {"ask_unload", unload}});
  }
  if (invoke.expectDialogs && dialogs != *invoke.expectDialogs) {
    transcript_.fail("Invocation " + std::to_string(invocations_) + " showed " + listText(dialogs) +
                     ", expected " + listText(*invoke.expectDialogs));
  }
  if (invoke.expectMessageBoxes) checkMessageBoxes(*invoke.expectMessageBoxes, firstBox);
}

void Run::pollBrowser() {
  const auto now = Clock::now();
  if (now - lastBrowserPoll_ < std::chrono::milliseconds(20)) return;
  lastBrowserPoll_ = now;
  for (const auto& line : browserJournal_->readNew()) {
    if (!line.is_object()) continue;
    const std::string state = line.value("state", "done");
    if (state == "opened") {
      ++browserOpened_;
      continue;
    }
    ++browserDone_;
    nlohmann::json event = line;
    event.erase("state");
    event["event"] = "url";
    transcript_.add(event);
    urls_.push_back(line.value("url", ""));
  }
}

void Run::waitForBrowser(const WaitForBrowser& wait) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(wait.timeoutMs);
  for (;;) {
    lastBrowserPoll_ = {};
    pollBrowser();
    if (browserDone_ >= wait.count) break;
    if (Clock::now() >= deadline) {
      transcript_.fail("The browser opened " + std::to_string(browserDone_) + " URL(s) in " +
                       std::to_string(wait.timeoutMs) + " ms, expected " +
                       std::to_string(wait.count));
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  transcript_.add({{"event", "step"},
                   {"step", "wait_for_browser"},
                   {"detail", std::to_string(browserDone_) + " URL(s) opened"}});
}

void Run::settleBrowser(std::chrono::milliseconds quiet) {
  // A launch is seen in the journal only once the browser process has got that far, which a
  // slow start (a loaded machine, a sanitized build) delays; so launches still running are
  // waited for too, and the journal must have been quiet for a moment, within bounds.
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  auto lastChange = Clock::now();
  int seen = browserOpened_ + browserDone_;
  for (;;) {
    lastBrowserPoll_ = {};
    pollBrowser();
    const auto now = Clock::now();
    if (browserOpened_ + browserDone_ != seen) {
      seen = browserOpened_ + browserDone_;
      lastChange = now;
    }
    if ((browserDone_ >= browserOpened_ && now - lastChange >= quiet && !hasRunningChildren()) ||
        now >= deadline) {
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void Run::waitForSignIn(const WaitForSignIn& wait) {
  const auto started = Clock::now();
  const auto deadline = started + std::chrono::milliseconds(wait.timeoutMs);
  SignInProgress progress;
  for (;;) {
    torvaneJournal_->readNew();
    pollBrowser();
    progress = signInProgress(torvaneJournal_->lines());
    if (progress.state != SignInProgress::State::Waiting) break;
    if (Clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
  switch (progress.state) {
    case SignInProgress::State::NoAttempt:
      transcript_.fail(
          "wait_for_sign_in: no sign-in was started (no successful "
          "LocalAuthFlowAuthorize in the Torvane journal)");
      return;
    case SignInProgress::State::Waiting:
      transcript_.fail("wait_for_sign_in: the sign-in did not finish within " +
                       std::to_string(wait.timeoutMs) + " ms");
      return;
    case SignInProgress::State::SignedIn:
    case SignInProgress::State::Failed:
      break;
  }
  // The worker hands its result to the session right after its last call returned.
  std::this_thread::sleep_for(std::chrono::milliseconds(wait.graceMs));
  const bool success = progress.state == SignInProgress::State::SignedIn;
  nlohmann::json event = {
      {"event", "sign_in"}, {"outcome", success ? "succeeded" : "failed"}, {"elapsed_ms", elapsed}};
  if (!success) event["error"] = progress.error;
  transcript_.add(event);
  if (wait.expect == "success" && !success) {
    transcript_.fail("wait_for_sign_in: expected the sign-in to succeed");
  } else if (wait.expect == "failure" && success) {
    transcript_.fail("wait_for_sign_in: expected the sign-in to fail");
  }
}

nlohmann::json Run::document(int exitCode) const {
  nlohmann::json doc = {{"scenario", options_.scenario.u8string()},
                        {"name", scenario_.name},
                        {"ok", exitCode == kExitPassed},
                        {"exit_code", exitCode},
                        {"stage_dir", stage_.directory.u8string()},
                        {"addin", stage_.addin.u8string()},
                        {"torvane_library", stage_.torvaneLibrary.u8string()},
                        {"log_file", logFile_.u8string()},
                        {"torvane_journal", stage_.torvaneJournal.u8string()},
                        {"torvane_home", stage_.torvaneHome.u8string()},
                        {"faults_file", stage_.faultsFile.u8string()},
                        {"browser_journal", stage_.browserJournal.u8string()},
                        {"invocations", invocations_},
                        {"events", transcript_.events()},
                        {"failures", transcript_.failures()},
                        {"message_boxes", messageBoxes_},
                        {"urls", urls_}};
  nlohmann::json dialogs = nlohmann::json::array();
  for (const auto& d : nxsim::dialogHistory()) {
    dialogs.push_back({{"file", d.file}, {"events", d.events}, {"closed_by", d.closedBy}});
  }
  doc["dialogs"] = dialogs;
  doc["nx_violations"] = nxsim::violations();
  return doc;
}

void Run::runStep(const Step& step, bool& invoked) {
  switch (step.kind) {
    case Step::Kind::Invoke:
      invoke(step.invoke);
      invoked = true;
      break;
    case Step::Kind::WaitForSignIn:
      waitForSignIn(step.waitForSignIn);
      break;
    case Step::Kind::SetFaults:
      writeFaults(stage_.faultsFile, step.faults);
      transcript_.add({{"event", "step"}, {"step", "set_faults"}, {"detail", step.faults.dump()}});
      break;
    case Step::Kind::SleepMs:
      transcript_.add({{"event", "step"},
                       {"step", "sleep"},
                       {"detail", std::to_string(step.milliseconds) + " ms"}});
      std::this_thread::sleep_for(std::chrono::milliseconds(step.milliseconds));
      pollBrowser();
      break;
    case Step::Kind::SetBrowser:
      setEnvironment("BREVIN_SIM_BROWSER_APPROVE", step.browserApprove ? "1" : "0");
      transcript_.add({{"event", "step"},
                       {"step", "set_browser"},
                       {"detail", step.browserApprove ? "approve" : "do not approve"}});
      break;
    case Step::Kind::WaitForBrowser:
      waitForBrowser(step.waitForBrowser);
      break;
    case Step::Kind::Unload:
      unload(step.milliseconds);
      break;
    case Step::Kind::RefuseThreads:
      if (!threadRefusalInstalled_) {
        installThreadRefusal(addin_->module());
        threadRefusalInstalled_ = true;
      }
      refuseThreads(step.milliseconds);
      transcript_.add(
          {{"event", "step"},
           {"step", "refuse_threads"},
           {"detail", "the next " + std::to_string(step.milliseconds) + " thread start(s) fail"}});
      break;
    case Step::Kind::PrepareUpload:
      prepareUpload(step.prepareUpload);
      break;
    case Step::Kind::NxFault:
      injectNxFaults(step.nxFaults);
      transcript_.add({{"event", "step"},
                       {"step", "nx_faults"},
                       {"detail", std::to_string(step.nxFaults.size()) + " fault(s) injected"}});
      break;
  }
}

int Run::execute() {
  std::string pressed;
  try {
    fs::path addinModule =
        options_.addin.empty() ? executablePath().parent_path() / addinFileName() : options_.addin;
    if (!options_.customDirectory.empty()) {
      const nxsim::LibraryButton found =
          nxsim::findLibraryButton(nxsim::readCustomDirectory(options_.customDirectory));
      addinModule = found.library;
      nxsim::setResourceDirectories({options_.customDirectory / "application"});
      pressed = "NX custom directory " + options_.customDirectory.u8string() + ": the button " +
                found.button.name + " (\"" + found.button.label + "\", " +
                found.bitmap.filename().u8string() + ", in " + found.button.file + ") runs " +
                found.library.u8string();
    }
    stage_ = prepareStage(scenario_, options_.stageDir, addinModule);
    setUpEnvironment();
    logFile_ = expectedLogFile(scenario_, stage_, environment("LOCALAPPDATA"));
    browserJournal_.emplace(stage_.browserJournal);
    torvaneJournal_.emplace(stage_.torvaneJournal);
    setUpNx();
    transcript_.note("Scenario " + options_.scenario.u8string() +
                     (scenario_.name.empty() ? "" : " (" + scenario_.name + ")"));
    if (!scenario_.description.empty()) transcript_.note(scenario_.description);
    if (!pressed.empty()) transcript_.note(pressed);
    transcript_.note("Add-in loaded from " + stage_.addin.u8string());
    addin_.emplace(stage_.addin.u8string(), !options_.customDirectory.empty());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brevin-sim: %s\n", e.what());
    return kExitSetupFailed;
  }

  bool invoked = false;
  for (const Step& step : scenario_.steps) {
    if (options_.interactive && interactive_.quitRequested()) break;
    try {
      runStep(step, invoked);
    } catch (const std::exception& e) {
      transcript_.fail(std::string("A step could not be carried out: ") + e.what());
    }
  }
  if (options_.interactive && !invoked) {
    const int limit = scenario_.invocations.value_or(0);
    Invoke plain;
    do {
      invoke(plain);
    } while ((limit == 0 || invocations_ < limit) && interactive_.askAnotherInvocation());
  } else if (!invoked && scenario_.invocations) {
    Invoke plain;
    for (int i = 0; i < *scenario_.invocations; ++i) invoke(plain);
  }
  finish();

  const int exitCode = transcript_.failed() ? kExitFailed : kExitPassed;
  transcript_.note(exitCode == kExitPassed
                       ? "\nScenario passed."
                       : "\nScenario FAILED (" + std::to_string(transcript_.failures().size()) +
                             " failure(s)).");
  if (!options_.json.empty()) {
    std::ofstream out(options_.json, std::ios::binary | std::ios::trunc);
    out << document(exitCode).dump(2) << "\n";
    if (!out) {
      std::fprintf(stderr, "brevin-sim: cannot write %s\n", options_.json.u8string().c_str());
      return kExitSetupFailed;
    }
  }
  return exitCode;
}

void Run::prepareUpload(const PrepareUpload& step) {
  if (!probe_) probe_.emplace(stage_.probe.u8string());
  const size_t firstCall = nxsim::journal().size();
  std::vector<PartBefore> before;
  for (size_t i = 0; i < partTags_.size(); ++i) {
    before.push_back({scenario_.nx.parts[i].name, partTags_[i], nxsim::partState(partTags_[i])});
  }
  const nlohmann::json answer = probe_->prepareUpload();
  const std::vector<nxsim::Call> calls = nxsim::journal();
  const PreparedUploadReport report = describePreparedUpload(
      answer, before,
      std::vector<nxsim::Call>(
          calls.begin() + static_cast<std::ptrdiff_t>(std::min(firstCall, calls.size())),
          calls.end()));
  transcript_.add(report.event);
  for (const auto& failure : checkPreparedUpload(step, report)) transcript_.fail(failure);
}

void Run::cleanUp() {
  if (invocations_ == 0 || cleanedUp_ || !addin_->loaded()) return;
  cleanedUp_ = true;
  try {
    addin_->ufusrCleanup();
  } catch (...) {
    transcript_.fail("An exception escaped ufusr_cleanup");
  }
  transcript_.add({{"event", "step"}, {"step", "ufusr_cleanup"}});
}

// NX cleans up, unloads the library and goes on; workers may still run.
void Run::unload(int waitMs) {
  cleanUp();
  addin_->unload();
  transcript_.add({{"event", "step"},
                   {"step", "unload"},
                   {"detail", "the add-in is unloaded; waiting " + std::to_string(waitMs) + " ms"}});
  std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
}

void Run::finish() {
  if (probe_) {
    try {
      probe_->cleanup();
    } catch (...) {
      transcript_.fail("An exception escaped the preparation probe's cleanup");
    }
  }
  cleanUp();
  settleBrowser(std::chrono::milliseconds(300));
  for (const auto& v : nxsim::violations()) {
    transcript_.add({{"event", "nx_violation"}, {"text", v}});
    if (!scenario_.allowNxViolations) transcript_.fail("The simulated NX noticed: " + v);
  }
  transcript_.note("Log file: " + logFile_.u8string());
  transcript_.note("Torvane journal: " + stage_.torvaneJournal.u8string());
}

}  // namespace

int runScenario(const RunOptions& options) {
  Scenario scenario;
  try {
    scenario = loadScenario(options.scenario);
  } catch (const ScenarioError& e) {
    std::fprintf(stderr, "brevin-sim: %s\n", e.what());
    return kExitBadScenario;
  }
  if (!options.customDirectory.empty()) {
    // The add-in runs where it is installed, with the settings found there.
    scenario.stage = false;
    scenario.propertiesText.reset();
    std::ifstream properties(options.customDirectory / "startup" / "synquo.properties",
                             std::ios::binary);
    if (properties) {
      std::ostringstream text;
      text << properties.rdbuf();
      scenario.propertiesText = text.str();
    }
  }
  Run run(scenario, options);
  return run.execute();
}

}  // namespace simrunner
