// NX's base objects: everything with a tag, and objects that carry user attributes.
#pragma once

#include <string>

namespace host {

// NX's object identifier; 0 (NULL_TAG) names nothing.
using tag_t = unsigned int;
constexpr tag_t NULL_TAG = 0;

class TaggedObject {
 public:
  virtual ~TaggedObject() = default;
  virtual tag_t Tag() = 0;
};

class NXObject : public TaggedObject {
 public:
  enum class AttributeType { Invalid, Null, Boolean, Integer, Real, String, Time, Reference, Any };
  enum class UpdateOption { Now, Later };

  // Whether an attribute with this title and type exists. index -1 means "not an array element".
  virtual bool HasUserAttribute(const std::string& title, AttributeType type, int index) = 0;
  // Throws NxException when there is no such attribute.
  virtual std::string GetUserAttributeAsString(const std::string& title, AttributeType type,
                                               int index) = 0;
  // Creates or replaces a string attribute.
  virtual void SetUserAttribute(const std::string& title, int index, const std::string& value,
                                UpdateOption option) = 0;
  // Throws NxException when there is no such attribute.
  virtual void DeleteUserAttribute(AttributeType type, const std::string& title,
                                   bool deleteEntireArray, UpdateOption option) = 0;
};

}  // namespace host
