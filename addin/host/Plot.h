// Printing drawing sheets to PDF: the plot manager and its PDF print builder.
#pragma once

#include <string>
#include <vector>

#include "addin/host/NXObject.h"

namespace host {

// A builder lives from its creation until Destroy(); after that the pointer is invalid.
class Builder {
 public:
  virtual ~Builder() = default;
  // Performs the builder's operation; returns the object it made, null when none.
  virtual NXObject* Commit() = 0;
  virtual void Destroy() = 0;
};

class PlotSourceBuilder {
 public:
  virtual ~PlotSourceBuilder() = default;
  virtual void SetSheets(const std::vector<NXObject*>& sheets) = 0;
  virtual void SetSelectedSheets(int count) = 0;
};

class PrintPDFBuilder : public Builder {
 public:
  // Owned by the builder.
  virtual PlotSourceBuilder* SourceBuilder() = 0;
  virtual void SetFilename(const std::string& filename) = 0;
  virtual void SetAppend(bool append) = 0;
  // NX's action option, passed as its numeric value.
  virtual void SetAction(int action) = 0;
};

class PlotManager {
 public:
  virtual ~PlotManager() = default;
  virtual PrintPDFBuilder* CreatePrintPdfbuilder() = 0;
};

}  // namespace host
