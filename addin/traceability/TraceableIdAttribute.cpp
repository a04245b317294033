// Reading the SYNQUO_ID attribute.
#include "addin/traceability/TraceableIdAttribute.h"

#include "addin/common/Text.h"
#include "addin/host/Part.h"

namespace synquo {

TraceableIdAttribute readTraceableIdAttribute(host::BasePart& part) {
  using Type = host::NXObject::AttributeType;
  TraceableIdAttribute attribute;
  try {
    if (!part.HasUserAttribute(kTraceableIdAttribute, Type::String, -1)) return attribute;
    attribute.value = trim(part.GetUserAttributeAsString(kTraceableIdAttribute, Type::String, -1));
    attribute.state = attribute.value.empty() ? TraceableIdAttribute::State::Empty
                                              : TraceableIdAttribute::State::Value;
  } catch (...) {
    attribute = TraceableIdAttribute{TraceableIdAttribute::State::Unreadable, std::string()};
  }
  return attribute;
}

}  // namespace synquo
