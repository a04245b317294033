// The part log label.
#include "addin/logging/PartLogLabel.h"

#include <NXOpen/BasePart.hxx>

#include "addin/nx/NxText.h"

namespace synquo {
namespace {

// A log line must still be written when NX cannot name the part.
template <typename Read>
std::string readOrEmpty(Read read) {
  try {
    return read();
  } catch (...) {
    return std::string();
  }
}

}  // namespace

std::string partLogLabel(NXOpen::BasePart* part) {
  if (part == nullptr) return "<null part>";
  const std::string fullPath = readOrEmpty([part] { return nx::utf8(part->FullPath()); });
  const std::string leaf = readOrEmpty([part] { return nx::utf8(part->Leaf()); });
  try {
    if (!fullPath.empty() && !leaf.empty()) return fullPath + " (" + leaf + ")";
    if (!fullPath.empty()) return fullPath;
    if (!leaf.empty()) return leaf;
  } catch (...) {
  }
  return "<unnamed NX part>";
}

}  // namespace synquo
