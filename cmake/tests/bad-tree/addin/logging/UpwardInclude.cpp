// A file that breaks the layers on purpose: the include checks must refuse it.
#include "addin/ui/MessageBoxes.h"
#include "sim/nx/NxSim.h"
