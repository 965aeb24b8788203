// A core that reaches beside itself, into another core it does not sit above.
#include "graph/core/GraphModel.h"
#include "recording/Recording.h"
