// The process-wide traceability status.
#include "addin/traceability/TraceabilityStatus.h"

#include "addin/logging/Log.h"

namespace synquo {
namespace {

struct Status {
  std::string error;
  bool changed = false;
};

Status& status() {
  static Status instance;
  return instance;
}

}  // namespace

std::string traceabilityError() { return status().error; }

void clearTraceabilityError() { status().error.clear(); }

bool traceabilityChanged() { return status().changed; }

void clearTraceabilityChanged() { status().changed = false; }

void recordTraceabilityError(const std::string& partLabel, const std::string& internalId,
                             const std::string& synquoId) {
  if (!status().error.empty()) return;
  status().error =
      "Legacy file(s) detected. Unable to upload because SYNQUO_ID could not be saved for " +
      partLabel + ".";
  logging::warning(status().error, " legacy_id=\"", internalId, "\" synquo_id=\"", synquoId, "\".");
}

void markTraceabilityChanged() { status().changed = true; }

}  // namespace synquo
