// The drawing PDF export: every sheet of the part printed into one PDF in the session
// temporary directory, accepted only when the file system shows a new or updated file.
#include "addin/export/DrawingPdfExport.h"

#include <chrono>
#include <optional>
#include <system_error>

#include <NXOpen/Drawings_DrawingSheetCollection.hxx>
#include <NXOpen/Part.hxx>
#include <NXOpen/PlotManager.hxx>
#include <NXOpen/PlotSourceBuilder.hxx>
#include <NXOpen/PrintPDFBuilder.hxx>

#include "addin/export/ExportPath.h"
#include "addin/export/ExportSupport.h"
#include "addin/logging/Log.h"
#include "addin/logging/PartLogLabel.h"
#include "addin/nx/NxText.h"
#include "addin/platform/Platform.h"
#include "addin/platform/TextEncoding.h"
#include "addin/temp/SessionTempDirectory.h"
#include "addin/traceability/TraceableId.h"

namespace synquo {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::system_clock;

// Whether the file exists, and when it was last written (the smallest time when unreadable).
std::optional<Clock::time_point> existingWriteTime(const fs::path& path) {
  platform::FileType type = platform::FileType::NotFound;
  if (platform::os().status(path, platform::Links::Follow, type) ||
      type == platform::FileType::NotFound) {
    return std::nullopt;
  }
  Clock::time_point when = Clock::time_point::min();
  if (platform::os().lastWriteTime(path, when)) return Clock::time_point::min();
  return when;
}

bool writtenSince(const fs::path& path, const std::optional<Clock::time_point>& before) {
  platform::FileType type = platform::FileType::NotFound;
  if (platform::os().status(path, platform::Links::Follow, type) ||
      type == platform::FileType::NotFound) {
    return false;
  }
  Clock::time_point now;
  if (platform::os().lastWriteTime(path, now)) return false;
  return !before || now > *before;
}

}  // namespace

fs::path exportDrawingPdf(NXOpen::BasePart* part, const std::string& sourcePath) {
  if (part == nullptr) {
    logging::warning("Drawing PDF export skipped because there is no displayed NX part.");
    return {};
  }
  const std::string label = partLogLabel(part);
  const std::vector<NXOpen::Drawings::DrawingSheet*> sheets = collectDrawingSheets(part);
  if (sheets.empty()) {
    logging::warning("Drawing PDF export skipped because no drawing sheets were found: part=\"",
                     label, "\" source=\"", sourcePath, "\".");
    return {};
  }
  const std::string fileName = drawingPdfBaseName(part, sourcePath) + ".pdf";
  const fs::path destination =
      sessionTempDirectory(uploadTraceableId(displayedPart())) / platform::fromUtf8(fileName);
  logging::info("Starting NX drawing PDF export: part=\"", label, "\" sheets=", sheets.size(),
                " destination=\"", destination, "\".");
  const std::optional<Clock::time_point> before = existingWriteTime(destination);

  NXOpen::PrintPDFBuilder* builder = nullptr;
  try {
    NXOpen::PlotManager* plotManager = part->PlotManager();
    if (plotManager == nullptr) {
      logging::warning("Drawing PDF export failed because NX returned no plot manager: part=\"",
                       label, "\" destination=\"", destination, "\".");
      return {};
    }
    builder = plotManager->CreatePrintPdfbuilder();
    NXOpen::PlotSourceBuilder* source = builder == nullptr ? nullptr : builder->SourceBuilder();
    if (source == nullptr) {
      destroyBuilderSafely(builder);
      builder = nullptr;
      logging::warning(
          "Drawing PDF export failed because NX returned no PDF source builder: part=\"", label,
          "\" destination=\"", destination, "\".");
      return {};
    }
    builder->SetAction(NXOpen::PrintPDFBuilder::ActionOptionNative);
    builder->SetAppend(false);
    builder->SetFilename(nx::nxText(platform::toUtf8(destination)));
    source->SetSheets(std::vector<NXOpen::NXObject*>(sheets.begin(), sheets.end()));
    source->SetSelectedSheets(static_cast<int>(sheets.size()));
    builder->Commit();
    NXOpen::PrintPDFBuilder* committed = builder;
    builder = nullptr;
    destroyBuilderSafely(committed);
  } catch (...) {
    const bool cleanedUp = destroyBuilderSafely(builder);
    logging::warning("Drawing PDF export failed while committing the NX PDF builder: part=\"",
                     label, "\" destination=\"", destination, "\" cleanup_succeeded=", cleanedUp,
                     ".");
    return {};
  }

  if (!writtenSince(destination, before)) {
    logging::warning("Drawing PDF export did not produce a new or updated file: part=\"", label,
                     "\" destination=\"", destination, "\".");
    return {};
  }
  logging::info("NX drawing PDF export complete: destination=\"", destination, "\".");
  return destination;
}

std::vector<NXOpen::Drawings::DrawingSheet*> collectDrawingSheets(NXOpen::BasePart* part) {
  std::vector<NXOpen::Drawings::DrawingSheet*> sheets;
  try {
    auto* drawingPart = dynamic_cast<NXOpen::Part*>(part);
    if (drawingPart == nullptr) return sheets;
    NXOpen::Drawings::DrawingSheetCollection* collection = drawingPart->DrawingSheets();
    if (collection == nullptr) return sheets;
    for (NXOpen::Drawings::DrawingSheet* sheet : *collection) {
      if (sheet != nullptr) sheets.push_back(sheet);
    }
    return sheets;
  } catch (...) {
    return {};
  }
}

std::string drawingPdfBaseName(NXOpen::BasePart* part, const std::string& sourcePath) {
  if (const std::optional<ManagedPartName> managed = decodeManagedPartName(part)) {
    return sanitizeFileStem(managed->partNumber);
  }
  if (part != nullptr) {
    std::string leaf;
    try {
      leaf = nx::utf8(part->Leaf());
    } catch (...) {
      // A leaf NX cannot give is no leaf; the next rule names the file.
    }
    const std::string leafStem = fileNameStem(leaf);
    if (!leafStem.empty()) return sanitizeFileStem(leafStem);
    const std::string identifier = displayTraceableId(part);
    if (!identifier.empty()) return sanitizeFileStem(identifier);
  }
  const std::string sourceStem = fileNameStem(lastPathElement(sourcePath));
  if (!sourceStem.empty()) return sourceStem;
  return "drawing";
}

bool destroyBuilderSafely(NXOpen::Builder* builder) {
  if (builder == nullptr) return true;
  try {
    builder->Destroy();
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace synquo
