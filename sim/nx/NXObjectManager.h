// NX's keeper of tagged objects: the one class that may give an NX Open object its tag.
// Internal to nxsim.
#pragma once

#include <NXOpen/TaggedObject.hxx>

namespace NXOpen {

class NXObjectManager {
 public:
  static void Assign(TaggedObject& object, tag_t tag) { object.SetTag(tag); }
  // The tag without a TaggedObject::Tag call, which the journal would record.
  static tag_t TagOf(const TaggedObject& object) { return object.m_tag; }
};

}  // namespace NXOpen
