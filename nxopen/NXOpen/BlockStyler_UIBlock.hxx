// A block of a Block Styler dialog, owned by its dialog.
#ifndef NXOpen_BLOCKSTYLER_UIBLOCK_HXX_INCLUDED
#define NXOpen_BLOCKSTYLER_UIBLOCK_HXX_INCLUDED

#include <NXOpen/NXString.hxx>
#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace BlockStyler {

class PropertyList;

class NXOPENUICPPEXPORT UIBlock : public NXOpen::TaggedObject {
 public:
  ~UIBlock();
  // The caller deletes the list.
  NXOpen::BlockStyler::PropertyList* GetProperties();
  // The block's id in the dialog file.
  NXString Name();
  NXString Type();
  NXString Label();
  void SetLabel(const NXString& label);
  bool Show();
  void SetShow(bool show);
  bool Enable();
  void SetEnable(bool enable);

 protected:
  UIBlock();
};

}  // namespace BlockStyler
}  // namespace NXOpen

#endif
