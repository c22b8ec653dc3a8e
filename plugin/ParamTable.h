// Declares the 29 host parameters (names, ranges, defaults, units) on the framework's plug-in.
#pragma once

#include "Params.h"

namespace vfw {
class Plugin;
}

// Declares every parameter of the table on a freshly built plug-in, in index order.
void declareParams(vfw::Plugin& plug);
