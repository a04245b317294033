// A size as the dialogs show it.
#pragma once

#include <string>

namespace ui {

// "1.50 MB": fixed notation, two decimals, whatever the process's locale.
std::string megabytesText(double megabytes);

}  // namespace ui
