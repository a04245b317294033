// Reading scenario files: what each key becomes, and the error for every kind of mistake.
#include "sim/runner/Scenario.h"

#include <gtest/gtest.h>

namespace simrunner {
namespace {

using nlohmann::json;

std::string errorOf(const json& document) {
  try {
    parseScenario(document);
  } catch (const ScenarioError& e) {
    return e.what();
  }
  return "no error";
}

TEST(ScenarioTest, ReadsAFullScenario) {
  const json document = json::parse(R"({
    "name": "demo",
    "description": "sign in and look",
    "properties": {"synquo_nx_log_level": "DEBUG"},
    "torvane": {"present": true, "home": "store", "seed": {"workspaces": []},
                "auth_timeout": 2.5, "auto_approve": false, "token_ttl": 60, "job_step_ms": 5},
    "faults": {"GetCurrentUser": {"error": "boom"}},
    "environment": {"TZ": "UTC"},
    "browser": {"approve": false},
    "message_box_answer": 2,
    "nx": {"parts": [{"name": "asm", "full_path": "/m/asm.prt", "unique_identifier": "u1",
                      "managed": {"part_number": "123", "revision": "A"},
                      "attributes": {"SYNQUO_ID": "x"}, "drawing_sheets": ["S1"],
                      "components": [{"part": "bolt"}, {"backing_name": "/m/gone.prt"}]},
                     {"name": "bolt", "full_path": "/m/bolt.prt"}],
           "displayed_part": "asm", "application_module": "drafting",
           "faults": [{"call": "UF_initialize", "status": 7}], "dialog_timeout_ms": 5000,
           "print_writes_file": false,
           "save_outcomes": [{"part": "bolt", "unsaved_parts": 1}],
           "naming_failures": {"UF_CLONE_perform_clone": [{"input_name": "a", "output_name": "b", "status": 9}]},
           "load_failures": [{"file_name": "/m/gone.prt", "status": 4}]},
    "steps": [
      {"invoke": {"dialogs": [{"file": "start.dlx", "actions": [
          {"press": "signInButton"},
          {"select": "workspaceList", "index": 1},
          {"select": "workspaceList", "member": "Design"},
          {"set_string": "name", "value": "v"},
          {"set_toggle": "flag", "value": true},
          {"expect": {"userGreeting": {"Label": "Hi", "Show": true}}},
          {"wait_ms": 10},
          {"wait_until": {"block": "status", "contains": "done"}},
          {"ok": true}, {"apply": true}, {"cancel": true}, {"close": true}],
          "settle_ms": -1}],
        "expect_dialogs": ["start.dlx"],
        "expect_message_boxes": [{"title": "Synquo", "type": "Information", "text_contains": "browser"}],
        "answers": [1, 2], "browser_approve": true}},
      {"wait_for_sign_in": {"timeout_ms": 5000, "expect": "success", "grace_ms": 50}},
      {"set_faults": {}},
      {"sleep_ms": 5},
      {"set_browser": {"approve": true}},
      {"wait_for_browser": {"count": 2}},
      {"nx_faults": [{"call": "BasePart::Save", "kind": "throw", "message": "no"}]}
    ]})");
  const Scenario s = parseScenario(document);
  EXPECT_EQ(s.name, "demo");
  ASSERT_TRUE(s.propertiesText);
  EXPECT_EQ(*s.propertiesText, "synquo_nx_log_level=DEBUG\n");
  EXPECT_EQ(s.torvane.home, "store");
  EXPECT_DOUBLE_EQ(*s.torvane.authTimeoutSeconds, 2.5);
  EXPECT_FALSE(*s.torvane.autoApprove);
  EXPECT_EQ(s.faults.at("GetCurrentUser").at("error"), "boom");
  EXPECT_EQ(s.environment.at("TZ"), "UTC");
  EXPECT_FALSE(s.browserApprove);
  EXPECT_EQ(s.messageBoxAnswer, 2);
  ASSERT_EQ(s.nx.parts.size(), 2u);
  EXPECT_EQ(s.nx.parts[0].components.size(), 2u);
  EXPECT_EQ(s.nx.parts[0].managed->at("part_number"), "123");
  EXPECT_EQ(s.nx.displayedPart, "asm");
  EXPECT_EQ(*s.nx.applicationModule, 1);
  EXPECT_EQ(s.nx.faults.at(0).status, 7);
  EXPECT_EQ(s.nx.dialogTimeoutMs, 5000);
  EXPECT_FALSE(*s.nx.printWritesFile);
  EXPECT_EQ(s.nx.saveOutcomes.at(0).part, "bolt");
  EXPECT_EQ(s.nx.saveOutcomes.at(0).unsavedParts, 1);
  EXPECT_EQ(s.nx.namingFailures.at("UF_CLONE_perform_clone").at(0).status, 9);
  EXPECT_EQ(s.nx.loadFailures.at(0), (std::pair<std::string, int>{"/m/gone.prt", 4}));

  ASSERT_EQ(s.steps.size(), 7u);
  const Invoke& invoke = s.steps[0].invoke;
  ASSERT_EQ(invoke.dialogs.size(), 1u);
  const auto& actions = invoke.dialogs[0].actions;
  ASSERT_EQ(actions.size(), 12u);
  EXPECT_EQ(actions[0].kind, Action::Kind::Press);
  EXPECT_EQ(actions[0].block, "signInButton");
  EXPECT_EQ(*actions[1].index, 1);
  EXPECT_EQ(actions[2].text, "Design");
  EXPECT_FALSE(actions[2].index);
  EXPECT_EQ(actions[3].kind, Action::Kind::SetString);
  EXPECT_TRUE(actions[4].toggle);
  ASSERT_EQ(actions[5].expectations.size(), 2u);
  EXPECT_EQ(actions[6].milliseconds, 10);
  EXPECT_TRUE(actions[7].contains);
  EXPECT_EQ(actions[7].property, "Label");
  EXPECT_EQ(actions[7].milliseconds, 10000);
  EXPECT_EQ(actions[8].kind, Action::Kind::Ok);
  EXPECT_EQ(actions[9].kind, Action::Kind::Apply);
  EXPECT_EQ(actions[10].kind, Action::Kind::Cancel);
  EXPECT_EQ(actions[11].kind, Action::Kind::Close);
  EXPECT_EQ(invoke.dialogs[0].settleMs, -1);
  EXPECT_EQ(*invoke.expectDialogs, std::vector<std::string>{"start.dlx"});
  EXPECT_EQ(*invoke.expectMessageBoxes->at(0).textContains, "browser");
  EXPECT_EQ(invoke.answers, (std::vector<int>{1, 2}));
  EXPECT_TRUE(*invoke.browserApprove);
  EXPECT_EQ(s.steps[1].waitForSignIn.expect, "success");
  EXPECT_EQ(s.steps[1].waitForSignIn.graceMs, 50);
  EXPECT_EQ(s.steps[2].kind, Step::Kind::SetFaults);
  EXPECT_EQ(s.steps[3].milliseconds, 5);
  EXPECT_TRUE(s.steps[4].browserApprove);
  EXPECT_EQ(s.steps[5].waitForBrowser.count, 2);
  EXPECT_EQ(s.steps[6].nxFaults.at(0).kind, "throw");
}

TEST(ScenarioTest, DefaultsOfAnEmptyScenario) {
  const Scenario s = parseScenario(json::object());
  EXPECT_TRUE(s.stage);
  EXPECT_FALSE(s.propertiesText);
  EXPECT_TRUE(s.torvane.present);
  EXPECT_TRUE(s.browserApprove);
  EXPECT_EQ(s.messageBoxAnswer, 1);
  EXPECT_TRUE(s.faults.is_object());
  EXPECT_TRUE(s.steps.empty());
}

TEST(ScenarioTest, PropertiesMayBeGivenAsText) {
  const Scenario s = parseScenario({{"properties", "# comment\nsynquo_nx_log_level = OFF\n"}});
  EXPECT_EQ(*s.propertiesText, "# comment\nsynquo_nx_log_level = OFF\n");
}

TEST(ScenarioTest, MistakesAreNamedWithTheirPlace) {
  EXPECT_EQ(errorOf({{"stepz", json::array()}}), "scenario: unknown key \"stepz\"");
  EXPECT_EQ(errorOf(json::array()), "scenario: must be an object");
  EXPECT_EQ(
      errorOf({{"steps",
                {{{"invoke",
                   {{"dialogs", {{{"file", "a.dlx"}, {"actions", {{{"presss", "x"}}}}}}}}}}}}}),
      "scenario.steps[0].invoke.dialogs[0].actions[0]: an action is one of press, select, "
      "set_string, set_toggle, apply, ok, cancel, close, expect, wait_ms, wait_until");
  EXPECT_EQ(errorOf({{"steps", {{{"dance", 1}}}}}),
            "scenario.steps[0]: unknown step \"dance\" (invoke, wait_for_sign_in, set_faults, "
            "sleep_ms, set_browser, wait_for_browser, nx_faults, prepare_upload, refuse_threads, unload)");
  EXPECT_EQ(errorOf({{"steps", {{{"prepare_upload", {{"expect_saves", {{"ghost", 1}}}}}}}}}),
            "scenario.steps[0].prepare_upload.expect_saves: names the unknown part \"ghost\"");
  EXPECT_EQ(errorOf({{"steps", {{{"prepare_upload", {{"expect_file_name", "~(a"}}}}}}})
                .rfind("scenario.steps[0].prepare_upload.expect_file_name: is not a regular "
                       "expression: ",
                       0),
            0u);
  EXPECT_EQ(errorOf({{"steps", {{{"sleep_ms", -5}}}}}),
            "scenario.steps[0].sleep_ms: must be at least 0");
  EXPECT_EQ(errorOf({{"steps", {{{"sleep_ms", 1}, {"set_faults", json::object()}}}}}),
            "scenario.steps[0]: a step has exactly one key");
  EXPECT_EQ(errorOf({{"steps", {{{"invoke", {{"dialogs", {{{"actions", json::array()}}}}}}}}}}),
            "scenario.steps[0].invoke.dialogs[0]: missing key \"file\"");
  EXPECT_EQ(
      errorOf(
          {{"steps",
            {{{"invoke", {{"dialogs", {{{"file", "a"}, {"actions", {{{"select", "w"}}}}}}}}}}}}}),
      "scenario.steps[0].invoke.dialogs[0].actions[0]: select needs one of member or index");
  EXPECT_EQ(errorOf({{"steps", {{{"wait_for_sign_in", {{"expect", "maybe"}}}}}}}),
            "scenario.steps[0].wait_for_sign_in.expect: must be success, failure or any");
  EXPECT_EQ(errorOf({{"steps", {{{"invoke", {{"expect_message_boxes", {{{"type", "Info"}}}}}}}}}}),
            "scenario.steps[0].invoke.expect_message_boxes[0].type: must be Error, Warning, "
            "Information or Question");
  EXPECT_EQ(errorOf({{"properties", {{"synquo_nx_log_level", 3}}}}),
            "scenario.properties.synquo_nx_log_level: must be a string");
  EXPECT_EQ(errorOf({{"properties", {{"a=b", "c"}}}}),
            "scenario.properties: the property \"a=b\" cannot be written as one key=value line");
  EXPECT_EQ(errorOf({{"stage", false}, {"properties", json::object()}}),
            "scenario.properties: needs a stage (\"stage\": true)");
  EXPECT_EQ(errorOf({{"torvane", {{"auth_timeout", 0}}}}),
            "scenario.torvane.auth_timeout: must be a positive number");
  EXPECT_EQ(errorOf({{"nx", {{"displayed_part", "nope"}}}}),
            "scenario.nx.displayed_part: names no part of the scenario");
  EXPECT_EQ(errorOf({{"nx", {{"parts", {{{"name", "a"}, {"components", {{{"part", "b"}}}}}}}}}}),
            "scenario.nx.parts: component names the unknown part \"b\"");
  EXPECT_EQ(errorOf({{"nx", {{"parts", {{{"name", "a"}}, {{"name", "a"}}}}}}}),
            "scenario.nx.parts[1]: a second part named \"a\"");
  EXPECT_EQ(errorOf({{"nx", {{"save_outcomes", {{{"part", "ghost"}}}}}}}),
            "scenario.nx.save_outcomes[0].part: names no part of the scenario");
  EXPECT_EQ(errorOf({{"nx", {{"faults", {{{"call", "x"}, {"kind", "explode"}}}}}}}),
            "scenario.nx.faults[0].kind: must be status, throw, null or foreign");
  EXPECT_EQ(
      errorOf(
          {{"steps",
            {{{"invoke",
               {{"dialogs",
                 {{{"file", "a"}, {"actions", {{{"expect", {{"b", {{"Label", 1.5}}}}}}}}}}}}}}}}}),
      "scenario.steps[0].invoke.dialogs[0].actions[0].expect.b.Label: must be a string, a "
      "whole number, true/false or a list of strings");
}

TEST(ScenarioTest, LoadingReportsUnreadableFilesAndBadJson) {
  EXPECT_THROW(loadScenario("/no/such/scenario.json"), ScenarioError);
}

}  // namespace
}  // namespace simrunner
