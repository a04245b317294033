// Finding collected records that share one source file id while coming from different files.
#include "addin/export/SharedIdentity.h"

#include <map>

#include "addin/export/ExportSupport.h"
#include "addin/logging/Log.h"

namespace synquo {

std::string recordDisplayName(const vantel::VantelUploadPayloadFile& record) {
  // A listed record carries NX's leaf name, which has no extension; its source file is what an
  // upload would send.
  const std::string source = lastPathElement(record.sourceFilePath);
  if (record.localFilePath.empty() && !source.empty()) return source;
  return record.filename.empty() ? source : record.filename;
}

std::vector<std::string> findSharedIdentities(
    const std::vector<vantel::VantelUploadPayloadFile>& files) {
  // Indexes of the records of each id, in list order.
  std::map<std::string, std::vector<size_t>> byId;
  for (size_t i = 0; i < files.size(); ++i) {
    if (!files[i].sourceFileId.empty()) byId[files[i].sourceFileId].push_back(i);
  }
  std::vector<bool> sharing(files.size(), false);
  for (const auto& [id, indexes] : byId) {
    for (size_t a = 0; a < indexes.size(); ++a) {
      for (size_t b = a + 1; b < indexes.size(); ++b) {
        const vantel::VantelUploadPayloadFile& first = files[indexes[a]];
        const vantel::VantelUploadPayloadFile& second = files[indexes[b]];
        if (first.sourceFilePath == second.sourceFilePath) continue;
        sharing[indexes[a]] = sharing[indexes[b]] = true;
        logging::warning(
            "Assembly parts share one source file id and will upload as one model: "
            "source_file_id=\"",
            id, "\" first=\"", first.sourceFilePath, "\" second=\"", second.sourceFilePath, "\".");
      }
    }
  }
  std::vector<std::string> names;
  for (size_t i = 0; i < files.size(); ++i) {
    if (sharing[i]) names.push_back(recordDisplayName(files[i]));
  }
  return names;
}

}  // namespace synquo
