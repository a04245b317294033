// The SYNQUO_ID attribute: a string user attribute (no array index) that holds the traceable
// identifier of a part whose NX internal identifier is not UUID-style.
#pragma once

#include <string>

namespace NXOpen {
class BasePart;
}

namespace synquo {

inline constexpr const char* kTraceableIdAttribute = "SYNQUO_ID";

struct TraceableIdAttribute {
  enum class State {
    Absent,
    Empty,       // present, blank after trimming
    Value,       // present with a trimmed value
    Unreadable,  // NX raised while reading; what the part holds is unknown
  };
  State state = State::Absent;
  std::string value;  // trimmed; set for Value only

  // What a reader that never writes makes of it: an unreadable attribute counts as absent.
  bool present() const { return state == State::Empty || state == State::Value; }
};

// HasUserAttribute, then GetUserAttributeAsString when present. Never throws.
TraceableIdAttribute readTraceableIdAttribute(NXOpen::BasePart& part);

}  // namespace synquo
