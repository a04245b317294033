// The traceable identifier of a part in the simulated NX: which identifier each resolution
// gives, what it logs, and what it writes into the part and its file when NX fails on the way.
#include "addin/traceability/TraceableId.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addin/logging/Log.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/tests/support/AddinEnvironment.h"
#include "addin/tests/support/LogCapture.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "addin/traceability/TraceableIdText.h"
#include "sim/nx/NxSim.h"

namespace synquo {
namespace {

constexpr const char* kLabel = "/models/bracket.prt (bracket)";
constexpr const char* kError =
    "Legacy file(s) detected. Unable to upload because SYNQUO_ID could not be saved for "
    "/models/bracket.prt (bracket).";

// Expected texts name the values by placeholder: {I} and {W} are the level prefixes, {new} the
// identifier that the run generated.
std::string expand(std::string text, const std::string& generated = std::string()) {
  const std::pair<const char*, std::string> names[] = {
      {"{I}", "[INFO] [Synquo] "},
      {"{W}", "[WARNING] [Synquo] "},
      {"{label}", kLabel},
      {"{uuid}", "0F8FAD5B-d9cb-469f-a165-70867728950e"},
      {"{legacy}", "legacy-0042"},
      {"{valid}", "7c9e6679-7425-40de-944b-e07fc1f90ae7"},
      {"{invalid}", "7c9e6679-7425-40de-944b-e07fc1f90ae"},
      {"{new}", generated},
  };
  for (const auto& [name, value] : names) {
    for (size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
      text.replace(at, std::strlen(name), value);
      at += value.size();
    }
  }
  return text;
}

using Attribute = std::optional<std::string>;  // nullopt: the part has no SYNQUO_ID
const Attribute kAbsent;

struct PartSetup {
  const char* internalId;
  Attribute attribute;
  bool displayed;
  std::vector<nxsim::Fault> faults;
  int unsavedObjects;  // what every save of the part leaves unsaved
  int unsavedParts;
  const char* properties;
};

struct Outcome {
  const char* result;
  std::vector<std::string> log;
  Attribute session;  // SYNQUO_ID in the NX session afterwards
  Attribute file;     // and in the part file
  int saves;
  bool changed;
  bool blocked;  // the traceability error names the part
};

struct Row {
  const char* name;
  PartSetup setup;
  Outcome expected;
};

nxsim::Fault raises(const char* call, int nth = 1) {
  return nxsim::Fault{call, nxsim::FaultKind::Throw, nth};
}

Attribute attributeIn(const std::map<std::string, std::string>& attributes) {
  auto found = attributes.find("SYNQUO_ID");
  return found == attributes.end() ? kAbsent : Attribute(found->second);
}

Attribute expanded(const Attribute& attribute, const std::string& generated) {
  return attribute ? Attribute(expand(*attribute, generated)) : kAbsent;
}

class TraceableId : public ::testing::Test {
 protected:
  ~TraceableId() override {
    clearTraceabilityError();
    clearTraceabilityChanged();
  }

  // The settings come from a properties file; the log stays in the capture.
  void useProperties(const std::string& text) {
    installation_.writeProperties(text);
    loadSettings();
    logging::setLogDirectory(log_.directory(), "");
    logging::applyLogLevel("", "DEBUG");
    fixLegacyIdEnabled();  // announces the setting; that is the settings' own business
    log_.clear();
  }

  // The part "bracket", displayed or a member of a displayed assembly.
  NXOpen::BasePart* prepare(const PartSetup& setup) {
    nxsim::reset();
    useProperties(setup.properties == nullptr ? "" : setup.properties);
    clearTraceabilityError();
    clearTraceabilityChanged();
    nxsim::PartDefinition bracket;
    bracket.fullPath = "/models/bracket.prt";
    bracket.uniqueIdentifier = expand(setup.internalId);
    if (setup.attribute) bracket.attributes["SYNQUO_ID"] = expand(*setup.attribute);
    part_ = nxsim::addPart(bracket);
    if (setup.displayed) {
      nxsim::setDisplayedPart(part_);
    } else {
      nxsim::PartDefinition assembly;
      assembly.fullPath = "/models/assembly.prt";
      assembly.uniqueIdentifier = "legacy-0001";
      nxsim::setDisplayedPart(nxsim::addPart(assembly));
    }
    nxsim::setSaveOutcome(part_, setup.unsavedParts, setup.unsavedObjects);
    for (const nxsim::Fault& fault : setup.faults) nxsim::injectFault(fault);
    return nxsim::partObject(part_);
  }

  // The identifier this run wrote first: a generated one, unless it only restored a value.
  static std::string generatedId() {
    for (const nxsim::Call& call : nxsim::journal()) {
      if (call.name == "NXObject::SetUserAttribute") return call.args.at(3);
    }
    return std::string();
  }

  void check(const Outcome& expected, const std::string& result) {
    const std::string generated = generatedId();
    EXPECT_EQ(result, expand(expected.result, generated));
    std::vector<std::string> lines;
    for (const std::string& line : expected.log) lines.push_back(expand(line, generated));
    EXPECT_EQ(log_.entries(), lines);
    const nxsim::PartState state = nxsim::partState(part_);
    EXPECT_EQ(attributeIn(state.attributes), expanded(expected.session, generated));
    EXPECT_EQ(attributeIn(state.savedAttributes), expanded(expected.file, generated));
    EXPECT_EQ(state.saveCount, expected.saves);
    EXPECT_EQ(traceabilityChanged(), expected.changed);
    EXPECT_EQ(traceabilityError(), expected.blocked ? kError : "");
  }

  void checkUploadRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      SCOPED_TRACE(row.name);
      NXOpen::BasePart* part = prepare(row.setup);
      check(row.expected, uploadTraceableId(part));
    }
  }

  testsupport::AddinEnvironment installation_;
  testsupport::LogCapture log_;
  tag_t part_ = NULL_TAG;
};

const char* const kCleanupNeeded =
    "{I}Using NX internal ID because it is UUID-style; SYNQUO_ID attribute cleanup needed: "
    "part=\"{label}\" nx_id=\"{uuid}\" synquo_id=\"{valid}\".";
const char* const kDeleting =
    "{I}Deleting redundant SYNQUO_ID attribute because NX internal ID is UUID-style: "
    "part=\"{label}\" nx_id=\"{uuid}\" synquo_id=\"{valid}\".";
const char* const kDeletedInSession =
    "{I}Redundant SYNQUO_ID attribute deleted in NX session: part=\"{label}\" nx_id=\"{uuid}\" "
    "synquo_id=\"{valid}\".";
const char* const kSkippingRepair =
    "{I}Skipping SYNQUO_ID repair for non-top-level legacy NX part: part=\"{label}\" "
    "legacy_id=\"{legacy}\".";
const char* const kIgnoringEmpty =
    "{W}Ignoring empty SYNQUO_ID attribute: part=\"{label}\" nx_id=\"{legacy}\".";
const char* const kGenerated =
    "{I}Generated SYNQUO_ID for legacy NX internal ID: part=\"{label}\" legacy_id=\"{legacy}\" "
    "synquo_id=\"{new}\".";
const char* const kWritten =
    "{I}SYNQUO_ID attribute written in NX session: part=\"{label}\" legacy_id=\"{legacy}\" "
    "synquo_id=\"{new}\".";
const char* const kSaved =
    "{I}SYNQUO_ID attribute saved to NX file: part=\"{label}\" legacy_id=\"{legacy}\" "
    "synquo_id=\"{new}\".";
const char* const kNotSaved =
    "{W}SYNQUO_ID attribute was set but the NX part could not be saved: part=\"{label}\" "
    "legacy_id=\"{legacy}\" synquo_id=\"{new}\".";
const char* const kCleared =
    "{W}Cleared unsaved SYNQUO_ID attribute from NX session: part=\"{label}\" "
    "legacy_id=\"{legacy}\" synquo_id=\"{new}\".";
const char* const kBlocked =
    "{W}Legacy file(s) detected. Unable to upload because SYNQUO_ID could not be saved for "
    "{label}. legacy_id=\"{legacy}\" synquo_id=\"{new}\".";

TEST_F(TraceableId, UploadResolutionDecidesByInternalIdAttributeAndDisplay) {
  const char* const skippingCleanup =
      "{I}Skipping SYNQUO_ID cleanup for non-top-level NX part: part=\"{label}\" "
      "nx_id=\"{uuid}\" synquo_id=\"{valid}\".";
  checkUploadRows({
      {"UUID-style, no attribute",
       {"{uuid}", kAbsent, true, {}, 0, 0, nullptr},
       {"{uuid}", {}, kAbsent, kAbsent, 0, false, false}},
      {"UUID-style, attribute, member",
       {"{uuid}", "{valid}", false, {}, 0, 0, nullptr},
       {"{uuid}", {kCleanupNeeded, skippingCleanup}, "{valid}", "{valid}", 0, false, false}},
      {"UUID-style, empty attribute, member",
       {"{uuid}", " ", false, {}, 0, 0, nullptr},
       {"{uuid}",
        {"{I}Using NX internal ID because it is UUID-style; SYNQUO_ID attribute cleanup needed: "
         "part=\"{label}\" nx_id=\"{uuid}\" synquo_id=\"\".",
         "{I}Skipping SYNQUO_ID cleanup for non-top-level NX part: part=\"{label}\" "
         "nx_id=\"{uuid}\" synquo_id=\"\"."},
        " ",
        " ",
        0,
        false,
        false}},
      {"UUID-style, attribute, displayed",
       {"{uuid}", "{valid}", true, {}, 0, 0, nullptr},
       {"{uuid}",
        {kCleanupNeeded, kDeleting, kDeletedInSession,
         "{I}Redundant SYNQUO_ID attribute deleted from NX file: part=\"{label}\" "
         "nx_id=\"{uuid}\" synquo_id=\"{valid}\"."},
        kAbsent,
        kAbsent,
        1,
        true,
        false}},
      {"legacy, valid attribute with blanks around it, member",
       {"{legacy}", " {valid}\t\r\n", false, {}, 0, 0, nullptr},
       {"{valid}",
        {"{I}Using existing SYNQUO_ID for legacy NX internal ID: part=\"{label}\" "
         "legacy_id=\"{legacy}\" synquo_id=\"{valid}\"."},
        " {valid}\t\r\n",
        " {valid}\t\r\n",
        0,
        false,
        false}},
      {"legacy, valid attribute, displayed",
       {"{legacy}", "{valid}", true, {}, 0, 0, nullptr},
       {"{valid}",
        {"{I}Using existing SYNQUO_ID for legacy NX internal ID: part=\"{label}\" "
         "legacy_id=\"{legacy}\" synquo_id=\"{valid}\"."},
        "{valid}",
        "{valid}",
        0,
        false,
        false}},
      {"legacy, invalid attribute, member",
       {"{legacy}", "{invalid}", false, {}, 0, 0, nullptr},
       {"{legacy}",
        {"{W}Ignoring invalid SYNQUO_ID for non-top-level part: part=\"{label}\" "
         "legacy_id=\"{legacy}\" synquo_id=\"{invalid}\".",
         kSkippingRepair},
        "{invalid}",
        "{invalid}",
        0,
        false,
        false}},
      {"legacy, invalid attribute, displayed",
       {"{legacy}", "{invalid}", true, {}, 0, 0, nullptr},
       {"{new}",
        {"{W}Existing SYNQUO_ID does not match NX UUID format and will be replaced: "
         "part=\"{label}\" legacy_id=\"{legacy}\" synquo_id=\"{invalid}\".",
         kGenerated, kWritten, kSaved},
        "{new}",
        "{new}",
        1,
        true,
        false}},
      {"legacy, empty attribute, member",
       {"{legacy}", "", false, {}, 0, 0, nullptr},
       {"{legacy}", {kIgnoringEmpty, kSkippingRepair}, "", "", 0, false, false}},
      {"legacy, empty attribute, displayed",
       {"{legacy}", "", true, {}, 0, 0, nullptr},
       {"{new}", {kIgnoringEmpty, kGenerated, kWritten, kSaved}, "{new}", "{new}", 1, true, false}},
      {"legacy, no attribute, member",
       {"{legacy}", kAbsent, false, {}, 0, 0, nullptr},
       {"{legacy}", {kSkippingRepair}, kAbsent, kAbsent, 0, false, false}},
      {"legacy, no attribute, displayed",
       {"{legacy}", kAbsent, true, {}, 0, 0, nullptr},
       {"{new}", {kGenerated, kWritten, kSaved}, "{new}", "{new}", 1, true, false}},
      {"legacy, no attribute, displayed, repair switched off",
       {"{legacy}", kAbsent, true, {}, 0, 0, "synquo_fix_legacy_id = Off\n"},
       {"{legacy}",
        {"{W}synquo_fix_legacy_id is false; legacy NX internal ID will not be fixed: "
         "part=\"{label}\" legacy_id=\"{legacy}\"."},
        kAbsent,
        kAbsent,
        0,
        false,
        false}},
      // An attribute NX fails to read may hold the identity of earlier uploads.
      {"legacy, unreadable attribute, displayed",
       {"{legacy}", "{valid}", true, {raises("NXObject::HasUserAttribute")}, 0, 0, nullptr},
       {"{legacy}",
        {"{W}Failed to read SYNQUO_ID attribute; it will not be replaced: part=\"{label}\" "
         "legacy_id=\"{legacy}\".",
         kBlocked},
        "{valid}",
        "{valid}",
        0,
        false,
        true}},
      {"no internal ID, attribute",
       {"", "{valid}", true, {}, 0, 0, nullptr},
       {"",
        {"{W}Ignoring SYNQUO_ID attribute because NX internal ID is not legacy: "
         "part=\"{label}\" nx_id=\"\" synquo_id=\"{valid}\"."},
        "{valid}",
        "{valid}",
        0,
        false,
        false}},
      {"no internal ID, empty attribute",
       {"", "", true, {}, 0, 0, nullptr},
       {"", {}, "", "", 0, false, false}},
      {"no internal ID, no attribute",
       {"", kAbsent, true, {}, 0, 0, nullptr},
       {"", {}, kAbsent, kAbsent, 0, false, false}},
      {"internal ID unreadable",
       {"{legacy}", kAbsent, true, {raises("BasePart::UniqueIdentifier")}, 0, 0, nullptr},
       {"",
        {"{W}Failed to read NX internal ID while resolving traceable ID: part=\"{label}\"."},
        kAbsent,
        kAbsent,
        0,
        false,
        false}},
  });
}

TEST_F(TraceableId, AnIdentifierThatIsNotSavedIsBlankedAndBlocksTheUpload) {
  const char* const saveRaised =
      "{W}Failed to save NX file after setting SYNQUO_ID attribute: part=\"{label}\" "
      "legacy_id=\"{legacy}\" synquo_id=\"{new}\".";
  checkUploadRows({
      {"write raises",
       {"{legacy}", kAbsent, true, {raises("NXObject::SetUserAttribute")}, 0, 0, nullptr},
       {"{legacy}",
        {kGenerated,
         "{W}Failed to write SYNQUO_ID attribute: part=\"{label}\" legacy_id=\"{legacy}\" "
         "synquo_id=\"{new}\".",
         kBlocked},
        kAbsent,
        kAbsent,
        0,
        false,
        true}},
      {"save raises",
       {"{legacy}", kAbsent, true, {raises("BasePart::Save")}, 0, 0, nullptr},
       {"{legacy}",
        {kGenerated, kWritten, saveRaised, kNotSaved, kCleared, kBlocked},
        "",
        kAbsent,
        0,
        false,
        true}},
      {"save leaves objects unsaved",
       {"{legacy}", kAbsent, true, {}, 1, 0, nullptr},
       {"{legacy}",
        {kGenerated, kWritten, kNotSaved, kCleared, kBlocked},
        "",
        kAbsent,
        0,
        false,
        true}},
      {"save leaves parts unsaved",
       {"{legacy}", "{invalid}", true, {}, 0, 2, nullptr},
       {"{legacy}",
        {"{W}Existing SYNQUO_ID does not match NX UUID format and will be replaced: "
         "part=\"{label}\" legacy_id=\"{legacy}\" synquo_id=\"{invalid}\".",
         kGenerated, kWritten, kNotSaved, kCleared, kBlocked},
        "",
        "{invalid}",
        0,
        false,
        true}},
      {"blanking raises too",
       {"{legacy}", kAbsent, true, {raises("NXObject::SetUserAttribute", 2)}, 1, 0, nullptr},
       {"{legacy}",
        {kGenerated, kWritten, kNotSaved,
         "{W}Failed to clear unsaved SYNQUO_ID attribute from NX session: part=\"{label}\" "
         "legacy_id=\"{legacy}\" synquo_id=\"{new}\".",
         kBlocked},
        "{new}",
        kAbsent,
        0,
        false,
        true}},
  });
}

TEST_F(TraceableId, AFailedCleanupRestoresTheAttributeAndBlocksNothing) {
  const char* const notSaved =
      "{W}SYNQUO_ID attribute was deleted but the NX part could not be saved: part=\"{label}\" "
      "nx_id=\"{uuid}\" synquo_id=\"{valid}\".";
  const char* const restored =
      "{W}Restored unsaved SYNQUO_ID attribute after cleanup save failure: part=\"{label}\" "
      "nx_id=\"{uuid}\" synquo_id=\"{valid}\".";
  checkUploadRows({
      {"delete raises",
       {"{uuid}", "{valid}", true, {raises("NXObject::DeleteUserAttribute")}, 0, 0, nullptr},
       {"{uuid}",
        {kCleanupNeeded, kDeleting,
         "{W}Failed to delete redundant SYNQUO_ID attribute: part=\"{label}\" nx_id=\"{uuid}\" "
         "synquo_id=\"{valid}\"."},
        "{valid}",
        "{valid}",
        0,
        false,
        false}},
      {"save raises",
       {"{uuid}", "{valid}", true, {raises("BasePart::Save")}, 0, 0, nullptr},
       {"{uuid}",
        {kCleanupNeeded, kDeleting, kDeletedInSession,
         "{W}Failed to save NX file after deleting redundant SYNQUO_ID attribute: "
         "part=\"{label}\" nx_id=\"{uuid}\" synquo_id=\"{valid}\".",
         notSaved, restored},
        "{valid}",
        "{valid}",
        0,
        false,
        false}},
      {"save leaves objects unsaved",
       {"{uuid}", "{valid}", true, {}, 3, 0, nullptr},
       {"{uuid}",
        {kCleanupNeeded, kDeleting, kDeletedInSession, notSaved, restored},
        "{valid}",
        "{valid}",
        0,
        false,
        false}},
      {"restoring raises",
       {"{uuid}", "{valid}", true, {raises("NXObject::SetUserAttribute")}, 1, 0, nullptr},
       {"{uuid}",
        {kCleanupNeeded, kDeleting, kDeletedInSession, notSaved,
         "{W}Failed to restore SYNQUO_ID attribute after cleanup save failure: part=\"{label}\" "
         "nx_id=\"{uuid}\" synquo_id=\"{valid}\"."},
        kAbsent,
        "{valid}",
        0,
        false,
        false}},
  });
}

TEST_F(TraceableId, TheFirstBlockingFailureIsKeptUntilCleared) {
  NXOpen::BasePart* first = prepare({"{legacy}", kAbsent, true, {}, 1, 0, nullptr});
  uploadTraceableId(first);
  ASSERT_EQ(traceabilityError(), kError);

  nxsim::PartDefinition other;
  other.fullPath = "/models/other.prt";
  other.uniqueIdentifier = "legacy-0043";
  const tag_t otherTag = nxsim::addPart(other);
  nxsim::setSaveOutcome(otherTag, 0, 1);
  nxsim::setDisplayedPart(otherTag);
  log_.clear();
  EXPECT_EQ(uploadTraceableId(nxsim::partObject(otherTag)), "legacy-0043");
  EXPECT_EQ(traceabilityError(), kError);
  for (const std::string& line : log_.entries()) {
    EXPECT_EQ(line.find("Legacy file(s) detected."), std::string::npos) << line;
  }

  clearTraceabilityError();
  uploadTraceableId(nxsim::partObject(otherTag));
  EXPECT_EQ(traceabilityError(),
            "Legacy file(s) detected. Unable to upload because SYNQUO_ID could not be saved for "
            "/models/other.prt (other).");
}

TEST_F(TraceableId, ASavedIdentifierIsUsedFromThenOnWithoutSavingAgain) {
  NXOpen::BasePart* part = prepare({"{legacy}", kAbsent, true, {}, 0, 0, nullptr});
  const std::string assigned = uploadTraceableId(part);
  EXPECT_TRUE(isUuidStyleId(assigned));
  EXPECT_EQ(uploadTraceableId(part), assigned);
  EXPECT_EQ(displayTraceableId(part), assigned);
  EXPECT_EQ(nxsim::partState(part_).saveCount, 1);
}

TEST_F(TraceableId, DisplayResolutionOnlyReads) {
  struct DisplayRow {
    const char* name;
    const char* internalId;
    Attribute attribute;
    std::vector<nxsim::Fault> faults;
    const char* result;
    std::vector<std::string> log;
  };
  const DisplayRow rows[] = {
      {"UUID-style, attribute",
       "{uuid}",
       "{valid}",
       {},
       "{uuid}",
       {"{I}Using NX internal ID because it is UUID-style; SYNQUO_ID attribute ignored: "
        "part=\"{label}\" nx_id=\"{uuid}\" synquo_id=\"{valid}\"."}},
      {"UUID-style, empty attribute",
       "{uuid}",
       "",
       {},
       "{uuid}",
       {"{I}Using NX internal ID because it is UUID-style; SYNQUO_ID attribute ignored: "
        "part=\"{label}\" nx_id=\"{uuid}\" synquo_id=\"\"."}},
      {"UUID-style, no attribute", "{uuid}", kAbsent, {}, "{uuid}", {}},
      {"legacy, no attribute", "{legacy}", kAbsent, {}, "{legacy}", {}},
      {"legacy, unreadable attribute",
       "{legacy}",
       "{valid}",
       {raises("NXObject::GetUserAttributeAsString")},
       "{legacy}",
       {}},
      {"legacy, empty attribute",
       "{legacy}",
       "\t",
       {},
       "{legacy}",
       {"{W}Ignoring empty SYNQUO_ID attribute while reading display traceable ID: "
        "part=\"{label}\" nx_id=\"{legacy}\"."}},
      {"legacy, valid attribute",
       "{legacy}",
       " {valid} ",
       {},
       "{valid}",
       {"{I}Using existing SYNQUO_ID for legacy NX internal ID while reading display traceable "
        "ID: part=\"{label}\" legacy_id=\"{legacy}\" synquo_id=\"{valid}\"."}},
      {"legacy, invalid attribute",
       "{legacy}",
       "{invalid}",
       {},
       "{legacy}",
       {"{W}Ignoring invalid SYNQUO_ID while reading display traceable ID: part=\"{label}\" "
        "nx_id=\"{legacy}\" synquo_id=\"{invalid}\"."}},
      {"no internal ID, attribute",
       "",
       "{valid}",
       {},
       "",
       {"{W}Ignoring SYNQUO_ID attribute because NX internal ID is not legacy: "
        "part=\"{label}\" nx_id=\"\" synquo_id=\"{valid}\"."}},
      {"no internal ID, empty attribute", "", "", {}, "", {}},
      {"internal ID unreadable",
       "{uuid}",
       "{valid}",
       {raises("BasePart::UniqueIdentifier")},
       "",
       {"{W}Failed to read NX internal ID while resolving display traceable ID: "
        "part=\"{label}\"."}},
  };
  for (const DisplayRow& row : rows) {
    SCOPED_TRACE(row.name);
    // Displayed, legacy-fixing on: the conditions under which an upload would write.
    NXOpen::BasePart* part =
        prepare({row.internalId, row.attribute, true, row.faults, 0, 0, nullptr});
    check({row.result, row.log, row.attribute, row.attribute, 0, false, false},
          displayTraceableId(part));
    for (const std::string& call : nxsim::journalNames()) {
      EXPECT_TRUE(call != "NXObject::SetUserAttribute" && call != "NXObject::DeleteUserAttribute" &&
                  call != "BasePart::Save")
          << call;
    }
  }
}

TEST_F(TraceableId, OnlyALegacyPartWithoutAValidAttributeRequiresOne) {
  const char* const detected =
      "{I}Legacy NX internal ID detected: part=\"{label}\" legacy_id=\"{legacy}\".";
  const char* const requiresLine =
      "{I}Legacy NX internal ID requires SYNQUO_ID: part=\"{label}\" legacy_id=\"{legacy}\".";
  struct RequiresRow {
    const char* name;
    const char* internalId;
    Attribute attribute;
    std::vector<nxsim::Fault> faults;
    const char* properties;
    bool required;
    std::vector<std::string> log;
  };
  const RequiresRow rows[] = {
      {"UUID-style, invalid attribute", "{uuid}", "{invalid}", {}, nullptr, false, {}},
      {"no internal ID", "", kAbsent, {}, nullptr, false, {}},
      {"internal ID unreadable",
       "{legacy}",
       kAbsent,
       {raises("BasePart::UniqueIdentifier")},
       nullptr,
       false,
       {"{W}Failed to inspect NX internal ID: part=\"{label}\"."}},
      {"legacy, valid attribute",
       "{legacy}",
       "{valid}",
       {},
       nullptr,
       false,
       {detected,
        "{I}Legacy NX internal ID already has valid SYNQUO_ID; warning suppressed: "
        "part=\"{label}\" legacy_id=\"{legacy}\" synquo_id=\"{valid}\"."}},
      {"legacy, invalid attribute",
       "{legacy}",
       "{invalid}",
       {},
       nullptr,
       true,
       {detected,
        "{W}Existing SYNQUO_ID does not match NX UUID format: part=\"{label}\" "
        "legacy_id=\"{legacy}\" synquo_id=\"{invalid}\"; replacement required.",
        requiresLine}},
      {"legacy, empty attribute",
       "{legacy}",
       "",
       {},
       nullptr,
       true,
       {detected, "{W}Ignoring empty SYNQUO_ID attribute: part=\"{label}\" legacy_id=\"{legacy}\".",
        requiresLine}},
      {"legacy, no attribute", "{legacy}", kAbsent, {}, nullptr, true, {detected, requiresLine}},
      {"legacy, no attribute, repair switched off",
       "{legacy}",
       kAbsent,
       {},
       "synquo_fix_legacy_id=false\n",
       true,
       {detected, requiresLine}},
  };
  for (const RequiresRow& row : rows) {
    SCOPED_TRACE(row.name);
    NXOpen::BasePart* part =
        prepare({row.internalId, row.attribute, true, row.faults, 0, 0, row.properties});
    EXPECT_EQ(legacyIdRequiresAttribute(part), row.required);
    std::vector<std::string> lines;
    for (const std::string& line : row.log) lines.push_back(expand(line));
    EXPECT_EQ(log_.entries(), lines);
    EXPECT_EQ(nxsim::partState(part_).saveCount, 0);
  }
}

TEST_F(TraceableId, ANullPartHasNoIdentifierAndIsNotLogged) {
  EXPECT_EQ(uploadTraceableId(nullptr), "");
  EXPECT_EQ(displayTraceableId(nullptr), "");
  EXPECT_FALSE(legacyIdRequiresAttribute(nullptr));
  EXPECT_TRUE(log_.entries().empty());
}

}  // namespace
}  // namespace synquo
