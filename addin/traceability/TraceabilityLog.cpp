// Traceability log lines.
#include "addin/traceability/TraceabilityLog.h"

#include <utility>

#include "addin/logging/PartLogLabel.h"

namespace synquo {

TraceabilityLog::TraceabilityLog(NXOpen::BasePart& part, std::string internalId)
    : part_(part), internalId_(std::move(internalId)) {}

const std::string& TraceabilityLog::label() {
  if (!label_) label_ = partLogLabel(&part_);
  return *label_;
}

void TraceabilityLog::write(logging::LogLevel level, const char* start, TraceFields fields,
                            const std::string& synquoId, const char* end) {
  if (!logging::isLogLevelEnabled(level)) return;
  std::string line = start + label();
  switch (fields) {
    case TraceFields::None:
      break;
    case TraceFields::NxId:
    case TraceFields::NxIdAndSynquoId:
      line += "\" nx_id=\"" + internalId_;
      break;
    case TraceFields::LegacyId:
    case TraceFields::LegacyIdAndSynquoId:
      line += "\" legacy_id=\"" + internalId_;
      break;
  }
  if (fields == TraceFields::NxIdAndSynquoId || fields == TraceFields::LegacyIdAndSynquoId) {
    line += "\" synquo_id=\"" + synquoId;
  }
  line += end;
  switch (level) {
    case logging::LogLevel::Warning:
      logging::warning(line);
      break;
    case logging::LogLevel::Error:
      logging::error(line);
      break;
    default:
      logging::info(line);
      break;
  }
}

}  // namespace synquo
