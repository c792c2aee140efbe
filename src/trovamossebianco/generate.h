// The generators' interface, which lives in generation/generate.h; kept
// under this name for the callers of the protocol layer and the tools.
#pragma once

#include "generation/generate.h"
