// The log lines about one part's traceable identifier: a message start ending in part=", the
// part's log label, then the identifier fields, each as name="value".
#pragma once

#include <optional>
#include <string>

#include "addin/logging/Log.h"

namespace NXOpen {
class BasePart;
}

namespace synquo {

// Which fields follow the label. nx_id and legacy_id both carry the part's internal
// identifier; each message names it one way or the other.
enum class TraceFields { None, NxId, LegacyId, NxIdAndSynquoId, LegacyIdAndSynquoId };

class TraceabilityLog {
 public:
  TraceabilityLog(NXOpen::BasePart& part, std::string internalId);

  // Reads the part's names from NX on first use only, so quiet resolutions cost no NX calls.
  const std::string& label();
  const std::string& internalId() const { return internalId_; }

  // start must end in part=\". The line ends in end, normally "\".".
  void write(logging::LogLevel level, const char* start, TraceFields fields,
             const std::string& synquoId = std::string(), const char* end = "\".");
  void info(const char* start, TraceFields fields, const std::string& synquoId = std::string()) {
    write(logging::LogLevel::Info, start, fields, synquoId);
  }
  void warning(const char* start, TraceFields fields, const std::string& synquoId = std::string()) {
    write(logging::LogLevel::Warning, start, fields, synquoId);
  }

 private:
  NXOpen::BasePart& part_;
  std::string internalId_;
  std::optional<std::string> label_;
};

}  // namespace synquo
