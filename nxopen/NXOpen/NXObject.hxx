// An NX object with a name and user attributes.
#ifndef NXOpen_NXOBJECT_HXX_INCLUDED
#define NXOpen_NXOBJECT_HXX_INCLUDED

#include <NXOpen/INXObject.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/Update.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT NXObject : public NXOpen::TaggedObject, public virtual NXOpen::INXObject {
 public:
  enum AttributeType {
    AttributeTypeInvalid,
    AttributeTypeNull,
    AttributeTypeBoolean,
    AttributeTypeInteger,
    AttributeTypeReal,
    AttributeTypeString,
    AttributeTypeTime,
    AttributeTypeReference,
    AttributeTypeAny = 100
  };

  ~NXObject();

  // index -1: the attribute itself, not an array element.
  bool HasUserAttribute(const NXString& title, NXOpen::NXObject::AttributeType type, int index);
  // Raises NXException when there is no such attribute.
  NXString GetUserAttributeAsString(const NXString& title, NXOpen::NXObject::AttributeType type,
                                    int index);
  // Creates or replaces a string attribute.
  void SetUserAttribute(const NXString& title, int index, const NXString& value,
                        NXOpen::Update::Option option);
  // Raises NXException when there is no such attribute.
  void DeleteUserAttribute(NXOpen::NXObject::AttributeType type, const NXString& title,
                           bool deleteEntireArray, NXOpen::Update::Option option);

  virtual NXOpen::INXObject* Prototype();
  virtual NXString Name();

 protected:
  NXObject();
};

}  // namespace NXOpen

#endif
