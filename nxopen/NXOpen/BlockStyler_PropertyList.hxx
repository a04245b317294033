// A block's properties by name ("Label", "Show", "Value", ...), each of one type. Reading or
// writing one with the accessor of another type, or an unknown name, raises NXException.
// The caller deletes the list.
#ifndef NXOpen_BLOCKSTYLER_PROPERTYLIST_HXX_INCLUDED
#define NXOpen_BLOCKSTYLER_PROPERTYLIST_HXX_INCLUDED

#include <vector>

#include <NXOpen/NXString.hxx>
#include <NXOpen/TransientObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace BlockStyler {

class NXOPENUICPPEXPORT PropertyList : public NXOpen::TransientObject {
 public:
  enum PropertyType {
    PropertyTypeString,
    PropertyTypeDouble,
    PropertyTypeLogical,
    PropertyTypeInteger,
    PropertyTypeEnum,
    PropertyTypeStrings,
    PropertyTypeUIBlock,
    PropertyTypePoint,
    PropertyTypeVector,
    PropertyTypeBits,
    PropertyTypeTaggedObject,
    PropertyTypeArray,
    PropertyTypeIntegerMatrix,
    PropertyTypeDoubleMatrix,
    PropertyTypeTaggedObjectMatrix,
    PropertyTypeIntegerVector,
    PropertyTypeDoubleVector,
    PropertyTypeTaggedObjectVector,
    PropertyTypeFile,
    PropertyTypeSelectionFilter,
    PropertyTypeUndefined
  };

  explicit PropertyList(void* ptr);
  virtual ~PropertyList();

  std::vector<NXString> GetPropertyNames();
  NXOpen::BlockStyler::PropertyList::PropertyType GetPropertyType(const NXString& propertyName);
  NXString GetString(const NXString& propertyName);
  void SetString(const NXString& propertyName, const NXString& value);
  bool GetLogical(const NXString& propertyName);
  void SetLogical(const NXString& propertyName, bool value);
  int GetInteger(const NXString& propertyName);
  void SetInteger(const NXString& propertyName, int value);
  double GetDouble(const NXString& propertyName);
  void SetDouble(const NXString& propertyName, double value);
  // An enumerated property: its value as the member's index or as the member's text.
  int GetEnum(const NXString& propertyName);
  void SetEnum(const NXString& propertyName, int value);
  NXString GetEnumAsString(const NXString& propertyName);
  void SetEnumAsString(const NXString& propertyName, const NXString& value);
  std::vector<NXString> GetEnumMembers(const NXString& propertyName);
  void SetEnumMembers(const NXString& propertyName, std::vector<NXString>& stringArray);
  std::vector<NXString> GetStrings(const NXString& propertyName);
  void SetStrings(const NXString& propertyName, std::vector<NXString>& stringArray);
};

}  // namespace BlockStyler
}  // namespace NXOpen

#endif
