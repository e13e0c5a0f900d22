// The program's real start-up inside a test or benchmark process.
#pragma once

#include <ostream>
#include <string>

#include "lighter/scene.h"

namespace support {

// Runs the whole start-up of the program on `scene` with `workdir` as working
// directory and the commentary going to `out`, and waits until its window is
// mapped, so that its front buffer can be read. The scene and the stream must
// outlive the process's use of GLUT. Call it once per process: GLUT can be
// initialised only once.
void startLighterIn(const std::string& workdir, Scene& scene, std::ostream& out);

}  // namespace support
