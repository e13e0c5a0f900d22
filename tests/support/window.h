// The program's real start-up inside a test or benchmark process.
#pragma once

#include <string>

namespace support {

// Runs the whole start-up of the program with `workdir` as working directory
// and waits until its window is mapped, so that its front buffer can be read.
// Call it once per process: GLUT can be initialised only once.
void startLighterIn(const std::string& workdir);

}  // namespace support
