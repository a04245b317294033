// NX's message boxes.
#ifndef NXOpen_NXMESSAGEBOX_HXX_INCLUDED
#define NXOpen_NXMESSAGEBOX_HXX_INCLUDED

#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class UI;

class NXOPENUICPPEXPORT NXMessageBox {
 public:
  enum DialogType { DialogTypeError, DialogTypeWarning, DialogTypeInformation,
                    DialogTypeQuestion };

  explicit NXMessageBox(NXOpen::UI* owner);
  ~NXMessageBox();
  // Modal; the button the user pressed.
  int Show(const NXString& title, NXOpen::NXMessageBox::DialogType msgboxType,
           const NXString& message);

 private:
  NXOpen::UI* m_owner;
};

}  // namespace NXOpen

#endif
