// The link to the uploaded model, as the upload result names it: found by the model's file
// name and stripped of the revision it was uploaded as, so that the browser opens the model
// at its latest revision.
#pragma once

#include <map>
#include <optional>
#include <string>

namespace ui {

// The entry for the file name (exact, else the first equal when lower-cased, else the only
// entry), normalised; none when nothing fits.
std::optional<std::string> findModelLink(const std::map<std::string, std::string>& links,
                                         const std::string& fileName);

// Trimmed, without any "revisionId" or "revision_id" query parameter; the fragment stays.
std::string withoutRevisionParameters(const std::string& link);

}  // namespace ui
