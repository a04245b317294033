// The file name of the Torvane library on Windows.
#include "addin/client/TorvaneLibraryName.h"

namespace synquo {

const char* torvaneLibraryFileName() { return "torvane-windows-amd64.dll"; }

}  // namespace synquo
