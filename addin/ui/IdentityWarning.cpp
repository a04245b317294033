// The text of the shared-identity warning.
#include "addin/ui/IdentityWarning.h"

#include <algorithm>

namespace ui {
namespace {

// More names would not fit the dialog's line; the log names every pair.
constexpr size_t kNamedFiles = 3;

}  // namespace

std::string sharedIdentityWarning(const std::vector<std::string>& fileNames) {
  if (fileNames.empty()) return std::string();
  std::string names;
  for (size_t i = 0; i < std::min(fileNames.size(), kNamedFiles); ++i) {
    if (i > 0) names += ", ";
    names += fileNames[i];
  }
  return "Some parts in this assembly are copies that share an identity with another part: " +
         names + ". Synquo will treat them as one model.";
}

}  // namespace ui
