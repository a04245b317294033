// A part's printing and plotting.
#ifndef NXOpen_PLOTMANAGER_HXX_INCLUDED
#define NXOpen_PLOTMANAGER_HXX_INCLUDED

#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class BasePart;
class PrintPDFBuilder;

class NXOPENCPPEXPORT PlotManager {
 public:
  explicit PlotManager(NXOpen::BasePart* owner);
  ~PlotManager();
  // Ends with PrintPDFBuilder's Destroy.
  NXOpen::PrintPDFBuilder* CreatePrintPdfbuilder();

 private:
  NXOpen::BasePart* m_owner;
};

}  // namespace NXOpen

#endif
