// Reading the SYNQUO_ID attribute.
#include "addin/traceability/TraceableIdAttribute.h"

#include <NXOpen/BasePart.hxx>

#include "addin/common/Text.h"
#include "addin/nx/NxText.h"

namespace synquo {

TraceableIdAttribute readTraceableIdAttribute(NXOpen::BasePart& part) {
  constexpr NXOpen::NXObject::AttributeType kString = NXOpen::NXObject::AttributeTypeString;
  const NXOpen::NXString title = nx::nxText(kTraceableIdAttribute);
  TraceableIdAttribute attribute;
  try {
    if (!part.HasUserAttribute(title, kString, -1)) return attribute;
    attribute.value = trim(nx::utf8(part.GetUserAttributeAsString(title, kString, -1)));
    attribute.state = attribute.value.empty() ? TraceableIdAttribute::State::Empty
                                              : TraceableIdAttribute::State::Value;
  } catch (...) {
    attribute = TraceableIdAttribute{TraceableIdAttribute::State::Unreadable, std::string()};
  }
  return attribute;
}

}  // namespace synquo
