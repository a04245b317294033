// The file name of the Torvane library on this platform.
#pragma once

namespace synquo {

const char* torvaneLibraryFileName();

}  // namespace synquo
