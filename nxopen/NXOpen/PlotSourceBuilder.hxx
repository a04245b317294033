// Which drawing sheets a print takes.
#ifndef NXOpen_PLOTSOURCEBUILDER_HXX_INCLUDED
#define NXOpen_PLOTSOURCEBUILDER_HXX_INCLUDED

#include <vector>

#include <NXOpen/NXObject.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class NXOPENCPPEXPORT PlotSourceBuilder : public NXOpen::NXObject {
 public:
  ~PlotSourceBuilder();
  void SetSheets(const std::vector<NXOpen::NXObject*>& sheets);
  void SetSelectedSheets(int nSheets);

 protected:
  PlotSourceBuilder();
};

}  // namespace NXOpen

#endif
