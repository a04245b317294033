// Prints drawing sheets to a PDF file.
#ifndef NXOpen_PRINTPDFBUILDER_HXX_INCLUDED
#define NXOpen_PRINTPDFBUILDER_HXX_INCLUDED

#include <NXOpen/Builder.hxx>
#include <NXOpen/NXString.hxx>
#include <NXOpen/libnxopencpp_exports.hxx>

namespace NXOpen {

class PlotSourceBuilder;

class NXOPENCPPEXPORT PrintPDFBuilder : public NXOpen::Builder {
 public:
  enum ActionOption { ActionOptionNew, ActionOptionOverwrite, ActionOptionAppend,
                      ActionOptionNative };

  ~PrintPDFBuilder();
  // Owned by the builder.
  NXOpen::PlotSourceBuilder* SourceBuilder();
  void SetFilename(const NXString& filename);
  void SetAppend(bool append);
  void SetAction(NXOpen::PrintPDFBuilder::ActionOption action);

 protected:
  PrintPDFBuilder();
};

}  // namespace NXOpen

#endif
