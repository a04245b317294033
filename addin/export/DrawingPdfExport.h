// A drawing is uploaded as one PDF of all its sheets, printed through NX's PDF print builder
// into the session temporary directory and confirmed from the file system.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <NXOpen/BasePart.hxx>
#include <NXOpen/Builder.hxx>
#include <NXOpen/Drawings_DrawingSheet.hxx>

namespace synquo {

// The PDF written for the part, or an empty path when none was produced (logged). Errors of
// the temporary-directory layer propagate; NX failures, while the file is named or printed,
// do not.
std::filesystem::path exportDrawingPdf(NXOpen::BasePart* part, const std::string& sourcePath);

// The part's sheets in NX's order, nulls left out; empty for a part that is not a Part or
// when NX fails while listing.
std::vector<NXOpen::Drawings::DrawingSheet*> collectDrawingSheets(NXOpen::BasePart* part);

// The PDF's file name without extension (UTF-8): the sanitised part number, leaf stem or
// display identifier, else the source path's stem, else "drawing". A name NX fails to give
// counts as empty.
std::string drawingPdfBaseName(NXOpen::BasePart* part, const std::string& sourcePath);

// True when there was nothing to destroy or Destroy returned normally.
bool destroyBuilderSafely(NXOpen::Builder* builder);

}  // namespace synquo
