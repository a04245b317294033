// A part: a BasePart that can hold drawing sheets.
#ifndef NXOpen_PART_HXX_INCLUDED
#define NXOpen_PART_HXX_INCLUDED

#include <NXOpen/BasePart.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

namespace Drawings {
class DrawingSheetCollection;
}

class NXOPENCPPEXPORT Part : public NXOpen::BasePart {
 public:
  ~Part();
  NXOpen::Drawings::DrawingSheetCollection* DrawingSheets();

 protected:
  Part();
};

}  // namespace NXOpen

#endif
