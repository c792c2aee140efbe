// The perft walk's interface, which lives in generation/perft.h; kept under
// this name for the tools.
#pragma once

#include "generation/perft.h"
