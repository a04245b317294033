// A block that holds blocks: the dialog's top block.
#ifndef NXOpen_BLOCKSTYLER_COMPOSITEBLOCK_HXX_INCLUDED
#define NXOpen_BLOCKSTYLER_COMPOSITEBLOCK_HXX_INCLUDED

#include <NXOpen/BlockStyler_UIBlock.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace BlockStyler {

class NXOPENUICPPEXPORT CompositeBlock : public NXOpen::BlockStyler::UIBlock {
 public:
  ~CompositeBlock();
  // The block with this id, wherever it sits; owned by the dialog, null when none.
  NXOpen::BlockStyler::UIBlock* FindBlock(const NXString& blockName);

 protected:
  CompositeBlock();
};

}  // namespace BlockStyler
}  // namespace NXOpen

#endif
