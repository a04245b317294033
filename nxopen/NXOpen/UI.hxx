// NX's user interface: Block Styler dialogs and message boxes.
#ifndef NXOpen_UI_HXX_INCLUDED
#define NXOpen_UI_HXX_INCLUDED

#include <NXOpen/NXString.hxx>
#include <NXOpen/TaggedObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXMessageBox;
namespace BlockStyler {
class BlockDialog;
}

class NXOPENUICPPEXPORT UI : public NXOpen::TaggedObject {
 public:
  static UI* GetUI();
  ~UI();
  // Loads a dialog file by name, found where NX finds an add-in's dialogs; raises
  // NXException when it cannot. The caller deletes the dialog.
  NXOpen::BlockStyler::BlockDialog* CreateDialog(const NXString& dialogName);
  NXOpen::NXMessageBox* NXMessageBox();

 protected:
  UI();
};

}  // namespace NXOpen

#endif
