// Shared set-up of the GL tests: a private X server and the real start-up.
#pragma once

#include <string>

#include "lighter/scene.h"

namespace gltest {

// Runs the program's whole start-up once per process in `workdir` (the data
// set by default) and returns the scene; the window and its context stay.
Scene& startLighter(const std::string& workdir = LIGHTER_DATA_DIR);

// Everything the program has written to its commentary stream so far.
std::string commentary();

// Draws one frame through the display callback and waits for GL to finish.
void drawFrame();

}  // namespace gltest
