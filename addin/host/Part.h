// Parts: the BasePart every model file is, the Part that has drawings, saving, and the
// session's collection of parts with the displayed one.
#pragma once

#include <memory>
#include <string>

#include "addin/host/Assemblies.h"
#include "addin/host/Drawings.h"
#include "addin/host/NXObject.h"
#include "addin/host/Plot.h"

namespace host {

// What a save left unsaved; the caller owns it.
class PartSaveStatus {
 public:
  virtual ~PartSaveStatus() = default;
  virtual int NumberUnsavedParts() = 0;
  virtual int NumberUnsavedObjects() = 0;
};

class BasePart : public NXObject {
 public:
  enum class SaveComponents { False, True };
  enum class CloseAfterSave { False, True };

  // Empty for a part never saved.
  virtual std::string FullPath() = 0;
  virtual std::string Leaf() = 0;
  // NX's internal identifier of the part.
  virtual std::string UniqueIdentifier() = 0;
  // Null status means nothing was left unsaved.
  virtual std::unique_ptr<PartSaveStatus> Save(SaveComponents saveComponents,
                                               CloseAfterSave close) = 0;
  virtual Assemblies::ComponentAssembly* ComponentAssembly() = 0;
  virtual host::PlotManager* PlotManager() = 0;
};

class Part : public BasePart {
 public:
  virtual Drawings::DrawingSheetCollection* DrawingSheets() = 0;
};

class PartCollection {
 public:
  virtual ~PartCollection() = default;
  // The displayed part; null when there is none.
  virtual BasePart* BaseDisplay() = 0;
};

}  // namespace host
