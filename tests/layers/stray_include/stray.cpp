// A product file that reaches into a tool, for the check to catch.
#include "tools/datagen/geometry.h"
