// A drawing sheet; its name is the NXObject's.
#ifndef NXOpen_DRAWINGS_DRAWINGSHEET_HXX_INCLUDED
#define NXOpen_DRAWINGS_DRAWINGSHEET_HXX_INCLUDED

#include <NXOpen/NXObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {
namespace Drawings {

class NXOPENCPP_DRAWINGSEXPORT DrawingSheet : public NXOpen::NXObject {
 public:
  ~DrawingSheet();

 protected:
  DrawingSheet();
};

}  // namespace Drawings
}  // namespace NXOpen

#endif
