// The flame's GL side.
#pragma once

#include "particles/particles.h"

// One pass: draws every alive particle as a textured square and moves it on
// by one frame.
void drawParticles(FlameState& flame, RandomSource random);
