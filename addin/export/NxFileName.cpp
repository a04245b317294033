// NX's narrow file names.
#include "addin/export/NxFileName.h"

#include <system_error>

#include "addin/platform/TextEncoding.h"

namespace synquo {

std::string nxFileName(const std::filesystem::path& path) {
  try {
    return platform::toFileNameCodePage(path);
  } catch (const std::system_error&) {
    throw UnusableNxPathError(
        "NX cannot use the path \"" + platform::toUtf8(path) +
        "\" because it holds characters outside this system's code page. Rename the part with "
        "Latin letters, or set TEMP to a folder whose path has only Latin letters, then try "
        "again.");
  }
}

}  // namespace synquo
