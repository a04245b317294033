// Reading scenario files: every key is checked, unknown keys are refused so that a typing
// mistake does not silently turn into a scenario that tests nothing.
#include "sim/runner/Scenario.h"

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

namespace simrunner {
namespace {

using nlohmann::json;

// A JSON value together with where it sits in the file, for error texts.
class Node {
 public:
  Node(const json& value, std::string where) : value_(value), where_(std::move(where)) {}

  const json& value() const { return value_; }
  const std::string& where() const { return where_; }

  [[noreturn]] void fail(const std::string& problem) const {
    throw ScenarioError(where_ + ": " + problem);
  }

  void requireObject() const {
    if (!value_.is_object()) fail("must be an object");
  }

  void allowKeys(std::initializer_list<const char*> keys) const {
    requireObject();
    std::set<std::string> allowed(keys.begin(), keys.end());
    for (auto it = value_.begin(); it != value_.end(); ++it) {
      if (allowed.count(it.key()) == 0) fail("unknown key \"" + it.key() + "\"");
    }
  }

  bool has(const char* key) const { return value_.is_object() && value_.contains(key); }

  Node at(const char* key) const {
    if (!has(key)) fail(std::string("missing key \"") + key + "\"");
    return Node(value_.at(key), where_ + "." + key);
  }

  Node at(size_t index) const {
    return Node(value_.at(index), where_ + "[" + std::to_string(index) + "]");
  }

  std::string text() const {
    if (!value_.is_string()) fail("must be a string");
    return value_.get<std::string>();
  }

  bool boolean() const {
    if (!value_.is_boolean()) fail("must be true or false");
    return value_.get<bool>();
  }

  int integer(int minimum = 0) const {
    if (!value_.is_number_integer()) fail("must be a whole number");
    const long long v = value_.get<long long>();
    if (v < minimum || v > 2147483647LL) fail("must be at least " + std::to_string(minimum));
    return static_cast<int>(v);
  }

  double number() const {
    if (!value_.is_number() || value_.get<double>() <= 0) fail("must be a positive number");
    return value_.get<double>();
  }

  size_t arraySize() const {
    if (!value_.is_array()) fail("must be a list");
    return value_.size();
  }

  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (size_t i = 0; i < arraySize(); ++i) out.push_back(at(i).text());
    return out;
  }

  std::map<std::string, std::string> textMap() const {
    requireObject();
    std::map<std::string, std::string> out;
    for (auto it = value_.begin(); it != value_.end(); ++it) {
      out[it.key()] = Node(it.value(), where_ + "." + it.key()).text();
    }
    return out;
  }

 private:
  const json& value_;
  std::string where_;
};

std::vector<BlockExpectation> parseBlockExpectations(const Node& node) {
  node.requireObject();
  std::vector<BlockExpectation> out;
  for (auto block = node.value().begin(); block != node.value().end(); ++block) {
    Node properties(block.value(), node.where() + "." + block.key());
    properties.requireObject();
    if (properties.value().empty()) properties.fail("names no property");
    for (auto p = block.value().begin(); p != block.value().end(); ++p) {
      const json& v = p.value();
      const bool listOfTexts = v.is_array() && std::all_of(v.begin(), v.end(), [](const json& e) {
                                 return e.is_string();
                               });
      if (!v.is_string() && !v.is_number_integer() && !v.is_boolean() && !listOfTexts) {
        Node(v, properties.where() + "." + p.key())
            .fail("must be a string, a whole number, true/false or a list of strings");
      }
      out.push_back(BlockExpectation{block.key(), p.key(), v});
    }
  }
  return out;
}

Action parseAction(const Node& node) {
  node.requireObject();
  Action action;
  action.source = node.value();
  if (node.has("press")) {
    node.allowKeys({"press"});
    action.kind = Action::Kind::Press;
    action.block = node.at("press").text();
  } else if (node.has("select")) {
    node.allowKeys({"select", "member", "index"});
    action.kind = Action::Kind::Select;
    action.block = node.at("select").text();
    if (node.has("member") == node.has("index")) node.fail("select needs one of member or index");
    if (node.has("member")) action.text = node.at("member").text();
    if (node.has("index")) action.index = node.at("index").integer();
  } else if (node.has("set_string")) {
    node.allowKeys({"set_string", "value"});
    action.kind = Action::Kind::SetString;
    action.block = node.at("set_string").text();
    action.text = node.at("value").text();
  } else if (node.has("set_toggle")) {
    node.allowKeys({"set_toggle", "value"});
    action.kind = Action::Kind::SetToggle;
    action.block = node.at("set_toggle").text();
    action.toggle = node.at("value").boolean();
  } else if (node.has("apply") || node.has("ok") || node.has("cancel") || node.has("close")) {
    if (node.value().size() != 1) node.fail("apply, ok, cancel and close stand alone");
    const std::string key = node.value().begin().key();
    if (!node.at(key.c_str()).boolean()) node.fail(key + " must be true");
    action.kind = key == "apply"    ? Action::Kind::Apply
                  : key == "ok"     ? Action::Kind::Ok
                  : key == "cancel" ? Action::Kind::Cancel
                                    : Action::Kind::Close;
  } else if (node.has("expect")) {
    node.allowKeys({"expect"});
    action.kind = Action::Kind::Expect;
    action.expectations = parseBlockExpectations(node.at("expect"));
  } else if (node.has("wait_ms")) {
    node.allowKeys({"wait_ms"});
    action.kind = Action::Kind::WaitMs;
    action.milliseconds = node.at("wait_ms").integer();
  } else if (node.has("wait_until")) {
    node.allowKeys({"wait_until"});
    const Node wait = node.at("wait_until");
    wait.allowKeys({"block", "property", "equals", "contains", "timeout_ms"});
    action.kind = Action::Kind::WaitUntil;
    action.block = wait.at("block").text();
    action.property = wait.has("property") ? wait.at("property").text() : "Label";
    if (wait.has("equals") == wait.has("contains")) wait.fail("needs one of equals or contains");
    action.contains = wait.has("contains");
    action.text = wait.at(action.contains ? "contains" : "equals").text();
    action.milliseconds = wait.has("timeout_ms") ? wait.at("timeout_ms").integer(1) : 10000;
  } else {
    node.fail(
        "an action is one of press, select, set_string, set_toggle, apply, ok, cancel, close, "
        "expect, wait_ms, wait_until");
  }
  return action;
}

DialogScript parseDialog(const Node& node) {
  node.allowKeys({"file", "actions", "settle_ms"});
  DialogScript script;
  script.file = node.at("file").text();
  if (node.has("actions")) {
    const Node actions = node.at("actions");
    for (size_t i = 0; i < actions.arraySize(); ++i)
      script.actions.push_back(parseAction(actions.at(i)));
  }
  if (node.has("settle_ms")) script.settleMs = node.at("settle_ms").integer(-1);
  return script;
}

const std::set<std::string> kBoxTypes = {"Error", "Warning", "Information", "Question"};

MessageBoxExpectation parseMessageBoxExpectation(const Node& node) {
  node.allowKeys({"title", "type", "text", "text_contains"});
  MessageBoxExpectation e;
  if (node.has("title")) e.title = node.at("title").text();
  if (node.has("type")) {
    e.type = node.at("type").text();
    if (kBoxTypes.count(*e.type) == 0)
      node.at("type").fail("must be Error, Warning, Information or Question");
  }
  if (node.has("text")) e.text = node.at("text").text();
  if (node.has("text_contains")) e.textContains = node.at("text_contains").text();
  return e;
}

Invoke parseInvoke(const Node& node) {
  node.allowKeys({"parameter", "dialogs", "expect_dialogs", "expect_message_boxes", "answers",
                  "browser_approve"});
  Invoke invoke;
  if (node.has("parameter")) invoke.parameter = node.at("parameter").text();
  if (node.has("dialogs")) {
    const Node dialogs = node.at("dialogs");
    for (size_t i = 0; i < dialogs.arraySize(); ++i)
      invoke.dialogs.push_back(parseDialog(dialogs.at(i)));
  }
  if (node.has("expect_dialogs")) invoke.expectDialogs = node.at("expect_dialogs").texts();
  if (node.has("expect_message_boxes")) {
    const Node boxes = node.at("expect_message_boxes");
    invoke.expectMessageBoxes.emplace();
    for (size_t i = 0; i < boxes.arraySize(); ++i) {
      invoke.expectMessageBoxes->push_back(parseMessageBoxExpectation(boxes.at(i)));
    }
  }
  if (node.has("answers")) {
    const Node answers = node.at("answers");
    for (size_t i = 0; i < answers.arraySize(); ++i)
      invoke.answers.push_back(answers.at(i).integer());
  }
  if (node.has("browser_approve")) invoke.browserApprove = node.at("browser_approve").boolean();
  return invoke;
}

NxFaultSpec parseNxFault(const Node& node) {
  node.allowKeys({"call", "kind", "nth", "persistent", "status", "error_code", "message"});
  NxFaultSpec fault;
  fault.call = node.at("call").text();
  if (node.has("kind")) {
    fault.kind = node.at("kind").text();
    if (fault.kind != "status" && fault.kind != "throw" && fault.kind != "null" &&
        fault.kind != "foreign") {
      node.at("kind").fail("must be status, throw, null or foreign");
    }
  }
  if (node.has("nth")) fault.nth = node.at("nth").integer(1);
  if (node.has("persistent")) fault.persistent = node.at("persistent").boolean();
  if (node.has("status")) fault.status = node.at("status").integer(1);
  if (node.has("error_code")) fault.errorCode = node.at("error_code").integer();
  if (node.has("message")) fault.message = node.at("message").text();
  return fault;
}

std::vector<NxFaultSpec> parseNxFaults(const Node& node) {
  std::vector<NxFaultSpec> out;
  for (size_t i = 0; i < node.arraySize(); ++i) out.push_back(parseNxFault(node.at(i)));
  return out;
}

ValuePattern pattern(const Node& node) {
  const std::string text = node.text();
  if (!text.empty() && text[0] == '~') {
    try {
      std::regex check(text.substr(1));
    } catch (const std::regex_error& e) {
      node.fail(std::string("is not a regular expression: ") + e.what());
    }
  }
  return text;
}

PrepareUpload parsePrepareUpload(const Node& node) {
  node.allowKeys({"expect_files", "expect_exported", "expect_file_name", "expect_source_file_id",
                  "expect_error", "expect_attributes", "expect_saves"});
  PrepareUpload p;
  if (node.has("expect_files")) {
    const Node files = node.at("expect_files");
    p.expectFiles.emplace();
    for (size_t i = 0; i < files.arraySize(); ++i) {
      const Node f = files.at(i);
      f.allowKeys({"path", "name", "source_file_id"});
      PreparedFileExpectation e;
      if (f.has("path")) e.path = pattern(f.at("path"));
      if (f.has("name")) e.name = pattern(f.at("name"));
      if (f.has("source_file_id")) e.sourceFileId = pattern(f.at("source_file_id"));
      p.expectFiles->push_back(e);
    }
  }
  if (node.has("expect_exported")) p.expectExported = pattern(node.at("expect_exported"));
  if (node.has("expect_file_name")) p.expectFileName = pattern(node.at("expect_file_name"));
  if (node.has("expect_source_file_id")) {
    p.expectSourceFileId = pattern(node.at("expect_source_file_id"));
  }
  if (node.has("expect_error")) p.expectError = pattern(node.at("expect_error"));
  if (node.has("expect_attributes")) {
    const Node attributes = node.at("expect_attributes");
    attributes.requireObject();
    for (auto it = attributes.value().begin(); it != attributes.value().end(); ++it) {
      const Node value(it.value(), attributes.where() + "." + it.key());
      p.expectAttributes[it.key()] =
          it.value().is_null() ? std::nullopt : std::optional<ValuePattern>(pattern(value));
    }
  }
  if (node.has("expect_saves")) {
    const Node saves = node.at("expect_saves");
    saves.requireObject();
    for (auto it = saves.value().begin(); it != saves.value().end(); ++it) {
      p.expectSaves[it.key()] = Node(it.value(), saves.where() + "." + it.key()).integer();
    }
  }
  return p;
}

Step parseStep(const Node& node) {
  node.requireObject();
  if (node.value().size() != 1) node.fail("a step has exactly one key");
  const std::string key = node.value().begin().key();
  const Node body = node.at(key.c_str());
  Step step;
  if (key == "invoke") {
    step.kind = Step::Kind::Invoke;
    step.invoke = parseInvoke(body);
  } else if (key == "wait_for_sign_in") {
    body.allowKeys({"timeout_ms", "grace_ms", "expect"});
    step.kind = Step::Kind::WaitForSignIn;
    if (body.has("timeout_ms")) step.waitForSignIn.timeoutMs = body.at("timeout_ms").integer(1);
    if (body.has("grace_ms")) step.waitForSignIn.graceMs = body.at("grace_ms").integer();
    if (body.has("expect")) {
      step.waitForSignIn.expect = body.at("expect").text();
      const std::string& e = step.waitForSignIn.expect;
      if (e != "success" && e != "failure" && e != "any") {
        body.at("expect").fail("must be success, failure or any");
      }
    }
  } else if (key == "set_faults") {
    body.requireObject();
    step.kind = Step::Kind::SetFaults;
    step.faults = body.value();
  } else if (key == "sleep_ms") {
    step.kind = Step::Kind::SleepMs;
    step.milliseconds = body.integer();
  } else if (key == "set_browser") {
    body.allowKeys({"approve"});
    step.kind = Step::Kind::SetBrowser;
    step.browserApprove = body.at("approve").boolean();
  } else if (key == "wait_for_browser") {
    body.allowKeys({"count", "timeout_ms"});
    step.kind = Step::Kind::WaitForBrowser;
    step.waitForBrowser.count = body.at("count").integer(1);
    if (body.has("timeout_ms")) step.waitForBrowser.timeoutMs = body.at("timeout_ms").integer(1);
  } else if (key == "nx_faults") {
    step.kind = Step::Kind::NxFault;
    step.nxFaults = parseNxFaults(body);
  } else if (key == "unload") {
    body.allowKeys({"wait_ms"});
    step.kind = Step::Kind::Unload;
    if (body.has("wait_ms")) step.milliseconds = body.at("wait_ms").integer();
  } else if (key == "refuse_threads") {
    step.kind = Step::Kind::RefuseThreads;
    step.milliseconds = body.integer();
  } else if (key == "prepare_upload") {
    step.kind = Step::Kind::PrepareUpload;
    step.prepareUpload = parsePrepareUpload(body);
  } else {
    node.fail("unknown step \"" + key +
              "\" (invoke, wait_for_sign_in, set_faults, sleep_ms, set_browser, "
              "wait_for_browser, nx_faults, prepare_upload, refuse_threads, unload)");
  }
  return step;
}

ComponentSpec parseComponent(const Node& node) {
  node.allowKeys({"part", "backing_name", "children"});
  ComponentSpec component;
  if (node.has("part")) component.part = node.at("part").text();
  if (node.has("backing_name")) component.backingName = node.at("backing_name").text();
  if (component.part.empty() && component.backingName.empty()) {
    node.fail("a component needs a part or a backing_name");
  }
  if (node.has("children")) {
    const Node children = node.at("children");
    for (size_t i = 0; i < children.arraySize(); ++i) {
      component.children.push_back(parseComponent(children.at(i)));
    }
  }
  return component;
}

PartSpec parsePart(const Node& node) {
  node.allowKeys({"name", "full_path", "file_bytes", "leaf", "unique_identifier", "modified",
                  "family", "managed", "attributes", "drawing_sheets", "clone_files",
                  "components"});
  PartSpec part;
  part.name = node.at("name").text();
  if (node.has("full_path")) part.fullPath = node.at("full_path").text();
  if (node.has("file_bytes")) part.fileBytes = node.at("file_bytes").integer();
  if (node.has("leaf")) part.leaf = node.at("leaf").text();
  if (node.has("unique_identifier")) part.uniqueIdentifier = node.at("unique_identifier").text();
  if (node.has("modified")) part.modified = node.at("modified").boolean();
  if (node.has("family")) {
    const Node family = node.at("family");
    family.allowKeys({"instance", "template", "index"});
    if (family.has("instance")) part.familyInstance = family.at("instance").boolean();
    if (family.has("template")) part.familyTemplate = family.at("template").boolean();
    if (family.has("index")) part.familyIndex = family.at("index").integer();
  }
  if (node.has("managed")) {
    const Node managed = node.at("managed");
    managed.allowKeys({"part_number", "revision", "file_type", "file_name", "revision_id",
                       "encoded_name", "has_configured_revision"});
    for (auto it = managed.value().begin(); it != managed.value().end(); ++it) {
      const Node member(it.value(), managed.where() + "." + it.key());
      if (it.key() == "has_configured_revision") {
        member.boolean();
      } else {
        member.text();
      }
    }
    part.managed = managed.value();
  }
  if (node.has("attributes")) part.attributes = node.at("attributes").textMap();
  if (node.has("drawing_sheets")) part.drawingSheets = node.at("drawing_sheets").texts();
  if (node.has("clone_files")) part.cloneFiles = node.at("clone_files").texts();
  if (node.has("components")) {
    const Node components = node.at("components");
    for (size_t i = 0; i < components.arraySize(); ++i) {
      part.components.push_back(parseComponent(components.at(i)));
    }
  }
  return part;
}

void checkComponentParts(const std::vector<ComponentSpec>& components,
                         const std::set<std::string>& names, const std::string& where) {
  for (const auto& c : components) {
    if (!c.part.empty() && names.count(c.part) == 0) {
      throw ScenarioError(where + ": component names the unknown part \"" + c.part + "\"");
    }
    checkComponentParts(c.children, names, where);
  }
}

NxSetup parseNx(const Node& node) {
  node.allowKeys({"parts", "displayed_part", "application_module", "faults", "dialog_timeout_ms",
                  "print_writes_file", "save_outcomes", "naming_failures", "load_failures"});
  NxSetup nx;
  std::set<std::string> names;
  if (node.has("parts")) {
    const Node parts = node.at("parts");
    for (size_t i = 0; i < parts.arraySize(); ++i) {
      nx.parts.push_back(parsePart(parts.at(i)));
      if (!names.insert(nx.parts.back().name).second) {
        parts.at(i).fail("a second part named \"" + nx.parts.back().name + "\"");
      }
    }
  }
  for (const auto& p : nx.parts) checkComponentParts(p.components, names, node.where() + ".parts");
  if (node.has("displayed_part")) {
    nx.displayedPart = node.at("displayed_part").text();
    if (names.count(nx.displayedPart) == 0) {
      node.at("displayed_part").fail("names no part of the scenario");
    }
  }
  if (node.has("application_module")) {
    const Node module = node.at("application_module");
    if (module.value().is_string()) {
      if (module.text() == "drafting") {
        nx.applicationModule = 1;
      } else if (module.text() == "modeling") {
        nx.applicationModule = 0;
      } else {
        module.fail("must be \"modeling\", \"drafting\" or a module number");
      }
    } else {
      nx.applicationModule = module.integer();
    }
  }
  if (node.has("faults")) nx.faults = parseNxFaults(node.at("faults"));
  if (node.has("dialog_timeout_ms")) nx.dialogTimeoutMs = node.at("dialog_timeout_ms").integer(1);
  if (node.has("print_writes_file")) nx.printWritesFile = node.at("print_writes_file").boolean();
  if (node.has("save_outcomes")) {
    const Node outcomes = node.at("save_outcomes");
    for (size_t i = 0; i < outcomes.arraySize(); ++i) {
      const Node o = outcomes.at(i);
      o.allowKeys({"part", "unsaved_parts", "unsaved_objects"});
      SaveOutcomeSpec outcome;
      outcome.part = o.at("part").text();
      if (names.count(outcome.part) == 0) o.at("part").fail("names no part of the scenario");
      if (o.has("unsaved_parts")) outcome.unsavedParts = o.at("unsaved_parts").integer();
      if (o.has("unsaved_objects")) outcome.unsavedObjects = o.at("unsaved_objects").integer();
      nx.saveOutcomes.push_back(outcome);
    }
  }
  if (node.has("naming_failures")) {
    const Node calls = node.at("naming_failures");
    calls.requireObject();
    for (auto it = calls.value().begin(); it != calls.value().end(); ++it) {
      const Node list(it.value(), calls.where() + "." + it.key());
      auto& failures = nx.namingFailures[it.key()];
      for (size_t i = 0; i < list.arraySize(); ++i) {
        const Node f = list.at(i);
        f.allowKeys({"input_name", "output_name", "status"});
        NamingFailureSpec failure;
        if (f.has("input_name")) failure.inputName = f.at("input_name").text();
        if (f.has("output_name")) failure.outputName = f.at("output_name").text();
        failure.status = f.at("status").integer(1);
        failures.push_back(failure);
      }
    }
  }
  if (node.has("load_failures")) {
    const Node list = node.at("load_failures");
    for (size_t i = 0; i < list.arraySize(); ++i) {
      const Node f = list.at(i);
      f.allowKeys({"file_name", "status"});
      nx.loadFailures.emplace_back(f.at("file_name").text(), f.at("status").integer(1));
    }
  }
  return nx;
}

TorvaneSetup parseTorvane(const Node& node) {
  node.allowKeys({"present", "home", "seed", "auth_timeout", "auto_approve", "token_ttl",
                  "token_uses", "job_step_ms"});
  TorvaneSetup t;
  if (node.has("present")) t.present = node.at("present").boolean();
  if (node.has("home")) t.home = node.at("home").text();
  if (node.has("seed")) {
    const Node seed = node.at("seed");
    if (!seed.value().is_object() && !seed.value().is_string()) {
      seed.fail("must be a catalog object or the name of a seed file");
    }
    t.seed = seed.value();
  }
  if (node.has("auth_timeout")) t.authTimeoutSeconds = node.at("auth_timeout").number();
  if (node.has("auto_approve")) t.autoApprove = node.at("auto_approve").boolean();
  if (node.has("token_ttl")) t.tokenTtlSeconds = node.at("token_ttl").number();
  if (node.has("token_uses")) t.tokenUses = node.at("token_uses").integer();
  if (node.has("job_step_ms")) t.jobStepMs = node.at("job_step_ms").integer();
  return t;
}

std::string propertiesText(const Node& node) {
  if (node.value().is_string()) return node.text();
  node.requireObject();
  std::string text;
  for (auto it = node.value().begin(); it != node.value().end(); ++it) {
    const std::string value = Node(it.value(), node.where() + "." + it.key()).text();
    if (it.key().find_first_of("=:\r\n") != std::string::npos ||
        value.find_first_of("\r\n") != std::string::npos) {
      node.fail("the property \"" + it.key() + "\" cannot be written as one key=value line");
    }
    text += it.key() + "=" + value + "\n";
  }
  return text;
}

}  // namespace

Scenario parseScenario(const json& document) {
  const Node root(document, "scenario");
  root.allowKeys({"name", "description", "stage", "properties", "torvane", "faults", "environment",
                  "browser", "message_box_answer", "allow_nx_violations", "invocations", "nx",
                  "steps"});
  Scenario scenario;
  if (root.has("name")) scenario.name = root.at("name").text();
  if (root.has("description")) scenario.description = root.at("description").text();
  if (root.has("stage")) scenario.stage = root.at("stage").boolean();
  if (root.has("properties")) {
    if (!scenario.stage) root.at("properties").fail("needs a stage (\"stage\": true)");
    scenario.propertiesText = propertiesText(root.at("properties"));
  }
  if (root.has("torvane")) scenario.torvane = parseTorvane(root.at("torvane"));
  if (!scenario.stage && !scenario.torvane.present) {
    root.at("torvane").fail("a missing Torvane library needs a stage (\"stage\": true)");
  }
  if (root.has("faults")) {
    root.at("faults").requireObject();
    scenario.faults = root.at("faults").value();
  }
  if (root.has("environment")) scenario.environment = root.at("environment").textMap();
  if (root.has("browser")) {
    const Node browser = root.at("browser");
    browser.allowKeys({"approve"});
    if (browser.has("approve")) scenario.browserApprove = browser.at("approve").boolean();
  }
  if (root.has("message_box_answer")) {
    scenario.messageBoxAnswer = root.at("message_box_answer").integer();
  }
  if (root.has("allow_nx_violations")) {
    scenario.allowNxViolations = root.at("allow_nx_violations").boolean();
  }
  if (root.has("invocations")) scenario.invocations = root.at("invocations").integer(1);
  if (root.has("nx")) scenario.nx = parseNx(root.at("nx"));
  if (root.has("steps")) {
    const Node steps = root.at("steps");
    for (size_t i = 0; i < steps.arraySize(); ++i) {
      scenario.steps.push_back(parseStep(steps.at(i)));
      const PrepareUpload& p = scenario.steps.back().prepareUpload;
      auto known = [&](const std::string& part, const char* key) {
        for (const auto& defined : scenario.nx.parts) {
          if (defined.name == part) return;
        }
        steps.at(i).at("prepare_upload").at(key).fail("names the unknown part \"" + part + "\"");
      };
      for (const auto& entry : p.expectAttributes) known(entry.first, "expect_attributes");
      for (const auto& entry : p.expectSaves) known(entry.first, "expect_saves");
    }
  }
  return scenario;
}

Scenario loadScenario(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw ScenarioError("Cannot read the scenario " + file.u8string());
  std::stringstream content;
  content << in.rdbuf();
  json document;
  try {
    document = json::parse(content.str());
  } catch (const json::parse_error& e) {
    throw ScenarioError("The scenario " + file.u8string() + " is not valid JSON: " + e.what());
  }
  Scenario scenario = parseScenario(document);
  scenario.directory = file.parent_path();
  return scenario;
}

}  // namespace simrunner
