// The main dialog's warning about parts that are copies sharing one identity.
#pragma once

#include <string>
#include <vector>

namespace ui {

// The warning naming at most the first three of the files; empty when there are none.
std::string sharedIdentityWarning(const std::vector<std::string>& fileNames);

}  // namespace ui
