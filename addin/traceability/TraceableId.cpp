// Resolving the traceable identifier of a part.
#include "addin/traceability/TraceableId.h"

#include <optional>

#include <NXOpen/BasePart.hxx>
#include <NXOpen/PartCollection.hxx>
#include <NXOpen/Session.hxx>

#include "addin/nx/NxText.h"
#include "addin/settings/PropertiesFile.h"
#include "addin/traceability/RedundantTraceableIdRemoval.h"
#include "addin/traceability/TraceabilityLog.h"
#include "addin/traceability/TraceabilityStatus.h"
#include "addin/traceability/TraceableIdAssignment.h"
#include "addin/traceability/TraceableIdAttribute.h"
#include "addin/traceability/TraceableIdText.h"

namespace synquo {
namespace {

using State = TraceableIdAttribute::State;

enum class InternalKind { UuidStyle, Legacy, Empty };

InternalKind kindOf(const std::string& internalId) {
  if (internalId.empty()) return InternalKind::Empty;
  return isUuidStyleId(internalId) ? InternalKind::UuidStyle : InternalKind::Legacy;
}

std::optional<std::string> readInternalId(NXOpen::BasePart& part) {
  try {
    return nx::utf8(part.UniqueIdentifier());
  } catch (...) {
    return std::nullopt;
  }
}

// Only the displayed part is ever written; when NX cannot say which part that is, none is.
bool isDisplayedPart(NXOpen::BasePart& part) {
  try {
    NXOpen::Session* session = NXOpen::Session::GetSession();
    NXOpen::PartCollection* parts = session == nullptr ? nullptr : session->Parts();
    return parts != nullptr && parts->BaseDisplay() == &part;
  } catch (...) {
    return false;
  }
}

void logUnreadableInternalId(NXOpen::BasePart& part, const char* start) {
  TraceabilityLog(part, std::string()).warning(start, TraceFields::None);
}

// A displayed legacy part without a valid attribute.
std::string repair(NXOpen::BasePart& part, TraceabilityLog& log,
                   const TraceableIdAttribute& found) {
  if (!fixLegacyIdEnabled()) {
    log.warning("synquo_fix_legacy_id is false; legacy NX internal ID will not be fixed: part=\"",
                TraceFields::LegacyId);
    return log.internalId();
  }
  if (found.state == State::Unreadable) {
    // A value NX would not show us may be the identity of earlier uploads: never overwrite it.
    log.warning("Failed to read SYNQUO_ID attribute; it will not be replaced: part=\"",
                TraceFields::LegacyId);
    recordTraceabilityError(log.label(), log.internalId(), std::string());
    return log.internalId();
  }
  const std::optional<std::string> assigned = assignTraceableId(part, log);
  return assigned ? *assigned : log.internalId();
}

// Without an internal identifier there is nothing to trace, whatever the attribute says.
std::string resolveWithoutInternalId(TraceabilityLog& log, const TraceableIdAttribute& found) {
  if (found.state == State::Value) {
    log.warning("Ignoring SYNQUO_ID attribute because NX internal ID is not legacy: part=\"",
                TraceFields::NxIdAndSynquoId, found.value);
  }
  return std::string();
}

std::string resolveUploadId(NXOpen::BasePart& part) {
  const std::optional<std::string> internalId = readInternalId(part);
  if (!internalId) {
    logUnreadableInternalId(part,
                            "Failed to read NX internal ID while resolving traceable ID: part=\"");
    return std::string();
  }
  TraceabilityLog log(part, *internalId);
  const TraceableIdAttribute found = readTraceableIdAttribute(part);

  switch (kindOf(*internalId)) {
    case InternalKind::UuidStyle:
      if (!found.present()) return *internalId;
      log.info(
          "Using NX internal ID because it is UUID-style; SYNQUO_ID attribute cleanup needed: "
          "part=\"",
          TraceFields::NxIdAndSynquoId, found.value);
      if (isDisplayedPart(part)) {
        removeRedundantTraceableId(part, log, found.value);
      } else {
        log.info("Skipping SYNQUO_ID cleanup for non-top-level NX part: part=\"",
                 TraceFields::NxIdAndSynquoId, found.value);
      }
      return *internalId;

    case InternalKind::Legacy:
      if (found.state == State::Value && isUuidStyleId(found.value)) {
        log.info("Using existing SYNQUO_ID for legacy NX internal ID: part=\"",
                 TraceFields::LegacyIdAndSynquoId, found.value);
        return found.value;
      }
      if (found.state == State::Empty) {
        log.warning("Ignoring empty SYNQUO_ID attribute: part=\"", TraceFields::NxId);
      }
      if (isDisplayedPart(part)) {
        if (found.state == State::Value) {
          log.warning(
              "Existing SYNQUO_ID does not match NX UUID format and will be replaced: part=\"",
              TraceFields::LegacyIdAndSynquoId, found.value);
        }
        return repair(part, log, found);
      }
      if (found.state == State::Value) {
        log.warning("Ignoring invalid SYNQUO_ID for non-top-level part: part=\"",
                    TraceFields::LegacyIdAndSynquoId, found.value);
      }
      log.info("Skipping SYNQUO_ID repair for non-top-level legacy NX part: part=\"",
               TraceFields::LegacyId);
      return *internalId;

    case InternalKind::Empty:
      return resolveWithoutInternalId(log, found);
  }
  return std::string();
}

std::string resolveDisplayId(NXOpen::BasePart& part) {
  const std::optional<std::string> internalId = readInternalId(part);
  if (!internalId) {
    logUnreadableInternalId(
        part, "Failed to read NX internal ID while resolving display traceable ID: part=\"");
    return std::string();
  }
  TraceabilityLog log(part, *internalId);
  const TraceableIdAttribute found = readTraceableIdAttribute(part);

  switch (kindOf(*internalId)) {
    case InternalKind::UuidStyle:
      if (found.present()) {
        log.info(
            "Using NX internal ID because it is UUID-style; SYNQUO_ID attribute ignored: part=\"",
            TraceFields::NxIdAndSynquoId, found.value);
      }
      return *internalId;

    case InternalKind::Legacy:
      if (found.state == State::Empty) {
        log.warning(
            "Ignoring empty SYNQUO_ID attribute while reading display traceable ID: part=\"",
            TraceFields::NxId);
      } else if (found.state == State::Value && isUuidStyleId(found.value)) {
        log.info(
            "Using existing SYNQUO_ID for legacy NX internal ID while reading display traceable "
            "ID: part=\"",
            TraceFields::LegacyIdAndSynquoId, found.value);
        return found.value;
      } else if (found.state == State::Value) {
        log.warning("Ignoring invalid SYNQUO_ID while reading display traceable ID: part=\"",
                    TraceFields::NxIdAndSynquoId, found.value);
      }
      return *internalId;

    case InternalKind::Empty:
      return resolveWithoutInternalId(log, found);
  }
  return std::string();
}

bool requiresAttribute(NXOpen::BasePart& part) {
  const std::optional<std::string> internalId = readInternalId(part);
  if (!internalId) {
    logUnreadableInternalId(part, "Failed to inspect NX internal ID: part=\"");
    return false;
  }
  if (kindOf(*internalId) != InternalKind::Legacy) return false;
  TraceabilityLog log(part, *internalId);
  log.info("Legacy NX internal ID detected: part=\"", TraceFields::LegacyId);

  const TraceableIdAttribute found = readTraceableIdAttribute(part);
  if (found.state == State::Value && isUuidStyleId(found.value)) {
    log.info("Legacy NX internal ID already has valid SYNQUO_ID; warning suppressed: part=\"",
             TraceFields::LegacyIdAndSynquoId, found.value);
    return false;
  }
  if (found.state == State::Value) {
    log.write(logging::LogLevel::Warning,
              "Existing SYNQUO_ID does not match NX UUID format: part=\"",
              TraceFields::LegacyIdAndSynquoId, found.value, "\"; replacement required.");
  } else if (found.state == State::Empty) {
    log.warning("Ignoring empty SYNQUO_ID attribute: part=\"", TraceFields::LegacyId);
  }
  log.info("Legacy NX internal ID requires SYNQUO_ID: part=\"", TraceFields::LegacyId);
  return true;
}

}  // namespace

std::string uploadTraceableId(NXOpen::BasePart* part) {
  if (part == nullptr) return std::string();
  try {
    return resolveUploadId(*part);
  } catch (...) {
    return std::string();
  }
}

std::string displayTraceableId(NXOpen::BasePart* part) {
  if (part == nullptr) return std::string();
  try {
    return resolveDisplayId(*part);
  } catch (...) {
    return std::string();
  }
}

bool legacyIdRequiresAttribute(NXOpen::BasePart* part) {
  if (part == nullptr) return false;
  try {
    return requiresAttribute(*part);
  } catch (...) {
    return false;
  }
}

}  // namespace synquo
