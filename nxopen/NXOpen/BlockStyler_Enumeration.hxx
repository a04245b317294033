// A choice of one member of a list.
#ifndef NXOpen_BLOCKSTYLER_ENUMERATION_HXX_INCLUDED
#define NXOpen_BLOCKSTYLER_ENUMERATION_HXX_INCLUDED

#include <vector>

#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace BlockStyler {

class NXOPENUICPPEXPORT Enumeration : public NXOpen::BlockStyler::UIBlock {
 public:
  ~Enumeration();
  std::vector<NXString> GetEnumMembers();
  void SetEnumMembers(std::vector<NXString>& memberStrings);
  // The selected member's text.
  NXString ValueAsString();
  void SetValueAsString(const NXString& enumString);

 protected:
  Enumeration();
};

}  // namespace BlockStyler
}  // namespace NXOpen

#endif
