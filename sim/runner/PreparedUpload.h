// What a prepare_upload step shows and checks: the probe's answer turned into a transcript
// event (files relative to the session directory, the SYNQUO_ID attribute and the saves of
// each part, the attribute and save calls NX saw) and the scenario's expectations held
// against it.
#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/nx/Journal.h"
#include "sim/nx/Model.h"
#include "sim/runner/Scenario.h"

namespace simrunner {

// A part of the scenario as it was before the step.
struct PartBefore {
  std::string name;
  tag_t tag = NULL_TAG;
  nxsim::PartState state;
};

struct PreparedUploadReport {
  nlohmann::json event;               // "prepared_upload"
  std::vector<std::string> problems;  // files missing or outside the session directory
};

// Reads each part's state now; calls are those NX journaled during the step.
PreparedUploadReport describePreparedUpload(const nlohmann::json& answer,
                                            const std::vector<PartBefore>& before,
                                            const std::vector<nxsim::Call>& calls);

// The report's problems and every expectation the event does not meet, as failure texts.
std::vector<std::string> checkPreparedUpload(const PrepareUpload& step,
                                             const PreparedUploadReport& report);

// Whether the value meets the pattern (exact, or "~" and a regular expression).
bool matchesPattern(const ValuePattern& pattern, const std::string& value);

}  // namespace simrunner
