// The simulated NX's control interface for tests and brevin-sim.
#pragma once

#include "sim/nx/Dialogs.h"
#include "sim/nx/Faults.h"
#include "sim/nx/Journal.h"
#include "sim/nx/Model.h"
