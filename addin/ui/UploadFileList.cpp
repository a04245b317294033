// Building the lines of the main dialog's file list.
#include "addin/ui/UploadFileList.h"

#include <algorithm>
#include <optional>
#include <set>

#include "addin/export/DisplayMetadata.h"
#include "addin/export/ExportSupport.h"
#include "addin/export/SharedIdentity.h"
#include "addin/ui/SizeText.h"

namespace ui {
namespace {

constexpr const char* kUnsavedMark = " (unsaved)";
constexpr const char* kUnsupportedMark = " (not supported)";

bool contains(const std::vector<std::string>& sources, const std::string& source) {
  return std::find(sources.begin(), sources.end(), source) != sources.end();
}

}  // namespace

std::vector<std::string> uploadFileLines(const synquo::ModelMetadata& m) {
  std::vector<std::string> lines;
  if (!m.drawingPdfName.empty()) {
    std::string line = m.drawingPdfName + "  (printed from the drawing)";
    if (contains(m.unsavedSources, m.source)) line += kUnsavedMark;
    lines.push_back(line);
  }
  std::set<std::string> listedSources;
  for (const vantel::VantelUploadPayloadFile& record : m.files) {
    std::string line = synquo::recordDisplayName(record);
    if (const std::optional<double> megabytes = synquo::recordSizeMegabytes(record)) {
      line += "  " + megabytesText(*megabytes);
    }
    if (contains(m.unsavedSources, record.sourceFilePath)) line += kUnsavedMark;
    if (contains(m.unsupportedSources, record.sourceFilePath)) line += kUnsupportedMark;
    lines.push_back(line);
    listedSources.insert(record.sourceFilePath);
  }
  for (const std::string& source : m.unsupportedSources) {
    if (!listedSources.insert(source).second) continue;
    lines.push_back(synquo::lastPathElement(source) + kUnsupportedMark);
  }
  if (lines.size() > kListedUploadFiles) {
    const size_t more = lines.size() - kListedUploadFiles;
    lines.resize(kListedUploadFiles);
    lines.push_back("and " + std::to_string(more) + " more");
  }
  return lines;
}

}  // namespace ui
