// A dialog made from a Block Styler dialog file, and the handlers NX calls while it is shown.
// The caller of UI::CreateDialog deletes it.
#ifndef NXOpen_BLOCKSTYLER_BLOCKDIALOG_HXX_INCLUDED
#define NXOpen_BLOCKSTYLER_BLOCKDIALOG_HXX_INCLUDED

#include <NXOpen/Callback.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/Selection.hxx>
#include <NXOpen/TransientObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace BlockStyler {

class CompositeBlock;
class PropertyList;
class UIBlock;

class NXOPENUICPPEXPORT BlockDialog : public NXOpen::TransientObject {
 public:
  enum DialogMode { DialogModeCreate, DialogModeEdit };

  typedef NXOpen::Callback1<int, NXOpen::BlockStyler::UIBlock*> Update;
  typedef NXOpen::Callback0<int> Ok;
  typedef NXOpen::Callback0<int> Apply;
  typedef NXOpen::Callback0<int> Cancel;
  typedef NXOpen::Callback0<int> Close;
  typedef NXOpen::Callback0<void> Initialize;
  typedef NXOpen::Callback0<void> DialogShown;

  explicit BlockDialog(void* ptr);
  virtual ~BlockDialog();

  // Before the dialog appears, at every Show.
  void AddInitializeHandler(const NXOpen::BlockStyler::BlockDialog::Initialize& cb);
  // Once the dialog's window is up.
  void AddDialogShownHandler(const NXOpen::BlockStyler::BlockDialog::DialogShown& cb);
  // With the block the user changed.
  void AddUpdateHandler(const NXOpen::BlockStyler::BlockDialog::Update& cb);
  void AddApplyHandler(const NXOpen::BlockStyler::BlockDialog::Apply& applyCb);
  // 0 lets the dialog close.
  void AddOkHandler(const NXOpen::BlockStyler::BlockDialog::Ok& okCb);
  void AddCancelHandler(const NXOpen::BlockStyler::BlockDialog::Cancel& cancelCb);

  // Modal: returns when the dialog closes; it can be shown again.
  NXOpen::Selection::Response Show();
  NXOpen::Selection::Response Show(NXOpen::BlockStyler::BlockDialog::DialogMode dialogMode);

  // Owned by the dialog.
  NXOpen::BlockStyler::CompositeBlock* TopBlock();
  // The caller deletes the list.
  NXOpen::BlockStyler::PropertyList* GetBlockProperties(const NXString& blockName);
};

}  // namespace BlockStyler
}  // namespace NXOpen

#endif
