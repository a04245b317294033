// The main dialog's list of what an upload sends, so that the warnings about the model point
// at files the user can see.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "addin/export/ModelMetadata.h"

namespace ui {

// Files listed by name before the rest is only counted.
constexpr size_t kListedUploadFiles = 20;

// One line per collected file, root first: the name, two spaces and the size as the model
// block writes it ("gearbox.prt  1.20 MB"; no size when the file cannot be measured). A file
// with unsaved changes ends in " (unsaved)", one an upload cannot carry in " (not supported)";
// such members that are not collected follow with a line of their own. In drawing mode the one
// line is the PDF the upload prints: "frame.pdf  (printed from the drawing)". Beyond
// kListedUploadFiles lines, the first ones and "and N more". Reads the files' sizes.
std::vector<std::string> uploadFileLines(const synquo::ModelMetadata& model);

}  // namespace ui
