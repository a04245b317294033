// Formatting sizes.
#include "addin/ui/SizeText.h"

#include <iomanip>
#include <locale>
#include <sstream>

namespace ui {

std::string megabytesText(double megabytes) {
  // The process's locale may write a decimal comma; the dialogs' text is fixed.
  std::ostringstream text;
  text.imbue(std::locale::classic());
  text << std::fixed << std::setprecision(2) << megabytes << " MB";
  return text.str();
}

}  // namespace ui
