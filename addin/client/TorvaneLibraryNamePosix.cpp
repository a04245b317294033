// The file name of the Torvane library on Linux.
#include "addin/client/TorvaneLibraryName.h"

namespace synquo {

const char* torvaneLibraryFileName() { return "torvane-linux-amd64.so"; }

}  // namespace synquo
