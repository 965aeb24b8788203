// A folder that no layer names.
#include "recording/Recording.h"
